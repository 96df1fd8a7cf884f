// The item mark-up renderer: paints one owner-drawn list item from its text.
#pragma once
#include <windows.h>

#include <cstdint>

// The column layout handed through the list item frame to the renderer. Entry i of both
// arrays describes column i, in pixels, used unscaled. A null table, null arrays or a
// count of 0 mean "no columns": column commands then draw nothing.
struct ColumnTable {
    int32_t reserved;       // read by nothing
    const int32_t* starts;  // left x of each column
    const int32_t* widths;  // width of each column
    int32_t count;          // entries in both arrays
};

// The rectangle the current command draws in. Process-wide: its last value outlives the
// call, which makes the renderer non-reentrant (one UI thread paints items one at a time).
extern RECT work_rect;

// Paints the content of `item` (its hDC, within rcItem) from `text`: a plain text as one
// vertically centred line, mark-up command by command. Leaves the text colour, background
// colour and background mode its commands set; restores the font and deletes everything
// its commands create. `scale` multiplies the distances written in the mark-up.
void draw_item_markup(HINSTANCE instance, const DRAWITEMSTRUCT* item, const char* text,
                      const ColumnTable* columns, double scale);

// One row of the command table: the word, 0 for an exact match or the number of leading
// bytes compared, and the handler.
struct MarkupState;
using MarkupHandler = void (*)(MarkupState& state);
struct MarkupCommand {
    const char* word;
    int prefix;
    MarkupHandler handler;
};
// The 43 commands in the order of the dispatch.
extern const MarkupCommand markup_commands[];
extern const size_t markup_command_count;
// The first row whose word matches `command_name`; nullptr when none does (ignored).
const MarkupCommand* find_markup_command(const char* command_name);
