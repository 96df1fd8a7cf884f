#include "owndraw/frame/kept_items.h"

#include <cstring>
#include <memory>
#include <new>

namespace owndraw {

namespace {

// One per control that keeps mark-up, reached through a window property. One entry per
// item, in the control's own order (a sorted list inserts where it sorts): the kept
// mark-up, or nullptr.
struct KeptItems {
    WNDPROC previous = nullptr;
    bool unicode = false;
    bool combo = false;
    // An insertion that found no memory leaves the table out of step for good, until the
    // control is emptied: then no item is painted from it.
    bool lost = false;
    char** markup = nullptr;
    size_t count = 0;
    size_t capacity = 0;

    ~KeptItems()
    {
        clear();
        delete[] markup;
    }
    void clear()
    {
        for (size_t i = 0; i < count; ++i)
            delete[] markup[i];
        count = 0;
        lost = false;
    }
    void insert(size_t at)
    {
        if (count == capacity) {
            const size_t bigger = capacity ? capacity * 2 : 16;
            char** grown = new (std::nothrow) char*[bigger];
            if (grown == nullptr) {
                lost = true;
                return;
            }
            if (count > 0)
                std::memcpy(grown, markup, count * sizeof *markup);
            delete[] markup;
            markup = grown;
            capacity = bigger;
        }
        if (at > count)
            at = count;
        std::memmove(markup + at + 1, markup + at, (count - at) * sizeof *markup);
        markup[at] = nullptr;
        ++count;
    }
    void erase(size_t at)
    {
        if (at >= count)
            return;
        delete[] markup[at];
        std::memmove(markup + at, markup + at + 1, (count - at - 1) * sizeof *markup);
        --count;
    }
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
    if ((message == (combo ? CB_ADDSTRING : LB_ADDSTRING) || message == (combo ? CB_INSERTSTRING : LB_INSERTSTRING)) && result >= 0)
        kept.insert(static_cast<size_t>(result));
    else if (message == (combo ? CB_DELETESTRING : LB_DELETESTRING) && result >= 0)
        kept.erase(wparam);
    else if (message == (combo ? CB_RESETCONTENT : LB_RESETCONTENT))
        kept.clear();
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

} // namespace

bool is_combo_box(HWND control)
{
    char name[16] = "";
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0;
}

bool keep_item_markup(HWND control)
{
    if (kept_items_of(control) != nullptr)
        return true;
    std::unique_ptr<KeptItems> kept(new (std::nothrow) KeptItems);
    if (!kept)
        return false;
    kept->combo = is_combo_box(control);
    kept->unicode = IsWindowUnicode(control) != FALSE;
    const LRESULT count = SendMessageA(control, kept->combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        kept->insert(static_cast<size_t>(i));
    if (!SetPropA(control, KEPT_ITEMS_PROPERTY, kept.get()))
        return false;
    const LONG_PTR proc = reinterpret_cast<LONG_PTR>(keeping_proc);
    kept->previous = reinterpret_cast<WNDPROC>(kept->unicode ? SetWindowLongPtrW(control, GWLP_WNDPROC, proc)
                                                             : SetWindowLongPtrA(control, GWLP_WNDPROC, proc));
    if (kept->previous == nullptr) {
        RemovePropA(control, KEPT_ITEMS_PROPERTY);
        return false;
    }
    kept.release();
    return true;
}

bool set_kept_markup(HWND control, size_t index, const char* markup)
{
    KeptItems* kept = kept_items_of(control);
    if (kept == nullptr || index >= kept->count)
        return false;
    const size_t size = std::strlen(markup) + 1;
    char* copy = new (std::nothrow) char[size];
    if (copy == nullptr)
        return false;
    std::memcpy(copy, markup, size);
    delete[] kept->markup[index];
    kept->markup[index] = copy;
    return true;
}

const char* kept_item_markup(HWND control, size_t index)
{
    const KeptItems* kept = kept_items_of(control);
    if (kept == nullptr || kept->lost || index >= kept->count)
        return nullptr;
    // Items the table cannot follow (LB_DIR adds many at once) leave it out of step: then
    // no item is painted from it.
    const LRESULT count = SendMessageA(control, kept->combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    if (count < 0 || static_cast<size_t>(count) != kept->count)
        return nullptr;
    return kept->markup[index];
}

}  // namespace owndraw
