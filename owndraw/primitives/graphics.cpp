#include "owndraw/primitives/graphics.h"

#include <climits>
#include <cstring>

#include "owndraw/primitives/gdi_guards.h"

namespace owndraw {

namespace {

// Both bitmap copies share everything but the destination size: the memory DC takes the
// destination's mapping mode, and the source origin is the destination's device origin
// in logical units, so that a caller that moved the destination's window origin gets the
// same picture it would get on an untransformed DC.
void blit_bitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, bool stretch)
{
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return;
    guard::MemoryDC source(dc);
    if (!source)
        return;
    guard::Select chosen(source.get(), bitmap);
    SetMapMode(source.get(), GetMapMode(dc));
    POINT origin{0, 0};
    DPtoLP(dc, &origin, 1);
    if (stretch)
        StretchBlt(dc, x, y, width, height, source.get(), origin.x, origin.y, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    else
        BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), origin.x, origin.y, SRCCOPY);
}

// A monochrome source combined with a colour destination takes the destination's text
// colour for its 0 bits and its background colour for its 1 bits. Black and white make the
// mask a true mask, whatever colours the caller draws its text in (a selected list item, a
// colour command of the mark-up); the caller's colours come back afterwards.
struct MaskColours {
    HDC dc;
    COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF background = SetBkColor(dc, RGB(255, 255, 255));
    ~MaskColours()
    {
        SetTextColor(dc, text);
        SetBkColor(dc, background);
    }
};

using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// msimg32 is not among the known DLLs, so an import entry would let the loader search the
// program's own folder for it. Bind it by hand from the system folder instead, by its full
// path: a loader without the SetDefaultDllDirectories update refuses the search flags. The
// module is kept loaded for the life of the process: the pointer is cached for every fill.
GradientFillFunction load_gradient_fill()
{
    static const wchar_t name[] = L"\\msimg32.dll";
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + sizeof name / sizeof name[0] > MAX_PATH)
        return nullptr;
    std::memcpy(path + length, name, sizeof name);
    HMODULE library = LoadLibraryW(path);
    if (!library)
        return nullptr;
    // Going through the generic function pointer type keeps the cast free of warnings
    // about incompatible function types.
    using Generic = void (*)();
    return reinterpret_cast<GradientFillFunction>(
        reinterpret_cast<Generic>(GetProcAddress(library, "GradientFill")));
}

} // namespace

void draw_bitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    blit_bitmap(dc, bitmap, x, y, 0, 0, false);
}

void draw_bitmap_stretched(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    blit_bitmap(dc, bitmap, x, y, width, height, true);
}

int CALLBACK copy_first_font(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM destination)
{
    std::memcpy(reinterpret_cast<LOGFONTA*>(destination), font, sizeof(LOGFONTA));
    return 0; // one font is all the caller wants
}

HBITMAP make_mask_bitmap(HBITMAP bitmap, COLORREF key)
{
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return nullptr;
    guard::Bitmap mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
    if (!mask)
        return nullptr;
    {
        guard::MemoryDC colour_dc(nullptr);
        guard::MemoryDC mask_dc(nullptr);
        if (!colour_dc || !mask_dc)
            return nullptr;
        guard::Select colour_selected(colour_dc.get(), bitmap);
        guard::Select mask_selected(mask_dc.get(), mask.get());
        // A colour-to-monochrome copy turns pixels of the source's background colour into 1.
        SetBkColor(colour_dc.get(), key);
        BitBlt(mask_dc.get(), 0, 0, info.bmWidth, info.bmHeight, colour_dc.get(), 0, 0, SRCCOPY);
        // Back the other way the 1 bits become the key colour and the 0 bits black (the
        // untouched text colour), so XOR turns exactly the key pixels black.
        SetTextColor(colour_dc.get(), RGB(0, 0, 0));
        BitBlt(colour_dc.get(), 0, 0, info.bmWidth, info.bmHeight, mask_dc.get(), 0, 0, SRCINVERT);
    }
    return mask.release();
}

void draw_transparent_bitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key)
{
    guard::Bitmap mask(make_mask_bitmap(bitmap, key));
    if (!mask)
        return;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    guard::MemoryDC source(dc);
    if (!source)
        return;
    MaskColours colours{dc};
    {
        // AND with the mask keeps the destination under the key pixels and blackens the rest;
        // OR with the blackened bitmap then puts the picture into the black hole.
        guard::Select mask_selected(source.get(), mask.get());
        BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCAND);
    }
    guard::Select bitmap_selected(source.get(), bitmap);
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCPAINT);
}

void draw_inline_bitmap(HDC dc, HBITMAP bitmap, int x, int y, int* width)
{
    BITMAP info{};
    if (GetObjectA(bitmap, sizeof info, &info) && info.bmWidth < *width)
        *width = info.bmWidth;
    draw_transparent_bitmap(dc, bitmap, x, y, GLYPH_KEY_COLOR);
}

void fill_gradient_rect(HDC dc, RECT rect, const char* colors)
{
    static const GradientFillFunction gradient_fill = load_gradient_fill();
    if (!gradient_fill)
        return;
    unsigned short channels[6];
    read_color_pair(colors, channels);
    TRIVERTEX vertices[2] = {
        {rect.left, rect.top, channels[0], channels[1], channels[2], 0},
        {rect.right, rect.bottom, channels[3], channels[4], channels[5], 0},
    };
    GRADIENT_RECT mesh{0, 1};
    gradient_fill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

int scale_int(double factor, int* value)
{
    // Conversion truncates toward zero; out-of-range products are held at the int limits
    // and a NaN gives 0, rather than being left to an undefined conversion.
    double product = *value * factor;
    if (product != product) // NaN factor
        *value = 0;
    else if (product >= static_cast<double>(INT_MAX))
        *value = INT_MAX;
    else if (product <= static_cast<double>(INT_MIN))
        *value = INT_MIN;
    else
        *value = static_cast<int>(product);
    return *value;
}

int is_even(int n)
{
    return n % 2 == 0 ? 1 : 0;
}

}  // namespace owndraw
