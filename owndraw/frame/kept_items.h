// The mark-up of items added with add_item, kept by the kit beside the list box or combo
// box whose strings hold only what a person sees.
#pragma once
#include <windows.h>

#include <cstddef>

namespace owndraw {

// The mark-up the kit keeps for item `index` of `control`; nullptr when the item's string
// is its own mark-up (it was added as a string, or its visible text is the same).
const char* kept_item_markup(HWND control, size_t index);

}  // namespace owndraw
