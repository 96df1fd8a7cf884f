#include "owndraw/buttons/bitmap_button.h"

#include <cstring>

#include "owndraw/primitives/dpi.h"
#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/primitives/graphics.h"

namespace owndraw {

LOGFONTA label_font = {};

namespace {

struct LookStyle {
    const char* face;
    COLORREF label_color;
};

LookStyle style_of(ButtonLook look)
{
    switch (look) {
    case LOOK_PRESSED:
        return {"BUTTONDW", RGB(255, 0, 0)};
    case LOOK_FOCUSED:
        return {"BUTTONUP", RGB(255, 0, 0)};
    case LOOK_DISABLED:
        return {"BUTTONUP", RGB(192, 192, 192)};
    case LOOK_NORMAL:
    default:
        return {"BUTTONUP", RGB(0, 0, 0)};
    }
}

// The off-screen bitmap starts with undefined content; this fill is what shows if the face
// strip cannot be loaded. The face strip's own light grey keeps such a button plain.
void clear_button(HDC dc, int width, int height)
{
    guard::Brush fill(CreateSolidBrush(RGB(192, 192, 192)));
    RECT all{0, 0, width, height};
    FillRect(dc, &all, fill.get());
}

// Turns an enumerated font record into the label font: 6 points for `logpixelsy` dots per inch,
// truncated toward zero (-8 at 96), default width, normal weight; the other fields stay.
void set_label_font_metrics(LOGFONTA* font, int logpixelsy)
{
    font->lfHeight = -(6 * logpixelsy) / 72;
    font->lfWidth = 0;
    font->lfWeight = FW_NORMAL;
}

void draw_line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// The glyph name of a button made with make_bitmap_button: an atom of the process's own
// table, held in a property of the window. The system drops the property with the window;
// what an atom left behind costs is a few bytes per distinct glyph name.
constexpr char GLYPH_PROPERTY[] = "owndraw.glyph";

void keep_glyph_name(HWND button, const char* glyph)
{
    if (const ATOM previous = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropA(button, GLYPH_PROPERTY))))
        DeleteAtom(previous);
    if (glyph[0] == '\0')
        return;
    if (const ATOM name = AddAtomA(glyph))
        SetPropA(button, GLYPH_PROPERTY, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(name)));
}

// The caption is read with a limit, so a longer window text is cut at the buffer.
void read_caption(HWND button, char (&caption)[BUTTON_CAPTION_SIZE])
{
    int limit = GetWindowTextLengthA(button) + 1;
    if (limit > static_cast<int>(sizeof caption))
        limit = static_cast<int>(sizeof caption);
    GetWindowTextA(button, caption, limit);
}

} // namespace

void kept_glyph_name(HWND button, char* glyph, size_t glyph_size)
{
    if (glyph_size == 0)
        return;
    glyph[0] = '\0';
    const ATOM name = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(button, GLYPH_PROPERTY)));
    if (name != 0 && GetAtomNameA(name, glyph, static_cast<int>(glyph_size)) == 0)
        glyph[0] = '\0';
}

void make_bitmap_button(HWND button)
{
    // Read and cut as a paint reads it, so that the label and glyph are those it would paint.
    char caption[BUTTON_CAPTION_SIZE] = "";
    read_caption(button, caption);
    // A caption without '/' is already a label: calling again keeps the glyph.
    if (std::strchr(caption, '/') != nullptr) {
        char label[BUTTON_LABEL_SIZE];
        char glyph[BUTTON_GLYPH_NAME_SIZE];
        split_button_caption(caption, label, sizeof label, glyph, sizeof glyph);
        keep_glyph_name(button, glyph);
        SetWindowTextA(button, label);
    }
    const LONG style = GetWindowLongA(button, GWL_STYLE);
    SetWindowLongA(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
}

int choose_button_look(UINT item_action, UINT item_state)
{
    if (item_action & ODA_SELECT)
        return (item_state & ODS_SELECTED) ? LOOK_PRESSED : LOOK_NORMAL;
    if (item_action & ODA_FOCUS)
        return (item_state & ODS_FOCUS) ? LOOK_FOCUSED : LOOK_NORMAL;
    if (item_action & ODA_DRAWENTIRE) {
        // A whole repaint shows the state as it is: common controls 6 repaint a button whole
        // when it is pressed, and a dialog repainted under a focused button must keep its mark.
        if (item_state & ODS_SELECTED)
            return LOOK_PRESSED;
        if (item_state & ODS_FOCUS)
            return LOOK_FOCUSED;
        return (item_state & ODS_DISABLED) ? LOOK_DISABLED : LOOK_NORMAL;
    }
    return 0;
}

void draw_bitmap_button(HINSTANCE instance, HWND dialog, const DRAWITEMSTRUCT* request)
{
    int look = choose_button_look(request->itemAction, request->itemState);
    if (look == 0)
        return;
    paint_bitmap_button(instance, dialog, static_cast<int>(request->CtlID),
                        static_cast<ButtonLook>(look));
}

int paint_bitmap_button(HINSTANCE instance, HWND dialog, int control_id, ButtonLook look)
{
    HWND button = GetDlgItem(dialog, control_id);
    guard::WindowDC window_dc(button);
    if (!window_dc)
        return 1;
    RECT client{};
    GetClientRect(button, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;

    // Composing off-screen and showing the result in one transfer keeps the layers
    // (face, glyph, label, edges) from flickering on the screen.
    guard::Bitmap canvas(CreateCompatibleBitmap(window_dc.get(), width, height));
    guard::MemoryDC memory_dc(window_dc.get());
    if (!canvas || !memory_dc)
        return 1;
    {
        guard::Select canvas_selected(memory_dc.get(), canvas.get());
        compose_bitmap_button(instance, button, memory_dc.get(), width, height, look);
        BitBlt(window_dc.get(), 0, 0, width, height, memory_dc.get(), 0, 0, SRCCOPY);
    }
    return 1;
}

void compose_bitmap_button(HINSTANCE instance, HWND button, HDC dc, int width, int height,
                           ButtonLook look)
{
    char caption[BUTTON_CAPTION_SIZE] = "";
    read_caption(button, caption);
    char label[BUTTON_LABEL_SIZE];
    char glyph[BUTTON_GLYPH_NAME_SIZE];
    split_button_caption(caption, label, sizeof label, glyph, sizeof glyph);
    // A caption split by make_bitmap_button is the label alone; the glyph name is kept.
    if (std::strchr(caption, '/') == nullptr)
        kept_glyph_name(button, glyph, sizeof glyph);

    LookStyle style = style_of(look);
    clear_button(dc, width, height);
    draw_button_face(instance, dc, style.face, width, height);
    // The transparent glyph turns the mask's bits into the DC's text and background
    // colours; only black on white leaves the face visible through the key pixels.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    draw_button_glyph(instance, dc, glyph, window_dpi(button, dc));
    draw_button_label(button, dc, label, style.label_color);
    draw_button_edges(dc, width, height);
}

void split_button_caption(const char* caption, char* label, size_t label_size, char* glyph,
                          size_t glyph_size)
{
    if (label_size > 0)
        label[0] = '\0';
    if (glyph_size > 0)
        glyph[0] = '\0';
    const char* end = nullptr;
    const char* first = find_token(caption, '/', &end);
    if (!first)
        return;
    copy_bounded(label, label_size, first, end);
    const char* second = find_token(end, '/', &end);
    if (second)
        copy_bounded(glyph, glyph_size, second, end);
}

void draw_button_face(HINSTANCE instance, HDC dc, const char* bitmap_name, int width, int height)
{
    guard::Bitmap face(LoadBitmapA(instance, bitmap_name));
    if (!face)
        return;
    draw_bitmap_stretched(dc, face.get(), 0, 0, width, height);
}

void draw_button_glyph(HINSTANCE instance, HDC dc, const char* bitmap_name, UINT dpi)
{
    if (bitmap_name[0] == '\0')
        return;
    // Loaded afresh every time: the transparent drawing blackens the key pixels in place.
    int percent = 100;
    guard::Bitmap glyph(load_rendering(instance, bitmap_name, dpi, &percent));
    if (!glyph)
        return;
    // Between the renderings the nearest one is resampled pixel for pixel: a blend would
    // mix the key colour into the glyph's edge.
    guard::Bitmap resampled(resample_rendering(glyph.get(), percent, dpi, COLORONCOLOR));
    draw_transparent_bitmap(dc, resampled ? resampled.get() : glyph.get(), MulDiv(2, dpi, 96),
                            MulDiv(1, dpi, 96), GLYPH_KEY_COLOR);
}

void draw_button_label(HWND button, HDC dc, const char* label, COLORREF color)
{
    RECT text_rect{};
    GetClientRect(button, &text_rect);
    text_rect.left += MulDiv(20, window_dpi(button, dc), 96); // room for the glyph
    text_rect.right -= 1;

    // Where no font answers to "system" the record keeps what the last paint left, zero
    // at first; a zero record with a height still makes the default face, so the label
    // stays readable.
    EnumFontsA(dc, "system", copy_first_font, reinterpret_cast<LPARAM>(&label_font));
    set_label_font_metrics(&label_font, GetDeviceCaps(dc, LOGPIXELSY));
    guard::Font font(CreateFontIndirectA(&label_font));
    guard::Select font_selected(dc, font.get());
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, label, -1, &text_rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void draw_button_edges(HDC dc, int width, int height)
{
    // LineTo leaves out the end point, so each line stops one short of its second point.
    {
        guard::Pen white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        guard::Select selected(dc, white.get());
        draw_line(dc, 0, 0, 0, height);
        draw_line(dc, width - 1, 0, width - 1, height);
    }
    {
        guard::Pen white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        guard::Select selected(dc, white.get());
        draw_line(dc, 1, 1, 1, height - 1);
    }
    {
        guard::Pen light(CreatePen(PS_SOLID, 1, RGB(192, 192, 192)));
        guard::Select selected(dc, light.get());
        draw_line(dc, 0, 1, 0, height - 1);
    }
    {
        guard::Pen dark(CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
        guard::Select selected(dc, dark.get());
        draw_line(dc, width - 1, 1, width - 1, height - 1);
    }
}

}  // namespace owndraw
