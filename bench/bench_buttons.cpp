// Button paints per second, for both dialog buttons in all four looks, against the bare
// cost of the off-screen transfer that every paint pays (window DC, compatible bitmap and
// memory DC, one copy to the window, clean-up) with nothing drawn. Both are measured in
// the same run on the same windows, so only the ratios mean anything across machines.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "owndraw/buttons/bitmap_button.h"
#include "bench/paint_rate.h"
#include "owndraw/primitives/gdi_guards.h"

using namespace owndraw;

namespace {

// Every target is measured in several short rounds taken in turn, and its median round is
// reported, so that drift in the machine's load hits the baseline and the paints alike.
constexpr double SECONDS_PER_MEASUREMENT = 0.3;
constexpr int ROUNDS = 5;
constexpr int BUTTON_WIDTH = 99;
constexpr int BUTTON_HEIGHT = 23;

LRESULT CALLBACK parent_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    // The platform's own owner-draw requests are ignored: only the measured paints draw.
    if (message == WM_DRAWITEM)
        return TRUE;
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

struct Target {
    HINSTANCE instance;
    HWND dialog;
    int control_id;
    ButtonLook look;
};

// Everything paint_bitmap_button does around the composition, and nothing else.
void bare_transfer(const Target& t)
{
    HWND button = GetDlgItem(t.dialog, t.control_id);
    guard::WindowDC window_dc(button);
    RECT client{};
    GetClientRect(button, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    guard::Bitmap canvas(CreateCompatibleBitmap(window_dc.get(), width, height));
    guard::MemoryDC memory_dc(window_dc.get());
    guard::Select selected(memory_dc.get(), canvas.get());
    BitBlt(window_dc.get(), 0, 0, width, height, memory_dc.get(), 0, 0, SRCCOPY);
}

void paint(const Target& t)
{
    paint_bitmap_button(t.instance, t.dialog, t.control_id, t.look);
}

} // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = parent_proc;
    window_class.hInstance = instance;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = "BenchButtonsParent";
    if (!RegisterClassA(&window_class))
        return 1;
    HWND parent = CreateWindowExA(WS_EX_TOPMOST, "BenchButtonsParent", "", WS_POPUP | WS_VISIBLE, 40, 40,
                                  300, 60, nullptr, nullptr, instance, nullptr);
    if (!parent)
        return 1;
    CreateWindowA("BUTTON", "&Conferma/ICOB011", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10,
                  BUTTON_WIDTH, BUTTON_HEIGHT, parent, reinterpret_cast<HMENU>(INT_PTR(IDOK)), instance,
                  nullptr);
    CreateWindowA("BUTTON", "&Annulla/ICOB002", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 150, 10,
                  BUTTON_WIDTH, BUTTON_HEIGHT, parent, reinterpret_cast<HMENU>(INT_PTR(IDCANCEL)),
                  instance, nullptr);
    UpdateWindow(parent);
    pump_messages();

    std::printf("bench_buttons: %d x %d owner-drawn buttons, median of %d rounds of %.2f s each\n",
                BUTTON_WIDTH, BUTTON_HEIGHT, ROUNDS, SECONDS_PER_MEASUREMENT);

    struct Button {
        int id;
        const char* name;
    } buttons[] = {{IDOK, "Conferma"}, {IDCANCEL, "Annulla"}};
    struct Look {
        ButtonLook look;
        const char* name;
    } looks[] = {{LOOK_NORMAL, "normal"}, {LOOK_PRESSED, "pressed"}, {LOOK_FOCUSED, "focused"},
                 {LOOK_DISABLED, "disabled"}};
    constexpr int TARGETS = 1 + 2 * 4; // the baseline first, then every button and look
    double rounds[TARGETS][ROUNDS];
    for (int r = 0; r < ROUNDS; ++r) {
        rounds[0][r] = rate(bare_transfer, Target{instance, parent, IDOK, LOOK_NORMAL}, SECONDS_PER_MEASUREMENT);
        for (int b = 0; b < 2; ++b)
            for (int l = 0; l < 4; ++l)
                rounds[1 + b * 4 + l][r] =
                    rate(paint, Target{instance, parent, buttons[b].id, looks[l].look}, SECONDS_PER_MEASUREMENT);
    }
    double medians[TARGETS];
    for (int t = 0; t < TARGETS; ++t) {
        std::sort(rounds[t], rounds[t] + ROUNDS);
        medians[t] = rounds[t][ROUNDS / 2];
    }
    double baseline = medians[0];
    std::printf("baseline (window DC, off-screen bitmap and DC, one copy, clean-up; nothing drawn):\n"
                "  %.0f /s (rounds from %.0f to %.0f)\n",
                baseline, rounds[0][0], rounds[0][ROUNDS - 1]);
    std::printf("%-10s %-9s %10s %18s %16s\n", "button", "look", "paints/s", "ratio to baseline",
                "cost x baseline");
    for (int b = 0; b < 2; ++b)
        for (int l = 0; l < 4; ++l) {
            double paints = medians[1 + b * 4 + l];
            std::printf("%-10s %-9s %10.0f %18.3f %16.1f\n", buttons[b].name, looks[l].name, paints,
                        paints / baseline, baseline / paints);
        }

    DestroyWindow(parent);
    pump_messages();
    return 0;
}
