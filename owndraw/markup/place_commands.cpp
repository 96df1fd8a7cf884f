// Commands that place things along the item: positions, columns, bitmaps, column cells,
// text runs, colours and separators.
#include <algorithm>
#include <cstring>

#include "owndraw/markup/markup_state.h"

#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/primitives/graphics.h"

namespace owndraw {

namespace {

constexpr UINT ONE_LINE = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;  // 0x824
constexpr UINT ONE_LINE_RIGHT = ONE_LINE | DT_RIGHT;                 // 0x826
constexpr UINT WRAPPED = DT_WORDBREAK | DT_NOPREFIX;                 // 0x810
// The format flags "@DTA" may add: all but those that write into the text (DT_MODIFYSTRING,
// with which an ellipsis flag lets the platform write past the argument and end the
// process), measure or underline instead of drawing (DT_CALCRECT, DT_PREFIXONLY), read the
// format's second byte as a tab width and so drop DT_NOPREFIX (DT_TABSTOP), or let the text
// out of its rectangle (DT_NOCLIP); bits with no meaning go too. A path ellipsis is one way
// of shortening a text and the end and word ellipses another: asked for both, Wine's
// ellipsis code fails an assertion and ends the process as soon as the text does not fit,
// so the path ellipsis gives way. Every combination left, with both formats the flags are
// added to, draws the text and leaves it as it was (scripts/probe-platform.sh drawtext).
constexpr UINT ITEM_TEXT_FLAGS = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_WORDBREAK |
                                 DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX |
                                 DT_INTERNAL | DT_EDITCONTROL | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS |
                                 DT_RTLREADING | DT_WORD_ELLIPSIS | DT_NOFULLWIDTHCHARBREAK | DT_HIDEPREFIX;
constexpr COLORREF LIGHT_GREY = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(0xFF, 0, 0);

// The argument names a bitmap resource, loaded afresh for every drawing because drawing
// it with a key colour changes it. A blank name gives no bitmap and *named false: the
// command then does nothing at all. A name that names no resource gives no bitmap either,
// but the command still takes its place (work_rect, "@BBK"'s colour and strip); only the
// drawing from the bitmap, and the advance past it, are left out.
guard::Bitmap load_named_bitmap(const MarkupState& state, const char* name, bool* named)
{
    *named = !is_blank(name);
    return guard::Bitmap(*named ? LoadBitmapA(state.instance, name) : nullptr);
}

// "@BMP", "@BBK": the bitmap at (work_rect.left, R.top) in the room up to work_rect.right,
// and cur_x past the width it took. Without a bitmap nothing is drawn and cur_x stays.
void draw_bitmap_run(MarkupState& state, HBITMAP bitmap)
{
    if (bitmap == nullptr)
        return;
    state.avail_width = work_rect.right - work_rect.left;
    draw_inline_bitmap(state.dc, bitmap, work_rect.left, state.item_rect.top, &state.avail_width);
    state.cur_x += state.avail_width;
}

// The position after a column's text. It is taken from the text rectangle's right edge
// alone: adding the old cur_x as well would count the column's start twice for every
// column that does not begin at the item's left edge.
int after_column_text(const MarkupState& state)
{
    return work_rect.right + state.margin;
}

// Makes column `index` of the table current: cur_x and col_left at its start. False, with
// nothing changed, without a table or outside it.
bool enter_column(MarkupState& state, int index)
{
    int start = 0;
    int width = 0;
    if (!column_entry(state, index, &start, &width))
        return false;
    state.col_index = index;
    state.cur_x = start;
    state.col_left = start;
    state.col_width = width;
    return true;
}

// "@CL", "@CSL", "@CS", "@CD": a column line at the column's start and the text part in
// the column, `right_margin` being added to the column's right edge (negative: inside).
void draw_column_cell(MarkupState& state, int right_margin, UINT format)
{
    int index = 0;
    const char* text = read_column_argument(state.arg_buffer, &index);
    if (!enter_column(state, index))
        return;
    const RECT& r = state.item_rect;
    work_rect = r;
    draw_column_line(state, state.cur_x);
    work_rect.left = state.cur_x + state.margin;
    work_rect.right = std::min<LONG>(r.right, state.cur_x + state.col_width) + right_margin;
    if (is_blank(text))
        return;  // the line alone; cur_x stays at the column's start
    DrawTextA(state.dc, text, -1, &work_rect, format);
    state.cur_x = after_column_text(state);
}

// "@TXT", "@TXL": the argument at cur_x, inside the current column when there is one.
void draw_text_run(MarkupState& state, UINT format)
{
    const RECT& r = state.item_rect;
    const char* text = state.arg_buffer;
    work_rect = r;
    const bool in_column = state.col_width != 0;
    if (in_column) {
        work_rect.right = std::min<LONG>(r.right, state.col_left + state.col_width) - state.margin;
        work_rect.left = state.cur_x + state.margin;
    } else {
        work_rect.left = std::max<LONG>(r.left, state.cur_x);
    }
    // Text that would start at the item's very edge is indented like text in a column.
    if (work_rect.left == state.item_left)
        work_rect.left = state.item_left + state.margin;
    if (!is_blank(text))
        DrawTextA(state.dc, text, -1, &work_rect, format);
    if (in_column) {
        state.cur_x = after_column_text(state);
        return;
    }
    // Blanks advance too, and a wrapped run by its width as one line.
    SIZE extent{};
    GetTextExtentPoint32A(state.dc, text, static_cast<int>(std::strlen(text)), &extent);
    state.cur_x += extent.cx;
}

} // namespace

void command_ofs(MarkupState& state)
{
    state.cur_x += scaled(state, read_decimal(state.arg_buffer));
}

void command_x(MarkupState& state)
{
    state.cur_x = state.item_left + scaled(state, read_decimal(state.arg_buffer));
}

void command_xe(MarkupState& state)
{
    work_rect = state.item_rect;
    state.cur_x = state.item_rect.right - scaled(state, read_decimal(state.arg_buffer));
}

void command_d(MarkupState& state)
{
    state.col_width = scaled(state, read_decimal(state.arg_buffer));
    state.col_left = state.cur_x;
}

void command_xcol(MarkupState& state)
{
    enter_column(state, read_decimal(state.arg_buffer));
}

void command_bmp(MarkupState& state)
{
    bool named = false;
    guard::Bitmap bitmap = load_named_bitmap(state, state.arg_buffer, &named);
    if (!named)
        return;
    const RECT& r = state.item_rect;
    work_rect = r;
    // Inside a column the margin is kept on both sides, the column measured from cur_x.
    if (state.col_width != 0) {
        work_rect.right = std::min<LONG>(r.right, state.cur_x + state.col_width) - state.margin;
        work_rect.left = state.cur_x + state.margin;
    } else {
        work_rect.left = std::max<LONG>(r.left, state.cur_x);
    }
    draw_bitmap_run(state, bitmap.get());
}

void command_bbk(MarkupState& state)
{
    bool named = false;
    guard::Bitmap bitmap = load_named_bitmap(state, state.arg_buffer, &named);
    if (!named)
        return;
    const RECT& r = state.item_rect;
    work_rect = r;
    // Unlike "@BMP": the column is measured from col_left with the margin on the right
    // only, and cur_x counts from the item's left edge here, not from rcItem's origin as
    // everywhere else. Existing item texts are laid out for exactly this.
    if (state.col_width != 0)
        work_rect.right = std::min<LONG>(r.right, r.left - state.margin + state.col_left + state.col_width);
    work_rect.left = r.left + state.cur_x;
    state.color_value = GetBkColor(state.dc);
    fill_solid(state.dc, work_rect, state.color_value);
    draw_bitmap_run(state, bitmap.get());
}

void command_rbr(MarkupState& state)
{
    if (state.selected)
        return;
    bool named = false;
    guard::Bitmap bitmap = load_named_bitmap(state, state.arg_buffer, &named);
    if (!named)
        return;
    work_rect = state.item_rect;
    guard::Brush brush(bitmap ? CreatePatternBrush(bitmap.get()) : nullptr);
    if (brush)
        FillRect(state.dc, &work_rect, brush.get());
}

void command_cl(MarkupState& state)
{
    // The text may run `margin` pixels into the next column; item texts rely on it.
    draw_column_cell(state, state.margin, state.text_flags | ONE_LINE);
}

void command_csl(MarkupState& state)
{
    draw_column_cell(state, -state.margin, state.text_flags | WRAPPED);
}

void command_cs(MarkupState& state)
{
    draw_column_cell(state, -state.margin, ONE_LINE);
}

void command_cd(MarkupState& state)
{
    draw_column_cell(state, -state.margin, ONE_LINE_RIGHT);
}

void command_ca(MarkupState& state)
{
    // Longer fields are cut at these stores by the reader; nothing is written past them.
    char gradient[CELL_FIELD_SIZE];
    char bitmap_name[CELL_FIELD_SIZE];
    char label[CELL_FIELD_SIZE];
    int index = 0;
    // The body text goes back into the argument buffer, which the fields no longer need.
    char* body = state.arg_buffer;
    read_cell_fields(state.arg_buffer, &index, state.work_buffer, gradient, bitmap_name, label,
                     body);
    if (!enter_column(state, index))
        return;
    // cur_x stays at the column's start: a cell stands alone, whatever it holds.
    const RECT& r = state.item_rect;
    work_rect = r;
    work_rect.left = state.cur_x;
    work_rect.right = std::min<LONG>(r.right, state.cur_x + state.col_width);
    // A selected row keeps the frame's highlight under the cell.
    if (!state.selected) {
        fill_gradient_rect(state.dc, work_rect, gradient);
        SetBkMode(state.dc, TRANSPARENT);
    }
    draw_column_line(state, state.cur_x);
    work_rect.left += state.margin;
    work_rect.right -= state.margin;
    if (is_blank(label))
        return;

    bool named = false;
    if (guard::Bitmap bitmap = load_named_bitmap(state, bitmap_name, &named)) {
        state.avail_width = work_rect.right - work_rect.left;
        draw_inline_bitmap(state.dc, bitmap.get(), work_rect.left, r.top + 2, &state.avail_width);
    }
    // The label column is 30 pixels whatever the bitmap's width, so labels line up.
    work_rect.left += 30;
    // Labels are black on every row, selected ones too, and take '&' as a prefix.
    SetTextColor(state.dc, BLACK);
    RECT measured = work_rect;
    RECT drawn = work_rect;
    DrawTextA(state.dc, label, -1, &measured, DT_CALCRECT);
    DrawTextA(state.dc, label, -1, &drawn, 0);
    work_rect.left = measured.right + state.margin;
    if (!is_blank(body))
        DrawTextA(state.dc, body, -1, &work_rect, WRAPPED);
}

void command_cr(MarkupState& state)
{
    if (state.selected)
        return;
    char gradient[CELL_FIELD_SIZE];
    int index = 0;
    read_column_gradient(state.arg_buffer, &index, gradient);
    int start = 0;
    int width = 0;
    if (!column_entry(state, index, &start, &width))
        return;
    state.col_index = index;
    const RECT& r = state.item_rect;
    work_rect = r;
    work_rect.left = std::min<LONG>(r.right, start);
    work_rect.right = std::min<LONG>(r.right, work_rect.left + width);
    fill_gradient_rect(state.dc, work_rect, gradient);
    SetBkMode(state.dc, TRANSPARENT);
}

void command_txt(MarkupState& state)
{
    draw_text_run(state, state.text_flags | ONE_LINE);
}

void command_txl(MarkupState& state)
{
    draw_text_run(state, state.text_flags | WRAPPED);
}

void command_dta(MarkupState& state)
{
    UINT flags = static_cast<UINT>(read_decimal(state.arg_buffer)) & ITEM_TEXT_FLAGS;
    if (flags & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
        flags &= ~UINT(DT_PATH_ELLIPSIS);
    state.text_flags = flags;
}

void command_bck(MarkupState& state)
{
    if (state.selected)
        return;
    // Without digits the previous colour stays, black before any colour was read.
    read_color(state.arg_buffer, &state.color_value);
    SetBkColor(state.dc, state.color_value);
}

void command_bkm(MarkupState& state)
{
    if (state.selected)
        return;
    int mode = 1;  // an argument without a number keeps the background box: opaque
    read_int(state.arg_buffer, &mode);
    SetBkMode(state.dc, mode == 0 ? TRANSPARENT : OPAQUE);
}

void command_frg(MarkupState& state)
{
    if (state.selected)
        return;
    read_color(state.arg_buffer, &state.color_value);
    SetTextColor(state.dc, state.color_value);
}

void command_pen(MarkupState& state)
{
    // No selection guard: later lines of a selected row take the new colour too.
    read_color(state.arg_buffer, &state.pen_color);
}

void command_sep(MarkupState& state)
{
    const int code = read_decimal(state.arg_buffer);
    const RECT& r = state.item_rect;
    work_rect = r;
    const int x = state.cur_x;
    if (code == 6) {
        draw_vertical_line(state, RED, r.right - 2);
        return;
    }
    if (x >= r.right)
        return;
    const int mid = r.top + (r.bottom - r.top) / 2;
    switch (code) {
    case 1:
        draw_vertical_line(state, LIGHT_GREY, x - 1);
        draw_vertical_line(state, LIGHT_GREY, x + 1);
        draw_vertical_line(state, BLACK, x);
        state.cur_x += state.line_step;
        break;
    case 2:  // connectors use the DC's current pen; pen_color is for column lines
        draw_line(state.dc, x, r.top, x, r.bottom);
        draw_line(state.dc, x, mid, x + state.tree_step, mid);
        state.cur_x += state.tree_step;
        break;
    case 3:  // the last child: down to the middle, then across, as one stroke
        MoveToEx(state.dc, x, r.top, nullptr);
        LineTo(state.dc, x, mid);
        LineTo(state.dc, x + state.tree_step, mid);
        state.cur_x += state.tree_step;
        break;
    case 4:
        draw_vertical_line(state, RED, x);
        state.cur_x += state.line_step;
        break;
    default:
        draw_column_line(state, x);
        break;
    }
}

}  // namespace owndraw
