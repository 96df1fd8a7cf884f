// Graphics primitives drawn into a 32-bit DIB section over a background in which every
// pixel differs, so that a shifted, missing or opaque copy shows; every pixel is compared.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "owndraw/graphics.h"
#include "support/pixels.h"

namespace {

using namespace pixels;
constexpr Rgb KEY = 0x010101;

Rgb background(int x, int y) { return (Rgb(x * 7 + 40) << 16) | (Rgb(y * 11 + 30) << 8) | 0x5A; }

// A DIB section selected nowhere, to draw from: a bitmap lives in one DC at a time.
struct Picture {
    int width;
    DWORD* bits = nullptr;
    guard::Bitmap bitmap;
    Picture(int w, int h) : width(w), bitmap(create_dib(w, h, &bits)) {}
    Rgb at(int x, int y) const { GdiFlush(); return bits[y * width + x] & 0xFFFFFFu; }
};

// A picture with key pixels, true black and real colours, from rows of letters:
// K key, B black, R red, G green, U blue, W white.
std::unique_ptr<Picture> picture(std::initializer_list<const char*> rows)
{
    static const char letters[] = "KBRGUW";
    static const Rgb colours[] = {KEY, 0, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    auto made = std::make_unique<Picture>(int(std::strlen(*rows.begin())), int(rows.size()));
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x)
            made->bits[y * made->width + x] = colours[std::strchr(letters, row[x]) - letters];
        ++y;
    }
    return made;
}

TEST(Drawing, EveryPixelWhereItBelongs)
{
    const auto sample = [] { return picture({"KRKB", "GKKU", "BWKK"}); };
    const auto original = sample();
    const auto sample_at = [&](int x, int y) { return original->at(x, y); };
    const struct {
        const char* what;
        std::function<void(HDC, HBITMAP)> draw;
        RECT area; // where the picture lands; outside it the background stays
        std::function<Rgb(int x, int y, Rgb under)> want; // in picture coordinates
    } cases[] = {
        {"unscaled copy", [](HDC dc, HBITMAP b) { draw_bitmap(dc, b, 5, 2); }, {5, 2, 9, 5},
         [&](int x, int y, Rgb) { return sample_at(x, y); }},
        {"stretched twice as wide, three times as high", [](HDC dc, HBITMAP b) { draw_bitmap_stretched(dc, b, 2, 1, 8, 9); },
         {2, 1, 10, 10}, [&](int x, int y, Rgb) { return sample_at(x / 2, y / 3); }},
        {"see-through key, true black stays", [](HDC dc, HBITMAP b) { draw_transparent_bitmap(dc, b, 3, 4, KEY); },
         {3, 4, 7, 7}, [&](int x, int y, Rgb under) { return sample_at(x, y) == KEY ? under : sample_at(x, y); }},
        {"another key: the glyph key is opaque", [](HDC dc, HBITMAP b) { draw_transparent_bitmap(dc, b, 0, 0, RGB(255, 0, 0)); },
         {0, 0, 4, 3}, [&](int x, int y, Rgb under) { return sample_at(x, y) == 0xFF0000 ? under : sample_at(x, y); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto drawn = sample();
        Canvas canvas(12, 10);
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x)
                canvas.set(x, y, background(x, y));
        c.draw(canvas.dc.get(), drawn->bitmap.get());
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x) {
                const bool inside = x >= c.area.left && x < c.area.right && y >= c.area.top && y < c.area.bottom;
                const Rgb want = inside ? c.want(x - c.area.left, y - c.area.top, background(x, y)) : background(x, y);
                ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
            }
    }
}

TEST(DrawInlineBitmap, WidthBecomesTheSmallerOfRoomAndBitmap)
{
    const int cases[][2] = {{100, 4}, {4, 4}, {3, 3}, {0, 0}}; // room given, room left
    for (const auto& c : cases) {
        const auto glyph = picture({"RKGU"});
        Canvas canvas(8, 1);
        canvas.fill(0x336699);
        int width = c[0];
        draw_inline_bitmap(canvas.dc.get(), glyph->bitmap.get(), 1, 0, &width);
        EXPECT_EQ(width, c[1]) << "room " << c[0];
        EXPECT_EQ(canvas.at(2, 0), 0x336699u) << "the glyph key is see-through";
        EXPECT_EQ(canvas.at(4, 0), 0x0000FFu) << "the whole bitmap is drawn";
    }
}

TEST(FillGradientRect, TopAndBottomColoursOneColourPerRow)
{
    const struct {
        const char* text;
        Rgb top, bottom;
    } cases[] = {
        {"FF0000D80000", 0xFF0000, 0xD80000}, {"ff8000204060", 0xFF8000, 0x204060},
        {"", 0, 0}, {"FF00FF0", 0xFF00FF, 0}, {"GG00FF00FF00", 0x0000FF, 0x00FF00},
        {"FF0000\0FFFFFF", 0xFF0000, 0}, {nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        Canvas canvas(4, 66);
        canvas.fill(0x5A5A5A);
        fill_gradient_rect(canvas.dc.get(), RECT{1, 1, 3, 65}, c.text);
        for (int y = 0; y < canvas.height; ++y)
            for (int x : {0, 1, 2, 3}) {
                const bool inside = x >= 1 && x < 3 && y >= 1 && y < 65;
                const Rgb want = inside ? canvas.at(1, y) : 0x5A5A5A; // one colour per row inside
                ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
            }
        EXPECT_EQ(canvas.at(1, 1), c.top) << pixel_message(1, 1, canvas.at(1, 1), c.top);
        for (int shift : {16, 8, 0}) // the last row is within one step of the bottom colour
            EXPECT_NEAR(int(canvas.at(1, 64) >> shift & 0xFF), int(c.bottom >> shift & 0xFF), 5)
                << pixel_message(1, 64, canvas.at(1, 64), c.bottom);
    }
}

TEST(Arithmetic, ScaleTruncatesTowardZeroAndHoldsAtTheLimits)
{
    const struct {
        double factor;
        int value, want;
    } cases[] = {{1.5, 5, 7}, {1.5, -5, -7}, {0.5, 3, 1}, {1e10, 5, 2147483647}, {-1e10, 5, -2147483647 - 1}};
    for (const auto& c : cases) {
        int value = c.value;
        EXPECT_EQ(scale_int(c.factor, &value), c.want) << c.factor << " * " << c.value;
        EXPECT_EQ(value, c.want);
    }
    const int evens[][2] = {{-3, 0}, {-2, 1}, {-1, 0}, {0, 1}, {7, 0}};
    for (const auto& c : evens)
        EXPECT_EQ(is_even(c[0]), c[1]) << c[0];
}

TEST(SplitThreeFields, Cases)
{
    const struct {
        const char* text;
        const char *f1, *f2, *f3;
    } cases[] = {
        {"abc def", "abc def", "", ""},
        {"FF00\x86" "BRUSH\x86" "  Label more", "FF00", "BRUSH", "Label"},
        {"A\x86\x86\x86" "B C", "A", "B C", ""},
        {"\x86\x86" "A\x86" "B\x86" "C", "\x86\x86" "A", "B", "C"},
        {"ABCDEFGHIJ\x86" "IJ\x86" "KLMNOPQRS", "ABCDEFG", "IJ", "KLMNO"}, // cut at the outputs' sizes
    };
    for (const auto& c : cases) {
        char text[64], f1[8] = "##", f2[8] = "##", f3[6] = "##";
        std::strcpy(text, c.text);
        split_three_fields(text, f1, sizeof f1, f2, sizeof f2, f3, sizeof f3);
        EXPECT_STREQ(f1, c.f1);
        EXPECT_STREQ(f2, c.f2);
        EXPECT_STREQ(f3, c.f3);
    }
}

} // namespace
