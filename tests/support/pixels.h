// Pixel helpers of the drawing tests: 32-bit top-down DIB sections whose bits are read
// back, and failure messages that name the place and both colours.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

#include "owndraw/gdi_guards.h"

namespace pixels {

// Colours in these tests are written 0xRRGGBB, the layout of a 32-bit DIB pixel.
using Rgb = unsigned;

inline COLORREF colorref(Rgb rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

inline std::string hex(Rgb rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06x", rgb & 0xFFFFFFu);
    return text;
}

inline std::string pixel_message(int x, int y, Rgb got, Rgb want)
{
    return "at (" + std::to_string(x) + "," + std::to_string(y) + "): got " + hex(got) +
           ", want " + hex(want);
}

inline HBITMAP create_dib(int width, int height, DWORD** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row y starts at bits + y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* data = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &data, nullptr, 0);
    *bits = static_cast<DWORD*>(data);
    return bitmap;
}

// A 32-bit DIB section selected into a fresh memory DC.
struct Canvas {
    Canvas(int w, int h)
        : width(w), height(h), bitmap(create_dib(w, h, &bits)), selected(dc.get(), bitmap.get())
    {
    }
    Rgb at(int x, int y) const
    {
        GdiFlush();
        return bits[y * width + x] & 0xFFFFFFu;
    }
    void set(int x, int y, Rgb rgb) { GdiFlush(); bits[y * width + x] = rgb; }
    void fill(Rgb rgb)
    {
        GdiFlush(); // once: the soak paints many thousands of canvases
        for (int i = 0; i < width * height; ++i)
            bits[i] = rgb;
    }

    int width;
    int height;
    DWORD* bits = nullptr;
    guard::MemoryDC dc{nullptr};
    guard::Bitmap bitmap;
    guard::Select selected;
};

} // namespace pixels
