// Display scale: the dots per inch of a window, and bitmaps rendered for a scale.
#pragma once
#include <windows.h>

namespace owndraw {

// The dots per inch a window is drawn at, 96 at 100%: GetDpiForWindow where the system has
// it (looked up at run time: Windows 7 and 8 lack it), else the LOGPIXELSX of `dc`; 96 when
// neither answers.
UINT window_dpi(HWND window, HDC dc);

// The scale, in percent, of the rendering closest to `dpi` among those the artwork holds
// (100, 125, 150 and 200); a tie goes to the larger one.
int closest_rendering(UINT dpi);

// Loads bitmap `name` as rendered for the scale closest to `dpi`: "NAME_125", "NAME_150" or
// "NAME_200", or "NAME" itself (100%) when that rendering is not among the resources.
// *percent receives the scale of what was loaded. The caller owns the bitmap.
HBITMAP load_rendering(HINSTANCE instance, const char* name, UINT dpi, int* percent);

// Size at `dpi` of a length that is `length` pixels in a rendering made for `percent`.
int length_at_dpi(int length, int percent, UINT dpi);

// A copy of `rendering` (made for `percent`) at its size for `dpi`, resampled with
// `stretch_mode` (HALFTONE for pictures, COLORONCOLOR where a key colour must stay exact).
// Null when the rendering already has that size, or when the copy cannot be made.
HBITMAP resample_rendering(HBITMAP rendering, int percent, UINT dpi, int stretch_mode);

}  // namespace owndraw
