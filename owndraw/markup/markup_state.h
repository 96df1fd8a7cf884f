// The state of one draw_item_markup call, shared by the interpreter and the command
// handlers, and the drawing helpers the handlers have in common.
#pragma once
#include <windows.h>

#include "owndraw/markup/markup.h"
#include "owndraw/markup/syntax.h"

namespace owndraw {

struct MarkupState {
    // Inputs of the call.
    HINSTANCE instance;
    const DRAWITEMSTRUCT* item;
    HDC dc;
    RECT item_rect;  // the request's rcItem ("R")
    bool selected;   // itemState has ODS_SELECTED: handlers with a selection guard do nothing
    int item_id;     // decides even and odd rows
    const ColumnTable* columns;
    double scale;

    // Position and columns, in the coordinates of rcItem.
    int cur_x;
    int col_left;
    int col_width;  // 0: no column active
    int item_left;
    int margin;     // 5, scaled
    int line_step;  // 1, scaled
    int tree_step;  // 10, scaled

    COLORREF pen_color;    // column lines, "@SEP" 0/5/7+, the rules
    COLORREF color_value;  // the last colour a colour command read; black until then
    UINT text_flags;       // or-ed into "@TXT", "@TXL", "@CL", "@CSL"
    HFONT saved_font;      // the font "@F01" replaced; null when none
    int col_index;
    int avail_width;

    // Range bars and row fills. Unset in the language; fixed here so that an item text
    // that uses them early still draws something defined.
    COLORREF range_color;  // black
    int segment_count;     // 0: "@DRS" draws nothing
    int range_from;
    int range_to;
    COLORREF even_row_color;  // white
    COLORREF odd_row_color;   // white
    char even_row_pattern[PATTERN_NAME_SIZE];
    char odd_row_pattern[PATTERN_NAME_SIZE];

    // Buffers of the call, each strlen(text) + 1 bytes.
    char* text_copy;
    char* arg_buffer;
    char* work_buffer;
    char command_name[COMMAND_NAME_SIZE];

    bool stop;  // a handler ended the item ("@SFB")
};

// n multiplied by the call's scale factor, truncated toward zero.
int scaled(const MarkupState& state, int n);
// Column `index` of the table; false (nothing read) without a table or outside it.
bool column_entry(const MarkupState& state, int index, int* start, int* width);

// A line from (x1, y1) towards (x2, y2), end point left out, with the DC's current pen.
void draw_line(HDC dc, int x1, int y1, int x2, int y2);
// The same with a new pen of width 1 in `style` and `color`, deleted afterwards.
void draw_line_with(HDC dc, int style, COLORREF color, int x1, int y1, int x2, int y2);
// A vertical line over the item's height, (x, R.top) to (x, R.bottom), in its own pen.
void draw_vertical_line(const MarkupState& state, COLORREF color, int x);
// A column line: a vertical line in pen_color.
void draw_column_line(const MarkupState& state, int x);
// Fills `rect` with a new solid brush of `color`, deleted afterwards.
void fill_solid(HDC dc, const RECT& rect, COLORREF color);
// Fills `rect` with a pattern brush made of bitmap resource `name`; draws nothing when
// there is no such bitmap.
void fill_pattern(const MarkupState& state, const char* name, const RECT& rect);

// Selects the font "@F01" saved back into the DC and deletes the enlarged one; nothing
// when no font is saved.
void restore_item_font(MarkupState& state);

// The command handlers, in the order of the table.
// Positions, columns, bitmaps, cells, text, colours and separators.
void command_ofs(MarkupState& state);
void command_x(MarkupState& state);
void command_xe(MarkupState& state);
void command_d(MarkupState& state);
void command_xcol(MarkupState& state);
void command_bmp(MarkupState& state);
void command_bbk(MarkupState& state);
void command_rbr(MarkupState& state);
void command_cl(MarkupState& state);
void command_csl(MarkupState& state);
void command_ca(MarkupState& state);
void command_cs(MarkupState& state);
void command_cd(MarkupState& state);
void command_cr(MarkupState& state);
void command_txt(MarkupState& state);
void command_txl(MarkupState& state);
void command_dta(MarkupState& state);
void command_bck(MarkupState& state);
void command_bkm(MarkupState& state);
void command_frg(MarkupState& state);
void command_pen(MarkupState& state);
void command_sep(MarkupState& state);
// Tree cells, rules, fills, range bars, row colours and patterns, font.
void command_tree(MarkupState& state);
void command_lin(MarkupState& state);
void command_linb(MarkupState& state);
void command_linc(MarkupState& state);
void command_el(MarkupState& state);
void command_tl(MarkupState& state);
void command_fl(MarkupState& state);
void command_rect(MarkupState& state);
void command_grect(MarkupState& state);
void command_sp(MarkupState& state);
void command_drc(MarkupState& state);
void command_dr(MarkupState& state);
void command_drs(MarkupState& state);
void command_sf(MarkupState& state);
void command_sfp(MarkupState& state);
void command_sfd(MarkupState& state);
void command_sfb(MarkupState& state);
void command_scp(MarkupState& state);
void command_scd(MarkupState& state);
void command_scb(MarkupState& state);
void command_f01(MarkupState& state);

}  // namespace owndraw
