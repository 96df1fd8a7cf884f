#include "owndraw/primitives/dpi.h"

#include <cstdio>
#include <cstdlib>

#include "owndraw/primitives/gdi_guards.h"

namespace owndraw {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// user32 is loaded in every program with windows; only the entry point may be missing.
GetDpiForWindowFunction load_get_dpi_for_window()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    using Generic = void (*)();
    return reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<Generic>(GetProcAddress(user32, "GetDpiForWindow")));
}

constexpr int RENDERINGS[] = {100, 125, 150, 200};

} // namespace

UINT window_dpi(HWND window, HDC dc)
{
    static const GetDpiForWindowFunction get_dpi_for_window = load_get_dpi_for_window();
    if (get_dpi_for_window && window) {
        const UINT dpi = get_dpi_for_window(window);
        if (dpi != 0)
            return dpi;
    }
    const int logpixels = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
    return logpixels > 0 ? static_cast<UINT>(logpixels) : 96;
}

int closest_rendering(UINT dpi)
{
    const int wanted = MulDiv(static_cast<int>(dpi), 100, 96);
    int best = RENDERINGS[0];
    for (int percent : RENDERINGS)
        if (std::abs(percent - wanted) <= std::abs(best - wanted))
            best = percent;
    return best;
}

HBITMAP load_rendering(HINSTANCE instance, const char* name, UINT dpi, int* percent)
{
    const int closest = closest_rendering(dpi);
    if (closest != 100) {
        char scaled[64];
        const int length = std::snprintf(scaled, sizeof scaled, "%s_%d", name, closest);
        if (length > 0 && length < static_cast<int>(sizeof scaled)) {
            if (HBITMAP bitmap = LoadBitmapA(instance, scaled)) {
                *percent = closest;
                return bitmap;
            }
        }
    }
    *percent = 100;
    return LoadBitmapA(instance, name);
}

int length_at_dpi(int length, int percent, UINT dpi)
{
    // Through the length at 100%, so that every rendering lands on the edges the
    // 100% picture has at this scale.
    return MulDiv(MulDiv(length, 100, percent), static_cast<int>(dpi), 96);
}

HBITMAP resample_rendering(HBITMAP rendering, int percent, UINT dpi, int stretch_mode)
{
    BITMAP info{};
    if (!GetObjectA(rendering, sizeof info, &info))
        return nullptr;
    const int width = length_at_dpi(info.bmWidth, percent, dpi);
    const int height = length_at_dpi(info.bmHeight, percent, dpi);
    if (width == info.bmWidth && height == info.bmHeight)
        return nullptr;
    guard::WindowDC screen(nullptr);
    guard::Bitmap copy(CreateCompatibleBitmap(screen.get(), width, height));
    guard::MemoryDC source(screen.get());
    guard::MemoryDC target(screen.get());
    if (!copy || !source || !target)
        return nullptr;
    {
        guard::Select source_selected(source.get(), rendering);
        guard::Select target_selected(target.get(), copy.get());
        SetStretchBltMode(target.get(), stretch_mode);
        // HALFTONE leaves the brush origin undefined; the platform asks for it to be set again.
        SetBrushOrgEx(target.get(), 0, 0, nullptr);
        StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    return copy.release();
}

}  // namespace owndraw
