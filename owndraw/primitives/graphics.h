// Graphics primitives shared by the bitmap push buttons and the list item mark-up:
// bitmaps with a see-through key colour, vertical gradients from a colour text,
// three-field argument splitting, scaling and the even-row test.
#pragma once
#include <windows.h>

#include "owndraw/primitives/text.h"

namespace owndraw {

// The see-through colour of button glyphs and of bitmaps drawn inside list items.
// A near-black that artwork uses only around a picture; true black stays opaque.
constexpr COLORREF GLYPH_KEY_COLOR = RGB(1, 1, 1);

// Draws the whole bitmap at (x, y) unscaled with SRCCOPY. The caller keeps the bitmap.
void draw_bitmap(HDC dc, HBITMAP bitmap, int x, int y);
// Draws the whole bitmap scaled into (x, y, width, height) with SRCCOPY.
void draw_bitmap_stretched(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);
// EnumFontsA callback: copies the first enumerated LOGFONTA into the LOGFONTA at
// `destination` and stops the enumeration.
int CALLBACK copy_first_font(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD font_type,
                             LPARAM destination);

// Builds the monochrome mask of `bitmap` for `key` (key pixels 1, others 0) and turns the
// key pixels of `bitmap` black in place. The caller owns the returned mask.
HBITMAP make_mask_bitmap(HBITMAP bitmap, COLORREF key);
// Draws `bitmap` at (x, y) in its own colours with `key` see-through, whatever text and
// background colours `dc` holds; they are the same on return. The bitmap is changed (see
// make_mask_bitmap): load it afresh for every drawing.
void draw_transparent_bitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key);
// Draws `bitmap` transparently with GLYPH_KEY_COLOR; lowers *width to the bitmap's width
// when that is smaller. The whole bitmap is drawn even when wider than *width.
void draw_inline_bitmap(HDC dc, HBITMAP bitmap, int x, int y, int* width);
// Fills `rect` with a vertical gradient from the twelve-hex-digit colour pair `colors`
// (RRGGBB of the top colour, then of the bottom colour).
void fill_gradient_rect(HDC dc, RECT rect, const char* colors);
// *value := trunc(*value * factor); returns the new value.
int scale_int(double factor, int* value);
// 1 when n is even, otherwise 0.
int is_even(int n);

}  // namespace owndraw
