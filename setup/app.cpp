#include "setup/app.h"

HINSTANCE app_instance = nullptr;
char app_name[16] = "setup";

namespace {

// Going through the generic function pointer type keeps the cast free of warnings about
// incompatible function types.
template <typename Function>
Function find_kernel32_function(const char* name)
{
    using Generic = void (*)();
    return reinterpret_cast<Function>(
        reinterpret_cast<Generic>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

} // namespace

SetDefaultDllDirectoriesFunction find_set_default_dll_directories()
{
    // Windows 7 gets it only with a loader update; a static import would keep the program
    // from starting at all there.
    return find_kernel32_function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
}

bool restrict_dll_search(SetDefaultDllDirectoriesFunction set_default_dll_directories)
{
    if (set_default_dll_directories && set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return true;
    // The best the older loader offers: an empty DLL directory takes the current folder
    // out of the search, and the safe mode puts the system folders first for SearchPath.
    SetDllDirectoryA("");
    using SetSearchPathModeFunction = BOOL(WINAPI*)(DWORD);
    if (auto set_mode = find_kernel32_function<SetSearchPathModeFunction>("SetSearchPathMode"))
        set_mode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
    return false;
}
