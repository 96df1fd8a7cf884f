// How long setup.exe takes to show its dialog, against a minimal program that shows the same
// dialog template with a do-nothing dialog procedure, all started alike, at 100, 125, 150 and
// 200%. The ratio is what setup.exe adds to what any program pays for that dialog. The same
// minimal program with an empty dialog of the same size and font is timed too, for the cost of
// the controls themselves. Wine reads the DPI from the registry when each process starts; the
// bench sets it before each start and puts 96 back at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "paint_rate.h"

namespace {

void set_display_dpi(DWORD dpi)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

BOOL CALLBACK find_visible(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Seconds from the start of `exe` to its first visible window; the process is ended then.
double seconds_to_window(const std::string& exe, const char* arguments = "")
{
    std::string line = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = now_seconds();
    if (!CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    bool shown = false;
    double elapsed = 0;
    while (!shown && (elapsed = now_seconds() - start) < 20) {
        EnumThreadWindows(process.dwThreadId, find_visible, reinterpret_cast<LPARAM>(&shown));
        if (!shown)
            Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    // The ended program's windows are torn down for a while after it has gone; a start in
    // that time is slowed by some tens of milliseconds.
    Sleep(200);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shown ? elapsed : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double fastest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

} // namespace

int main()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder.erase(folder.find_last_of('\\'));
    const std::string setup = folder + "\\..\\setup.exe", minimal = folder + "\\bench_minimal.exe";
    constexpr int ROUNDS = 30;
    seconds_to_window(minimal), seconds_to_window(minimal, "--empty"), seconds_to_window(setup); // the loader's caches
    std::printf("dialog open time against a minimal program showing the same dialog (%d starts each, alternating)\n",
                ROUNDS);
    int worst = 0;
    double worst_ratio = 0;
    for (DWORD dpi : {96u, 120u, 144u, 192u}) {
        set_display_dpi(dpi);
        std::vector<double> program, baseline, empty;
        for (int i = 0; i < ROUNDS; ++i) {
            baseline.push_back(seconds_to_window(minimal));
            empty.push_back(seconds_to_window(minimal, "--empty"));
            program.push_back(seconds_to_window(setup));
        }
        if (fastest(program) < 0 || fastest(baseline) < 0 || fastest(empty) < 0) {
            set_display_dpi(96);
            std::printf("  %3lu dpi: a program showed no window\n", dpi);
            return 1;
        }
        // Each start of setup.exe against the minimal program's start just before it, and the
        // median of those ratios: the machine's speed drifts for seconds at a time, which moves
        // the fastest start of each by a tenth from run to run.
        std::vector<double> ratios;
        for (int i = 0; i < ROUNDS; ++i)
            ratios.push_back(program[i] / baseline[i]);
        const double ratio = median(ratios);
        std::printf("  %3lu dpi: ratio %.2f; setup.exe %.0f ms, minimal %.0f ms (medians; fastest %.0f and %.0f);"
                    " empty dialog %.0f ms (fastest %.0f)\n",
                    dpi, ratio, median(program) * 1000, median(baseline) * 1000, fastest(program) * 1000,
                    fastest(baseline) * 1000, median(empty) * 1000, fastest(empty) * 1000);
        if (ratio > worst_ratio)
            worst_ratio = ratio, worst = int(dpi);
    }
    set_display_dpi(96);
    std::printf("worst ratio %.2f at %d dpi\n", worst_ratio, worst);
    return 0;
}
