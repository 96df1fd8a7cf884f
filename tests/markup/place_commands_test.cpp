// The commands that place things: one row per case, an item text, its item and the pixels that carry it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "owndraw/primitives/graphics.h"
#include "support/item_render.h"

using namespace owndraw;

namespace {

using pixels::Rgb;
constexpr Rgb W = 0xFFFFFF, K = 0x000000, RED = 0xFF0000, GREEN = 0x00FF00, GREY = 0xC0C0C0;
constexpr Rgb TICK_TOP = 0x27742F, TICK_RIGHT = 0x45A947;  // ICOB011 at (10,1) and (15,10)
const std::string LONG = "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM";

const int32_t starts[] = {0, 120, 220}, widths[] = {100, 80, 60};
const ColumnTable table = make_column_table(starts, widths), count_left_at_0{0, starts, widths, 0};

// Every pixel of the area has the colour, at least one has it, or none has it. y1 -1: the item's bottom.
enum Want { ALL, SOME, NONE };
struct Probe { int x0, x1, y0, y1; Rgb colour; Want want; };
Probe at(int x, int y, Rgb c) { return {x, x + 1, y, y + 1, c, ALL}; }
Probe span(int x0, int x1, Rgb c, Want want = ALL) { return {x0, x1, 0, -1, c, want}; }

// item: {width, height, left, top, canvas width}, every one with the column table; bk_mode: the
// DC's background mode after the item (0: not checked); under, bitmap, bx, by: see Place.Pixels.
struct Case { const char* name; std::string text; items::Item item; std::vector<Probe> probes; int bk_mode = 0; std::string under = {}; const char* bitmap = nullptr; int bx = 0, by = 0; };

int text_width(const char* text)
{
    pixels::Canvas canvas(1, 1);
    guard::Select font(canvas.dc.get(), items::list_font());
    SIZE size{};
    GetTextExtentPoint32A(canvas.dc.get(), text, static_cast<int>(strlen(text)), &size);
    return size.cx;
}

std::vector<Case> cases()
{
    const Rgb HL = items::sys_rgb(COLOR_HIGHLIGHT), WIN = items::sys_rgb(COLOR_WINDOW);
    const int lb = 155 + text_width("Lb");
    items::Item selected, scaled, doubled, halved{400, 20, 20, 0, 440}, left20{400, 20, 20}, tall{400, 40}, uncounted{400, 20, 0, 0, 0, 0, 0, ODA_DRAWENTIRE, false, false, &count_left_at_0};
    selected.selected = true;
    scaled.scale = 1.5, doubled.scale = 2, halved.scale = 0.5;
    return {
        {"XFromItemLeftXeFromRightEdgeTextIndentedAtTheItemsEdge", "@X{0}@TXT{ab}@X{100}@SEP{0}@XE{20}@SEP{0}", left20,
         {span(20, 25, W), span(25, 28, K, SOME), span(40, 120, W), at(120, 5, K), span(121, 400, W), at(400, 5, K),
          span(401, 420, W)}},
        {"XeLeavesTheWholeItemToFill", "@XE{100}@RECT{00FF00}", {}, {span(0, 400, GREEN)}},
        {"SepLeavesTheWholeItemToFill", "@X{100}@SEP{0}@RECT{00FF00}", {}, {span(0, 400, GREEN)}},
        {"ScaleForMarkupNotTable", "@XCOL{1}@OFS{5}@SEP{0}@D{10}@TXT{}@SEP{0}", scaled,
         {span(0, 127, W), at(127, 0, K), span(128, 142, W), at(142, 0, K), span(143, 400, W)}},
        // At scale 2 the margin is 10, the steps 2 and 20, tree cells 16 wide, the range gap 4: 2 units, scaled again.
        {"ScaleForStepsTreeAndSegments", "@TXT{ab}@X{0}@OFS{50}@SEP{1}@SEP{4}@SEP{2}@TREE{8,12}@PEN{00FF00}@SEP{0}@DRC{FF0000,2}"
                                         "@DRS{100,200}", doubled,
         {span(0, 10, W), span(10, 13, K, SOME), at(99, 0, GREY), at(100, 0, K), at(101, 0, GREY), at(102, 0, RED), at(104, 0, K), at(123, 10, K),
          at(132, 0, K), at(148, 0, K), at(155, 10, K), at(156, 0, GREEN), span(157, 204, W), at(204, 5, 0x0000FF),
          at(299, 5, 0x0000FF), span(300, 304, W), at(304, 5, 0x0000FF)}},
        {"ScaleForTheRangeLimit", "@DR{0,5000}", halved, {span(0, 20, W), span(20, 230, K), span(230, 440, W)}},
        {"OutsideTableKeepsAll", "@OFS{40}@XCOL{7}@CS{9,abc}@CA{-1,FF0000FF0000|ICOB011|x}@CR{3,FF0000FF0000}@SEP{0}",
         {}, {at(40, 0, K), span(0, 40, W), span(41, 400, W)}, OPAQUE},
        {"ColumnClipsTextAndEndsAtItsEdge", "@D{100}@OFS{20}@TXT{" + LONG + "}@PEN{0000FF}@SEP{0}", {},
         {span(0, 25, W), span(25, 28, K, SOME), span(92, 95, K, SOME), span(95, 100, W), at(100, 0, RED),
          span(101, 400, W)}},
        // Flags are added to each command's own format (centred, and still one centred line) and kept.
        {"DtaAddedAndKeptForTxtTxlClCsl", "@DTA{1}@CSL{0,ab}@CL{1;ab}@X{220}@D{60}@TXL2{ab}@X{300}@D{100}@TXT{ab}", {},
         {span(5, 40, K, NONE), {40, 60, 0, 5, K, SOME}, span(125, 155, K, NONE), span(155, 175, K, SOME),
          span(225, 240, K, NONE), {240, 260, 0, 5, K, SOME}, span(305, 340, K, NONE), {340, 360, 0, 5, K, NONE},
          span(340, 360, K, SOME)}},
        {"DtaLastsPastTheFirstTxt", "@DTA{2}@D{100}@TXT{ab}@D{100}@TXT{ab}", {},
         {span(5, 80, K, NONE), span(80, 95, K, SOME), span(105, 180, K, NONE), span(180, 195, K, SOME)}},
        // Flags that would write into the text (an abort under Wine), measure, or draw unclipped are dropped.
        {"DtaKeepsOnlyFlagsThatDraw", "@DTA{999999}@D{100}@TXL{" + LONG + "}@DTA{1280}@X{200}@D{60}@TXT{" + LONG + "}", {},
         {span(5, 95, K, SOME), span(95, 205, K, NONE), span(205, 255, K, SOME), span(255, 400, K, NONE)}},
        // Every flag there is, over a text that does not fit: no ellipsis asks the platform for two ways to shorten it.
        {"DtaAllFlagsOnANarrowRun", "@XE{9}@DTA{-1}@TXT{2,-170393272,ab}@PEN{0000FF}@X{0}@SEP{0}", {}, {at(0, 0, RED)}},
        // Column cells, columns 0:100, 120:80, 220:60.
        {"CsClipsInsideClRunsIntoNext", "@CS{0," + LONG + "}@SEP{4}@CL{1," + LONG + "}@SEP{4}", {},
         {at(0, 0, K), span(1, 5, W), span(5, 8, K, SOME), span(92, 95, K, SOME), span(95, 100, W), at(100, 0, RED),
          span(101, 120, W), at(120, 19, K), at(120, 20, W), span(121, 125, W), span(125, 128, K, SOME),
          span(201, 205, K, SOME), span(205, 210, W), at(210, 0, RED), span(211, 400, W)}},
        {"CellWithoutSeparatorDrawsItsLine", "@CL{1 Total}@PEN2{0x0000FF}@OFS{1}@SEP{0}", {},
         {span(0, 120, W), at(120, 0, K), at(121, 0, RED), span(122, 400, W)}},
        // Centring is the flag that moves a right-aligned line too.
        {"CsCdIgnoreFlags", "@DTA{1}@CS{0,ab}@CD{1,ab}", {},
         {span(5, 8, K, SOME), span(30, 120, W), span(121, 180, W), span(190, 195, K, SOME), span(195, 400, W)}},
        // The label's '&' underlines; the body: leading blanks dropped, a margin after the label and at the column's end, words wrapped.
        {"CaGradientBitmapLabelBody", "@CA{1,FF0000FF0000|ICOB011|L&b    body " + LONG + "}", tall,
         {span(0, 120, W), at(120, 0, K), at(121, 0, RED), span(195, 200, RED), span(200, 400, W), at(125, 2, RED),
          at(135, 3, TICK_TOP), span(145, 155, RED), span(145, 200, W, NONE), span(155, 158, K, SOME),
          span(lb, lb + 5, RED), {lb + 5, lb + 8, 0, 8, K, SOME}, {lb + 5, lb + 8, 14, 27, K, SOME}}, TRANSPARENT},
        // A separator before the first field belongs to it: "|FF0000FF0000" reads as 00F000 over 0FF000.
        {"CaLeadingSeparatorInTheGradient", "@CA{0,|FF0000FF0000|ICOB011|Lb}", {}, {at(60, 0, 0x00F000)}},
        {"CrFillsTheColumn", "@CR5{1,FF0000FF0000}", {}, {span(0, 120, W), span(120, 200, RED), span(200, 400, W)}, TRANSPARENT},
        {"CountLeftAt0NoColumns", "@CR{0,FF0000FF0000}@XCOL{1}@CS{1,abc}@SEP{0}", uncounted, {at(0, 0, K), span(1, 400, W)}},
        {"TextOf64KiBDrawnWhole", std::string(65536, '.') + "@CA{1,FF0000FF0000|ICOB011|Lb}", {}, {at(121, 0, RED), at(135, 3, TICK_TOP)}},
        {"CaSelectedKeepsHighlightLabelBlack", "@CA{1,FF0000FF0000|ICOB011|Lb body}", selected,
         {at(121, 0, HL), span(0, 400, RED, NONE), at(120, 0, K), span(155, 158, K, SOME),
          span(lb + 5, lb + 8, K, SOME)}, OPAQUE},
        // Bitmaps. In a column opened before cur_x moved on, the room is measured from cur_x.
        {"BmpAtCurXThenInColumn", "@OFS{10}@BMP{ICOB011}@PEN{0000FF}@SEP{0}@D{45}@OFS{20}@BMP1{ICOB011}@SEP{0}", {},
         {span(0, 10, W), at(10, 0, W), at(20, 1, TICK_TOP), at(25, 10, TICK_RIGHT), at(29, 0, W), at(30, 0, RED),
          span(31, 55, W), at(65, 1, TICK_TOP), at(69, 0, W), at(70, 0, RED), at(71, 0, W)}},
        // A name that names no bitmap: the command takes its place (work_rect, "@BBK"'s colour), draws no bitmap, cur_x stays.
        {"MissingBitmapTakesItsPlace", "@OFS{20}@D{100}@BMP{NOSUCH}@RECT{0000FF}@SEP{0}@BCK{00FF00}@FRG{FF0000}@X{300}@D{0}@BBK{NOSUCH}@RECT{zz}",
         {}, {span(0, 20, W), at(20, 0, K), span(21, 25, W), span(25, 115, RED), span(115, 300, W), span(300, 400, GREEN)}},
        // Bitmaps in their own colours, key colour see-through, on any row and after any colour command.
        {"BmpSelected", "@BMP{ICOB002}", selected, {}, 0, "", "ICOB002"},
        {"BmpAfterFrgBck", "@FRG{00FF00}@BCK{0000FF}@BMP{ICOB011}", {}, {}, 0, "", "ICOB011"},
        {"BmpOnFl1", "@FL{1}@BMP{ICOB011}", {}, {}, 0, "@FL{1}", "ICOB011"},
        {"BbkOnBck", "@BCK{C6FFFF}@BBK{ICOB002}", {}, {}, 0, "@RECT{C6FFFF}", "ICOB002"},
        {"BbkSelected", "@BBK{ICOB011}", selected, {}, 0, "", "ICOB011"},
        {"CaAfterFrgBck", "@FRG{00FF00}@BCK{0000FF}@CA{0,FF0000FF0000|ICOB011|Lb}", {}, {}, 0, "@CA{0,FF0000FF0000||Lb}", "ICOB011", 5, 2},
        {"CaSelected", "@CA{0,FF0000FF0000|ICOB002|Lb}", selected, {}, 0, "@CA{0,FF0000FF0000||Lb}", "ICOB002", 5, 2},
        {"BitmapLeavesTheRowColours", "@BMP{ICOB011}@TXT{abc}", selected, {at(20, 4, HL), span(20, 45, WIN, SOME), span(20, 45, K, NONE)}},
        {"BbkFromItemLeftPlusCurX", "@BCK{00FF00}@OFS{10}@BBK2{ICOB011}@OFS{5}@PEN{0000FF}@SEP{0}", left20,
         {span(20, 30, W), at(30, 0, GREEN), at(40, 1, TICK_TOP), at(35, 0, RED), at(36, 0, GREEN),
          at(419, 19, GREEN)}},
        // The strip ends at the column's end less the margin, wherever cur_x moved inside it.
        {"BbkColumnEndsMarginEarly", "@BCK{00FF00}@D{60}@OFS{10}@BBK{ICOB011}", left20,
         {at(29, 19, W), at(30, 19, GREEN), at(74, 19, GREEN), span(75, 420, W)}},
        // "@BBK" fills with the DC's background, not the last colour read; "@GRECT" leaves it transparent.
        {"BbkFillsWithTheBackground", "@BKM{1}@GRECT{FF0000FF0000}@FRG{0000FF}@OFS{10}@BBK{ICOB011}", {},
         {at(5, 10, RED), at(300, 10, W)}, TRANSPARENT},
        // On a selected row only the pen changes.
        {"SelectedRowKeepsAllButPen", "@FRG{00FF00}@BCK{00FF00}@BKM{0}@RBR{BRUSH2}@CR{1,FF0000FF0000}@PEN{0000FF}"
                                      "@TXT{abc}@X{50}@SEP{0}", selected,
         {span(0, 50, HL, SOME), span(0, 400, GREEN, NONE), span(5, 8, WIN, SOME), at(50, 0, RED), span(51, 400, HL)},
         OPAQUE},
        {"SepAtRightEdgeDrawsNothing", "@XE{0}@SEP{1}@SEP{2}@SEP{3}@SEP{4}@SEP{0}@OFS{-1}@SEP{0}", {400, 20, 0, 0, 410}, {at(399, 0, K), span(0, 399, W), span(400, 410, W)}},
    };
}

void expect_probe(const items::Rendered& r, const Probe& p, int bottom)
{
    const int y1 = p.y1 < 0 ? bottom : p.y1;
    bool seen = false;
    for (int x = p.x0; x < p.x1; ++x)
        for (int y = p.y0; y < y1; ++y) {
            const Rgb got = r.at(x, y);
            seen = seen || got == p.colour;
            if (p.want == ALL && got != p.colour) {
                ADD_FAILURE() << pixels::pixel_message(x, y, got, p.colour);
                return;
            }
            if (p.want == NONE && got == p.colour) {
                ADD_FAILURE() << "at (" << x << "," << y << "): got " << pixels::hex(got) << ", want any other";
                return;
            }
        }
    if (p.want == SOME && !seen) {
        ADD_FAILURE() << "no " << pixels::hex(p.colour) << " in x " << p.x0 << ".." << p.x1 - 1 << ", y " << p.y0
                      << ".." << y1 - 1 << "; at (" << p.x0 << "," << p.y0 << ") got " << pixels::hex(r.at(p.x0, p.y0));
    }
}

// One test program start for the whole table: each row is named in its failures.
TEST(Place, Pixels)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        items::Item item = c.item;
        if (!item.columns)
            item.columns = &table;
        const items::Rendered r = items::render(c.text, item);
        for (const Probe& p : c.probes)
            expect_probe(r, p, item.height);
        if (c.bk_mode != 0) {
            EXPECT_EQ(GetBkMode(r.canvas->dc.get()), c.bk_mode) << "background mode after the item";
        }
        // `bitmap` at (bx, by): each pixel its own colour or, under a key pixel, what `under` (the item without it) paints.
        pixels::Canvas own(20, 20);
        const items::Rendered under = items::render(c.bitmap ? c.under : "", item);
        draw_bitmap(own.dc.get(), guard::Bitmap(LoadBitmapA(GetModuleHandleA(nullptr), c.bitmap)).get(), 0, 0);
        for (int i = 0; c.bitmap && i < 400 && c.by + i / 20 < r.canvas->height; ++i) {
            const int x = c.bx + i % 20, y = c.by + i / 20;
            const Rgb mine = own.at(i % 20, i / 20), want = mine == 0x010101 ? under.at(x, y) : mine;
            ASSERT_EQ(r.at(x, y), want) << pixels::pixel_message(x, y, r.at(x, y), want);
        }
    }
}

} // namespace
