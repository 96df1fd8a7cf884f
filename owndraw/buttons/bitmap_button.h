// Owner-drawn push buttons whose caption holds a label and a glyph bitmap name,
// "&Label/GLYPHNAME", painted off-screen from a stretched face strip.
#pragma once
#include <windows.h>

#include <cstddef>

#include <owndraw/owndraw.h>

namespace owndraw {

enum ButtonLook {
    LOOK_NORMAL = 1,   // "BUTTONUP", black label
    LOOK_PRESSED = 2,  // "BUTTONDW", red label
    LOOK_FOCUSED = 3,  // "BUTTONUP", red label
    LOOK_DISABLED = 4, // "BUTTONUP", light grey label
};

// The label font record, refilled on every label paint; starts zero-filled.
extern LOGFONTA label_font;

// Paints control `control_id` of `dialog` in `look`. Returns 1.
int paint_bitmap_button(HINSTANCE instance, HWND dialog, int control_id, ButtonLook look);
// The look a request asks for; 0 when it carries none of the three action flags.
int choose_button_look(UINT item_action, UINT item_state);
// Splits a caption at '/' like the standard tokeniser: first token the label, second the glyph.
void split_button_caption(const char* caption, char* label, size_t label_size, char* glyph,
                          size_t glyph_size);

// The glyph name make_bitmap_button kept for `button`; empty when it kept none.
void kept_glyph_name(HWND button, char* glyph, size_t glyph_size);

// Composes the whole button `button` in `look` into `dc` over (0, 0, width, height): face,
// glyph, label, edges. paint_bitmap_button composes into an off-screen bitmap with it.
void compose_bitmap_button(HINSTANCE instance, HWND button, HDC dc, int width, int height,
                           ButtonLook look);

// Caption buffer sizes, terminator included; longer texts are cut at the buffer.
constexpr size_t BUTTON_CAPTION_SIZE = 80;
constexpr size_t BUTTON_LABEL_SIZE = 40;
constexpr size_t BUTTON_GLYPH_NAME_SIZE = 20;

void draw_button_face(HINSTANCE instance, HDC dc, const char* bitmap_name, int width, int height);
// The glyph is drawn 20 pixels square at 96 dots per inch, from the rendering made for
// `dpi` (resampled from the closest one between renderings), at (2, 1) scaled alike.
void draw_button_glyph(HINSTANCE instance, HDC dc, const char* bitmap_name, UINT dpi = 96);
void draw_button_label(HWND button, HDC dc, const char* label, COLORREF color);
void draw_button_edges(HDC dc, int width, int height);

}  // namespace owndraw
