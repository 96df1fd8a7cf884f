// 32-bit top-down DIB sections read back, ink found by colour, messages naming place and colours.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "owndraw/primitives/gdi_guards.h"

namespace pixels {

// Colours in these tests are written 0xRRGGBB, the layout of a 32-bit DIB pixel.
using Rgb = unsigned;

inline std::string hex(Rgb rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06x", rgb & 0xFFFFFFu);
    return text;
}

inline std::string pixel_message(int x, int y, Rgb got, Rgb want) {
    char text[64];
    std::snprintf(text, sizeof text, "at (%d,%d): got 0x%06x, want 0x%06x", x, y, got, want);
    return text;
}

inline HBITMAP create_dib(int width, int height, DWORD** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row y starts at bits + y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr, 0);
}

// A 32-bit DIB section selected into a fresh memory DC.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h), bitmap(create_dib(w, h, &bits)), selected(dc.get(), bitmap.get()) {}
    Rgb at(int x, int y) const { GdiFlush(); return bits[y * width + x] & 0xFFFFFFu; }
    void set(int x, int y, Rgb rgb) { GdiFlush(); bits[y * width + x] = rgb; }
    void fill(Rgb rgb)
    {
        GdiFlush(); // once: the soak paints many thousands of canvases
        for (int i = 0; i < width * height; ++i)
            bits[i] = rgb;
    }
    // Takes the picture at (x, y) of `from`: a window's DC, or the screen's.
    void copy_from(HDC from, int x, int y) { BitBlt(dc.get(), 0, 0, width, height, from, x, y, SRCCOPY); }

    int width, height;
    DWORD* bits = nullptr;
    owndraw::guard::MemoryDC dc{nullptr};
    owndraw::guard::Bitmap bitmap;
    owndraw::guard::Select selected;
};

// Pixels of exactly `colour` inside [x0, x1) x [y0, y1), and the columns they span.
struct Ink { int count = 0, left = 1 << 30, right = -1; };
inline Ink find_ink(const Canvas& canvas, Rgb colour, int x0, int x1, int y0, int y1) {
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (canvas.at(x, y) == colour)
                ++ink.count, ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
    return ink;
}

} // namespace pixels
