#include "owndraw/markup/markup.h"

#include <cstring>
#include <memory>
#include <new>

#include "owndraw/markup/markup_state.h"
#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/primitives/graphics.h"

namespace owndraw {

RECT work_rect = {};

// The dispatch order. "@CSL" comes before "@CS", so a word that begins with "@CSL" is
// never taken for "@CS"; "@LIN"/"@LINB"/"@LINC" and the "@DR" and "@SF" families are
// told apart because they are exact.
const MarkupCommand markup_commands[] = {
    {"@OFS", 0, command_ofs},   {"@X", 0, command_x},       {"@XE", 0, command_xe},
    {"@D", 0, command_d},       {"@XCOL", 0, command_xcol}, {"@BMP", 4, command_bmp},
    {"@BBK", 4, command_bbk},   {"@RBR", 0, command_rbr},   {"@CL", 3, command_cl},
    {"@CSL", 4, command_csl},   {"@CA", 3, command_ca},     {"@CS", 3, command_cs},
    {"@CD", 3, command_cd},     {"@CR", 3, command_cr},     {"@TXT", 4, command_txt},
    {"@TXL", 4, command_txl},   {"@DTA", 0, command_dta},   {"@BCK", 0, command_bck},
    {"@BKM", 0, command_bkm},   {"@FRG", 4, command_frg},   {"@PEN", 4, command_pen},
    {"@SEP", 0, command_sep},   {"@TREE", 0, command_tree}, {"@LIN", 0, command_lin},
    {"@LINB", 0, command_linb}, {"@LINC", 0, command_linc}, {"@EL", 0, command_el},
    {"@TL", 0, command_tl},     {"@FL", 0, command_fl},     {"@RECT", 0, command_rect},
    {"@GRECT", 0, command_grect}, {"@SP", 0, command_sp},   {"@DRC", 0, command_drc},
    {"@DR", 0, command_dr},     {"@DRS", 0, command_drs},   {"@SF", 0, command_sf},
    {"@SFP", 0, command_sfp},   {"@SFD", 0, command_sfd},   {"@SFB", 0, command_sfb},
    {"@SCP", 0, command_scp},   {"@SCD", 0, command_scd},   {"@SCB", 0, command_scb},
    {"@F01", 4, command_f01},
};
const size_t markup_command_count = sizeof markup_commands / sizeof markup_commands[0];
static_assert(sizeof markup_commands / sizeof markup_commands[0] == 43, "the 43 commands");

const MarkupCommand* find_markup_command(const char* command_name)
{
    for (const MarkupCommand& command : markup_commands) {
        if (command_word_matches(command_name, command.word, command.prefix))
            return &command;
    }
    return nullptr;
}

namespace {

constexpr UINT PLAIN_TEXT_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX; // 0x824

// Puts back the font the item began with on every way out of the call.
struct FontRestore {
    MarkupState& state;
    ~FontRestore() { restore_item_font(state); }
};

// A zero-filled heap buffer, or nullptr when memory is short.
std::unique_ptr<char[]> zeroed_buffer(size_t size)
{
    return std::unique_ptr<char[]>(new (std::nothrow) char[size]());
}

void set_up(MarkupState& s, HINSTANCE instance, const DRAWITEMSTRUCT* item,
            const ColumnTable* columns, double scale)
{
    s.instance = instance;
    s.item = item;
    s.dc = item->hDC;
    s.item_rect = item->rcItem;
    s.selected = (item->itemState & ODS_SELECTED) != 0;
    s.item_id = static_cast<int>(item->itemID);
    s.columns = columns;
    s.scale = scale;
    s.margin = scaled(s, 5);
    s.line_step = scaled(s, 1);
    s.tree_step = scaled(s, 10);
    s.pen_color = RGB(0, 0, 0);
    s.color_value = RGB(0, 0, 0);
    s.range_color = RGB(0, 0, 0);
    s.even_row_color = RGB(255, 255, 255);
    s.odd_row_color = RGB(255, 255, 255);
    work_rect = item->rcItem;
    s.item_left = work_rect.left;
}

} // namespace

int scaled(const MarkupState& state, int n)
{
    return scale_int(state.scale, &n);
}

bool column_entry(const MarkupState& state, int index, int* start, int* width)
{
    const ColumnTable* table = state.columns;
    if (table == nullptr || table->starts == nullptr || table->widths == nullptr ||
        index < 0 || index >= table->count)
        return false;
    *start = table->starts[index];
    *width = table->widths[index];
    return true;
}

void draw_line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void draw_line_with(HDC dc, int style, COLORREF color, int x1, int y1, int x2, int y2)
{
    guard::Pen pen(CreatePen(style, 1, color));
    guard::Select selected(dc, pen.get());
    draw_line(dc, x1, y1, x2, y2);
}

void restore_item_font(MarkupState& state)
{
    if (state.saved_font == nullptr)
        return;
    HGDIOBJ enlarged = SelectObject(state.dc, state.saved_font);
    if (enlarged != nullptr && enlarged != state.saved_font)
        DeleteObject(enlarged);
    state.saved_font = nullptr;
}

void draw_vertical_line(const MarkupState& state, COLORREF color, int x)
{
    draw_line_with(state.dc, PS_SOLID, color, x, state.item_rect.top, x, state.item_rect.bottom);
}

void draw_column_line(const MarkupState& state, int x)
{
    draw_vertical_line(state, state.pen_color, x);
}

void fill_solid(HDC dc, const RECT& rect, COLORREF color)
{
    guard::Brush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

void fill_pattern(const MarkupState& state, const char* name, const RECT& rect)
{
    guard::Bitmap bitmap(LoadBitmapA(state.instance, name));
    if (!bitmap)
        return;
    guard::Brush brush(CreatePatternBrush(bitmap.get()));
    if (brush)
        FillRect(state.dc, &rect, brush.get());
}

void draw_item_markup(HINSTANCE instance, const DRAWITEMSTRUCT* item, const char* text,
                      const ColumnTable* columns, double scale)
{
    MarkupState s{};
    set_up(s, instance, item, columns, scale);

    if (!is_markup(text)) {
        if (!is_blank(text))
            DrawTextA(s.dc, text, -1, &work_rect, PLAIN_TEXT_FORMAT);
        return;
    }

    s.text_flags = 0;
    const size_t size = std::strlen(text) + 1;
    std::unique_ptr<char[]> text_copy = zeroed_buffer(size);
    std::unique_ptr<char[]> arg_buffer = zeroed_buffer(size);
    std::unique_ptr<char[]> work_buffer = zeroed_buffer(size);
    if (!text_copy || !arg_buffer || !work_buffer)
        return; // the item stays as the frame painted it
    std::memcpy(text_copy.get(), text, size);
    s.text_copy = text_copy.get();
    s.arg_buffer = arg_buffer.get();
    s.work_buffer = work_buffer.get();

    FontRestore font_restore{s};
    const char* cursor = s.text_copy;
    while (*cursor != '\0' && !s.stop) {
        next_command(&cursor, s.command_name, sizeof s.command_name, s.arg_buffer);
        if (const MarkupCommand* command = find_markup_command(s.command_name))
            command->handler(s);
    }
}

}  // namespace owndraw
