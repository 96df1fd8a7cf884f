#include "owndraw/frame/list_item.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "owndraw/frame/kept_items.h"
#include "owndraw/primitives/dpi.h"
#include "owndraw/primitives/gdi_guards.h"

namespace owndraw {

namespace {

// What the buffer holds before any item needs more: a rich item of every command fits.
char first_item_text[512];
// The enlarged buffer once there is one; item_text_buffer points into it.
std::unique_ptr<char[]> enlarged_item_text;
size_t item_text_capacity = sizeof first_item_text;

} // namespace

char* item_text_buffer = first_item_text;

namespace {

// The frame's own copy of the item rectangle, for the fill and the focus frame.
RECT list_item_rect = {};

// Room for `size` bytes in item_text_buffer; false, with the buffer as it was, when memory
// is short.
bool reserve_item_text(size_t size)
{
    if (size <= item_text_capacity)
        return true;
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[size]);
    if (!bigger)
        return false;
    enlarged_item_text = std::move(bigger);
    item_text_buffer = enlarged_item_text.get();
    item_text_capacity = size;
    return true;
}

// The item's text, whole, into item_text_buffer; an empty text when it cannot be had. The
// text is fetched as UTF-16 and converted to the ANSI code page, which gives back the bytes
// the owner put in (0x82, 0x83 and 0x86 included): fetched as ANSI, the platform converts
// it for us, and some list boxes (Wine's common-controls ones) do that through a fixed
// buffer of 512 characters and go wrong on longer texts. The length is asked first,
// because the fetch is given no size.
void fetch_item_text(const DRAWITEMSTRUCT* request)
{
    item_text_buffer[0] = '\0';
    const bool combo = request->CtlType == ODT_COMBOBOX;
    const UINT get_length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT get_text = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const WPARAM index = request->itemID & 0xFFFF;
    // An item added with add_item shows the mark-up the kit keeps; its string is only
    // what a person sees.
    if (const char* kept = kept_item_markup(request->hwndItem, index)) {
        const size_t size = std::strlen(kept) + 1;
        if (reserve_item_text(size))
            std::memcpy(item_text_buffer, kept, size);
        return;
    }
    const LRESULT length = SendMessageW(request->hwndItem, get_length, index, 0);
    // Both conversions count in int.
    if (length < 0 || length >= INT_MAX)
        return;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[static_cast<size_t>(length) + 1]);
    if (!wide)
        return;
    const LRESULT got = SendMessageW(request->hwndItem, get_text, index, reinterpret_cast<LPARAM>(wide.get()));
    if (got <= 0 || got > length)
        return;
    const int count = static_cast<int>(got);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.get(), count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0 || !reserve_item_text(static_cast<size_t>(bytes) + 1))
        return;
    WideCharToMultiByte(CP_ACP, 0, wide.get(), count, item_text_buffer, bytes, nullptr, nullptr);
    item_text_buffer[bytes] = '\0';
}

} // namespace

BOOL draw_list_item(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns)
{
    // An empty list: only its focus is shown. The action is compared as a whole value.
    if (request->itemID == static_cast<UINT>(-1))
        draw_list_item_focus(instance, request, columns);
    else if (request->itemAction == ODA_DRAWENTIRE || request->itemAction == ODA_SELECT)
        paint_list_item(instance, request, columns);
    else if (request->itemAction == ODA_FOCUS)
        draw_list_item_focus(instance, request, columns);
    return TRUE;
}

void draw_list_item_focus(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns)
{
    if (request->itemState & ODS_FOCUS) {
        // Inverts: drawn over the existing painting, and a second call takes it away.
        RECT focus = request->rcItem;
        DrawFocusRect(request->hDC, &focus);
        return;
    }
    // The whole repaint also removes a focus rectangle drawn before.
    paint_list_item(instance, request, columns);
}

void paint_list_item(HINSTANCE instance, const DRAWITEMSTRUCT* request, const ColumnTable* columns)
{
    if (request->itemID == static_cast<UINT>(-1))
        return;
    fetch_item_text(request);
    fill_list_item(request);
    // The mark-up's distances are 96-DPI pixels: they grow with the list's window, exactly
    // 1.0 at 96 dots per inch.
    const double scale = window_dpi(request->hwndItem, request->hDC) / 96.0;
    draw_item_markup(instance, request, item_text_buffer, columns, scale);
    if (request->itemState & ODS_FOCUS) {
        list_item_rect = request->rcItem;
        guard::Brush frame(CreateSolidBrush(RGB(0, 0, 0)));
        FrameRect(request->hDC, &list_item_rect, frame.get());
    }
}

void fill_list_item(const DRAWITEMSTRUCT* request)
{
    list_item_rect = request->rcItem;
    // The text colour of a selected item is the window colour, not COLOR_HIGHLIGHTTEXT.
    const bool selected = (request->itemState & ODS_SELECTED) != 0;
    const int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    const int foreground = selected ? COLOR_WINDOW : COLOR_WINDOWTEXT;
    {
        guard::Brush fill(CreateSolidBrush(GetSysColor(background)));
        FillRect(request->hDC, &list_item_rect, fill.get());
    }
    SetBkColor(request->hDC, GetSysColor(background));
    SetTextColor(request->hDC, GetSysColor(foreground));
}

}  // namespace owndraw
