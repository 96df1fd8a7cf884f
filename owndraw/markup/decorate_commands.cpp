// Commands that decorate the item: tree cells, rules, fills, range bars, row colours and
// patterns, and the font.
#include "owndraw/markup/markup_state.h"

#include <climits>
#include <cmath>

#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/primitives/graphics.h"
#include "owndraw/primitives/text.h"

namespace owndraw {

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF DARK_GREY = RGB(0x80, 0x80, 0x80);
constexpr COLORREF LIGHT_GREY = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF EVEN_TINT = RGB(0xEA, 0xFF, 0xFF);
constexpr COLORREF ODD_TINT = RGB(0xF8, 0xF8, 0xF8);
// Repeated enlargements stop at this height, the only place "@F01" does not double. Wine's
// rasteriser ends the process on a glyph whose bitmap passes 2^32 bytes: "W@M" of an
// ordinary face fails from a character height of about 73,900 pixels, and a glyph wider
// than tall fails lower (scripts/probe-platform.sh fontheight). 32,768 leaves room for
// glyphs four times as wide as tall and is far above any list font.
constexpr long long MAX_FONT_HEIGHT = 32768;

// Item text can carry any number: sums are formed in 64 bits and held at the int range
// before they become coordinates, so no arithmetic on them can overflow.
int held(long long n)
{
    return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

// A distance in mark-up units as a device x: scaled, then moved to the item's left edge.
int unit_x(const MarkupState& s, long long units)
{
    return held(static_cast<long long>(scaled(s, held(units))) + s.item_left);
}

bool even_row(const MarkupState& s)
{
    return is_even(s.item_id) != 0;
}

int middle_row(const RECT& r)
{
    return held(r.top + (static_cast<long long>(r.bottom) - r.top) / 2);
}

// One rule across the item in a new solid pen; the rules reset the work rectangle first.
void rule(MarkupState& s, COLORREF color, int y)
{
    work_rect = s.item_rect;
    draw_line_with(s.dc, PS_SOLID, color, work_rect.left, y, work_rect.right, y);
}

// One tree cell from x to `end` over the work rectangle's height. Its connectors use the
// pen the DC already holds (no command leaves one of its own selected), so the caller's
// pen decides their colour.
void draw_tree_cell(HDC dc, char code, int x, int end)
{
    const RECT cell = {x, work_rect.top, end, work_rect.bottom};
    fill_solid(dc, cell, WHITE);
    const int cx = held(x + (static_cast<long long>(end) - x) / 2);
    const int mid = middle_row(cell);
    if (code == '1' || code == '2')
        draw_line(dc, cx, cell.top, cx, cell.bottom);
    if (code == '2')
        draw_line(dc, cx, mid, end, mid);
    if (code == '3') {
        draw_line(dc, cx, cell.top, cx, mid);
        LineTo(dc, end, mid);
    }
}

// Fills one range bar or segment over the item's height; the work rectangle keeps it.
void fill_bar(MarkupState& s, HBRUSH brush, int left, int right)
{
    work_rect = {left, s.item_rect.top, right, s.item_rect.bottom};
    FillRect(s.dc, &work_rect, brush);
}

// The range of segment indexes that can reach the DC's clip box, widened on each side for
// the truncation of the scale and the gap. Segment edges move steadily with the index, so
// the segments outside paint nothing the DC shows: a huge count over a small span costs
// no more fills than the pixels it can cover, and the pixels are the same. The platform
// fills a rectangle given right-to-left too, so a falling bar is no exception.
bool segments_in_view(const MarkupState& s, long long seg, long long count, long long* first,
                      long long* last)
{
    RECT clip{};
    if (GetClipBox(s.dc, &clip) == ERROR)
        return false;
    if (seg == 0 || s.scale == 0 || !std::isfinite(s.scale)) {
        *first = *last = 0; // every segment is the same rectangle
        return true;
    }
    const double from = s.range_from;
    const double a = ((clip.left - 1.0 - s.item_left) / s.scale - from) / seg;
    const double b = ((clip.right + 1.0 - s.item_left) / s.scale - from) / seg;
    const double slack = 2.0 + std::fabs(static_cast<double>(s.line_step) / seg);
    auto index = [count](double i) {
        return i <= 0 ? 0 : i >= count - 1 ? count - 1 : static_cast<long long>(i);
    };
    *first = index(std::floor(std::fmin(a, b) - slack));
    *last = index(std::ceil(std::fmax(a, b) + slack));
    return true;
}

} // namespace

void command_tree(MarkupState& s)
{
    int level_width = 0;
    const char* pattern = read_tree_argument(s.arg_buffer, &level_width);
    level_width = scaled(s, level_width);
    work_rect = s.item_rect;
    if (s.col_width != 0) {
        // The column's end is measured from the item's left edge, less the margin.
        const long long column_end =
            static_cast<long long>(work_rect.left) - s.margin + s.col_left + s.col_width;
        if (column_end < work_rect.right)
            work_rect.right = held(column_end);
    }
    if (pattern == nullptr || *pattern == '\0')
        return;
    long long x = s.cur_x;
    for (const char* code = pattern; *code != '\0'; ++code) {
        if (*code < '0' || *code > '3')
            continue; // takes no cell
        const long long end = x + level_width;
        // A cell that would end exactly on the limit is left out too, but still counted.
        if (end < work_rect.right)
            draw_tree_cell(s.dc, *code, held(x), held(end));
        x = end;
    }
    s.cur_x = held(x);
}

void command_lin(MarkupState& s)
{
    rule(s, s.pen_color, s.item_rect.top);
}

// rcItem's bottom is exclusive: this rule lies on the row just below the item.
void command_linb(MarkupState& s)
{
    rule(s, s.pen_color, s.item_rect.bottom);
}

void command_linc(MarkupState& s)
{
    rule(s, s.pen_color, s.item_rect.bottom - 1);
}

void command_el(MarkupState& s)
{
    const int n = read_decimal(s.arg_buffer);
    rule(s, s.pen_color, s.item_rect.top);
    if (n == 0)
        rule(s, s.pen_color, s.item_rect.bottom);
    else if (n == 1)
        rule(s, s.pen_color, s.item_rect.bottom - 1);
}

void command_tl(MarkupState& s)
{
    rule(s, DARK_GREY, s.item_rect.bottom);
    rule(s, LIGHT_GREY, s.item_rect.bottom - 1);
}

void command_fl(MarkupState& s)
{
    const int n = read_decimal(s.arg_buffer);
    if (s.selected) {
        if (n == 0 || n == 2)
            SetTextColor(s.dc, WHITE);
        return;
    }
    const char* colors = nullptr;
    if (n == 0)
        colors = even_row(s) ? "F4F4F4FFFFFF" : "DEEBFBF2F6FB";
    else if (n == 1)
        colors = "FF0000D80000";
    else if (n == 2)
        colors = "FFFF00FFFEBF";
    else
        return;
    work_rect = s.item_rect;
    fill_gradient_rect(s.dc, work_rect, colors);
    SetBkMode(s.dc, TRANSPARENT);
    if (n == 1)
        SetTextColor(s.dc, WHITE);
    else if (n == 2)
        SetTextColor(s.dc, BLACK);
}

// Fills work_rect as the previous command left it: first in the item, it fills the whole
// item; after a text or column command, only what that command narrowed it to.
void command_rect(MarkupState& s)
{
    if (s.selected)
        return;
    read_color(s.arg_buffer, &s.color_value);
    fill_solid(s.dc, work_rect, s.color_value);
    SetBkColor(s.dc, s.color_value);
}

// An argument shorter than twelve digits reads nothing past its end: the missing
// channels read as 0.
void command_grect(MarkupState& s)
{
    if (s.selected)
        return;
    fill_gradient_rect(s.dc, work_rect, s.arg_buffer);
    SetBkMode(s.dc, TRANSPARENT);
}

void command_sp(MarkupState& s)
{
    work_rect = s.item_rect;
    const int mid = middle_row(work_rect);
    if (s.selected) {
        draw_line_with(s.dc, PS_DOT, WHITE, work_rect.left, mid, work_rect.right, mid);
        return;
    }
    // The tints stay in force for a later "@SCB" of the same item.
    s.even_row_color = EVEN_TINT;
    s.odd_row_color = ODD_TINT;
    fill_solid(s.dc, work_rect, even_row(s) ? EVEN_TINT : ODD_TINT);
    draw_line_with(s.dc, PS_DOT, BLACK, work_rect.left, mid, work_rect.right, mid);
}

// range_color starts black and segment_count 0 (no segments) until the item sets them.
void command_drc(MarkupState& s)
{
    read_range_color(s.arg_buffer, &s.range_color, &s.segment_count);
}

void command_dr(MarkupState& s)
{
    read_range(s.arg_buffer, &s.range_from, &s.range_to);
    guard::Brush brush(CreateSolidBrush(s.range_color));
    // The item's right edge goes through the scale like the mark-up values do.
    const int limit = unit_x(s, s.item_rect.right);
    int left = unit_x(s, s.range_from);
    int right = unit_x(s, s.range_to);
    if (left > limit)
        left = limit;
    if (right > limit)
        right = limit;
    fill_bar(s, brush.get(), left, right);
}

void command_drs(MarkupState& s)
{
    read_range(s.arg_buffer, &s.range_from, &s.range_to);
    guard::Brush brush(CreateSolidBrush(s.range_color));
    work_rect = s.item_rect;
    if (s.segment_count <= 0)
        return; // never divide by a count the item did not set
    const long long count = s.segment_count;
    const long long seg = (static_cast<long long>(s.range_to) - s.range_from) / count;
    long long first = 0;
    long long last = 0;
    if (!segments_in_view(s, seg, count, &first, &last))
        return;
    // The edges are taken in mark-up units, then scaled: the gap of line_step units sits
    // left of each segment, and the remainder of the division stays unpainted at the end.
    for (long long i = first; i <= last; ++i)
        fill_bar(s, brush.get(), unit_x(s, s.range_from + i * seg + s.line_step),
                 unit_x(s, s.range_from + (i + 1) * seg));
    // The work rectangle ends on the last segment, painted or out of view.
    work_rect.left = unit_x(s, s.range_from + (count - 1) * seg + s.line_step);
    work_rect.right = unit_x(s, s.range_from + count * seg);
}

// Odd rows are filled white whatever the argument says.
void command_sf(MarkupState& s)
{
    if (s.selected)
        return;
    if (even_row(s))
        read_color(s.arg_buffer, &s.color_value);
    else
        s.color_value = WHITE;
    fill_solid(s.dc, work_rect, s.color_value);
    SetBkColor(s.dc, s.color_value);
}

// Names longer than the 23-character store are cut there.
void command_sfp(MarkupState& s)
{
    read_pattern_name(s.arg_buffer, s.even_row_pattern);
}

void command_sfd(MarkupState& s)
{
    read_pattern_name(s.arg_buffer, s.odd_row_pattern);
}

// A row without a pattern ends the item here: the interpreter skips the rest of the text
// and still puts the item's font back.
void command_sfb(MarkupState& s)
{
    if (s.selected)
        return;
    const char* name = even_row(s) ? s.even_row_pattern : s.odd_row_pattern;
    if (is_blank(name)) {
        s.stop = true;
        return;
    }
    work_rect = s.item_rect;
    fill_pattern(s, name, work_rect);
}

// Both row colours start white until the item sets them.
void command_scp(MarkupState& s)
{
    read_color(s.arg_buffer, &s.even_row_color);
}

void command_scd(MarkupState& s)
{
    read_color(s.arg_buffer, &s.odd_row_color);
}

void command_scb(MarkupState& s)
{
    if (s.selected)
        return;
    work_rect = s.item_rect;
    fill_solid(s.dc, work_rect, even_row(s) ? s.even_row_color : s.odd_row_color);
}

void command_f01(MarkupState& s)
{
    if (read_decimal(s.arg_buffer) != 1) {
        restore_item_font(s);
        return;
    }
    LOGFONTA font{};
    if (GetObjectA(GetCurrentObject(s.dc, OBJ_FONT), sizeof font, &font) == 0)
        return;
    const long long height = 2LL * font.lfHeight;  // the sign says cell or character height
    font.lfHeight = static_cast<LONG>(height > MAX_FONT_HEIGHT    ? MAX_FONT_HEIGHT
                                      : height < -MAX_FONT_HEIGHT ? -MAX_FONT_HEIGHT
                                                                  : height);
    font.lfWidth = 0;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    HFONT created = CreateFontIndirectA(&font);
    if (created == nullptr)
        return;
    HGDIOBJ previous = SelectObject(s.dc, created);
    // A second request while enlarged doubles the enlarged font again. There is one slot
    // for the font to restore, and it keeps the item's original font: the font being
    // replaced is then an enlarged one of ours, deleted now that it is out of the DC.
    if (s.saved_font == nullptr)
        s.saved_font = static_cast<HFONT>(previous);
    else if (previous != nullptr)
        DeleteObject(previous);
}

}  // namespace owndraw
