// Reads a window as a screen reader does: name, value, shortcut and role of its client object.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include <string>

namespace accessible {

// The import library's IID_IAccessible is no usable GUID when linked statically with MinGW.
const IID IID_ACCESSIBLE = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Wine's proxies for buttons and list boxes are its generic client object, which lists no items.
inline bool on_wine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

struct Spoken { std::string name = "(none)", value = "(none)", shortcut; long role = 0, children = -1; };

inline std::string utf8(BSTR text) {
    char out[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return SysFreeString(text), out;
}

// What the client object of `window` says of itself (child 0) or of its child `child`.
inline Spoken speak(HWND window, long child = CHILDID_SELF) {
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Spoken spoken;
    IAccessible* object = nullptr;
    if (FAILED(com) || FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), IID_ACCESSIBLE, reinterpret_cast<void**>(&object))))
        return spoken;
    VARIANT id{}, role{};
    id.vt = VT_I4, id.lVal = child;
    for (const auto& [get, said] : {std::make_pair(&IAccessible::get_accName, &spoken.name), {&IAccessible::get_accValue, &spoken.value}, {&IAccessible::get_accKeyboardShortcut, &spoken.shortcut}})
        if (BSTR text = nullptr; SUCCEEDED((object->*get)(id, &text)) && text)
            *said = utf8(text);
    if (SUCCEEDED(object->get_accRole(id, &role)) && role.vt == VT_I4)
        spoken.role = role.lVal;
    object->get_accChildCount(&spoken.children);
    object->Release();
    return spoken;
}

} // namespace accessible
