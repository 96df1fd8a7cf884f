// The owner-draw kit: bitmap push buttons, a frame for owner-drawn list boxes and combo
// boxes whose items paint themselves from an @-command mark-up in their text, and the
// mark-up renderer behind it. Everything is in namespace owndraw.
//
// Call the painters from the dialog or window procedure of one user-interface thread: the
// kit keeps its working state (the item text, the current rectangle, the label font) in
// process-wide variables. Item texts are bytes in the ANSI code page; 0x82, 0x83 and 0x86
// are the mark-up's reserved bytes. `instance` is the module whose resources hold the
// kit's bitmaps (link OwnDraw::artwork into your program and pass its own instance).
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace owndraw {

// The column layout of a list: entry i of both arrays is column i, in pixels, used unscaled.
// Aggregate-initialisable in this order: {reserved, starts, widths, count}. A null table,
// null arrays or a count of 0 mean "no columns": the column commands then draw nothing.
struct ColumnTable {
    int32_t reserved;       // read by nothing
    const int32_t* starts;  // left x of each column
    const int32_t* widths;  // width of each column
    int32_t count;          // entries in both arrays
};

// A table over two arrays of the same length, with the count taken from them. The arrays
// must outlive the table (keep them static, as the table usually is).
template <size_t N>
constexpr ColumnTable make_column_table(const int32_t (&starts)[N], const int32_t (&widths)[N])
{
    return ColumnTable{0, starts, widths, static_cast<int32_t>(N)};
}

// WM_DRAWITEM of a push button (BS_OWNERDRAW) whose caption is "&Label/GLYPHNAME": paints
// the face "BUTTONUP" or "BUTTONDW", the glyph bitmap GLYPHNAME and the label, in the look
// the request's action and state ask for.
void draw_bitmap_button(HINSTANCE instance, HWND dialog, const DRAWITEMSTRUCT* request);

// WM_DRAWITEM of an owner-drawn list box (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) or combo box
// (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS): fetches the item's text, fills it in the selection
// colours, paints its content from the mark-up and marks the focused item. Texts of any
// length are fetched whole (as UTF-16, then converted to the ANSI code page). `columns`
// may be null. Always returns TRUE, the value the dialog procedure returns.
BOOL draw_list_item(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns);

// Paints the content of `item` (its hDC, within rcItem) from `text`: a plain text as one
// vertically centred line, mark-up command by command. Leaves the text colour, background
// colour and background mode its commands set; restores the font and deletes everything
// its commands create. `scale` multiplies the distances written in the mark-up.
void draw_item_markup(HINSTANCE instance, const DRAWITEMSTRUCT* item, const char* text,
                      const ColumnTable* columns, double scale);

// ---- Controls that speak ------------------------------------------------------------
// The platform's accessibility proxies, type-ahead, sorting and LB_FINDSTRING read a
// button's window text and a list item's string; these calls keep both what a person sees.

// Makes `button` an owner-drawn bitmap button (BS_OWNERDRAW) and splits a caption
// "&Label/GLYPHNAME" once: the window text becomes "&Label" and the kit keeps the glyph
// name for the window. Call it again after giving the button a new caption with a '/'.
// draw_bitmap_button paints such a button as it paints one whose caption still holds both.
void make_bitmap_button(HWND button);

// The text a person sees in an item: the texts of "@TXT" and "@TXL", the text parts of
// "@CL", "@CSL", "@CS" and "@CD" and the label and body of "@CA", in the order they are
// drawn, each without blanks at its ends, joined by one blank; a plain text trimmed. The
// bytes 0x82, 0x83 and 0x86 never appear in it.
std::string visible_text(const char* item_text);

// Adds an item to an owner-drawn list box (LBS_HASSTRINGS) or combo box (CBS_HASSTRINGS):
// its string is visible_text(item_text), and the kit keeps the mark-up, from which
// draw_list_item paints the item. The kit's copy goes with the item (LB_DELETESTRING,
// LB_RESETCONTENT, the combo box's equivalents, the control's destruction). Returns what
// LB_ADDSTRING or CB_ADDSTRING returns: the index, or a negative error.
int add_item(HWND list_or_combo, const char* item_text);

}  // namespace owndraw
