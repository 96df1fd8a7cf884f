// Bitmap push buttons: real owner-drawn BUTTON windows painted through the kit, read back from
// the composed off-screen picture and from the screen, and checked at named points.
#include <gtest/gtest.h>

#include <string>

#include "owndraw/bitmap_button.h"
#include "owndraw/graphics.h"
#include "support/pixels.h"

namespace {

using namespace pixels;
constexpr Rgb WHITE = 0xFFFFFF, BLACK = 0, RED = 0xFF0000, LIGHT = 0xC0C0C0, DARK = 0x808080;
constexpr int W = 99, H = 23; // 66 x 14 dialog units of 8-point MS Sans Serif
const HINSTANCE module = GetModuleHandleA(nullptr); // the test program carries the artwork

// The dialog's two buttons on a parent that leaves every paint to the tests.
HWND button(int id)
{
    static HWND parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 260, 40, nullptr, nullptr, module, nullptr);
    HWND found = GetDlgItem(parent, id);
    return found ? found : CreateWindowA("BUTTON", id == IDOK ? "&Conferma/ICOB011" : "&Annulla/ICOB002", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                         id == IDOK ? 10 : 140, 10, W, H, parent, reinterpret_cast<HMENU>(INT_PTR(id)), module, nullptr);
}

void expect_points(const Canvas& canvas, std::initializer_list<std::pair<POINT, Rgb>> points)
{
    for (const auto& [p, want] : points)
        EXPECT_EQ(canvas.at(p.x, p.y), want) << pixel_message(p.x, p.y, canvas.at(p.x, p.y), want);
}

TEST(ButtonLooks, FaceGlyphLabelAndEdgesOfBothButtons)
{
    // The face strip's first and last rows, and the label's colour.
    const struct {
        ButtonLook look;
        Rgb face_top, face_bottom, label;
    } looks[] = {{LOOK_NORMAL, 0xBFC0BF, DARK, BLACK}, {LOOK_PRESSED, WHITE, LIGHT, RED},
                 {LOOK_FOCUSED, 0xBFC0BF, DARK, RED}, {LOOK_DISABLED, 0xBFC0BF, DARK, LIGHT}};
    for (int id : {IDOK, IDCANCEL})
        for (const auto& l : looks) {
            SCOPED_TRACE("button " + std::to_string(id) + ", look " + std::to_string(l.look));
            Canvas canvas(W, H), glyph(20, 20);
            compose_bitmap_button(module, button(id), canvas.dc.get(), W, H, l.look);
            expect_points(canvas, {{{23, 0}, l.face_top}, {{96, H - 1}, l.face_bottom}, {{0, 0}, WHITE}, {{0, 9}, LIGHT},
                                   {{1, 9}, WHITE}, {{W - 1, 0}, WHITE}, {{W - 1, 9}, DARK}, {{W - 1, H - 1}, WHITE}});
            // The glyph at (2, 1): its key pixels show the face, the others their own colour.
            guard::Bitmap resource(LoadBitmapA(module, id == IDOK ? "ICOB011" : "ICOB002"));
            draw_bitmap(glyph.dc.get(), resource.get(), 0, 0);
            for (int i = 0; i < 400; ++i) {
                const int x = i % 20, y = i / 20;
                ASSERT_TRUE(glyph.at(x, y) == 0x010101 || canvas.at(2 + x, 1 + y) == glyph.at(x, y))
                    << pixel_message(2 + x, 1 + y, canvas.at(2 + x, 1 + y), glyph.at(x, y));
            }
            // The label: centred right of the glyph, in this look's colour only.
            const Ink ink = find_ink(canvas, l.label, 22, W - 1, 1, H - 1);
            EXPECT_GE(ink.count, 12) << "too little label ink";
            EXPECT_NEAR((ink.left + ink.right) / 2, (20 + W - 1) / 2, 5) << "ink from " << ink.left << " to " << ink.right;
            for (Rgb other : {BLACK, RED, LIGHT})
                EXPECT_TRUE(other == l.label || find_ink(canvas, other, 22, W - 1, 1, H - 1).count == 0) << "ink of " << other;
        }
}

TEST(ButtonLooks, WithoutTheArtworkThePlainFillShows)
{
    Canvas canvas(W, H);
    canvas.fill(0x123456);
    compose_bitmap_button(GetModuleHandleA("kernel32.dll"), button(IDOK), canvas.dc.get(), W, H, LOOK_NORMAL);
    expect_points(canvas, {{{3, 5}, LIGHT}, {{23, 0}, LIGHT}, {{90, 20}, LIGHT}, {{W - 1, 9}, DARK}});
}

TEST(ButtonLooks, TheScreenShowsTheWholeComposedPicture)
{
    HWND window = button(IDCANCEL);
    Canvas composed(W, H), screen(W, H);
    compose_bitmap_button(module, window, composed.dc.get(), W, H, LOOK_PRESSED);
    guard::WindowDC window_dc(window);
    guard::Brush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    const RECT all{0, 0, W, H};
    FillRect(window_dc.get(), &all, magenta.get()); // what an incomplete paint would leave
    EXPECT_EQ(paint_bitmap_button(module, GetParent(window), IDCANCEL, LOOK_PRESSED), 1);
    screen.copy_from(window_dc.get(), 0, 0);
    for (int i = 0; i < W * H; ++i)
        ASSERT_EQ(screen.at(i % W, i / W), composed.at(i % W, i / W)) << pixel_message(i % W, i / W, screen.at(i % W, i / W), composed.at(i % W, i / W));
}

TEST(ChooseButtonLook, TheFirstActionFlagDecidesWithItsOwnStateFlag)
{
    const UINT cases[][3] = {{ODA_SELECT, ODS_SELECTED, LOOK_PRESSED}, {ODA_SELECT, ODS_FOCUS, LOOK_NORMAL},
                             {ODA_FOCUS, ODS_FOCUS, LOOK_FOCUSED}, {ODA_FOCUS, ODS_SELECTED, LOOK_NORMAL},
                             {ODA_DRAWENTIRE, ODS_DISABLED, LOOK_DISABLED}, {ODA_DRAWENTIRE, ODS_FOCUS, LOOK_NORMAL},
                             {ODA_SELECT | ODA_FOCUS, ODS_FOCUS, LOOK_NORMAL}, {0, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(UINT(choose_button_look(c[0], c[1])), c[2]) << "action " << c[0] << ", state " << c[1];
}

TEST(SplitButtonCaption, TokensAtSlashesCutAtTheirBuffers)
{
    const struct {
        std::string caption, label, glyph;
    } cases[] = {{"&Conferma/ICOB011", "&Conferma", "ICOB011"}, {"&Conferma", "&Conferma", ""}, {"/ICOB011", "ICOB011", ""},
                 {"a//b c/d", "a", "b c"}, {std::string(50, 'L') + "/" + std::string(25, 'G'), std::string(39, 'L'), std::string(19, 'G')}};
    for (const auto& c : cases) {
        char label[BUTTON_LABEL_SIZE + 1], glyph[BUTTON_GLYPH_NAME_SIZE + 1];
        label[BUTTON_LABEL_SIZE] = glyph[BUTTON_GLYPH_NAME_SIZE] = '#';
        split_button_caption(c.caption.c_str(), label, BUTTON_LABEL_SIZE, glyph, BUTTON_GLYPH_NAME_SIZE);
        EXPECT_EQ(label + std::string("|") + glyph + label[BUTTON_LABEL_SIZE] + glyph[BUTTON_GLYPH_NAME_SIZE], c.label + "|" + c.glyph + "##");
    }
}

} // namespace
