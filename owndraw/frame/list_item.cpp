#include "owndraw/frame/list_item.h"

#include "owndraw/primitives/gdi_guards.h"

namespace owndraw {

char item_text_buffer[ITEM_TEXT_SIZE];

namespace {

// The frame's own copy of the item rectangle, for the fill and the focus frame.
RECT list_item_rect = {};

// LB_GETTEXT is given no size, so the length is asked first: a text that would not fit
// the buffer is not fetched at all, and the item is painted as if it had none.
void fetch_item_text(const DRAWITEMSTRUCT* request)
{
    item_text_buffer[0] = '\0';
    const WPARAM index = request->itemID & 0xFFFF;
    const LRESULT length = SendMessageA(request->hwndItem, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0 || static_cast<size_t>(length) >= ITEM_TEXT_SIZE)
        return;
    SendMessageA(request->hwndItem, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item_text_buffer));
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
    draw_item_markup(instance, request, item_text_buffer, columns, 1.0);
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
