// The list item frame on a real owner-drawn list box: dispatch, colours, focus marks, the text it fetches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/item_render.h"

using namespace owndraw;

namespace {

constexpr pixels::Rgb CANVAS = 0x123456; // what "nothing drawn" leaves
constexpr int WINDOW = COLOR_WINDOW, HIGHLIGHT = COLOR_HIGHLIGHT, NONE = -1;

// `fill`: the system colour inside the item away from the text, or NONE; `ink`: that of the
// text, or NONE for no ink; `border` 0: like the fill, 1: solid black frame, 2: dotted inversion.
struct FrameCase { const char* why; std::string text; UINT item_id, action; bool selected, focus; int fill, ink, border; bool combo = false; };

const FrameCase frame_cases[] = {
    {"plain text, unselected", "Client", 0, ODA_DRAWENTIRE, false, false, WINDOW, COLOR_WINDOWTEXT, 0},
    {"selected: highlight, window-coloured text", "Client", 0, ODA_SELECT, true, false, HIGHLIGHT, WINDOW, 0},
    {"selected with focus: black frame", "Client", 0, ODA_DRAWENTIRE, true, true, HIGHLIGHT, WINDOW, 1},
    {"the focus frame goes over the mark-up", "@PEN{00FF00}@LIN{}", 0, ODA_DRAWENTIRE, false, true, WINDOW, NONE, 1},
    {"@-words without 0x82 are plain text", "@TXT x", 0, ODA_DRAWENTIRE, false, false, WINDOW, COLOR_WINDOWTEXT, 0},
    {"mark-up without '@' draws no ink", "abc{}", 0, ODA_DRAWENTIRE, false, false, WINDOW, NONE, 0},
    {"gaining the focus only inverts", "Client", 0, ODA_FOCUS, false, true, NONE, NONE, 2},
    {"empty list with the focus", "", UINT(-1), ODA_DRAWENTIRE, false, true, NONE, NONE, 2},
    {"action 3 draws nothing", "Client", 0, 3, false, true, NONE, NONE, 0},
    {"index 65536 fetches item 0", "Client", 65536, ODA_DRAWENTIRE, false, false, WINDOW, COLOR_WINDOWTEXT, 0},
    {"an owner-drawn combo box's item", "Client", 1, ODA_DRAWENTIRE, true, true, HIGHLIGHT, WINDOW, 1, true},
};

TEST(Frame, DispatchColoursAndFocus)
{
    for (const FrameCase& c : frame_cases) {
        SCOPED_TRACE(c.why);
        const items::Rendered r = items::render(c.text, {400, 20, 0, 0, 0, 0, c.item_id, c.action, c.selected, c.focus, nullptr, 1.0, CANVAS, c.combo});
        EXPECT_EQ(r.result, TRUE);
        const pixels::Rgb fill = c.fill == NONE ? CANVAS : items::sys_rgb(c.fill);
        const pixels::Canvas& canvas = *r.canvas;
        EXPECT_EQ(r.at(300, 10), fill) << pixels::pixel_message(300, 10, r.at(300, 10), fill);
        // One line from the item's left edge, centred across the middle row, in its colour.
        if (c.ink == NONE) {
            EXPECT_EQ(pixels::find_ink(canvas, fill, 1, 200, 1, 19).count, 199 * 18) << "ink where none belongs";
        } else {
            const pixels::Rgb ink = items::sys_rgb(c.ink);
            EXPECT_TRUE(pixels::find_ink(canvas, ink, 0, 200, 1, 19).left <= 3) << "the text starts at the left edge";
            EXPECT_GT(pixels::find_ink(canvas, ink, 0, 200, 1, 10).count, 0) << "no ink above the middle row";
            EXPECT_GT(pixels::find_ink(canvas, ink, 0, 200, 10, 19).count, 0) << "no ink below the middle row";
        }
        // Border, along the top row: solid black, untouched, or every other pixel inverted.
        const int black = pixels::find_ink(canvas, 0, 0, 400, 0, 1).count, unchanged = pixels::find_ink(canvas, fill, 0, 400, 0, 1).count,
                  inverted = pixels::find_ink(canvas, fill ^ 0xFFFFFF, 0, 400, 0, 1).count;
        EXPECT_TRUE(c.border == 1 ? black == 400 : c.border == 2 ? inverted > 150 && unchanged > 150 : unchanged == 400)
            << black << " black, " << inverted << " inverted, " << unchanged << " unchanged of 400";
        EXPECT_EQ(r.at(0, 20), CANVAS) << "nothing below the item";
    }
}

} // namespace
