// List items as an owner-drawn list box shows them: a real list box holds the text, the frame paints into a DIB section.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "owndraw/markup/markup.h"
#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/frame/list_item.h"
#include "support/pixels.h"

namespace items {

// Item texts in tables: '{', '}' and '|' stand for 0x82, 0x83 and 0x86: "@TXT{abc}" reads as it draws.
inline std::string markup(const std::string& readable)
{
    std::string text = readable;
    for (char& c : text)
        c = c == '{' ? '\x82' : c == '}' ? '\x83' : c == '|' ? '\x86' : c;
    return text;
}

// `left`, `top`: the item's place on the canvas; canvas size 0: the item's, one row more below. A `scale` other than 1.0:
// filled as the frame does, then the renderer called with it. `control`: the list or combo box painted, else a hidden one.
struct Item {
    int width = 400, height = 20, left = 0, top = 0, canvas_width = 0, canvas_height = 0;
    UINT item_id = 0, action = ODA_DRAWENTIRE;
    bool selected = false, focus = false;
    const owndraw::ColumnTable* columns = nullptr;
    double scale = 1.0;
    pixels::Rgb canvas_color = 0xFFFFFF;
    bool combo = false;
    HWND control = nullptr;
};

// A hidden list (or combo) box holding `text` at index item_id & 0xFFFF, empty items before it; -1: none.
inline HWND list_box_holding(const std::string& text, UINT item_id, bool combo = false)
{
    static const HWND boxes[] = {
        CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0, 500, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr),
        CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0, 0, 500, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)};
    SendMessageA(boxes[combo], combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    for (UINT i = 0; item_id != UINT(-1) && i <= (item_id & 0xFFFF); ++i)
        SendMessageA(boxes[combo], combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(i == (item_id & 0xFFFF) ? text.c_str() : ""));
    return boxes[combo];
}

// "MS Sans Serif" at 8 points, as a list box on the installation dialog has it.
inline HFONT list_font()
{
    static HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                    "MS Sans Serif");
    return font;
}

struct Rendered {
    std::unique_ptr<pixels::Canvas> canvas;
    BOOL result = FALSE;
    HFONT font_after = nullptr;  // the DC's font once the item is painted,
    COLORREF text_color = 0, back_color = 0;  // and the colours the item left in it
    pixels::Rgb at(int x, int y) const { return canvas->at(x, y); }
};

// Paints `text` (readable form, see markup()) as item `item` on a canvas of canvas_color.
inline Rendered render(const std::string& readable, const Item& item = {})
{
    const std::string text = markup(readable);
    Rendered out;
    const int w = item.canvas_width ? item.canvas_width : item.left + item.width;
    const int h = item.canvas_height ? item.canvas_height : item.top + item.height + 1;
    out.canvas = std::make_unique<pixels::Canvas>(w, h);
    out.canvas->fill(item.canvas_color);
    HDC dc = out.canvas->dc.get();
    HGDIOBJ old_font = SelectObject(dc, list_font());

    DRAWITEMSTRUCT request{UINT(item.combo ? ODT_COMBOBOX : ODT_LISTBOX), 0, item.item_id, item.action, UINT((item.selected ? ODS_SELECTED : 0) | (item.focus ? ODS_FOCUS : 0)),
                           item.control ? item.control : list_box_holding(text, item.item_id, item.combo), dc, {item.left, item.top, item.left + item.width, item.top + item.height}, 0};
    if (item.scale == 1.0) {
        out.result = owndraw::draw_list_item(GetModuleHandleA(nullptr), &request, item.columns);
    } else {
        owndraw::fill_list_item(&request);
        owndraw::draw_item_markup(GetModuleHandleA(nullptr), &request, text.c_str(), item.columns, item.scale);
        out.result = TRUE;
    }
    out.font_after = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)), out.text_color = GetTextColor(dc), out.back_color = GetBkColor(dc);
    SelectObject(dc, old_font);
    return out;
}

// The system colours the frame paints with, as 0xRRGGBB.
inline pixels::Rgb sys_rgb(int index)
{
    const COLORREF c = GetSysColor(index);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace items
