// Bitmap push buttons: real owner-drawn BUTTON windows on a visible parent, painted
// through the kit and read back pixel by pixel, either from the composed off-screen
// picture (a 32-bit DIB section) or from the button's own window DC.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "owndraw/bitmap_button.h"
#include "owndraw/gdi_guards.h"
#include "owndraw/graphics.h"
#include "support/pixels.h"

namespace {

using namespace pixels;

constexpr Rgb WHITE = 0xFFFFFF;
constexpr Rgb BLACK = 0x000000;
constexpr Rgb RED = 0xFF0000;
constexpr Rgb LIGHT_GREY = 0xC0C0C0;
constexpr Rgb DARK_GREY = 0x808080;
constexpr Rgb KEY = 0x010101;

// The dialog's buttons: 66 x 14 dialog units of 8-point MS Sans Serif, 99 x 23 pixels.
constexpr int BUTTON_WIDTH = 99;
constexpr int BUTTON_HEIGHT = 23;

HINSTANCE test_module()
{
    return GetModuleHandleA(nullptr); // the test program carries the installer's resources
}

// The pixels of a bitmap resource, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<Rgb> rgb;
    Rgb at(int x, int y) const { return rgb[y * width + x]; }
};

Pixels resource_pixels(const char* name)
{
    Pixels pixels;
    guard::Bitmap bitmap(LoadBitmapA(test_module(), name));
    if (!bitmap)
        return pixels;
    BITMAP info{};
    GetObjectA(bitmap.get(), sizeof info, &info);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bits(size_t(info.bmWidth) * size_t(info.bmHeight));
    guard::WindowDC screen(nullptr);
    if (!GetDIBits(screen.get(), bitmap.get(), 0, UINT(info.bmHeight), bits.data(), &request,
                   DIB_RGB_COLORS))
        return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    for (DWORD b : bits)
        pixels.rgb.push_back(b & 0xFFFFFFu);
    return pixels;
}

// --- the parent window and its two owner-drawn buttons ------------------------------------

// When set, the parent hands the platform's own owner-draw requests to the painter, as the
// installation dialog does; otherwise it ignores them so tests control every paint.
bool route_draw_requests = false;

LRESULT CALLBACK parent_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DRAWITEM) {
        if (route_draw_requests)
            draw_bitmap_button(test_module(), window,
                               reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        return TRUE;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void pump_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// One visible parent with the dialog's two buttons for the whole suite. The windows are
// left for the end of the process to take down: under Wine on an X server without a window
// manager, destroying a mapped top-level window waits two seconds for the server.
class ButtonWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (parent)
            return; // a repeated run reuses the windows
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = parent_proc;
        window_class.hInstance = test_module();
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        window_class.lpszClassName = "OwndrawButtonTestParent";
        RegisterClassA(&window_class);
        parent = CreateWindowExA(WS_EX_TOPMOST, "OwndrawButtonTestParent", "", WS_POPUP | WS_VISIBLE,
                                 40, 40, 300, 60, nullptr, nullptr, test_module(), nullptr);
        confirm = CreateWindowA("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10,
                                BUTTON_WIDTH, BUTTON_HEIGHT, parent,
                                reinterpret_cast<HMENU>(INT_PTR(IDOK)), test_module(), nullptr);
        cancel = CreateWindowA("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 150, 10,
                               BUTTON_WIDTH, BUTTON_HEIGHT, parent,
                               reinterpret_cast<HMENU>(INT_PTR(IDCANCEL)), test_module(), nullptr);
        UpdateWindow(parent);
        pump_messages();
    }
    void SetUp() override
    {
        ASSERT_NE(parent, nullptr);
        ASSERT_NE(confirm, nullptr);
        ASSERT_NE(cancel, nullptr);
        route_draw_requests = false;
        SetWindowTextA(confirm, "&Conferma/ICOB011");
        SetWindowTextA(cancel, "&Annulla/ICOB002");
        RECT client{};
        GetClientRect(confirm, &client);
        ASSERT_EQ(client.right, BUTTON_WIDTH);
        ASSERT_EQ(client.bottom, BUTTON_HEIGHT);
        ASSERT_TRUE(IsWindowVisible(confirm));
        pump_messages();
    }
    void TearDown() override { route_draw_requests = false; }

    // Composes `button` in `look` into a fresh 32-bit DIB of the button's size.
    static void compose(HWND button, ButtonLook look, Canvas& canvas)
    {
        compose_bitmap_button(test_module(), button, canvas.dc.get(), canvas.width, canvas.height,
                              look);
    }

    static HWND parent;
    static HWND confirm;
    static HWND cancel;
};

HWND ButtonWindows::parent = nullptr;
HWND ButtonWindows::confirm = nullptr;
HWND ButtonWindows::cancel = nullptr;

// Reads what the screen shows of `window`'s client area.
void capture_window(HWND window, Canvas& canvas)
{
    guard::WindowDC window_dc(window);
    BitBlt(canvas.dc.get(), 0, 0, canvas.width, canvas.height, window_dc.get(), 0, 0, SRCCOPY);
}

void fill_window(HWND window, Rgb rgb)
{
    guard::WindowDC window_dc(window);
    guard::Brush brush(CreateSolidBrush(colorref(rgb)));
    RECT all{};
    GetClientRect(window, &all);
    FillRect(window_dc.get(), &all, brush.get());
    GdiFlush();
}

struct LookExpectation {
    ButtonLook look;
    const char* face;
    Rgb label;
    const char* name;
};

const LookExpectation LOOKS[] = {
    {LOOK_NORMAL, "BUTTONUP", BLACK, "normal"},
    {LOOK_PRESSED, "BUTTONDW", RED, "pressed"},
    {LOOK_FOCUSED, "BUTTONUP", RED, "focused"},
    {LOOK_DISABLED, "BUTTONUP", LIGHT_GREY, "disabled"},
};

const LookExpectation& expectation_of(int look)
{
    for (const LookExpectation& e : LOOKS)
        if (e.look == look)
            return e;
    return LOOKS[0];
}

// The label's text rectangle, less the glyph columns it overlaps, the edge columns and the
// first and last rows (the sunken face's last row is light grey, like the disabled label).
constexpr int LABEL_LEFT = 22;
constexpr int LABEL_RIGHT = BUTTON_WIDTH - 1; // exclusive

struct Ink {
    int count = 0;
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

Ink find_ink(const Canvas& canvas, Rgb colour)
{
    Ink ink;
    for (int y = 1; y < canvas.height - 1; ++y)
        for (int x = LABEL_LEFT; x < LABEL_RIGHT; ++x)
            if (canvas.at(x, y) == colour) {
                ++ink.count;
                ink.left = x < ink.left ? x : ink.left;
                ink.right = x > ink.right ? x : ink.right;
                ink.top = y < ink.top ? y : ink.top;
                ink.bottom = y > ink.bottom ? y : ink.bottom;
            }
    return ink;
}

// Face rows: the strip's 22 rows fitted to the button's height. Which row is doubled is the
// stretcher's business, so a row may come from the nearest strip row or one either side; the
// first and last rows must be the strip's first and last.
void expect_face_rows(const Canvas& canvas, const Pixels& strip, int x)
{
    ASSERT_EQ(strip.height, 22);
    for (int y = 0; y < canvas.height; ++y) {
        int nearest = y * strip.height / canvas.height;
        if (y == 0 || y == canvas.height - 1) {
            int row = y == 0 ? 0 : strip.height - 1;
            EXPECT_EQ(canvas.at(x, y), strip.at(0, row)) << pixel_message(x, y, canvas.at(x, y), strip.at(0, row));
            continue;
        }
        bool found = false;
        for (int row = nearest - 1; row <= nearest + 1; ++row)
            if (row >= 0 && row < strip.height && canvas.at(x, y) == strip.at(0, row))
                found = true;
        EXPECT_TRUE(found) << pixel_message(x, y, canvas.at(x, y), strip.at(0, nearest))
                           << " (or a neighbouring strip row)";
    }
}

void expect_edges(const Canvas& canvas)
{
    const int last = canvas.width - 1;
    const int bottom = canvas.height - 1;
    for (int y = 0; y <= bottom; ++y) {
        bool end_row = y == 0 || y == bottom;
        Rgb want_left = end_row ? WHITE : LIGHT_GREY;
        EXPECT_EQ(canvas.at(0, y), want_left) << pixel_message(0, y, canvas.at(0, y), want_left);
        Rgb want_right = end_row ? WHITE : DARK_GREY;
        EXPECT_EQ(canvas.at(last, y), want_right) << pixel_message(last, y, canvas.at(last, y), want_right);
        if (!end_row) {
            EXPECT_EQ(canvas.at(1, y), WHITE) << pixel_message(1, y, canvas.at(1, y), WHITE);
        }
    }
}

// The glyph lies at (2, 1): its key pixels show the face row beneath, the others its own colour.
void expect_glyph(const Canvas& canvas, const Pixels& glyph)
{
    ASSERT_GT(glyph.width, 0) << "glyph resource missing";
    int key_pixels = 0;
    for (int gy = 0; gy < glyph.height; ++gy)
        for (int gx = 0; gx < glyph.width; ++gx) {
            int x = 2 + gx, y = 1 + gy;
            Rgb want = glyph.at(gx, gy);
            if (want == KEY) {
                ++key_pixels;
                want = canvas.at(BUTTON_WIDTH - 3, y); // the face colour of this row
            }
            ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
        }
    EXPECT_GT(key_pixels, 0) << "a glyph without key pixels proves nothing about transparency";
}

// The face columns clear of glyph and label.
const int FACE_COLUMNS[] = {23, 90, 96, 97};

void expect_look(const Canvas& canvas, const LookExpectation& e, const char* glyph_name)
{
    SCOPED_TRACE(std::string("look ") + e.name);
    Pixels strip = resource_pixels(e.face);
    ASSERT_GT(strip.width, 0) << e.face << " resource missing";
    for (int x : FACE_COLUMNS) {
        SCOPED_TRACE("face column " + std::to_string(x));
        expect_face_rows(canvas, strip, x);
    }
    expect_edges(canvas);
    if (glyph_name)
        expect_glyph(canvas, resource_pixels(glyph_name));

    Ink ink = find_ink(canvas, e.label);
    EXPECT_GE(ink.count, 12) << "too little label ink of " << hex(e.label);
    // Centred in the text rectangle (20 .. width - 1) and vertically in the button.
    int centre_x = (ink.left + ink.right) / 2;
    int centre_y = (ink.top + ink.bottom) / 2;
    EXPECT_NEAR(centre_x, (20 + BUTTON_WIDTH - 1) / 2, 5) << "ink from x " << ink.left << " to " << ink.right;
    EXPECT_NEAR(centre_y, BUTTON_HEIGHT / 2, 4) << "ink from y " << ink.top << " to " << ink.bottom;
    // No ink in the other looks' label colours.
    for (Rgb other : {BLACK, RED, LIGHT_GREY})
        if (other != e.label) {
            EXPECT_EQ(find_ink(canvas, other).count, 0) << "label ink of " << hex(other);
        }
}

// --- the look a request asks for ---------------------------------------------------------

TEST(ChooseButtonLook, ActionFlagsInOrderThenTheirStateFlag)
{
    struct Case {
        UINT action;
        UINT state;
        int want;
        const char* why;
    } cases[] = {
        {ODA_SELECT, ODS_SELECTED, LOOK_PRESSED, "mouse down"},
        {ODA_SELECT, 0, LOOK_NORMAL, "mouse up"},
        {ODA_SELECT, ODS_FOCUS, LOOK_NORMAL, "select decides; focus state is not its flag"},
        {ODA_FOCUS, ODS_FOCUS, LOOK_FOCUSED, "focus gained"},
        {ODA_FOCUS, 0, LOOK_NORMAL, "focus lost"},
        {ODA_FOCUS, ODS_SELECTED, LOOK_NORMAL, "focus decides; selection is not its flag"},
        {ODA_DRAWENTIRE, ODS_DISABLED, LOOK_DISABLED, "disabled, full repaint"},
        {ODA_DRAWENTIRE, 0, LOOK_NORMAL, "full repaint"},
        {ODA_DRAWENTIRE, ODS_FOCUS, LOOK_NORMAL, "full repaint of a focused button: black label"},
        {ODA_DRAWENTIRE, ODS_SELECTED, LOOK_NORMAL, "full repaint of a pressed button"},
        {ODA_SELECT | ODA_FOCUS, ODS_FOCUS, LOOK_NORMAL, "select is tested before focus"},
        {ODA_FOCUS | ODA_DRAWENTIRE, ODS_FOCUS | ODS_DISABLED, LOOK_FOCUSED, "focus before entire"},
        {ODA_SELECT | ODA_DRAWENTIRE, ODS_SELECTED | ODS_DISABLED, LOOK_PRESSED, "select first"},
        {0, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED, 0, "no action flag: nothing"},
        {8, ODS_FOCUS, 0, "an unknown action flag: nothing"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(choose_button_look(c.action, c.state), c.want)
            << c.why << " (action " << c.action << ", state " << c.state << ")";
}

// --- caption splitting -------------------------------------------------------------------

TEST(SplitButtonCaption, Cases)
{
    struct Case {
        const char* caption;
        const char* label;
        const char* glyph;
        const char* why;
    } cases[] = {
        {"&Conferma/ICOB011", "&Conferma", "ICOB011", "the dialog's confirm button"},
        {"&Annulla/ICOB002", "&Annulla", "ICOB002", "the dialog's cancel button"},
        {"&Conferma", "&Conferma", "", "no slash: all label, no glyph"},
        {"/ICOB011", "ICOB011", "", "leading slash: the would-be glyph is the label"},
        {"&Conferma//ICOB011", "&Conferma", "ICOB011", "two slashes count as one"},
        {"a/b/c", "a", "b", "a third token is ignored"},
        {"a/b/", "a", "b", "trailing slash"},
        {"", "", "", "empty caption"},
        {"///", "", "", "only slashes"},
        {"a b/c d", "a b", "c d", "blanks are part of tokens"},
    };
    for (const Case& c : cases) {
        char label[BUTTON_LABEL_SIZE];
        char glyph[BUTTON_GLYPH_NAME_SIZE];
        std::memset(label, 'x', sizeof label);
        std::memset(glyph, 'x', sizeof glyph);
        split_button_caption(c.caption, label, sizeof label, glyph, sizeof glyph);
        EXPECT_STREQ(label, c.label) << c.why;
        EXPECT_STREQ(glyph, c.glyph) << c.why;
    }
}

TEST(SplitButtonCaption, OverlongTokensAreCutAtTheirBuffers)
{
    std::string long_label(50, 'L');
    std::string long_glyph(25, 'G');
    std::string caption = long_label + "/" + long_glyph;
    char label[BUTTON_LABEL_SIZE + 8];
    char glyph[BUTTON_GLYPH_NAME_SIZE + 8];
    std::memset(label, '#', sizeof label);
    std::memset(glyph, '#', sizeof glyph);
    split_button_caption(caption.c_str(), label, BUTTON_LABEL_SIZE, glyph, BUTTON_GLYPH_NAME_SIZE);
    EXPECT_EQ(std::string(label), std::string(39, 'L'));
    EXPECT_EQ(std::string(glyph), std::string(19, 'G'));
    for (size_t i = BUTTON_LABEL_SIZE; i < sizeof label; ++i)
        ASSERT_EQ(label[i], '#') << "label written past its buffer at " << i;
    for (size_t i = BUTTON_GLYPH_NAME_SIZE; i < sizeof glyph; ++i)
        ASSERT_EQ(glyph[i], '#') << "glyph name written past its buffer at " << i;
}

// --- label font --------------------------------------------------------------------------

TEST(LabelFont, HeightIsSixPointsTruncatedTowardZero)
{
    struct Case {
        int logpixelsy;
        int want;
    } cases[] = {{96, -8}, {120, -10}, {144, -12}, {72, -6}, {100, -8}, {11, 0}, {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(label_font_height(c.logpixelsy), c.want) << "at " << c.logpixelsy << " dpi";
}

TEST(LabelFont, EnumeratedRecordKeepsAllButHeightWidthAndWeight)
{
    guard::WindowDC screen(nullptr);
    LOGFONTA enumerated{};
    EnumFontsA(screen.get(), "MS Sans Serif", copy_first_font, reinterpret_cast<LPARAM>(&enumerated));
    if (enumerated.lfFaceName[0] == '\0')
        GTEST_SKIP() << "no font answers to \"MS Sans Serif\" here";
    ASSERT_STREQ(enumerated.lfFaceName, "MS Sans Serif");
    enumerated.lfWidth = 5; // make sure the width is really reset
    struct Case {
        int logpixelsy;
        int height;
    } cases[] = {{96, -8}, {120, -10}, {144, -12}};
    for (const Case& c : cases) {
        LOGFONTA font = enumerated;
        set_label_font_metrics(&font, c.logpixelsy);
        EXPECT_EQ(font.lfHeight, c.height) << "at " << c.logpixelsy << " dpi";
        EXPECT_EQ(font.lfWidth, 0);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        LOGFONTA rest_before = enumerated;
        LOGFONTA rest_after = font;
        rest_before.lfHeight = rest_after.lfHeight = 0;
        rest_before.lfWidth = rest_after.lfWidth = 0;
        rest_before.lfWeight = rest_after.lfWeight = 0;
        EXPECT_EQ(std::memcmp(&rest_before, &rest_after, sizeof font), 0)
            << "fields other than height, width and weight changed";
    }
}

TEST_F(ButtonWindows, LabelFontRecordAfterAPaintIsSixPointNormal)
{
    std::memset(&label_font, 0, sizeof label_font);
    Canvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(confirm, LOOK_NORMAL, canvas);
    EXPECT_EQ(label_font.lfHeight, label_font_height(GetDeviceCaps(canvas.dc.get(), LOGPIXELSY)));
    EXPECT_EQ(label_font.lfWidth, 0);
    EXPECT_EQ(label_font.lfWeight, FW_NORMAL);
}

TEST_F(ButtonWindows, ZeroFilledFontRecordStillGivesAReadableLabel)
{
    // Where no font answers to "system" (Wine), the record stays as it was: zero at first.
    std::memset(&label_font, 0, sizeof label_font);
    Canvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(cancel, LOOK_NORMAL, canvas);
    Ink ink = find_ink(canvas, BLACK);
    EXPECT_GE(ink.count, 12);
    EXPECT_GE(ink.right - ink.left, 15) << "label ink spans too little width";
}

// --- the artwork the looks are built from ------------------------------------------------

TEST(ButtonArtwork, FaceStripsHaveOneColourPerRowInTheDocumentedShading)
{
    struct Strip {
        const char* name;
        Rgb rows[22];
    } strips[] = {
        {"BUTTONUP",
         {0xBFC0BF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFF8FF, 0xFFF8FF,
          0xF0F7F0, 0xEFEFEF, 0xEFEFEF, 0xE0E0E0, 0xE0E0E0, 0xD0D8D0, 0xD0D8D0, 0xCFCFCF,
          0xC0C7C0, 0xBFC0BF, 0xBFC0BF, 0xBFBFBF, 0xFFFFFF, 0x808080}},
        {"BUTTONDW",
         {0xFFFFFF, 0xBFBFBF, 0xBFC0BF, 0xBFC0BF, 0xC0C7C0, 0xCFCFCF, 0xD0D8D0, 0xD0D8D0,
          0xE0E0E0, 0xE0E0E0, 0xEFEFEF, 0xEFEFEF, 0xF0F7F0, 0xFFF8FF, 0xFFF8FF, 0xFFFFFF,
          0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xC0C0C0}},
    };
    for (const Strip& s : strips) {
        SCOPED_TRACE(s.name);
        Pixels strip = resource_pixels(s.name);
        ASSERT_EQ(strip.width, 10);
        ASSERT_EQ(strip.height, 22);
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(strip.at(x, y), s.rows[y]) << pixel_message(x, y, strip.at(x, y), s.rows[y]);
    }
}

TEST(ButtonArtwork, GlyphsAreTwentySquareWithKeyAroundThePicture)
{
    for (const char* name : {"ICOB011", "ICOB002"}) {
        SCOPED_TRACE(name);
        Pixels glyph = resource_pixels(name);
        ASSERT_EQ(glyph.width, 20);
        ASSERT_EQ(glyph.height, 20);
        int key = 0;
        for (Rgb p : glyph.rgb)
            key += p == KEY;
        EXPECT_GT(key, 0);
        EXPECT_LT(key, 400) << "no picture at all";
    }
}

// --- composed looks, both buttons --------------------------------------------------------

TEST_F(ButtonWindows, EveryLookOfBothButtonsComposesFaceGlyphLabelAndEdges)
{
    struct Button {
        HWND window;
        const char* glyph;
    } buttons[] = {{confirm, "ICOB011"}, {cancel, "ICOB002"}};
    for (const Button& b : buttons)
        for (const LookExpectation& e : LOOKS) {
            SCOPED_TRACE(b.glyph);
            Canvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT);
            compose(b.window, e.look, canvas);
            expect_look(canvas, e, b.glyph);
        }
}

TEST_F(ButtonWindows, NoFocusRectangleInAnyLook)
{
    // The focused look differs from the normal one only in the label's colour: every pixel
    // that changes is label ink in both pictures.
    Canvas normal(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(confirm, LOOK_NORMAL, normal);
    for (const LookExpectation& e : {LOOKS[2], LOOKS[3]}) {
        SCOPED_TRACE(e.name);
        Canvas other(BUTTON_WIDTH, BUTTON_HEIGHT);
        compose(confirm, e.look, other);
        for (int y = 0; y < BUTTON_HEIGHT; ++y)
            for (int x = 0; x < BUTTON_WIDTH; ++x)
                if (other.at(x, y) != normal.at(x, y)) {
                    ASSERT_EQ(other.at(x, y), e.label) << pixel_message(x, y, other.at(x, y), e.label);
                    ASSERT_EQ(normal.at(x, y), BLACK) << pixel_message(x, y, normal.at(x, y), BLACK);
                }
    }
}

TEST_F(ButtonWindows, EmptyCaptionStillPaintsFaceAndEdgesWithoutLabelOrGlyph)
{
    SetWindowTextA(confirm, "");
    Canvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(confirm, LOOK_NORMAL, canvas);
    Pixels strip = resource_pixels("BUTTONUP");
    for (int x : {3, 12, 21, 23, 50, 90, 97})
        expect_face_rows(canvas, strip, x);
    expect_edges(canvas);
    EXPECT_EQ(find_ink(canvas, BLACK).count, 0);
}

TEST_F(ButtonWindows, CaptionWithoutSlashHasNoGlyph)
{
    SetWindowTextA(confirm, "&Conferma");
    Canvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(confirm, LOOK_NORMAL, canvas);
    Pixels strip = resource_pixels("BUTTONUP");
    for (int x = 2; x < 20; ++x)
        expect_face_rows(canvas, strip, x);
    EXPECT_GE(find_ink(canvas, BLACK).count, 12);
}

TEST_F(ButtonWindows, CaptionIsReadUpTo79Characters)
{
    // 70 blanks of label and the glyph's name: 78 characters, the glyph is drawn.
    SetWindowTextA(confirm, (std::string(70, ' ') + "/ICOB011").c_str());
    Canvas fits(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(confirm, LOOK_NORMAL, fits);
    expect_glyph(fits, resource_pixels("ICOB011"));

    // 75 blanks: the cut after 79 characters leaves the name "ICO", which loads nothing.
    SetWindowTextA(confirm, (std::string(75, ' ') + "/ICOB011").c_str());
    Canvas cut(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(confirm, LOOK_NORMAL, cut);
    Pixels strip = resource_pixels("BUTTONUP");
    for (int x = 2; x < 22; ++x)
        expect_face_rows(cut, strip, x);
}

TEST_F(ButtonWindows, VeryLongCaptionIsCutNotOverrun)
{
    SetWindowTextA(confirm, (std::string(500, 'W') + "/ICOB011").c_str());
    Canvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT);
    compose(confirm, LOOK_NORMAL, canvas);
    expect_edges(canvas);
    EXPECT_GE(find_ink(canvas, BLACK).count, 12);
}

TEST_F(ButtonWindows, MissingFaceLeavesACleanBackgroundNotGarbage)
{
    // A module without the face strips: the composed picture must still be defined.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    for (int round = 0; round < 2; ++round) {
        Canvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT);
        GdiFlush();
        for (int i = 0; i < canvas.width * canvas.height; ++i)
            canvas.bits[i] = round == 0 ? 0x123456u : 0x654321u;
        compose_bitmap_button(kernel, confirm, canvas.dc.get(), canvas.width, canvas.height,
                              LOOK_NORMAL);
        // No face and no glyph either: glyph columns and the face columns show the clear fill.
        Rgb want = LIGHT_GREY;
        for (int y = 0; y < BUTTON_HEIGHT; ++y)
            for (int x : {2, 10, 21, 23, 90, 97})
                ASSERT_EQ(canvas.at(x, y), want) << pixel_message(x, y, canvas.at(x, y), want);
        expect_edges(canvas);
    }
}

// --- painting on the screen --------------------------------------------------------------

DRAWITEMSTRUCT request_for(HWND button, UINT id, UINT action, UINT state)
{
    DRAWITEMSTRUCT request{};
    request.CtlType = ODT_BUTTON;
    request.CtlID = id;
    request.itemAction = action;
    request.itemState = state;
    request.hwndItem = button;
    // The painter draws through its own DC and reads its own client rectangle; these
    // members must not matter.
    request.hDC = nullptr;
    request.rcItem = RECT{0, 0, 1, 1};
    return request;
}

TEST_F(ButtonWindows, PaintShowsTheComposedButtonOnTheScreen)
{
    for (const LookExpectation& e : LOOKS) {
        fill_window(confirm, 0xFF00FF);
        EXPECT_EQ(paint_bitmap_button(test_module(), parent, IDOK, e.look), 1);
        Canvas screen(BUTTON_WIDTH, BUTTON_HEIGHT);
        capture_window(confirm, screen);
        expect_look(screen, e, "ICOB011");
    }
}

TEST_F(ButtonWindows, RequestFlagsChooseTheLookOnTheScreen)
{
    struct Case {
        UINT action;
        UINT state;
        ButtonLook look;
        const char* why;
    } cases[] = {
        {ODA_SELECT, ODS_SELECTED, LOOK_PRESSED, "pressed"},
        {ODA_SELECT, ODS_FOCUS, LOOK_NORMAL, "released"},
        {ODA_FOCUS, ODS_FOCUS, LOOK_FOCUSED, "focus gained"},
        {ODA_FOCUS, 0, LOOK_NORMAL, "focus lost"},
        {ODA_DRAWENTIRE, ODS_DISABLED, LOOK_DISABLED, "disabled"},
        {ODA_DRAWENTIRE, ODS_FOCUS, LOOK_NORMAL, "full repaint of a focused button"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fill_window(cancel, 0xFF00FF);
        DRAWITEMSTRUCT request = request_for(cancel, IDCANCEL, c.action, c.state);
        draw_bitmap_button(test_module(), parent, &request);
        Canvas screen(BUTTON_WIDTH, BUTTON_HEIGHT);
        capture_window(cancel, screen);
        expect_look(screen, expectation_of(c.look), "ICOB002");
    }
}

TEST_F(ButtonWindows, RequestWithoutActionFlagsPaintsNothing)
{
    fill_window(confirm, 0xFF00FF);
    DRAWITEMSTRUCT request = request_for(confirm, IDOK, 0, ODS_FOCUS | ODS_SELECTED);
    draw_bitmap_button(test_module(), parent, &request);
    Canvas screen(BUTTON_WIDTH, BUTTON_HEIGHT);
    capture_window(confirm, screen);
    for (int y = 0; y < BUTTON_HEIGHT; ++y)
        for (int x = 0; x < BUTTON_WIDTH; ++x)
            ASSERT_EQ(screen.at(x, y), 0xFF00FFu) << pixel_message(x, y, screen.at(x, y), 0xFF00FF);
}

TEST_F(ButtonWindows, PlatformRepaintReachesThePainterThroughTheParent)
{
    route_draw_requests = true;
    fill_window(cancel, 0xFF00FF);
    InvalidateRect(cancel, nullptr, TRUE);
    UpdateWindow(cancel);
    Canvas screen(BUTTON_WIDTH, BUTTON_HEIGHT);
    capture_window(cancel, screen);
    expect_look(screen, LOOKS[0], "ICOB002");
}

} // namespace
