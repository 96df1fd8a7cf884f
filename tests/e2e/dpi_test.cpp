// The real setup.exe at 100, 125, 150 and 200%: Wine reads the DPI from the registry when each process
// starts, so each run sets it and puts 96 back after. Each asserts the DPI its window got.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>
#include <string>

#include "e2e/driver.h"
#include "support/pixels.h"

using namespace owndraw;

namespace {

using namespace e2e;

void set_display_dpi(DWORD dpi) {
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
}
struct DisplayDpi { explicit DisplayDpi(DWORD dpi) { set_display_dpi(dpi); } ~DisplayDpi() { set_display_dpi(96); } };
struct StartAt96 : ::testing::Environment { void SetUp() override { set_display_dpi(96); } };
::testing::Environment* const start_at_96 = ::testing::AddGlobalTestEnvironment(new StartAt96);

UINT dpi_of(HWND window) {
    const auto get = reinterpret_cast<UINT(WINAPI*)(HWND)>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return get ? get(window) : 0;
}

// Wine gives the DPI of LogPixels only in a session of its own (run-tests.sh gives one); elsewhere a test skips, naming it.
#define SKIP_UNLESS_AT(dpi, got) \
    if ((got) != (dpi)) GTEST_SKIP() << "Wine gave the program " << (got) << " dpi, not the " << (dpi) << " of LogPixels"

// `name` as the program's resources hold it, drawn on a canvas of its size.
std::unique_ptr<pixels::Canvas> resource(const std::string& name) {
    guard::Bitmap bitmap(LoadBitmapA(GetModuleHandleA(nullptr), name.c_str()));
    BITMAP info{};
    GetObjectA(bitmap.get(), sizeof info, &info);
    auto canvas = std::make_unique<pixels::Canvas>(info.bmWidth, info.bmHeight);
    guard::MemoryDC source(nullptr);
    guard::Select selected(source.get(), bitmap.get());
    BitBlt(canvas->dc.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    return canvas;
}
std::string rendering(const char* name, UINT dpi) { return dpi == 96 ? name : name + ("_" + std::to_string(MulDiv(dpi, 100, 96))); }

// Today's dialog at 96 dots per inch, in client pixels: the client area and the controls.
const SIZE CLIENT_AT_96 = {596, 473};
struct Control { int id; RECT at_96; };
const Control CONTROLS[] = {{MAIN_FIELD, {170, 380, 395, 400}}, {CLIENT_FIELD, {170, 437, 395, 457}},
                            {STATUS_LINE, {48, 7, 518, 27}}, {IDOK, {449, 395, 548, 418}}, {IDCANCEL, {30, 395, 129, 418}}};
bool dark(pixels::Rgb c) { return (c >> 16) < 100 && ((c >> 8) & 0xFF) < 100 && (c & 0xFF) < 120; }
// The box of the dark pixels of `c` in [x0, x1) x [y0, y1); empty when there are none.
RECT dark_box(const pixels::Canvas& c, int x0, int x1, int y0, int y1) {
    RECT box{x1, y1, x0, y0};
    for (int i = 0; i < (x1 - x0) * (y1 - y0); ++i)
        if (const LONG x = x0 + i % (x1 - x0), y = y0 + i / (x1 - x0); dark(c.at(x, y)))
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box;
}

// Every edge of every control at `dpi`, rounded as the picture is; an empty text when all are.
std::string misplaced_controls(const Program& run, UINT dpi) {
    std::string wrong;
    for (const Control& c : CONTROLS) {
        const RECT r = client_rect(run.dialog, run.control(c.id));
        const LONG got[] = {r.left, r.top, r.right, r.bottom}, want[] = {c.at_96.left, c.at_96.top, c.at_96.right, c.at_96.bottom};
        for (int i = 0; i < 4; ++i)
            if (got[i] != MulDiv(want[i], dpi, 96))
                wrong += "control " + std::to_string(c.id) + " edge " + std::to_string(i) + ": " + std::to_string(got[i]) + ", want " + std::to_string(MulDiv(want[i], dpi, 96)) + "; ";
    }
    return wrong;
}

// Away from the controls: the picture rendered for `dpi`, pixel for pixel; between renderings, the closest resampled:
// the banner across the whole width, each field's label above it as at 96, scaled, within 2·s. Empty when all holds.
std::string picture_faults(const Program& run, UINT dpi, const pixels::Canvas& shot) {
    if (dpi % 24 != 0 || dpi == 168) {
        const auto s = [dpi](LONG v) { return MulDiv(v, dpi, 96); };
        for (int x = 0; x < shot.width; ++x)
            if (int(shot.at(x, s(122)) & 0xFF) < int(shot.at(x, s(122)) >> 16) + 40)
                return "no banner at x " + std::to_string(x);
        for (int field_top : {380, 437}) {
            const RECT at_96 = dark_box(*resource("BINDER"), 150, 500, field_top - 22, field_top), got = dark_box(shot, s(150), s(500), s(field_top - 22), s(field_top));
            if (std::abs(got.left - s(at_96.left)) > s(2) || std::abs(got.top - s(at_96.top)) > s(2) || std::abs(got.right - s(at_96.right)) > s(2) || std::abs(got.bottom - s(at_96.bottom)) > s(2))
                return "the label above the field at " + std::to_string(field_top) + " is off its place";
        }
        return "";
    }
    std::vector<RECT> controls;
    for (HWND c = GetWindow(run.dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c))
            controls.push_back(client_rect(run.dialog, c));
    const auto picture = resource(rendering("BINDER", dpi));
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const POINT p{x, y};
            if (std::none_of(controls.begin(), controls.end(), [p](const RECT& r) { return PtInRect(&r, p); }) &&
                shot.at(x, y) != picture->at(x, y))
                return "unlike the picture, first " + pixels::pixel_message(x, y, shot.at(x, y), picture->at(x, y));
        }
    return "";
}

// The height of the dark ink in the client path field: that of its font.
int field_text_height(const Program& run) {
    RECT r{};
    GetClientRect(run.control(CLIENT_FIELD), &r);
    pixels::Canvas field(r.right, r.bottom);
    capture(run.control(CLIENT_FIELD), &field);
    const RECT ink = dark_box(field, 0, field.width, 0, field.height);
    return std::max(0L, ink.bottom - ink.top);
}

class Scale : public ::testing::TestWithParam<UINT> {};

TEST_P(Scale, TheDialogIsTodaysPictureScaledAndInstalls) {
    const UINT dpi = GetParam();
    const bool rendered = dpi % 24 == 0 && dpi != 168; // 100, 125, 150 and 200%
    const auto s = [dpi](int v) { return MulDiv(v, dpi, 96); };
    DisplayDpi display(dpi);
    const Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    SKIP_UNLESS_AT(dpi, dpi_of(run.dialog));

    RECT area{};
    GetClientRect(run.dialog, &area);
    EXPECT_TRUE(area.right == s(CLIENT_AT_96.cx) && area.bottom == s(CLIENT_AT_96.cy)) << "client area " << area.right << " x " << area.bottom;
    ASSERT_EQ(misplaced_controls(run, dpi), "");
    pixels::Canvas shot(area.right, area.bottom);
    std::string faults;
    wait_until([&] { capture(run.dialog, &shot); return (faults = picture_faults(run, dpi, shot)).empty(); }, 3000);
    EXPECT_EQ(faults, "");

    // Each glyph is its 20-pixel rendering at this scale, at (2, 1) scaled; each label centred right of it.
    for (const auto& [id, glyph] : {std::pair<int, const char*>{IDOK, "ICOB011"}, {IDCANCEL, "ICOB002"}}) {
        RECT button{};
        GetClientRect(run.control(id), &button);
        pixels::Canvas face(button.right, button.bottom);
        pixels::Ink label;
        wait_until([&] {
            capture(run.control(id), &face);
            return (label = pixels::find_ink(face, 0, s(21), button.right - 2, 1, button.bottom - 1)).count > 0;
        }, 3000);
        EXPECT_NEAR(label.left + label.right, s(20) + button.right - 2, 3) << "label of " << id << " not centred right of the glyph";
        const auto drawn = resource(rendering(glyph, dpi));
        EXPECT_TRUE(!rendered || drawn->width == s(20)) << glyph;
        int unlike = 0;
        for (int y = 0; y < drawn->height && rendered; ++y)
            for (int x = 0; x < drawn->width; ++x)
                unlike += drawn->at(x, y) != 0x010101 && face.at(s(2) + x, s(1) + y) != drawn->at(x, y);
        EXPECT_EQ(unlike, 0) << "pixels of " << glyph << " not where its rendering puts them";
    }

    // And a full installation from the demo main installation still completes.
    const std::string folder = "C:\\e2e\\Dpi" + std::to_string(dpi), client = folder + "\\CLIENT";
    test::remove_tree(folder), CreateDirectoryA("C:\\e2e", nullptr), CreateDirectoryA(folder.c_str(), nullptr);
    run.set_text(CLIENT_FIELD, client);
    run.press(IDOK);
    HWND box = run.wait_box(30000);
    ASSERT_NE(box, nullptr) << "no message at the end";
    EXPECT_EQ(box_says(box), says(DONE));
    run.answer(box, IDOK);
    EXPECT_EQ(run.exit_code(), 0u);
    EXPECT_TRUE(test::file_exists(client + "\\VORAN.EXE"));
    test::remove_tree(folder);
}

// 175% lies between renderings: the closest is resampled.
INSTANTIATE_TEST_SUITE_P(E2E, Scale, ::testing::Values(96u, 120u, 144u, 168u, 192u),
                         [](const ::testing::TestParamInfo<UINT>& info) { return std::to_string(info.param) + "dpi"; });

// A move to a monitor of another DPI lays the dialog out for it, in the rectangle suggested, and back.
TEST(Scale, DpiChangedLaysTheDialogOutAgain) {
    const Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    SKIP_UNLESS_AT(96u, dpi_of(run.dialog));
    RECT before{};
    GetWindowRect(run.dialog, &before);
    int text_at_96 = 0;
    wait_until([&] { return (text_at_96 = field_text_height(run)) > 0; }, 3000);
    for (UINT dpi : {144u, 96u}) {
        RECT suggested = {before.left, before.top, before.left + MulDiv(before.right - before.left, dpi, 96),
                          before.top + MulDiv(before.bottom - before.top, dpi, 96)};
        // The rectangle lies in the program's own memory: a message from another process carries only its address.
        void* there = VirtualAllocEx(run.process.hProcess, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
        ASSERT_TRUE(there && WriteProcessMemory(run.process.hProcess, there, &suggested, sizeof suggested, nullptr));
        SendMessageA(run.dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(there));
        VirtualFreeEx(run.process.hProcess, there, 0, MEM_RELEASE);
        ASSERT_EQ(misplaced_controls(run, dpi), "") << "at " << dpi;
        RECT now{}, area{};
        GetWindowRect(run.dialog, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << "not in the suggested rectangle at " << dpi;
        GetClientRect(run.dialog, &area);
        pixels::Canvas shot(area.right, area.bottom);
        std::string faults;
        wait_until([&] { capture(run.dialog, &shot); return (faults = picture_faults(run, dpi, shot)).empty(); }, 3000);
        EXPECT_EQ(faults, "") << "at " << dpi;
        int rows = 0;
        wait_until([&] { return std::abs((rows = field_text_height(run)) - text_at_96 * int(dpi) / 96) <= 2; }, 3000);
        EXPECT_NEAR(rows, text_at_96 * int(dpi) / 96, 2) << "font rows at " << dpi;
    }
    run.key(VK_ESCAPE);
    EXPECT_EQ(run.exit_code(), 0u);
}

// Windows reads the awareness from the manifest (Wine makes every program aware): v2, v1, "true/pm".
TEST(Scale, TheManifestDeclaresPerMonitorAwareness) {
    HMODULE program = LoadLibraryExA(windows_path(SETUP_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC found = program ? FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    ASSERT_NE(found, nullptr) << "no manifest in " << SETUP_EXE;
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))), SizeofResource(program, found));
    for (const char* declared : {">PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>"})
        EXPECT_NE(manifest.find(declared), std::string::npos) << declared;
    FreeLibrary(program);
}

// The list item frame scales the mark-up with its window: at 144 dots per inch @X 50 is at 75.
TEST(Scale, TheListFrameScalesTheMarkupWithItsWindow) {
    DisplayDpi display(144);
    const std::string rows = windows_path(std::string(SETUP_EXE) + ".dpi-rows.txt");
    test::write_file(rows, "@X\\x8250\\x83@SEP\\x820\\x83\n");
    const Program preview(MARKUP_PREVIEW_EXE, "--show --width 200 --height 30 --list \"" + rows + "\"");
    const HWND list = GetWindow(preview.dialog, GW_CHILD);
    const UINT got = dpi_of(list);
    pixels::Canvas shot(200, 30);
    wait_until([&] { return list && (capture(list, &shot), shot.at(75, 15) == 0); }, got == 144 ? 3000 : 0);
    DeleteFileA(rows.c_str());
    SKIP_UNLESS_AT(144u, got);
    EXPECT_EQ(pixels::hex(shot.at(50, 15)) + " " + pixels::hex(shot.at(75, 15)), "0xffffff 0x000000") << "at x = 50 and 75";
}

} // namespace
