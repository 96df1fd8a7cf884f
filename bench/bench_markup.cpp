// Item paints per second through the mark-up interpreter, for a rich item of fifteen
// commands and for a plain text, against a baseline that makes the same GDI calls
// directly, written out by hand, on the same device context in the same run. Only the
// ratios mean anything across machines. The program also says whether both ways painted
// the same pixels, which is what makes the baseline a fair one.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "owndraw/markup/markup.h"
#include "bench/paint_rate.h"
#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/primitives/graphics.h"

using namespace owndraw;

namespace {

// Every target is measured in several short rounds taken in turn, and its median round is
// reported, so that drift in the machine's load hits the baseline and the paints alike.
constexpr double SECONDS_PER_MEASUREMENT = 0.3;
constexpr int ROUNDS = 5;
constexpr int ITEM_WIDTH = 400;
constexpr int ITEM_HEIGHT = 20;

const int32_t column_starts[] = {0, 120, 260};
const int32_t column_widths[] = {120, 140, 140};
const ColumnTable columns = {0, column_starts, column_widths, 3};

// Columns, text, a bitmap, gradients, a tree, a range bar, separators and rules.
const char RICH_ITEM[] = "@FL\x82" "0\x83@TREE\x82" "16,23\x83@BMP1\x82ICOB011\x83@TXT\x82" "Client\x83"
                         "@SEP\x82" "1\x83@FRG\x82" "800000\x83@CL\x82" "1,Folder\x83@PEN\x82" "808080\x83"
                         "@CS\x82" "2,C:\\VORAN\x83@DRC\x82" "FF0000,4\x83@DRS\x82" "270,390\x83"
                         "@GRECT\x82" "DEEBFBF2F6FB\x83@LINC\x82\x83@X\x82" "0\x83@EL\x82" "1\x83";
const char PLAIN_ITEM[] = "Client Setup: C:\\VORAN";

struct Target {
    HINSTANCE instance;
    const DRAWITEMSTRUCT* item;
    const char* text;
};

void fill_in(HDC dc, COLORREF color, const RECT& rect);

// The frame's part: the item filled and coloured as an unselected row, before each paint.
void prepare(const Target& t)
{
    HDC dc = t.item->hDC;
    fill_in(dc, GetSysColor(COLOR_WINDOW), t.item->rcItem);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(dc, OPAQUE);
}

void interpreted(const Target& t)
{
    prepare(t);
    draw_item_markup(t.instance, t.item, t.text, &columns, 1.0);
}

void line_in(HDC dc, COLORREF color, int x1, int y1, int x2, int y2)
{
    guard::Pen pen(CreatePen(PS_SOLID, 1, color));
    guard::Select selected(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void fill_in(HDC dc, COLORREF color, const RECT& rect)
{
    guard::Brush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

void text_in(HDC dc, const char* text, int left, int right, UINT format)
{
    RECT r = {left, 0, right, ITEM_HEIGHT};
    DrawTextA(dc, text, -1, &r, format);
}

// RICH_ITEM with every position worked out beforehand: what is left are the GDI calls.
void direct_rich(const Target& t)
{
    prepare(t);
    HDC dc = t.item->hDC;
    const RECT item = t.item->rcItem;
    const int mid = ITEM_HEIGHT / 2;
    fill_gradient_rect(dc, item, "F4F4F4FFFFFF");
    SetBkMode(dc, TRANSPARENT);
    fill_in(dc, RGB(255, 255, 255), RECT{0, 0, 16, ITEM_HEIGHT});
    MoveToEx(dc, 8, 0, nullptr);
    LineTo(dc, 8, ITEM_HEIGHT);
    MoveToEx(dc, 8, mid, nullptr);
    LineTo(dc, 16, mid);
    fill_in(dc, RGB(255, 255, 255), RECT{16, 0, 32, ITEM_HEIGHT});
    MoveToEx(dc, 24, 0, nullptr);
    LineTo(dc, 24, mid);
    LineTo(dc, 32, mid);
    int width = ITEM_WIDTH - 32;
    {
        guard::Bitmap bitmap(LoadBitmapA(t.instance, "ICOB011"));
        draw_inline_bitmap(dc, bitmap.get(), 32, 0, &width);
    }
    const int x = 32 + width;
    text_in(dc, "Client", x, ITEM_WIDTH, 0x824);
    SIZE extent{};
    GetTextExtentPoint32A(dc, "Client", 6, &extent);
    const int sep = x + extent.cx;
    line_in(dc, RGB(0xC0, 0xC0, 0xC0), sep - 1, 0, sep - 1, ITEM_HEIGHT);
    line_in(dc, RGB(0xC0, 0xC0, 0xC0), sep + 1, 0, sep + 1, ITEM_HEIGHT);
    line_in(dc, RGB(0, 0, 0), sep, 0, sep, ITEM_HEIGHT);
    SetTextColor(dc, 0x800000);
    line_in(dc, RGB(0, 0, 0), 120, 0, 120, ITEM_HEIGHT);
    text_in(dc, "Folder", 125, 265, 0x824);
    line_in(dc, 0x808080, 260, 0, 260, ITEM_HEIGHT);
    text_in(dc, "C:\\VORAN", 265, 395, 0x824);
    guard::Brush bar(CreateSolidBrush(0xFF0000));
    for (int i = 0; i < 4; ++i) {
        const RECT segment = {270 + i * 30 + 1, 0, 270 + (i + 1) * 30, ITEM_HEIGHT};
        FillRect(dc, &segment, bar.get());
    }
    fill_gradient_rect(dc, RECT{361, 0, 390, ITEM_HEIGHT}, "DEEBFBF2F6FB");
    SetBkMode(dc, TRANSPARENT);
    line_in(dc, 0x808080, item.left, ITEM_HEIGHT - 1, item.right, ITEM_HEIGHT - 1);
    line_in(dc, 0x808080, item.left, 0, item.right, 0);
    line_in(dc, 0x808080, item.left, ITEM_HEIGHT - 1, item.right, ITEM_HEIGHT - 1);
}

void direct_plain(const Target& t)
{
    prepare(t);
    RECT r = t.item->rcItem;
    DrawTextA(t.item->hDC, PLAIN_ITEM, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

HBITMAP create_dib(DWORD** bits)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, ITEM_WIDTH, -ITEM_HEIGHT, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* data = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &data, nullptr, 0);
    *bits = static_cast<DWORD*>(data);
    return bitmap;
}

// A 32-bit DIB section in a memory DC with the list's font, like an owner-drawn list box's.
struct Canvas {
    DWORD* bits = nullptr;
    guard::MemoryDC dc{nullptr};
    guard::Bitmap bitmap{create_dib(&bits)};
    guard::Select bitmap_selected{dc.get(), bitmap.get()};
    guard::Font font{CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif")};
    guard::Select font_selected{dc.get(), font.get()};
};

bool same_pixels(void (*a)(const Target&), void (*b)(const Target&), const Target& t, const Canvas& canvas)
{
    static DWORD first[ITEM_WIDTH * ITEM_HEIGHT];
    a(t);
    GdiFlush();
    std::memcpy(first, canvas.bits, sizeof first);
    b(t);
    GdiFlush();
    return std::memcmp(first, canvas.bits, sizeof first) == 0;
}

} // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    Canvas canvas;
    if (!canvas.bits)
        return 1;
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.itemAction = ODA_DRAWENTIRE;
    item.hDC = canvas.dc.get();
    item.rcItem = {0, 0, ITEM_WIDTH, ITEM_HEIGHT};

    struct Measured {
        const char* name;
        Target target;
        void (*direct)(const Target&);
        double interpreted[ROUNDS];
        double direct_rate[ROUNDS];
    } items[] = {{"rich (15 commands)", {instance, &item, RICH_ITEM}, direct_rich, {}, {}},
                 {"plain text", {instance, &item, PLAIN_ITEM}, direct_plain, {}, {}}};

    std::printf("bench_markup: %d x %d list item on a 32-bit DIB, median of %d rounds of %.2f s each\n",
                ITEM_WIDTH, ITEM_HEIGHT, ROUNDS, SECONDS_PER_MEASUREMENT);
    for (int r = 0; r < ROUNDS; ++r)
        for (Measured& m : items) {
            m.direct_rate[r] = rate(m.direct, m.target, SECONDS_PER_MEASUREMENT);
            m.interpreted[r] = rate(interpreted, m.target, SECONDS_PER_MEASUREMENT);
        }
    std::printf("%-20s %14s %14s %10s %10s %16s\n", "item", "direct /s", "interpreted /s", "ratio",
                "overhead", "same pixels");
    for (Measured& m : items) {
        std::sort(m.direct_rate, m.direct_rate + ROUNDS);
        std::sort(m.interpreted, m.interpreted + ROUNDS);
        const double direct = m.direct_rate[ROUNDS / 2];
        const double interp = m.interpreted[ROUNDS / 2];
        std::printf("%-20s %14.0f %14.0f %10.3f %9.1f%% %16s\n", m.name, direct, interp, interp / direct,
                    (direct / interp - 1.0) * 100.0,
                    same_pixels(m.direct, interpreted, m.target, canvas) ? "yes" : "NO");
    }
    return 0;
}
