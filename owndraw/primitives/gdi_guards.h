// Scoped owners for GDI objects, device contexts and COM interface pointers.
// Each guard keeps everything its destructor needs, so that a painter which
// creates what it uses releases it on every path out, by construction.
#pragma once
#include <windows.h>

namespace owndraw {

namespace guard {

// A GDI object (bitmap, brush, pen, font, region) deleted with DeleteObject.
template <typename H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : h_(o.release()) {}
    GdiObject& operator=(GdiObject&& o) noexcept { if (this != &o) { reset(); h_ = o.release(); } return *this; }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    H release() { H h = h_; h_ = nullptr; return h; }
    void reset(H h = nullptr) { if (h_) DeleteObject(h_); h_ = h; }

private:
    H h_ = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;

// A memory device context from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A device context created for a driver (CreateDCA), deleted with DeleteDC.
class DriverDC {
public:
    explicit DriverDC(const char* driver) : dc_(CreateDCA(driver, nullptr, nullptr, nullptr)) {}
    ~DriverDC() { if (dc_) DeleteDC(dc_); }
    DriverDC(const DriverDC&) = delete;
    DriverDC& operator=(const DriverDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
    ~WindowDC() { if (dc_) ReleaseDC(wnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint ... EndPaint.
class Paint {
public:
    explicit Paint(HWND wnd) : wnd_(wnd), ps_{} { dc_ = BeginPaint(wnd_, &ps_); }
    ~Paint() { EndPaint(wnd_, &ps_); }
    Paint(const Paint&) = delete;
    Paint& operator=(const Paint&) = delete;
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_;
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back on scope exit,
// so that the object can then be deleted safely.
class Select {
public:
    Select(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~Select() { if (old_) SelectObject(dc_, old_); }
    Select(const Select&) = delete;
    Select& operator=(const Select&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer released on scope exit.
template <typename T>
class Com {
public:
    Com() = default;
    ~Com() { if (p_) p_->Release(); }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    // For the out parameter of CoCreateInstance or QueryInterface.
    void** out() { if (p_) { p_->Release(); p_ = nullptr; } return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

} // namespace guard

}  // namespace owndraw
