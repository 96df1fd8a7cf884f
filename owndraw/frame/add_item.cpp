// add_item: an item whose string is what a person sees, painted from the mark-up the kit
// keeps beside it. Apart from the frame, so that a program that never adds items this way
// links no standard strings.
#include <string>

#include <owndraw/owndraw.h>

#include "owndraw/frame/kept_items.h"

namespace owndraw {

int add_item(HWND list_or_combo, const char* item_text)
{
    const bool keeping = keep_item_markup(list_or_combo);
    const std::string visible = visible_text(item_text);
    const bool combo = is_combo_box(list_or_combo);
    const LRESULT index = SendMessageA(list_or_combo, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(visible.c_str()));
    // Without a copy of the mark-up (no memory) the item shows its visible text as a plain line.
    if (index >= 0 && keeping && item_text != nullptr && visible != item_text)
        set_kept_markup(list_or_combo, static_cast<size_t>(index), item_text);
    return static_cast<int>(index);
}

}  // namespace owndraw
