// The installation dialog at any display scale: with s = dpi / 96 the client area and every
// control are their 96-DPI pixel rectangles times s, and the background is the picture
// rendered (or resampled) for s. At 96 dots per inch the dialog stays as the template makes it.
#pragma once
#include <windows.h>

// Lays the dialog out for the DPI it was created at; call it first in WM_INITDIALOG, before
// the dialog is centred. Records every control's rectangle at 96 dots per inch.
void scale_dialog(HWND dialog);
// WM_DPICHANGED: the fields' font, the controls and the picture again for `dpi`, and the window
// moved to `suggested`. Returns TRUE.
BOOL rescale_dialog(HWND dialog, UINT dpi, const RECT* suggested);
// Makes background_bitmap for the dialog's DPI when it is missing or for another DPI; the
// larger renderings are made at the first paint, so that the dialog shows without waiting.
void update_background();
