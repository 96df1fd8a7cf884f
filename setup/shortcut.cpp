#include "setup/shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "owndraw/primitives/gdi_guards.h"

using namespace owndraw;

int read_desktop_folder(char* buffer)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return -1;

    // Read into a scratch copy so that a value that is missing, too long or not terminated
    // leaves the caller's buffer empty rather than holding a half-written folder.
    char value[DESKTOP_FOLDER_SIZE] = {};
    DWORD type = 0;
    DWORD size = DESKTOP_FOLDER_SIZE;
    const LSTATUS rc = RegQueryValueExA(key, "Desktop", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);

    buffer[0] = '\0';
    if (rc == ERROR_SUCCESS && size > 0 && size <= DESKTOP_FOLDER_SIZE) {
        // The stored data need not carry its terminator; accept it only if it fits with one.
        const DWORD length = value[size - 1] == '\0' ? size - 1 : size;
        if (length < DESKTOP_FOLDER_SIZE) {
            std::memcpy(buffer, value, length);
            buffer[length] = '\0';
        }
    }
    return 0;
}

HRESULT create_shortcut(const char* target, const char* link_path, const char* description,
                        const char* working_folder)
{
    guard::Com<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.out());
    if (FAILED(hr))
        return hr;

    link->SetPath(target);
    link->SetDescription(description);
    link->SetWorkingDirectory(working_folder);

    guard::Com<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.out());
    if (FAILED(hr))
        return hr;

    wchar_t wide_path[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, link_path, -1, wide_path, MAX_PATH) == 0)
        return HRESULT_FROM_WIN32(GetLastError());

    // An existing link of the same name is replaced.
    return file->Save(wide_path, TRUE);
}
