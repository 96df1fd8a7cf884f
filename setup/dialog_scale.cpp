#include "setup/dialog_scale.h"

#include <cstdlib>
#include <utility>

#include "owndraw/primitives/dpi.h"
#include "owndraw/primitives/gdi_guards.h"
#include "setup/app.h"
#include "setup/setup_dialog.h"

using namespace owndraw;

namespace {

// The dialog as it is at 96 dots per inch, in pixels: at any other DPI the client area and
// every control are these rectangles times dpi / 96, each edge rounded as the background
// picture's are. Dialog units would not do: the dialog font does not grow evenly with the DPI.
constexpr int DIALOG_CONTROLS_MAX = 32;
struct ControlAt96 {
    HWND control;
    RECT rect;
};
ControlAt96 controls_at_96[DIALOG_CONTROLS_MAX];
int control_count = 0;
SIZE client_at_96 = {};
UINT dialog_dpi = 96;
// The fields' font for a DPI the dialog moved to; the dialog manager owns the first one.
guard::Font font_at_dpi;

int scaled(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), 96);
}

// The dialog units of a length the dialog manager made `pixels` long with `base` pixels per
// `per` units (MulDiv, rounded): base / per is at least 1, so one length of units gives it.
int units_of(int pixels, int base, int per)
{
    const int guess = MulDiv(pixels, per, base);
    for (int units = guess - 1; units <= guess + 1; ++units)
        if (MulDiv(units, base, per) == pixels)
            return units;
    return guess;
}

// The dialog's base units at 96 dots per inch: "MS Sans Serif" at 8 points, the font the
// template names and the background picture was drawn around (a 596 by 473 client area). They
// cannot be measured at another DPI: the system then maps that face to the bitmap font made
// for its own DPI, whose strikes differ.
constexpr SIZE BASE_UNITS_AT_96 = {6, 13};

// Records the client area and every control at 96 dots per inch. At 96 they are what the
// dialog manager made; at another DPI they go back through the dialog units it used.
void record_layout_at_96(HWND dialog, UINT dpi)
{
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    const SIZE now{units.right, units.bottom};
    const SIZE at_96 = dpi == 96 ? now : BASE_UNITS_AT_96;
    const auto to_96 = [&](LONG pixels, bool horizontal) {
        return horizontal ? MulDiv(units_of(pixels, now.cx, 4), at_96.cx, 4)
                          : MulDiv(units_of(pixels, now.cy, 8), at_96.cy, 8);
    };
    RECT client{};
    GetClientRect(dialog, &client);
    client_at_96 = {to_96(client.right, true), to_96(client.bottom, false)};
    control_count = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control && control_count < DIALOG_CONTROLS_MAX;
         control = GetWindow(control, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const LONG left = to_96(r.left, true), top = to_96(r.top, false);
        controls_at_96[control_count++] = {control, {left, top, left + to_96(r.right - r.left, true),
                                                     top + to_96(r.bottom - r.top, false)}};
    }
}

// Every control at `dpi`; the window keeps its place and size.
void lay_out_controls(UINT dpi)
{
    for (int i = 0; i < control_count; ++i) {
        const RECT& r = controls_at_96[i].rect;
        MoveWindow(controls_at_96[i].control, scaled(r.left, dpi), scaled(r.top, dpi),
                   scaled(r.right, dpi) - scaled(r.left, dpi), scaled(r.bottom, dpi) - scaled(r.top, dpi), TRUE);
    }
}

SIZE window_size_at(HWND dialog, UINT dpi)
{
    RECT window{}, client{};
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    return {window.right - window.left - client.right + scaled(client_at_96.cx, dpi),
            window.bottom - window.top - client.bottom + scaled(client_at_96.cy, dpi)};
}

// The DPI background_bitmap was made for; 0 before it is made.
UINT background_dpi = 0;

// The background rendering closest to `dpi`, resampled when the DPI lies between
// renderings; made once per DPI and kept for every paint.
void make_background(UINT dpi)
{
    if (background_bitmap != nullptr)
        DeleteObject(background_bitmap);
    background_dpi = dpi;
    int percent = 100;
    background_bitmap = load_rendering(app_instance, "BINDER", dpi, &percent);
    if (background_bitmap == nullptr)
        return;
    if (HBITMAP resampled = resample_rendering(background_bitmap, percent, dpi, HALFTONE)) {
        DeleteObject(background_bitmap);
        background_bitmap = resampled;
    }
}

// The dialog font at `dpi` for every control, made from the one the dialog manager chose.
void set_fields_font(HWND dialog, UINT dpi)
{
    LOGFONTA description{};
    const auto current = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (!current || !GetObjectA(current, sizeof description, &description))
        return;
    // Through the point size, as the dialog manager makes it: no rounding piles up.
    const int points = MulDiv(std::abs(description.lfHeight), 72, static_cast<int>(dialog_dpi));
    description.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
    guard::Font font(CreateFontIndirectA(&description));
    if (!font)
        return;
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    for (int i = 0; i < control_count; ++i)
        SendMessageW(controls_at_96[i].control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_at_dpi = std::move(font);
}

using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);

// Windows 10 1703 and later resize a per-monitor dialog and its fonts by themselves on a DPI
// change; the dialog lays itself out instead. Older systems and Wine lack the switch.
void keep_dpi_changes_to_the_dialog(HWND dialog)
{
    constexpr int DISABLE_FONT_UPDATE = 1, DISABLE_RESIZE = 2, DISABLE_CONTROL_RELAYOUT = 4;
    constexpr int ALL = DISABLE_FONT_UPDATE | DISABLE_RESIZE | DISABLE_CONTROL_RELAYOUT;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using Generic = void (*)();
    const auto set_behavior = user32 ? reinterpret_cast<SetDialogDpiChangeBehaviorFunction>(
        reinterpret_cast<Generic>(GetProcAddress(user32, "SetDialogDpiChangeBehavior"))) : nullptr;
    if (set_behavior)
        set_behavior(dialog, ALL, ALL);
}

} // namespace

void scale_dialog(HWND dialog)
{
    keep_dpi_changes_to_the_dialog(dialog);
    dialog_dpi = window_dpi(dialog, nullptr);
    record_layout_at_96(dialog, dialog_dpi);
    // At 96 dots per inch the dialog stays exactly as the template makes it, picture included.
    if (dialog_dpi == 96) {
        make_background(96);
        return;
    }
    // The larger renderings take a while to decode: the first paint makes the picture, so
    // that the dialog shows as soon as a plain one would.
    lay_out_controls(dialog_dpi);
    const SIZE size = window_size_at(dialog, dialog_dpi);
    SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL rescale_dialog(HWND dialog, UINT dpi, const RECT* suggested)
{
    if (dpi == 0)
        return TRUE;
    set_fields_font(dialog, dpi);
    dialog_dpi = dpi;
    lay_out_controls(dpi);
    SetWindowPos(dialog, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(dialog, nullptr, TRUE);
    return TRUE;
}

void update_background()
{
    if (background_dpi != dialog_dpi)
        make_background(dialog_dpi);
}
