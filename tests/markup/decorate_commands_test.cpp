// The decorating commands painted through a real owner-drawn list box, read back by pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "owndraw/markup/markup_state.h"
#include "support/item_render.h"

using namespace owndraw;

namespace {

using pixels::Rgb;
constexpr Rgb HL = 0x1000000;    // stands for the frame's background of a selected item
constexpr Rgb NONE = 0x2000000;  // colour not checked
constexpr Rgb W = 0xFFFFFF, K = 0x000000, RED = 0xFF0000, BLUE = 0x0000FF;
constexpr int ROW = -1;          // probe x: some pixel of the row has the colour, not all of it

struct Probe { int x, y; Rgb want; int tolerance = 0; }; // tolerance per channel
// text_color, back_color: the DC's colours once the item is painted.
struct Case { const char* text; items::Item item; std::vector<Probe> probes; Rgb text_color = NONE, back_color = NONE; };

items::Item row(UINT id, bool selected = false, int width = 400, int left = 0, int canvas = 0)
{
    return {width, 20, left, 0, canvas, 0, id, ODA_DRAWENTIRE, selected};
}

bool close_to(Rgb got, Rgb want, int tolerance)
{
    auto off = [&](int shift) { return std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)); };
    return off(0) <= tolerance && off(8) <= tolerance && off(16) <= tolerance;
}

void expect_color(const char* what, COLORREF got, Rgb want)
{
    if (want == NONE)
        return;
    want = want == HL ? items::sys_rgb(COLOR_HIGHLIGHT) : want;
    EXPECT_EQ(pixels::hex((GetRValue(got) << 16) | (GetGValue(got) << 8) | GetBValue(got)), pixels::hex(want)) << what;
}

void check(const Case& c)
{
    SCOPED_TRACE(c.text);
    const items::Rendered r = items::render(c.text, c.item);
    EXPECT_EQ(r.font_after, items::list_font()) << "the item's font was not put back";
    for (const Probe& p : c.probes) {
        const Rgb want = p.want == HL ? items::sys_rgb(COLOR_HIGHLIGHT) : p.want;
        int hits = 0;
        for (int x = c.item.left; p.x == ROW && x < c.item.left + c.item.width; ++x)
            hits += r.at(x, p.y) == want;
        if (p.x == ROW)
            EXPECT_TRUE(hits > 0 && hits < c.item.width) << "row " << p.y << ": " << hits << " of " << pixels::hex(want);
        else
            EXPECT_TRUE(close_to(r.at(p.x, p.y), want, p.tolerance)) << pixels::pixel_message(p.x, p.y, r.at(p.x, p.y), want);
    }
    expect_color("text colour", r.text_color, c.text_color);
    expect_color("background colour", r.back_color, c.back_color);
}

TEST(DecorateCommands, PaintAsTheItemSays)
{
    const Case cases[] = {
        {"@TREE{16,3}@TREE{16,1}", row(0, true), {{3, 3, W}, {8, 0, K}, {8, 9, K}, {8, 12, W}, {12, 10, K}, {15, 10, K}, {16, 10, W}, {24, 15, K}, {32, 5, HL}}},  // cur_x 16
        {"@TREE{10,12x3}", row(0, true), {{5, 15, K}, {15, 15, K}, {19, 10, K}, {25, 5, K}, {25, 15, W}, {29, 10, K}, {30, 5, HL}}},
        {"@TREE{20,11}", row(0, true, 40), {{10, 5, K}, {25, 5, HL}}},  // the second cell ends on the limit
        // The column ends at 0 - 5 + 8 + 23 = 26: the third cell is skipped but counted.
        {"@X{8}@D{23}@X{0}@TREE{10,111}@SEP{0}", row(0, true), {{5, 5, K}, {12, 5, W}, {15, 5, K}, {22, 5, HL}, {25, 5, HL}, {30, 5, K}}},
        {"@LIN{}", row(0), {{0, 0, K}, {399, 0, K}, {5, 1, W}}},
        {"@LINB{}", row(0), {{5, 20, K}, {5, 19, W}}},
        {"@LINC{}", row(0), {{5, 19, K}, {5, 20, W}, {5, 18, W}}},
        {"@EL{0}", row(0), {{5, 0, K}, {5, 20, K}, {5, 19, W}}},
        {"@EL{1}", row(0), {{5, 0, K}, {5, 19, K}, {5, 20, W}}},
        {"@EL{2}", row(0), {{5, 0, K}, {5, 19, W}, {5, 20, W}}},
        {"@TL{}", row(0), {{5, 20, 0x808080}, {5, 19, 0xC0C0C0}, {5, 0, W}}},
        {"@SP{}", row(0), {{5, 3, 0xEAFFFF}, {ROW, 10, K}}},
        {"@SP{}", row(1), {{5, 3, 0xF8F8F8}, {ROW, 10, K}}},
        {"@SP{}", row(0, true), {{5, 3, HL}, {ROW, 10, W}}},
        {"@SP{}@SCB{}", row(0), {{0, 10, 0xEAFFFF}, {1, 10, 0xEAFFFF}, {2, 10, 0xEAFFFF}}},  // the tints "@SP" set
        {"@RECT{0000FF}", row(0), {{5, 5, RED}}, NONE, RED},
        {"@RECT{0000FF}", row(0, true), {{5, 5, HL}}, NONE, HL},
        {"@DR{10,20}@RECT{00FF00}", row(0), {{15, 5, 0x00FF00}, {25, 5, W}, {5, 5, W}}},  // the bar "@DR" left
        {"@DR{10,20}@D{60}@TREE{16}@RECT{00FF00}", row(0, false, 400, 20, 440), {{19, 5, W}, {20, 5, 0x00FF00}, {74, 5, 0x00FF00}, {75, 5, W}}},  // "@TREE" without cells gives back the item to the column's end
        {"@GRECT{FF00000000FF}", row(0), {{5, 0, RED}, {5, 19, 0x0D00F2, 2}}},
        {"@GRECT{FF00000000FF}", row(0, true), {{5, 5, HL}}},
        {"@FL{0}", row(0), {{5, 0, 0xF4F4F4}, {5, 19, W, 1}}, K},
        {"@FL{0}", row(1), {{5, 0, 0xDEEBFB}, {5, 19, 0xF2F6FB, 1}}, K},
        {"@FL{1}", row(0), {{5, 0, RED}, {5, 19, 0xD80000, 2}}, W},
        {"@FL{2}", row(0), {{5, 0, 0xFFFF00}, {5, 19, 0xFFFEB5, 1}}, K},
        {"@FL{3}", row(0), {{5, 5, W}}, K},
        {"@FRG9{0000FF}@FL{0}", row(0), {}, RED},  // "@FL" 0 keeps the text colour
        {"@SF{C6FFFF}", row(2), {{5, 5, 0xFFFFC6}}, NONE, 0xFFFFC6},
        {"@RECT{0000FF}@SF{C6FFFF}", row(1), {{5, 5, W}}, NONE, W},
        {"@SCP{0000FF}@SCD{FF0000}@SCB{}", row(0), {{5, 5, RED}}},
        {"@SCP{0000FF}@SCD{FF0000}@SCB{}", row(1), {{5, 5, BLUE}}},
        {"@RECT{0000FF}@SCB{}", row(0), {{5, 5, W}}},  // row colours start white
        {"@SFP{BRUSH5}@SFD{BRUSH13}@SFB{}", row(0), {{5, 5, 0xF0DFBF, 0x18}, {399, 19, 0xF0DFBF, 0x18}}},
        {"@SFP{BRUSH5}@SFD{BRUSH13}@SFB{}", row(1), {{5, 5, 0xB3CFFF}, {399, 19, 0xB3CFFF}}},
        {"@SFP{BRUSH13}@SFB{}@RECT{0000FF}", row(1), {{5, 5, W}}},  // no odd pattern: the item ends
        {"@SFP{BRUSH13}@SFB{}@RECT{0000FF}", row(0), {{5, 5, RED}}},
        {"@SFB{}@TREE{10,1}", row(1, true), {{2, 5, W}}},  // guarded before it can end the item
        {"@F011{1}@TXT{MMMM}@SFB{}@F01{0}", row(1), {{ROW, 4, K}, {ROW, 15, K}}},  // a numbered word; the ink of the list font spans rows 6 to 14
        {"@DRC{FF0000,3}@DRS{0,10}@RECT{00FF00}", row(0), {{1, 5, BLUE}, {3, 5, W}, {5, 5, BLUE}, {6, 5, W}, {7, 5, 0x00FF00}, {8, 5, 0x00FF00}, {9, 5, W}}},  // the last segment's place is filled
        {"@DRS{0,100}", row(0), {{50, 5, W}}},  // no count yet: nothing
        {"@DR{50,5000}", row(0, false, 400, 0, 420), {{49, 5, W}, {50, 5, K}, {399, 19, K}, {400, 5, W}}},
        {"@DR{0,5000}", row(0, false, 400, 20, 460), {{19, 5, W}, {20, 5, K}, {439, 5, K}, {440, 5, W}}},  // limit: right + left
        {"@DRC{FF0000,100000000}@DRS{-2000000000,2000000000}", row(0), {{0, 5, W}, {1, 5, BLUE}, {39, 5, BLUE}, {40, 5, W}, {41, 5, BLUE}}},
    };
    for (const Case& c : cases)
        check(c);
}

// Wine's bitmap strikes are not exactly twice as high: the height asked of the font mapper is checked.
TEST(DecorateCommands, DoubleHeightFontIsDeletedWhenTheItemFontReturns)
{
    pixels::Canvas canvas(10, 10);
    MarkupState s{};
    s.dc = canvas.dc.get();
    guard::Select list(s.dc, items::list_font());
    const auto height_after = [&](const char* argument) {
        std::string arg = argument;
        s.arg_buffer = &arg[0];
        command_f01(s);
        LOGFONTA font{};
        GetObjectA(GetCurrentObject(s.dc, OBJ_FONT), sizeof font, &font);
        return font.lfHeight;
    };
    const LONG list_height = height_after("0");
    EXPECT_EQ(height_after("1"), 2 * list_height);
    EXPECT_EQ(height_after("1"), 4 * list_height) << "again: four times as high, the first enlargement gone";
    EXPECT_EQ(height_after("2"), list_height) << "any number but 1 puts the item's font back";
    EXPECT_EQ(height_after("0"), list_height);
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_FONT), items::list_font());
    for (const auto& [from, to] : {std::pair<LONG, LONG>{-200, -400}, {16384, 32768}, {-20000, -32768}}) {  // held only near where rasterising fails
        guard::Font large(CreateFontA(from, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif"));
        guard::Select chosen(s.dc, large.get());
        EXPECT_EQ(height_after("1"), to) << from;
        height_after("0");
    }
}

} // namespace
