// Reads a window the way a screen reader does: the platform's accessibility interface
// (AccessibleObjectFromWindow on the window's client object), name, role and shortcut.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include <string>

namespace accessible {

// The import library's IID_IAccessible is no usable GUID when linked statically with MinGW.
const IID IID_ACCESSIBLE = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct Spoken {
    bool found = false;    // the platform gave an accessible object
    std::string name;      // "(none)" when it has no name
    std::string shortcut;  // "" when it has none
    long role = 0;
    long children = -1;
};

// Wine's proxies for standard controls are its generic client object (role client); it has
// none that lists a list box's items.
inline bool on_wine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

inline std::string utf8(BSTR text) {
    if (text == nullptr)
        return "(none)";
    char out[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    SysFreeString(text);
    return out;
}

// What the client object of `window` says of itself (child 0) or of its child `child`.
inline Spoken speak(HWND window, long child = CHILDID_SELF) {
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
    Spoken spoken;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), IID_ACCESSIBLE, reinterpret_cast<void**>(&object))) || !object)
        return spoken;
    spoken.found = true;
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4, id.lVal = child;
    BSTR text = nullptr;
    spoken.name = SUCCEEDED(object->get_accName(id, &text)) ? utf8(text) : "(none)";
    text = nullptr;
    if (SUCCEEDED(object->get_accKeyboardShortcut(id, &text)) && text)
        spoken.shortcut = utf8(text);
    VARIANT role;
    VariantInit(&role);
    if (SUCCEEDED(object->get_accRole(id, &role)) && role.vt == VT_I4)
        spoken.role = role.lVal;
    object->get_accChildCount(&spoken.children);
    object->Release();
    return spoken;
}

} // namespace accessible
