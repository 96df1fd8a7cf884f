// The frame that paints owner-drawn list items (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS):
// fetches the item's text, paints the selection colours, lets the mark-up renderer paint
// the content and marks the focused item.
#pragma once
#include <windows.h>

#include <cstddef>

#include "owndraw/markup/markup.h"

namespace owndraw {

// The text of the item being painted, shared by every item (ITEM_TEXT_SIZE is in the
// public header). 511 bytes hold a rich item of every command; and some list box
// implementations (Wine's, for one) fetch ANSI texts through a 512-character buffer of
// their own and fail on longer ones.
extern char item_text_buffer[ITEM_TEXT_SIZE];

// A change of focus: the dotted inversion when the item gains it, a whole repaint when it
// loses it.
void draw_list_item_focus(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns);
// Fills the item in the system's selection colours and sets the DC's text and background
// colours to match: what the renderer finds when paint_list_item calls it.
void fill_list_item(const DRAWITEMSTRUCT* request);
// Paints the whole item: background, content from its text, focus frame.
void paint_list_item(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns);

}  // namespace owndraw
