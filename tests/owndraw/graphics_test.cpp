// Graphics primitives, observed through real GDI drawing: every picture is drawn into a
// 32-bit top-down DIB section selected into a memory DC, and its bits are read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "owndraw/gdi_guards.h"
#include "owndraw/graphics.h"
#include "support/pixels.h"

namespace {

using namespace pixels;

// A free-standing 32-bit DIB section (not selected anywhere) to draw from.
struct Picture {
    Picture(int w, int h) : width(w), height(h), bitmap(create_dib(w, h, &bits)) {}
    Rgb at(int x, int y) const { GdiFlush(); return bits[y * width + x] & 0xFFFFFFu; }
    void set(int x, int y, Rgb rgb) { GdiFlush(); bits[y * width + x] = rgb; }

    int width;
    int height;
    DWORD* bits = nullptr;
    guard::Bitmap bitmap;
};

// A background in which every pixel differs from its neighbours, so a shifted or
// missing copy cannot go unnoticed.
Rgb pattern(int x, int y)
{
    return (Rgb(x * 7 + 40) << 16) | (Rgb(y * 11 + 30) << 8) | 0x5A;
}

void fill_pattern(Canvas& canvas)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.set(x, y, pattern(x, y));
}

constexpr Rgb KEY = 0x010101;
constexpr Rgb BLACK = 0x000000;

// A 4 x 3 picture with key pixels, true black and real colours:
//   K  R  K  B
//   G  K  K  U
//   B  W  K  K      (K key, B black, R red, G green, U blue, W white)
Picture make_sample_picture()
{
    const Rgb rows[3][4] = {
        {KEY, 0xFF0000, KEY, BLACK},
        {0x00FF00, KEY, KEY, 0x0000FF},
        {BLACK, 0xFFFFFF, KEY, KEY},
    };
    Picture picture(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.set(x, y, rows[y][x]);
    return picture;
}

// --- draw_bitmap / draw_bitmap_stretched -------------------------------------------------

TEST(DrawBitmap, CopiesTheWholeBitmapUnscaledAtThePoint)
{
    Picture picture = make_sample_picture();
    Canvas canvas(12, 8);
    fill_pattern(canvas);
    draw_bitmap(canvas.dc.get(), picture.bitmap.get(), 5, 2);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            bool inside = x >= 5 && x < 9 && y >= 2 && y < 5;
            Rgb want = inside ? picture.at(x - 5, y - 2) : pattern(x, y);
            ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
        }
}

TEST(DrawBitmap, StretchedFillsTheRectangleWithTheWholeBitmap)
{
    // 2 x 2 quadrants widened to 8 x 6: each quadrant becomes a 4 x 3 block.
    Picture picture(2, 2);
    const Rgb quadrant[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFF00}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            picture.set(x, y, quadrant[y][x]);
    Canvas canvas(12, 10);
    fill_pattern(canvas);
    draw_bitmap_stretched(canvas.dc.get(), picture.bitmap.get(), 2, 3, 8, 6);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            bool inside = x >= 2 && x < 10 && y >= 3 && y < 9;
            Rgb want = inside ? quadrant[(y - 3) / 3][(x - 2) / 4] : pattern(x, y);
            ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
        }
}

TEST(DrawBitmap, LeavesTheCallersBitmapAlive)
{
    Picture picture = make_sample_picture();
    Canvas canvas(4, 3);
    draw_bitmap(canvas.dc.get(), picture.bitmap.get(), 0, 0);
    draw_bitmap_stretched(canvas.dc.get(), picture.bitmap.get(), 0, 0, 4, 3);
    BITMAP info{};
    ASSERT_NE(GetObjectA(picture.bitmap.get(), sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 4);
}

// --- copy_first_font ---------------------------------------------------------------------

TEST(CopyFirstFont, CopiesExactlyOneRecordAndStopsTheEnumeration)
{
    struct {
        LOGFONTA font;
        unsigned char after[16];
    } destination;
    std::memset(&destination, 0xAB, sizeof destination);
    LOGFONTA source{};
    source.lfHeight = -13;
    source.lfWeight = 700;
    std::snprintf(source.lfFaceName, sizeof source.lfFaceName, "%s", "Some Face");
    TEXTMETRICA metrics{};
    int result = copy_first_font(&source, &metrics, TRUETYPE_FONTTYPE,
                                 reinterpret_cast<LPARAM>(&destination.font));
    EXPECT_EQ(result, 0) << "a non-zero result would let the enumeration go on";
    EXPECT_EQ(std::memcmp(&destination.font, &source, sizeof source), 0);
    for (unsigned char byte : destination.after)
        ASSERT_EQ(byte, 0xAB) << "wrote past the LOGFONTA record";
}

// --- make_mask_bitmap / draw_transparent_bitmap ------------------------------------------

TEST(MakeMaskBitmap, MaskHasOnesAtTheKeyAndTheBitmapTurnsBlackThere)
{
    Picture picture = make_sample_picture();
    Picture before = make_sample_picture();
    guard::Bitmap mask(make_mask_bitmap(picture.bitmap.get(), colorref(KEY)));
    ASSERT_TRUE(mask);
    BITMAP info{};
    GetObjectA(mask.get(), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmBitsPixel, 1);

    guard::MemoryDC mask_dc(nullptr);
    guard::Select selected(mask_dc.get(), mask.get());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            bool key = before.at(x, y) == KEY;
            Rgb got_mask = GetPixel(mask_dc.get(), x, y) & 0xFFFFFFu;
            Rgb want_mask = key ? 0xFFFFFF : 0x000000;
            EXPECT_EQ(got_mask, want_mask) << "mask " << pixel_message(x, y, got_mask, want_mask);
            Rgb want = key ? BLACK : before.at(x, y);
            EXPECT_EQ(picture.at(x, y), want) << "bitmap " << pixel_message(x, y, picture.at(x, y), want);
        }
}

TEST(DrawTransparentBitmap, KeyShowsWhatLayBeneathAndOtherPixelsCopyExactly)
{
    Picture picture = make_sample_picture();
    Picture original = make_sample_picture();
    Canvas canvas(10, 8);
    fill_pattern(canvas);
    draw_transparent_bitmap(canvas.dc.get(), picture.bitmap.get(), 3, 4, colorref(KEY));
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            bool inside = x >= 3 && x < 7 && y >= 4 && y < 7;
            Rgb want = pattern(x, y);
            if (inside && original.at(x - 3, y - 4) != KEY)
                want = original.at(x - 3, y - 4); // true black included: it stays black
            ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
        }
}

TEST(DrawTransparentBitmap, DrawnBitmapIsLeftBlackWhereTheKeyWas)
{
    Picture picture = make_sample_picture();
    Picture original = make_sample_picture();
    Canvas canvas(4, 3);
    draw_transparent_bitmap(canvas.dc.get(), picture.bitmap.get(), 0, 0, colorref(KEY));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            Rgb want = original.at(x, y) == KEY ? BLACK : original.at(x, y);
            EXPECT_EQ(picture.at(x, y), want) << pixel_message(x, y, picture.at(x, y), want);
        }
}

TEST(DrawTransparentBitmap, SecondDrawingOfTheSameBitmapShowsTheKeyBlack)
{
    // Why callers reload the bitmap before every drawing.
    Picture picture = make_sample_picture();
    Picture original = make_sample_picture();
    Canvas canvas(4, 3);
    canvas.fill(0x336699);
    draw_transparent_bitmap(canvas.dc.get(), picture.bitmap.get(), 0, 0, colorref(KEY));
    canvas.fill(0x336699);
    draw_transparent_bitmap(canvas.dc.get(), picture.bitmap.get(), 0, 0, colorref(KEY));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            Rgb want = original.at(x, y) == KEY ? BLACK : original.at(x, y);
            EXPECT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
        }
}

TEST(DrawTransparentBitmap, AnyKeyColourWorksNotOnlyTheGlyphKey)
{
    constexpr Rgb MAGENTA = 0xFF00FF;
    Picture picture(3, 1);
    picture.set(0, 0, MAGENTA);
    picture.set(1, 0, KEY); // not the key this time: opaque
    picture.set(2, 0, 0x123456);
    Canvas canvas(3, 1);
    canvas.fill(0xA0B0C0);
    draw_transparent_bitmap(canvas.dc.get(), picture.bitmap.get(), 0, 0, colorref(MAGENTA));
    const Rgb want[3] = {0xA0B0C0, KEY, 0x123456};
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(canvas.at(x, 0), want[x]) << pixel_message(x, 0, canvas.at(x, 0), want[x]);
}

TEST(DrawTransparentBitmap, NoBitmapDrawsNothing)
{
    Canvas canvas(4, 4);
    fill_pattern(canvas);
    draw_transparent_bitmap(canvas.dc.get(), nullptr, 0, 0, colorref(KEY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(canvas.at(x, y), pattern(x, y)) << pixel_message(x, y, canvas.at(x, y), pattern(x, y));
}

// --- draw_inline_bitmap ------------------------------------------------------------------

TEST(DrawInlineBitmap, WidthBecomesTheSmallerOfAvailableAndBitmapAndAllColumnsAreDrawn)
{
    struct Case {
        int available;
        int want_width;
        const char* why;
    } cases[] = {
        {100, 20, "room to spare: the bitmap's own width"},
        {20, 20, "exact fit"},
        {21, 20, "one more than the bitmap"},
        {10, 10, "too narrow: the available width stays"},
        {0, 0, "no room at all"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        // A 20 x 2 bitmap, key in row 0 and a distinct colour per column in row 1.
        Picture picture(20, 2);
        for (int x = 0; x < 20; ++x) {
            picture.set(x, 0, KEY);
            picture.set(x, 1, 0x200000u + Rgb(x));
        }
        Canvas canvas(40, 4);
        fill_pattern(canvas);
        int width = c.available;
        draw_inline_bitmap(canvas.dc.get(), picture.bitmap.get(), 5, 1, &width);
        EXPECT_EQ(width, c.want_width);
        for (int x = 0; x < 20; ++x) {
            Rgb want_key = pattern(5 + x, 1);
            ASSERT_EQ(canvas.at(5 + x, 1), want_key) << pixel_message(5 + x, 1, canvas.at(5 + x, 1), want_key);
            Rgb want = 0x200000u + Rgb(x);
            ASSERT_EQ(canvas.at(5 + x, 2), want) << pixel_message(5 + x, 2, canvas.at(5 + x, 2), want);
        }
        ASSERT_EQ(canvas.at(25, 2), pattern(25, 2)) << "drew past the bitmap's last column";
    }
}

// --- fill_gradient_rect ------------------------------------------------------------------

Rgb red_of(Rgb rgb) { return (rgb >> 16) & 0xFF; }
Rgb green_of(Rgb rgb) { return (rgb >> 8) & 0xFF; }
Rgb blue_of(Rgb rgb) { return rgb & 0xFF; }

// Every row of the gradient must be one colour; returns each row's colour.
std::vector<Rgb> gradient_rows(const Canvas& canvas)
{
    std::vector<Rgb> rows;
    for (int y = 0; y < canvas.height; ++y) {
        Rgb first = canvas.at(0, y);
        for (int x = 1; x < canvas.width; ++x)
            EXPECT_EQ(canvas.at(x, y), first) << "row not of one colour " << pixel_message(x, y, canvas.at(x, y), first);
        rows.push_back(first);
    }
    return rows;
}

TEST(FillGradientRect, RedToDarkRedShadesDownwardOneColourPerRow)
{
    Canvas canvas(6, 20);
    canvas.fill(0x00FF00);
    fill_gradient_rect(canvas.dc.get(), RECT{0, 0, 6, 20}, "FF0000D80000");
    std::vector<Rgb> rows = gradient_rows(canvas);
    ASSERT_EQ(rows[0], 0xFF0000u) << pixel_message(0, 0, rows[0], 0xFF0000);
    for (int y = 1; y < 20; ++y) {
        EXPECT_EQ(green_of(rows[y]), 0u) << pixel_message(0, y, rows[y], 0);
        EXPECT_EQ(blue_of(rows[y]), 0u) << pixel_message(0, y, rows[y], 0);
        EXPECT_LE(red_of(rows[y]), red_of(rows[y - 1])) << "red rises between rows " << y - 1 << " and " << y;
    }
    // The last row is one step short of the bottom colour, never past it.
    EXPECT_GE(red_of(rows[19]), 0xD8u) << pixel_message(0, 19, rows[19], 0xD80000);
    EXPECT_LE(red_of(rows[19]), 0xDBu) << pixel_message(0, 19, rows[19], 0xD80000);
    EXPECT_LT(red_of(rows[10]), 0xFFu) << "no shading half way down";
}

TEST(FillGradientRect, FillsOnlyTheRectangle)
{
    Canvas canvas(10, 10);
    fill_pattern(canvas);
    fill_gradient_rect(canvas.dc.get(), RECT{2, 3, 7, 8}, "0000FF0000FF");
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 7 && y >= 3 && y < 8;
            Rgb want = inside ? 0x0000FFu : pattern(x, y);
            ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
        }
}

// Colour texts that are short or not hexadecimal: a channel whose two characters are not
// both hex digits reads as 0, and nothing after the terminator is read.
TEST(FillGradientRect, MalformedTextsGiveDefinedColours)
{
    struct Case {
        const char* text;
        Rgb top;
        Rgb bottom;
        const char* why;
    } cases[] = {
        {"ff8000204060", 0xFF8000, 0x204060, "lower-case digits are digits"},
        {"", 0x000000, 0x000000, "empty text: black"},
        {"FF", 0xFF0000, 0x000000, "only red of the top colour"},
        {"FF00FF0", 0xFF00FF, 0x000000, "cut inside a channel: that channel is 0"},
        {"GG00FF00FF00", 0x0000FF, 0x00FF00, "non-digits read as 0"},
        {"1G80FFFF0000", 0x0080FF, 0xFF0000, "one digit and one non-digit: 0"},
        {" F80FF0000FF", 0x0080FF, 0x0000FF, "a blank is not a digit"},
        {"0xFF00FF0000", 0x00FF00, 0xFF0000, "no '0x' prefix: 'x' is not a digit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.why) + " \"" + c.text + "\"");
        Canvas canvas(2, 64);
        canvas.fill(0x5A5A5A);
        fill_gradient_rect(canvas.dc.get(), RECT{0, 0, 2, 64}, c.text);
        std::vector<Rgb> rows = gradient_rows(canvas);
        EXPECT_EQ(rows[0], c.top) << pixel_message(0, 0, rows[0], c.top);
        // The bottom row lies within one row's step of the bottom colour.
        Rgb last = rows[63];
        for (Rgb (*channel)(Rgb) : {red_of, green_of, blue_of}) {
            int difference = int(channel(last)) - int(channel(c.bottom));
            EXPECT_LE(difference < 0 ? -difference : difference, 5)
                << pixel_message(0, 63, last, c.bottom);
        }
    }
}

TEST(FillGradientRect, ReadsNothingPastTheTerminator)
{
    // The bytes after the terminator would make the bottom colour white if they were read.
    const char text[] = {'F', 'F', '0', '0', '0', '0', '\0', 'F', 'F', 'F', 'F', 'F', 'F', '\0'};
    Canvas canvas(2, 64);
    fill_gradient_rect(canvas.dc.get(), RECT{0, 0, 2, 64}, text);
    EXPECT_EQ(canvas.at(0, 0), 0xFF0000u) << pixel_message(0, 0, canvas.at(0, 0), 0xFF0000);
    EXPECT_LE(red_of(canvas.at(0, 63)), 8u) << pixel_message(0, 63, canvas.at(0, 63), 0x000000);
    EXPECT_EQ(green_of(canvas.at(0, 63)), 0u) << pixel_message(0, 63, canvas.at(0, 63), 0x000000);
}

TEST(FillGradientRect, NullTextIsBlack)
{
    Canvas canvas(2, 4);
    canvas.fill(0xFFFFFF);
    fill_gradient_rect(canvas.dc.get(), RECT{0, 0, 2, 4}, nullptr);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(canvas.at(1, y), 0u) << pixel_message(1, y, canvas.at(1, y), 0);
}

// --- split_three_fields ------------------------------------------------------------------

TEST(SplitThreeFields, Cases)
{
    struct Case {
        const char* text;
        const char* f1;
        const char* f2;
        const char* f3;
        const char* why;
    } cases[] = {
        {"abc def", "abc def", "", "", "no separator: all first field"},
        {"", "", "", "", "empty text"},
        {"\x86\x86", "", "", "", "only separators: no token"},
        {"FF0000D80000\x86" "BRUSH\x86" "Label", "FF0000D80000", "BRUSH", "Label", "the renderer's form"},
        {"A\x86" "B\x86" "  first second ", "A", "B", "first", "third field: blanks skipped, ends at a blank"},
        {"A\x86" "B", "A", "B", "", "two fields only"},
        {"A\x86" "B\x86" "   ", "A", "B", "", "third part only blanks"},
        {"A\x86\x86\x86" "B", "A", "B", "", "a run of separators counts as one"},
        {"\x86\x86" "A\x86" "B\x86" "C", "\x86\x86" "A", "B", "C", "leading separators stay in the first field"},
        {"A\x86" "B C\x86" "D", "A", "B C", "D", "blanks inside the second field are kept"},
        {"A\x86" "B\x86\x86" "C", "A", "B", "\x86" "C", "the third field splits at blanks only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        char text[64];
        std::snprintf(text, sizeof text, "%s", c.text);
        char f1[32], f2[32], f3[32];
        std::memset(f1, 'x', sizeof f1);
        std::memset(f2, 'x', sizeof f2);
        std::memset(f3, 'x', sizeof f3);
        split_three_fields(text, f1, sizeof f1, f2, sizeof f2, f3, sizeof f3);
        EXPECT_STREQ(f1, c.f1);
        EXPECT_STREQ(f2, c.f2);
        EXPECT_STREQ(f3, c.f3);
    }
}

TEST(SplitThreeFields, TerminatorsAreWrittenIntoTheText)
{
    char text[] = "AB\x86" "CD\x86" "EF GH";
    char f1[8], f2[8], f3[8];
    split_three_fields(text, f1, sizeof f1, f2, sizeof f2, f3, sizeof f3);
    EXPECT_EQ(text[2], '\0');
    EXPECT_EQ(text[5], '\0');
    EXPECT_EQ(text[8], '\0');
    EXPECT_STREQ(text + 9, "GH");
}

TEST(SplitThreeFields, OverlongFieldsAreCutAtTheirBuffers)
{
    char text[] = "ABCDEFGH\x86" "IJKLMNOP\x86" "QRSTUVWX YZ";
    char f1[16], f2[16], f3[16];
    std::memset(f1, '#', sizeof f1);
    std::memset(f2, '#', sizeof f2);
    std::memset(f3, '#', sizeof f3);
    split_three_fields(text, f1, 4, f2, 1, f3, 6);
    EXPECT_STREQ(f1, "ABC");
    EXPECT_STREQ(f2, "");
    EXPECT_STREQ(f3, "QRSTU");
    for (size_t i = 4; i < sizeof f1; ++i)
        ASSERT_EQ(f1[i], '#') << "first field written past its size at " << i;
    for (size_t i = 1; i < sizeof f2; ++i)
        ASSERT_EQ(f2[i], '#') << "second field written past its size at " << i;
    for (size_t i = 6; i < sizeof f3; ++i)
        ASSERT_EQ(f3[i], '#') << "third field written past its size at " << i;
}

TEST(SplitThreeFields, ZeroSizedOutputsAreNotTouched)
{
    char text[] = "A\x86" "B\x86" "C";
    char f1 = '#', f2 = '#', f3 = '#';
    split_three_fields(text, &f1, 0, &f2, 0, &f3, 0);
    EXPECT_EQ(f1, '#');
    EXPECT_EQ(f2, '#');
    EXPECT_EQ(f3, '#');
}

// --- scale_int / is_even -----------------------------------------------------------------

TEST(ScaleInt, Cases)
{
    struct Case {
        double factor;
        int value;
        int want;
        const char* why;
    } cases[] = {
        {1.0, 123, 123, "the factor in use changes nothing"},
        {1.0, -123, -123, "negative unchanged"},
        {1.5, 5, 7, "7.5 truncates down"},
        {1.5, -5, -7, "-7.5 truncates toward zero, not down"},
        {0.5, 3, 1, "1.5 truncates"},
        {0.0, 99, 0, "zero factor"},
        {2.0, 0, 0, "zero value"},
        {1e10, 5, 2147483647, "too large: held at the int maximum"},
        {-1e10, 5, -2147483647 - 1, "too small: held at the int minimum"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        int value = c.value;
        EXPECT_EQ(scale_int(c.factor, &value), c.want);
        EXPECT_EQ(value, c.want) << "the new value is also stored";
    }
}

TEST(IsEven, Cases)
{
    struct Case {
        int n;
        int want;
    } cases[] = {
        {0, 1}, {1, 0}, {2, 1}, {-1, 0}, {-2, 1}, {-3, 0}, {2147483647, 0}, {-2147483647 - 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(is_even(c.n), c.want) << "is_even(" << c.n << ")";
}

} // namespace
