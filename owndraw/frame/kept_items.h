// The mark-up of items added with add_item, kept by the kit beside the list box or combo
// box whose strings hold only what a person sees. No standard containers here: the list
// item frame reads this table, and every program that paints lists links it.
#pragma once
#include <windows.h>

#include <cstddef>

namespace owndraw {

// The mark-up the kit keeps for item `index` of `control`; nullptr when the item's string
// is its own mark-up (it was added as a string, or its visible text is the same).
const char* kept_item_markup(HWND control, size_t index);

// Makes `control` keep mark-up beside its items: on first use it is subclassed, so that
// the table follows every insertion and deletion, and its items so far keep none. False
// when that cannot be done (a control of another process, memory short).
bool keep_item_markup(HWND control);
// Keeps a copy of `markup` for item `index` of a control that keeps mark-up. False when
// there is no such item or no memory for the copy.
bool set_kept_markup(HWND control, size_t index, const char* markup);

// True for a combo box, false for a list box.
bool is_combo_box(HWND control);

}  // namespace owndraw
