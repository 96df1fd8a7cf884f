// The kit's controls as a screen reader, sorting and type-ahead meet them: add_item's items and
// make_bitmap_button's buttons are read as what they show and paint as before.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <string>

#include "owndraw/buttons/bitmap_button.h"
#include "support/accessible.h"
#include "support/item_render.h"

using namespace owndraw;
using namespace pixels;

namespace {

const HINSTANCE module = GetModuleHandleA(nullptr);

const HWND parent = CreateWindowExA(0, "STATIC", "Kit", WS_POPUP | WS_VISIBLE, 300, 40, 420, 300, nullptr, nullptr, module, nullptr);

HWND make_list(bool combo, DWORD extra = 0) {
    const DWORD style = combo ? CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY;
    return CreateWindowExA(0, combo ? "COMBOBOX" : "LISTBOX", "", WS_CHILD | WS_VISIBLE | style | extra, 0, 0, 400, 200, parent, nullptr, module, nullptr);
}

std::string item_string(HWND control, bool combo, int index) {
    char text[512] = "";
    SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// Added in this order to a sorted list; the visible texts sort unlike the mark-up. "Ascoli", second, is deleted.
const struct { const char* markup; const char* visible; } ROWS[] = {
    {"@TXT{Ascoli}@BMP{ICOB002}", "Ascoli"},
    {"@BMP{ICOB011}@TXT{ Milano }@X{200}@TXT{sede}", "Milano sede"},
    {"@TXT{Bari}@FRG{0000FF}@TXL{porto}", "Bari porto"},
    {"  Ancona  ", "Ancona"},
    {"@CA{0,FFFFFFC8DCFF|ICOB002|Torino  centro}", "Torino centro"},
    {"Como", "Como"},
};
const char* const SORTED[] = {"Ancona", "Bari porto", "Como", "Milano sede", "Torino centro"};

TEST(AccessibleItems, StringsAreVisibleTextsSortedTypedAndPaintedFromTheMarkup) {
    for (bool combo : {true, false}) {
        SCOPED_TRACE(combo ? "combo box" : "list box");
        HWND control = make_list(combo, combo ? CBS_SORT : LBS_SORT);
        for (const auto& row : ROWS)
            EXPECT_GE(add_item(control, items::markup(row.markup).c_str()), 0) << row.markup;
        SendMessageA(control, combo ? CB_DELETESTRING : LB_DELETESTRING, 1, 0); // its mark-up goes with it
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(item_string(control, combo, i), SORTED[i]) << "item " << i;
        // Each item paints as the same mark-up added as the string, selected or not.
        for (const auto& row : ROWS)
            for (bool selected : {false, true}) {
                const int at = int(std::find_if(std::begin(SORTED), std::end(SORTED), [&](const char* s) { return std::string(s) == row.visible; }) - SORTED);
                const auto want = items::render(row.markup, {400, 20, 0, 0, 0, 0, 0, ODA_DRAWENTIRE, selected, selected, nullptr, 1.0, 0x5A5A5A, combo});
                const auto got = items::render("", {400, 20, 0, 0, 0, 0, UINT(at), ODA_DRAWENTIRE, selected, selected, nullptr, 1.0, 0x5A5A5A, combo, control});
                for (int i = 0; at < 5 && i < 400 * 20; ++i)
                    ASSERT_EQ(got.at(i % 400, i / 400), want.at(i % 400, i / 400)) << row.markup << " " << pixel_message(i % 400, i / 400, got.at(i % 400, i / 400), want.at(i % 400, i / 400));
            }
        // Type-ahead: a typed letter selects the item that begins with it.
        for (const auto& [key, want] : {std::pair<char, int>{'m', 3}, {'t', 4}, {'b', 1}}) {
            SendMessageA(control, WM_CHAR, WPARAM(key), 0);
            EXPECT_EQ(SendMessageA(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0), want) << "typed " << key;
        }
        DestroyWindow(control);
    }
}

// A screen reader reads a combo box by its selected item, a list by one child per item: each its visible text.
TEST(AccessibleItems, AScreenReaderHearsEachItemsVisibleText) {
    HWND combo = make_list(true, CBS_SORT), list = make_list(false, LBS_SORT);
    for (int i = 1; i < 6; ++i)
        add_item(combo, items::markup(ROWS[i].markup).c_str()), add_item(list, items::markup(ROWS[i].markup).c_str());
    SendMessageA(combo, CB_SETCURSEL, 3, 0);
    const accessible::Spoken selected = accessible::speak(combo);
    EXPECT_EQ(accessible::on_wine() ? selected.name : selected.value, "Milano sede") << "Wine's client proxy names a combo box by its window text";
    const long children = accessible::speak(list).children;
    for (int i = 0; children == 5 && i < 5; ++i)
        EXPECT_EQ(accessible::speak(list, i + 1).name, SORTED[i]) << "child " << i + 1;
    DestroyWindow(list), DestroyWindow(combo);
    if (children != 5)
        GTEST_SKIP() << "the platform's list box proxy gives " << children << " children (Wine's lists no items)";
}

size_t memory_in_use() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters), counters.PagefileUsage;
}

TEST(AccessibleItems, KeptMarkupGoesWithItsItem) {
    const std::string long_markup = items::markup("@TXT{" + std::string(600, 'x') + "}");
    HWND list = make_list(false), combo = make_list(true);
    size_t before = 0;
    for (int cycle = 0; cycle < 100000; ++cycle) {
        before = cycle == 1000 ? memory_in_use() : before; // once the heap has settled
        HWND control = cycle % 2 ? combo : list;
        add_item(control, long_markup.c_str());
        SendMessageA(control, control == combo ? (cycle % 4 < 2 ? CB_DELETESTRING : CB_RESETCONTENT) : (cycle % 4 < 2 ? LB_DELETESTRING : LB_RESETCONTENT), 0, 0);
        if (cycle % 1000 == 999) { // a control destroyed with items in it
            HWND gone = make_list(cycle / 1000 % 2);
            for (int i = 0; i < 100; ++i)
                add_item(gone, long_markup.c_str());
            DestroyWindow(gone);
        }
    }
    EXPECT_LT(memory_in_use(), before + (1u << 20)) << "grew by " << (memory_in_use() - before) / 1024 << " KiB";
    DestroyWindow(list), DestroyWindow(combo);
}

TEST(AccessibleButton, NamedByItsLabelAndPaintedAsBefore) {
    constexpr int W = 99, H = 23;
    const auto button = [](const char* caption) { return CreateWindowA("BUTTON", caption, WS_CHILD | WS_TABSTOP, 10, 220, W, H, parent, nullptr, module, nullptr); };
    HWND made = button("&Conferma/ICOB011");
    // Steps: a new caption (or none), make_bitmap_button or not; the window text, and the caption of a button never made that paints alike.
    const struct { const char* caption; bool make; const char* text; const char* paints_as; } steps[] = {
        {nullptr, true, "&Conferma", "&Conferma/ICOB011"}, {nullptr, true, "&Conferma", "&Conferma/ICOB011"},
        {"&Annulla/ICOB002", false, "&Annulla/ICOB002", "&Annulla/ICOB002"}, {nullptr, true, "&Annulla", "&Annulla/ICOB002"}};
    for (const auto& step : steps) {
        if (step.caption)
            SetWindowTextA(made, step.caption);
        if (step.make)
            make_bitmap_button(made);
        char text[64] = "";
        GetWindowTextA(made, text, sizeof text);
        EXPECT_STREQ(text, step.text);
        EXPECT_EQ(GetWindowLongA(made, GWL_STYLE) & (BS_TYPEMASK | WS_TABSTOP), BS_OWNERDRAW | WS_TABSTOP);
        HWND twin = button(step.paints_as);
        for (ButtonLook look : {LOOK_NORMAL, LOOK_PRESSED, LOOK_FOCUSED, LOOK_DISABLED}) {
            Canvas got(W, H), want(W, H);
            compose_bitmap_button(module, made, got.dc.get(), W, H, look);
            compose_bitmap_button(module, twin, want.dc.get(), W, H, look);
            for (int i = 0; i < W * H; ++i)
                ASSERT_EQ(got.at(i % W, i / W), want.at(i % W, i / W)) << step.paints_as << ", look " << look << " " << pixel_message(i % W, i / W, got.at(i % W, i / W), want.at(i % W, i / W));
        }
        DestroyWindow(twin);
        const accessible::Spoken spoken = accessible::speak(made);
        EXPECT_EQ(spoken.name + "|" + spoken.shortcut, std::string(step.text + 1) + "|Alt+" + step.text[1]);
        EXPECT_EQ(spoken.role, accessible::on_wine() ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_PUSHBUTTON) << "Wine's proxy is its generic client object";
    }
    DestroyWindow(made);
}

} // namespace
