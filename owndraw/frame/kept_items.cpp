#include "owndraw/frame/kept_items.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <owndraw/owndraw.h>

namespace owndraw {

namespace {

// One per control that add_item has been used on, reached through a window property. The
// control is subclassed so that the table follows its items: one entry per item, in the
// control's own order (a sorted list inserts where it sorts), each the kept mark-up or none.
struct KeptItems {
    WNDPROC previous = nullptr;
    bool unicode = false;
    bool combo = false;
    std::vector<std::unique_ptr<char[]>> markup;
};

constexpr char KEPT_ITEMS_PROPERTY[] = "owndraw.kept_items";

KeptItems* kept_items_of(HWND control)
{
    return static_cast<KeptItems*>(GetPropA(control, KEPT_ITEMS_PROPERTY));
}

// Follows a message the control has handled, `result` being its answer.
void follow(KeptItems& kept, UINT message, WPARAM wparam, LRESULT result)
{
    const bool combo = kept.combo;
    const UINT add = combo ? CB_ADDSTRING : LB_ADDSTRING;
    const UINT insert = combo ? CB_INSERTSTRING : LB_INSERTSTRING;
    const UINT remove = combo ? CB_DELETESTRING : LB_DELETESTRING;
    const UINT reset = combo ? CB_RESETCONTENT : LB_RESETCONTENT;
    auto& items = kept.markup;
    if ((message == add || message == insert) && result >= 0) {
        const size_t at = static_cast<size_t>(result);
        items.emplace(items.begin() + static_cast<std::ptrdiff_t>(at < items.size() ? at : items.size()));
    } else if (message == remove && result >= 0 && wparam < items.size()) {
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(wparam));
    } else if (message == reset) {
        items.clear();
    }
}

LRESULT CALLBACK keeping_proc(HWND control, UINT message, WPARAM wparam, LPARAM lparam)
{
    KeptItems* kept = kept_items_of(control);
    if (kept == nullptr)
        return DefWindowProcA(control, message, wparam, lparam);
    const LRESULT result = kept->unicode
                               ? CallWindowProcW(kept->previous, control, message, wparam, lparam)
                               : CallWindowProcA(kept->previous, control, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        // The last message of the window: the table goes with it.
        RemovePropA(control, KEPT_ITEMS_PROPERTY);
        delete kept;
        return result;
    }
    follow(*kept, message, wparam, result);
    return result;
}

bool is_combo_box(HWND control)
{
    char name[16] = "";
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0;
}

// The control's table, made and the control subclassed on first use; its items so far
// keep no mark-up. nullptr when the control cannot be subclassed (another process's).
KeptItems* keep_items(HWND control)
{
    if (KeptItems* kept = kept_items_of(control))
        return kept;
    std::unique_ptr<KeptItems> kept(new (std::nothrow) KeptItems);
    if (!kept)
        return nullptr;
    kept->combo = is_combo_box(control);
    kept->unicode = IsWindowUnicode(control) != FALSE;
    const LRESULT count = SendMessageA(control, kept->combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    kept->markup.resize(count > 0 ? static_cast<size_t>(count) : 0);
    if (!SetPropA(control, KEPT_ITEMS_PROPERTY, kept.get()))
        return nullptr;
    const LONG_PTR proc = reinterpret_cast<LONG_PTR>(keeping_proc);
    kept->previous = reinterpret_cast<WNDPROC>(kept->unicode ? SetWindowLongPtrW(control, GWLP_WNDPROC, proc)
                                                             : SetWindowLongPtrA(control, GWLP_WNDPROC, proc));
    if (kept->previous == nullptr) {
        RemovePropA(control, KEPT_ITEMS_PROPERTY);
        return nullptr;
    }
    return kept.release();
}

} // namespace

int add_item(HWND list_or_combo, const char* item_text)
{
    KeptItems* kept = keep_items(list_or_combo);
    const std::string visible = visible_text(item_text);
    const bool combo = kept ? kept->combo : is_combo_box(list_or_combo);
    const LRESULT index = SendMessageA(list_or_combo, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(visible.c_str()));
    if (index < 0 || kept == nullptr || item_text == nullptr || visible == item_text ||
        static_cast<size_t>(index) >= kept->markup.size())
        return static_cast<int>(index);
    const size_t size = std::strlen(item_text) + 1;
    // Without memory for the copy the item shows its visible text as a plain line.
    if (char* copy = new (std::nothrow) char[size]) {
        std::memcpy(copy, item_text, size);
        kept->markup[static_cast<size_t>(index)].reset(copy);
    }
    return static_cast<int>(index);
}

const char* kept_item_markup(HWND control, size_t index)
{
    const KeptItems* kept = kept_items_of(control);
    if (kept == nullptr || index >= kept->markup.size())
        return nullptr;
    // Items the table could not follow (LB_DIR adds many at once) leave it out of step:
    // then no item is painted from it.
    const LRESULT count = SendMessageA(control, kept->combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    if (count < 0 || static_cast<size_t>(count) != kept->markup.size())
        return nullptr;
    return kept->markup[index].get();
}

}  // namespace owndraw
