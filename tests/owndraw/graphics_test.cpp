// Graphics primitives drawn into a 32-bit DIB section over a background in which every pixel
// differs, so that a shifted, missing or opaque copy shows.
#include <gtest/gtest.h>

#include <functional>

#include "owndraw/graphics.h"
#include "support/pixels.h"

namespace {

using namespace pixels;

Rgb background(int x, int y) { return (Rgb(x * 7 + 40) << 16) | (Rgb(y * 11 + 30) << 8) | 0x5A; }
// Key pixels, true black and real colours.
const Rgb K = 0x010101, SAMPLE[3][4] = {{K, 0xFF0000, K, 0}, {0x00FF00, K, K, 0x0000FF}, {0, 0xFFFFFF, K, K}};

// The sample's first `rows` rows in a DIB section selected nowhere: a bitmap lives in one DC at a time.
HBITMAP sample(int rows)
{
    DWORD* bits = nullptr;
    HBITMAP bitmap = create_dib(4, rows, &bits);
    for (int i = 0; i < 4 * rows; ++i)
        bits[i] = SAMPLE[i / 4][i % 4];
    return bitmap;
}

TEST(Drawing, EveryPixelWhereItBelongs)
{
    const struct {
        std::function<void(HDC, HBITMAP)> draw;
        RECT area;          // where the picture lands; around it the background stays
        int scale_x, scale_y;
        Rgb see_through;    // the colour drawn see-through; 1 for none
    } cases[] = {
        {[](HDC dc, HBITMAP b) { draw_bitmap(dc, b, 5, 2); }, {5, 2, 9, 5}, 1, 1, 1},
        {[](HDC dc, HBITMAP b) { draw_bitmap_stretched(dc, b, 2, 1, 8, 9); }, {2, 1, 10, 10}, 2, 3, 1},
        {[](HDC dc, HBITMAP b) { draw_transparent_bitmap(dc, b, 3, 4, GLYPH_KEY_COLOR); }, {3, 4, 7, 7}, 1, 1, K},
        {[](HDC dc, HBITMAP b) { draw_transparent_bitmap(dc, b, 0, 0, RGB(255, 0, 0)); }, {0, 0, 4, 3}, 1, 1, 0xFF0000},
    };
    for (const auto& c : cases) {
        guard::Bitmap picture(sample(3));
        Canvas canvas(12, 10);
        for (int i = 0; i < 120; ++i)
            canvas.set(i % 12, i / 12, background(i % 12, i / 12));
        c.draw(canvas.dc.get(), picture.get());
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                const bool inside = x >= c.area.left && x < c.area.right && y >= c.area.top && y < c.area.bottom;
                const Rgb own = inside ? SAMPLE[(y - c.area.top) / c.scale_y][(x - c.area.left) / c.scale_x] : 0;
                const Rgb want = inside && own != c.see_through ? own : background(x, y);
                ASSERT_EQ(canvas.at(x, y), want) << "case " << &c - cases << " " << pixel_message(x, y, canvas.at(x, y), want);
            }
    }
}

TEST(DrawInlineBitmap, WidthBecomesTheSmallerOfRoomAndBitmapAndTheWholeBitmapIsDrawn)
{
    const int cases[][2] = {{100, 4}, {4, 4}, {3, 3}, {0, 0}}; // room given, room left
    for (const auto& c : cases) {
        guard::Bitmap glyph(sample(1));
        Canvas canvas(6, 1);
        canvas.fill(0x336699);
        int width = c[0];
        draw_inline_bitmap(canvas.dc.get(), glyph.get(), 1, 0, &width);
        EXPECT_EQ(width, c[1]) << "room " << c[0];
        EXPECT_TRUE(canvas.at(1, 0) == 0x336699 && canvas.at(2, 0) == 0xFF0000 && canvas.at(4, 0) == 0)
            << "the key see-through, red, and the last column (black) drawn";
    }
}

TEST(FillGradientRect, TopAndBottomColoursOneColourPerRowOnlyInTheRectangle)
{
    const struct {
        const char* text;
        Rgb top, bottom;
    } cases[] = {{"FF0000D80000", 0xFF0000, 0xD80000}, {"ff8000204060", 0xFF8000, 0x204060}, {"", 0, 0},
                 {"FF00FF0", 0xFF00FF, 0}, {"GG00FF00FF00", 0x0000FF, 0x00FF00}, {"FF0000\0FFFFFF", 0xFF0000, 0}, {nullptr, 0, 0}};
    for (const auto& c : cases) {
        Canvas canvas(4, 66);
        canvas.fill(0x5A5A5A);
        fill_gradient_rect(canvas.dc.get(), RECT{1, 1, 3, 65}, c.text);
        for (int i = 0; i < 4 * 66; ++i) { // one colour per row inside, untouched outside
            const int x = i % 4, y = i / 4;
            const Rgb want = x >= 1 && x < 3 && y >= 1 && y < 65 ? canvas.at(1, y) : 0x5A5A5A;
            ASSERT_EQ(canvas.at(x, y), want) << (c.text ? c.text : "null") << " " << pixel_message(x, y, canvas.at(x, y), want);
        }
        EXPECT_EQ(canvas.at(1, 1), c.top) << pixel_message(1, 1, canvas.at(1, 1), c.top);
        for (int shift : {16, 8, 0}) // the last row is within one step of the bottom colour
            EXPECT_NEAR(int(canvas.at(1, 64) >> shift & 0xFF), int(c.bottom >> shift & 0xFF), 5) << pixel_message(1, 64, canvas.at(1, 64), c.bottom);
    }
}

TEST(Arithmetic, ScaleTruncatesTowardZeroAndHoldsAtTheLimitsEvenIsEven)
{
    const struct {
        double factor;
        int value, want;
    } cases[] = {{1.5, 5, 7}, {1.5, -5, -7}, {0.5, 3, 1}, {1e10, 5, 2147483647}, {-1e10, 5, -2147483647 - 1}};
    for (auto c : cases) {
        EXPECT_EQ(scale_int(c.factor, &c.value), c.want) << c.factor;
        EXPECT_EQ(c.value, c.want) << "the value is scaled in place";
    }
    const int evens[][2] = {{-3, 0}, {-2, 1}, {-1, 0}, {0, 1}, {7, 0}};
    for (const auto& c : evens)
        EXPECT_EQ(is_even(c[0]), c[1]) << c[0];
}

} // namespace
