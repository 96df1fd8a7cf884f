// The owner-drawn buttons as a person sees them on the screen: the keyboard focus shows
// only as a red label, and it follows the Tab key.
#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <vector>

using namespace e2e;

namespace {

struct LabelInk {
    int red = 0;   // pixels of pure label red
    int black = 0; // pixels of black label ink
};

// Reads the button's pixels from the screen and counts label ink right of the glyph.
LabelInk label_ink(HWND button)
{
    RECT r;
    GetWindowRect(button, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();

    LabelInk ink;
    const auto* pixels = static_cast<const DWORD*>(bits);
    // The glyph covers x 2..21; the edges are the outer two columns.
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 24; x < width - 2; ++x) {
            const DWORD p = pixels[y * width + x] & 0xFFFFFF; // 0x00RRGGBB
            if (p == 0xFF0000)
                ++ink.red;
            else if (p == 0x000000)
                ++ink.black;
        }
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

void press_tab(SetupRun& run)
{
    HWND target = run.focus();
    ASSERT_NE(target, nullptr);
    PostMessageA(target, WM_KEYDOWN, VK_TAB, 0x000F0001);
    PostMessageA(target, WM_KEYUP, VK_TAB, 0xC00F0001);
}

TEST(ButtonLook, TabMovesTheFocusAndOnlyTheFocusedLabelIsRed)
{
    SetupRun run;
    START_SETUP(run);
    HWND conferma = run.control(CONFIRM_BUTTON);
    HWND annulla = run.control(CANCEL_BUTTON);

    // Focus in the main path field: both labels are black.
    ASSERT_TRUE(wait_until([&] { return label_ink(conferma).black > 20 && label_ink(annulla).black > 20; }));
    EXPECT_EQ(label_ink(conferma).red, 0);
    EXPECT_EQ(label_ink(annulla).red, 0);

    // Main path, client path, then Conferma (the status line is no tab stop).
    press_tab(run);
    ASSERT_TRUE(wait_until([&] { return run.focus() == run.control(CLIENT_FIELD); }));
    press_tab(run);
    ASSERT_TRUE(wait_until([&] { return run.focus() == conferma; }));
    EXPECT_TRUE(wait_until([&] { return label_ink(conferma).red > 20; }))
        << "the focused Conferma should have a red label; red " << label_ink(conferma).red << ", black "
        << label_ink(conferma).black;
    EXPECT_EQ(label_ink(conferma).black, 0) << "a focused label is all red";
    EXPECT_EQ(label_ink(annulla).red, 0);

    // On to Annulla: the red label moves with the focus.
    press_tab(run);
    ASSERT_TRUE(wait_until([&] { return run.focus() == annulla; }));
    EXPECT_TRUE(wait_until([&] { return label_ink(annulla).red > 20 && label_ink(conferma).red == 0; }))
        << "Annulla red " << label_ink(annulla).red << ", Conferma red " << label_ink(conferma).red;
    EXPECT_GT(label_ink(conferma).black, 20);

    run.press(CANCEL_BUTTON);
    DWORD code = 1;
    EXPECT_TRUE(run.wait_exit(&code));
    EXPECT_EQ(code, 0u);
}

} // namespace
