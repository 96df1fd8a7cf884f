// Bitmap push buttons: real owner-drawn BUTTON windows painted through the kit, read back
// from the composed off-screen picture and from the screen, checked at named points.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "owndraw/bitmap_button.h"
#include "owndraw/graphics.h"
#include "support/pixels.h"

namespace {

using namespace pixels;
constexpr Rgb WHITE = 0xFFFFFF, BLACK = 0, RED = 0xFF0000, LIGHT_GREY = 0xC0C0C0, DARK_GREY = 0x808080;
// The dialog's buttons: 66 x 14 dialog units of 8-point MS Sans Serif, 99 x 23 pixels.
constexpr int W = 99, H = 23;
const HINSTANCE module = GetModuleHandleA(nullptr); // the test program carries the artwork

// A parent and the dialog's two buttons, made once; the parent ignores paint requests so
// that the tests decide every paint.
HWND button(int id)
{
    static HWND parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 260, 40,
                                         nullptr, nullptr, module, nullptr);
    HWND found = GetDlgItem(parent, id);
    if (!found)
        found = CreateWindowA("BUTTON", id == IDOK ? "&Conferma/ICOB011" : "&Annulla/ICOB002",
                              WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, id == IDOK ? 10 : 140, 10, W, H, parent,
                              reinterpret_cast<HMENU>(INT_PTR(id)), module, nullptr);
    return found;
}

void compose(HMODULE from, HWND window, ButtonLook look, Canvas& canvas)
{
    compose_bitmap_button(from, window, canvas.dc.get(), W, H, look);
}

// A bitmap resource, drawn as it is into a canvas of its size.
struct Resource : Canvas {
    explicit Resource(const char* name) : Resource(guard::Bitmap(LoadBitmapA(module, name))) {}
    explicit Resource(const guard::Bitmap& bitmap) : Canvas(size(bitmap).bmWidth, size(bitmap).bmHeight)
    {
        draw_bitmap(dc.get(), bitmap.get(), 0, 0);
    }
    static BITMAP size(const guard::Bitmap& bitmap)
    {
        BITMAP info{};
        GetObjectA(bitmap.get(), sizeof info, &info);
        return info;
    }
};

struct Point {
    int x, y;
    Rgb want;
};

void expect_points(const Canvas& canvas, std::initializer_list<Point> points)
{
    for (const Point& p : points)
        EXPECT_EQ(canvas.at(p.x, p.y), p.want) << pixel_message(p.x, p.y, canvas.at(p.x, p.y), p.want);
}

TEST(ButtonLooks, FaceGlyphLabelAndEdgesOfBothButtons)
{
    const struct {
        ButtonLook look;
        const char* face;
        Rgb label;
    } looks[] = {{LOOK_NORMAL, "BUTTONUP", BLACK}, {LOOK_PRESSED, "BUTTONDW", RED},
                 {LOOK_FOCUSED, "BUTTONUP", RED}, {LOOK_DISABLED, "BUTTONUP", LIGHT_GREY}};
    for (int id : {IDOK, IDCANCEL})
        for (const auto& l : looks) {
            SCOPED_TRACE("button " + std::to_string(id) + ", look " + std::to_string(l.look));
            Canvas canvas(W, H);
            compose(module, button(id), l.look, canvas);
            const Resource face(l.face), glyph(id == IDOK ? "ICOB011" : "ICOB002");
            // The strip's first and last rows at both ends; the edges over them.
            expect_points(canvas, {{23, 0, face.at(0, 0)}, {96, H - 1, face.at(0, 21)}, {0, 0, WHITE}, {0, 9, LIGHT_GREY},
                                   {1, 9, WHITE}, {W - 1, 0, WHITE}, {W - 1, 9, DARK_GREY}, {W - 1, H - 1, WHITE}});
            // The glyph at (2, 1): its key pixels show the face, the others their own colour.
            for (int y = 0; y < glyph.height; ++y)
                for (int x = 0; x < glyph.width; ++x)
                    if (glyph.at(x, y) != 0x010101) {
                        ASSERT_EQ(canvas.at(2 + x, 1 + y), glyph.at(x, y)) << pixel_message(2 + x, 1 + y, canvas.at(2 + x, 1 + y), glyph.at(x, y));
                    }
            // The label: centred right of the glyph, in this look's colour only.
            const Ink ink = find_ink(canvas, l.label, 22, W - 1, 1, H - 1);
            EXPECT_GE(ink.count, 12) << "label ink of " << hex(l.label);
            EXPECT_NEAR((ink.left + ink.right) / 2, (20 + W - 1) / 2, 5) << "ink from " << ink.left << " to " << ink.right;
            for (Rgb other : {BLACK, RED, LIGHT_GREY})
                if (other != l.label) {
                    EXPECT_EQ(find_ink(canvas, other, 22, W - 1, 1, H - 1).count, 0) << "ink of " << hex(other);
                }
        }
}

TEST(ButtonLooks, WithoutFaceStripsThePlainFillShows)
{
    Canvas canvas(W, H);
    canvas.fill(0x123456);
    compose(GetModuleHandleA("kernel32.dll"), button(IDOK), LOOK_NORMAL, canvas);
    expect_points(canvas, {{3, 5, LIGHT_GREY}, {23, 0, LIGHT_GREY}, {90, 20, LIGHT_GREY}, {W - 1, 9, DARK_GREY}});
}

TEST(ButtonLooks, ThePaintOnTheScreenIsTheComposedPicture)
{
    HWND window = button(IDCANCEL);
    Canvas composed(W, H), screen(W, H);
    compose(module, window, LOOK_PRESSED, composed);
    guard::WindowDC window_dc(window);
    guard::Brush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    const RECT all{0, 0, W, H};
    FillRect(window_dc.get(), &all, magenta.get()); // what an incomplete paint would leave
    EXPECT_EQ(paint_bitmap_button(module, GetParent(window), IDCANCEL, LOOK_PRESSED), 1);
    screen.copy_from(window_dc.get(), 0, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(screen.at(x, y), composed.at(x, y)) << pixel_message(x, y, screen.at(x, y), composed.at(x, y));
}

TEST(ChooseButtonLook, TheFirstActionFlagDecidesWithItsStateFlag)
{
    const UINT cases[][3] = {
        {ODA_SELECT, ODS_SELECTED, LOOK_PRESSED}, {ODA_SELECT, ODS_FOCUS, LOOK_NORMAL},
        {ODA_FOCUS, ODS_FOCUS, LOOK_FOCUSED}, {ODA_FOCUS, ODS_SELECTED, LOOK_NORMAL},
        {ODA_DRAWENTIRE, ODS_DISABLED, LOOK_DISABLED}, {ODA_DRAWENTIRE, ODS_FOCUS, LOOK_NORMAL},
        {ODA_SELECT | ODA_FOCUS, ODS_FOCUS, LOOK_NORMAL}, {ODA_FOCUS | ODA_DRAWENTIRE, ODS_FOCUS | ODS_DISABLED, LOOK_FOCUSED},
        {0, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UINT(choose_button_look(c[0], c[1])), c[2]) << "action " << c[0] << ", state " << c[1];
}

TEST(SplitButtonCaption, Cases)
{
    const struct {
        std::string caption, label, glyph;
    } cases[] = {
        {"&Conferma/ICOB011", "&Conferma", "ICOB011"}, {"&Conferma", "&Conferma", ""}, {"/ICOB011", "ICOB011", ""},
        {"a//b/c", "a", "b"}, {"a b/c d", "a b", "c d"}, {"///", "", ""},
        {std::string(50, 'L') + "/" + std::string(25, 'G'), std::string(39, 'L'), std::string(19, 'G')}, // cut
    };
    for (const auto& c : cases) {
        char label[BUTTON_LABEL_SIZE + 1], glyph[BUTTON_GLYPH_NAME_SIZE + 1];
        label[BUTTON_LABEL_SIZE] = glyph[BUTTON_GLYPH_NAME_SIZE] = '#';
        split_button_caption(c.caption.c_str(), label, BUTTON_LABEL_SIZE, glyph, BUTTON_GLYPH_NAME_SIZE);
        EXPECT_EQ(label, c.label);
        EXPECT_EQ(glyph, c.glyph);
        EXPECT_EQ(label[BUTTON_LABEL_SIZE], '#') << "label written past its buffer";
        EXPECT_EQ(glyph[BUTTON_GLYPH_NAME_SIZE], '#') << "glyph name written past its buffer";
    }
}

TEST(LabelFont, SixPointsTruncatedTowardZero)
{
    const int cases[][2] = {{96, -8}, {120, -10}, {144, -12}, {100, -8}, {11, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(label_font_height(c[0]), c[1]) << "at " << c[0] << " dpi";
}

} // namespace
