// The frame that paints the items of owner-drawn list boxes (LBS_OWNERDRAWFIXED |
// LBS_HASSTRINGS) and combo boxes (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS): fetches the item's
// text, paints the selection colours, lets the mark-up renderer paint the content and marks
// the focused item.
#pragma once
#include <windows.h>

#include <cstddef>

#include "owndraw/markup/markup.h"

namespace owndraw {

// The text of the item being painted, in the ANSI code page, shared by every item. It is
// enlarged to hold the longest text painted so far and never shrinks; when it cannot be
// enlarged, the item shows no content.
extern char* item_text_buffer;

// A change of focus: the dotted inversion when the item gains it, a whole repaint when it
// loses it.
void draw_list_item_focus(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns);
// Fills the item in the system's selection colours and sets the DC's text and background
// colours to match: what the renderer finds when paint_list_item calls it.
void fill_list_item(const DRAWITEMSTRUCT* request);
// Paints the whole item: background, content from its text, focus frame.
void paint_list_item(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns);

}  // namespace owndraw
