// Primitives and bitmap push buttons drawn into DIB sections and read back: primitives over a background
// where every pixel differs, so that a shifted, missing or opaque copy shows; buttons at named points and on screen.
#include <gtest/gtest.h>

#include <functional>

#include "owndraw/buttons/bitmap_button.h"
#include "owndraw/primitives/dpi.h"
#include "owndraw/primitives/graphics.h"
#include "support/pixels.h"

using namespace owndraw;

namespace {

using namespace pixels;
constexpr Rgb K = 0x010101, WHITE = 0xFFFFFF, BLACK = 0, RED = 0xFF0000, LIGHT = 0xC0C0C0, DARK = 0x808080;
const Rgb SAMPLE[3][4] = {{K, RED, K, BLACK}, {0x00FF00, K, K, 0x0000FF}, {BLACK, WHITE, K, K}}; // K: the glyph key

Rgb background(int x, int y) { return (Rgb(x * 7 + 40) << 16) | (Rgb(y * 11 + 30) << 8) | 0x5A; }

HBITMAP sample() { // in a DIB section selected nowhere: a bitmap lives in one DC at a time
    DWORD* bits = nullptr;
    HBITMAP bitmap = create_dib(4, 3, &bits);
    for (int i = 0; i < 12; ++i)
        bits[i] = SAMPLE[i / 4][i % 4];
    return bitmap;
}

TEST(Drawing, EveryPixelWhereItBelongs) {
    // Where the picture lands, scaled, and the colour that shows what lay beneath (1: none); around it, the background.
    const struct { std::function<void(HDC, HBITMAP)> draw; RECT area; int scale_x, scale_y; Rgb see_through; } cases[] = {
        {[](HDC dc, HBITMAP b) { draw_bitmap(dc, b, 5, 2); }, {5, 2, 9, 5}, 1, 1, 1},
        {[](HDC dc, HBITMAP b) { draw_bitmap_stretched(dc, b, 2, 1, 8, 9); }, {2, 1, 10, 10}, 2, 3, 1},
        {[](HDC dc, HBITMAP b) { draw_transparent_bitmap(dc, b, 3, 4, GLYPH_KEY_COLOR); }, {3, 4, 7, 7}, 1, 1, K},
        {[](HDC dc, HBITMAP b) { draw_transparent_bitmap(dc, b, 0, 0, RGB(255, 0, 0)); }, {0, 0, 4, 3}, 1, 1, RED},
        // An inline bitmap is drawn whole with the glyph key, and the room left is the smaller of room and bitmap.
        {[](HDC dc, HBITMAP b) { int w = 100; draw_inline_bitmap(dc, b, 1, 0, &w); EXPECT_EQ(w, 4); }, {1, 0, 5, 3}, 1, 1, K},
        {[](HDC dc, HBITMAP b) { int w = 4; draw_inline_bitmap(dc, b, 1, 0, &w); EXPECT_EQ(w, 4); }, {1, 0, 5, 3}, 1, 1, K},
        {[](HDC dc, HBITMAP b) { int w = 3; draw_inline_bitmap(dc, b, 1, 0, &w); EXPECT_EQ(w, 3); }, {1, 0, 5, 3}, 1, 1, K},
    };
    for (const auto& c : cases) {
        guard::Bitmap picture(sample());
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

TEST(FillGradientRect, TopAndBottomColoursOneColourPerRowOnlyInTheRectangle) {
    const struct { const char* text; Rgb top, bottom; } cases[] = {
        {"FF0000D80000", 0xFF0000, 0xD80000}, {"ff8000204060", 0xFF8000, 0x204060}, {"", 0, 0}, {"FF00FF0", 0xFF00FF, 0},
        {"GG00FF00FF00", 0x0000FF, 0x00FF00}, {"FF0000\0FFFFFF", 0xFF0000, 0}, {nullptr, 0, 0}};
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
        for (int shift : {16, 8, 0}) // the last row lies within one step of the bottom colour
            EXPECT_NEAR(int(canvas.at(1, 64) >> shift & 0xFF), int(c.bottom >> shift & 0xFF), 5) << pixel_message(1, 64, canvas.at(1, 64), c.bottom);
    }
}

TEST(Arithmetic, ScaleTruncatesTowardZeroEvenAndTheClosestRendering) {
    const struct { double factor; int value, want; } cases[] = {{1.5, 5, 7}, {1.5, -5, -7}, {0.5, 3, 1}, {1e10, 5, 2147483647}, {-1e10, 5, -2147483647 - 1}};
    for (auto c : cases) {
        EXPECT_EQ(scale_int(c.factor, &c.value), c.want) << c.factor;
        EXPECT_EQ(c.value, c.want) << "the value is scaled in place";
    }
    for (int n : {-3, -2, -1, 0, 7})
        EXPECT_EQ(is_even(n), n == -2 || n == 0) << n;
    // The rendering a DPI draws from: the closest, the larger on a tie, as shrinking keeps it sharp.
    for (const auto& [dpi, percent] : {std::pair<UINT, int>{72, 100}, {96, 100}, {108, 125}, {144, 150}, {168, 200}, {240, 200}})
        EXPECT_EQ(closest_rendering(dpi), percent) << dpi << " dpi";
}

constexpr int W = 99, H = 23; // the dialog's buttons: 66 x 14 dialog units of 8-point MS Sans Serif
const HINSTANCE module = GetModuleHandleA(nullptr); // the test program carries the artwork

// The dialog's two buttons on a parent that leaves every paint to the tests.
HWND button(int id) {
    static HWND parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 260, 40, nullptr, nullptr, module, nullptr);
    HWND found = GetDlgItem(parent, id);
    return found ? found : CreateWindowA("BUTTON", id == IDOK ? "&Conferma/ICOB011" : "&Annulla/ICOB002", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                         id == IDOK ? 10 : 140, 10, W, H, parent, reinterpret_cast<HMENU>(INT_PTR(id)), module, nullptr);
}

void expect_points(const Canvas& canvas, std::initializer_list<std::pair<POINT, Rgb>> points) {
    for (const auto& [p, want] : points)
        EXPECT_EQ(canvas.at(p.x, p.y), want) << pixel_message(p.x, p.y, canvas.at(p.x, p.y), want);
}

TEST(ButtonLooks, FaceGlyphLabelAndEdgesOfBothButtons) {
    // The face strip's first and last rows, and the label's colour.
    const struct { ButtonLook look; Rgb face_top, face_bottom, label; } looks[] = {{LOOK_NORMAL, 0xBFC0BF, DARK, BLACK}, {LOOK_PRESSED, WHITE, LIGHT, RED},
                 {LOOK_FOCUSED, 0xBFC0BF, DARK, RED}, {LOOK_DISABLED, 0xBFC0BF, DARK, LIGHT}};
    for (int id : {IDOK, IDCANCEL})
        for (const auto& l : looks) {
            SCOPED_TRACE("button " + std::to_string(id) + ", look " + std::to_string(l.look));
            Canvas canvas(W, H), glyph(20, 20), screen(W, H);
            compose_bitmap_button(module, button(id), canvas.dc.get(), W, H, l.look);
            // On the screen, the whole composed picture over what an incomplete paint would leave.
            guard::WindowDC window_dc(button(id));
            const RECT all{0, 0, W, H};
            FillRect(window_dc.get(), &all, guard::Brush(CreateSolidBrush(RGB(255, 0, 255))).get());
            EXPECT_EQ(paint_bitmap_button(module, GetParent(button(id)), id, l.look), 1);
            screen.copy_from(window_dc.get(), 0, 0);
            for (int i = 0; i < W * H; ++i)
                ASSERT_EQ(screen.at(i % W, i / W), canvas.at(i % W, i / W)) << "screen " << pixel_message(i % W, i / W, screen.at(i % W, i / W), canvas.at(i % W, i / W));
            expect_points(canvas, {{{23, 0}, l.face_top}, {{96, H - 1}, l.face_bottom}, {{0, 0}, WHITE}, {{0, 9}, LIGHT},
                                   {{1, 9}, WHITE}, {{W - 1, 0}, WHITE}, {{W - 1, 9}, DARK}, {{W - 1, H - 1}, WHITE}});
            // The glyph at (2, 1): its key pixels show the face, the others their own colour.
            draw_bitmap(glyph.dc.get(), guard::Bitmap(LoadBitmapA(module, id == IDOK ? "ICOB011" : "ICOB002")).get(), 0, 0);
            for (int i = 0; i < 400; ++i)
                ASSERT_TRUE(glyph.at(i % 20, i / 20) == K || canvas.at(2 + i % 20, 1 + i / 20) == glyph.at(i % 20, i / 20))
                    << pixel_message(2 + i % 20, 1 + i / 20, canvas.at(2 + i % 20, 1 + i / 20), glyph.at(i % 20, i / 20));
            // The label, in this look's colour only, in the columns of the whole label at 6 points, centred right of the glyph.
            const Ink ink = find_ink(canvas, l.label, 22, W - 1, 1, H - 1);
            Canvas whole(W, H);
            whole.fill(WHITE);
            LOGFONTA six_points = label_font;
            six_points.lfHeight = -8, six_points.lfWidth = 0, six_points.lfWeight = FW_NORMAL;
            guard::Font font(CreateFontIndirectA(&six_points));
            guard::Select selected(whole.dc.get(), font.get());
            RECT label_room{20, 0, W - 1, H};
            DrawTextA(whole.dc.get(), id == IDOK ? "&Conferma" : "&Annulla", -1, &label_room, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            const Ink want = find_ink(whole, BLACK, 22, W - 1, 1, H - 1);
            const auto columns = [](const Ink& i) { return std::to_string(i.left) + ".." + std::to_string(i.right) + ", " + std::to_string(i.count) + " pixels"; };
            EXPECT_EQ(columns(ink), columns(want)) << "label ink";
            // Around the ink the face shows through: each row of the stretched strip is one colour.
            for (int i = 0; i < (W - 23) * (H - 2); ++i) {
                const int x = 22 + i % (W - 23), y = 1 + i / (W - 23);
                ASSERT_TRUE(canvas.at(x, y) == l.label || canvas.at(x, y) == canvas.at(22, y)) << pixel_message(x, y, canvas.at(x, y), canvas.at(22, y));
            }
        }
    Canvas plain(W, H); // without the artwork, the plain fill
    compose_bitmap_button(GetModuleHandleA("kernel32.dll"), button(IDOK), plain.dc.get(), W, H, LOOK_NORMAL);
    expect_points(plain, {{{3, 5}, LIGHT}, {{23, 0}, LIGHT}, {{90, 20}, LIGHT}, {{W - 1, 9}, DARK}});
}

TEST(ChooseButtonLook, TheFirstActionFlagDecidesWithItsOwnStateFlag) {
    const UINT cases[][3] = {{ODA_SELECT, ODS_SELECTED, LOOK_PRESSED}, {ODA_SELECT, ODS_FOCUS, LOOK_NORMAL},
                             {ODA_FOCUS, ODS_FOCUS, LOOK_FOCUSED}, {ODA_FOCUS, ODS_SELECTED, LOOK_NORMAL},
                             {ODA_DRAWENTIRE, ODS_DISABLED, LOOK_DISABLED}, {ODA_DRAWENTIRE, ODS_FOCUS, LOOK_FOCUSED},
                             {ODA_SELECT | ODA_FOCUS, ODS_FOCUS, LOOK_NORMAL}, {ODA_DRAWENTIRE, ODS_FOCUS | ODS_DISABLED, LOOK_FOCUSED},
                             {ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED, LOOK_PRESSED}, {ODA_DRAWENTIRE, 0, LOOK_NORMAL}, {0, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(UINT(choose_button_look(c[0], c[1])), c[2]) << "action " << c[0] << ", state " << c[1];
}

} // namespace
