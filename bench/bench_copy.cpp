// Copy throughput of copy_one_file against the platform's CopyFile on the same files (bare,
// and followed by a flush of its target, as copy_one_file flushes its own), and a
// whole installation run against a plain CopyFile of the same nine files. Each figure is a
// ratio to a baseline measured in the same run, so the machine's speed cancels out.
//
//   bench_copy [folder] [--quick]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "setup/app.h"
#include "setup/file_copy.h"
#include "setup/installation.h"
#include "setup/resource_ids.h"
#include "setup/setup_dialog.h"

namespace {

using Clock = std::chrono::steady_clock;

bool write_pattern(const std::string& path, unsigned long long size)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>((i * 2654435761u) >> 13);
    bool ok = true;
    for (unsigned long long left = size; left > 0 && ok;) {
        const DWORD n = static_cast<DWORD>(std::min<unsigned long long>(left, chunk.size()));
        DWORD written = 0;
        ok = WriteFile(h, chunk.data(), n, &written, nullptr) && written == n;
        left -= n;
    }
    // On the disk before anything is timed: a journaling file system may write a file's
    // pending data as part of the next flush of another file, which would charge it to
    // whichever contender flushes first.
    ok = ok && FlushFileBuffers(h);
    CloseHandle(h);
    return ok;
}

double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Best of `rounds`, alternating the two contenders so that cache warmth favours neither.
// `settle` runs untimed after each contender.
template <typename A, typename B, typename S>
void best_of(int rounds, A a, B b, double* best_a, double* best_b, S settle)
{
    *best_a = *best_b = 1e30;
    for (int r = 0; r < rounds; ++r) {
        auto t = Clock::now();
        a();
        *best_a = std::min(*best_a, seconds_since(t));
        settle();
        t = Clock::now();
        b();
        *best_b = std::min(*best_b, seconds_since(t));
        settle();
    }
}

template <typename A, typename B>
void best_of(int rounds, A a, B b, double* best_a, double* best_b)
{
    best_of(rounds, a, b, best_a, best_b, [] {});
}

// CopyFile, then its target written to the disk as copy_one_file writes its own: the same
// promise, so the difference is the copy loop alone.
bool copy_file_flushed(const std::string& source, const std::string& target)
{
    return CopyFileA(source.c_str(), target.c_str(), FALSE) && flush_file(target.c_str()) == 0;
}

void bench_file_sizes(const std::string& dir, bool quick)
{
    std::printf("copy_one_file (flushed before its target takes its name) against CopyFile, and against\n"
                "CopyFile followed by a flush of its target (best of several rounds, same files)\n");
    std::printf("%10s %14s %14s %8s %16s %8s\n", "size", "copy_one_file", "CopyFile", "ratio", "CopyFile+flush",
                "ratio");
    const unsigned long long mib = 1024ull * 1024ull;
    std::vector<unsigned long long> sizes = {1 * mib, 64 * mib, 512 * mib};
    if (quick)
        sizes = {1 * mib, 16 * mib};
    for (unsigned long long size : sizes) {
        const std::string source = dir + "\\source.bin";
        const std::string ours = dir + "\\ours.bin";
        const std::string theirs = dir + "\\theirs.bin";
        if (!write_pattern(source, size)) {
            std::printf("cannot write %llu MiB in %s\n", size / mib, dir.c_str());
            return;
        }
        const int rounds = size >= 32 * mib ? 5 : 20;
        double t_ours = 0, t_theirs = 0, t_ours_again = 0, t_flushed = 0;
        int failures = 0;
        best_of(
            rounds, [&] { failures += copy_one_file(source.c_str(), ours.c_str()) != 0; },
            [&] { failures += !CopyFileA(source.c_str(), theirs.c_str(), FALSE); }, &t_ours, &t_theirs,
            // untimed: a bare CopyFile leaves its target in the cache, and the next
            // contender's flush must not pay for it
            [&] { flush_file(theirs.c_str()); });
        best_of(
            rounds, [&] { failures += copy_one_file(source.c_str(), ours.c_str()) != 0; },
            [&] { failures += !copy_file_flushed(source, theirs); }, &t_ours_again, &t_flushed);
        const double mb = static_cast<double>(size) / mib;
        std::printf("%7llu MiB %9.0f MiB/s %9.0f MiB/s %8.2f %11.0f MiB/s %8.2f%s\n", size / mib, mb / t_ours,
                    mb / t_theirs, t_theirs / t_ours, mb / t_flushed, t_flushed / t_ours_again,
                    failures ? "  (copies failed!)" : "");
        DeleteFileA(source.c_str());
        DeleteFileA(ours.c_str());
        DeleteFileA(theirs.c_str());
    }
}

const char* const client_files[] = {"VORAN.INI", "IM31BMP.DIL", "IM31JPG.DIL", "IMGMAN31.DLL", "IMAGE2PDF.DLL",
                                    "VORAN.EXE", "VORAN.HLP", "VORAN.CHM", "IDE21201.VXD"};
// Sizes of a realistic client, in KiB.
const unsigned client_sizes_kib[] = {4, 900, 1100, 2400, 3100, 9800, 1500, 2600, 40};

// Answers the success message as soon as it appears, so that only the work is timed.
LRESULT CALLBACK close_message_boxes(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_ACTIVATE) {
        HWND wnd = reinterpret_cast<HWND>(wparam);
        if (GetDlgItem(wnd, 0xFFFF) != nullptr)
            PostMessageA(wnd, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void remove_client(const std::string& client)
{
    // A completed run may leave the process in the folder, and the current directory
    // cannot be removed.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
    for (const char* name : client_files)
        DeleteFileA((client + "\\" + name).c_str());
    RemoveDirectoryA(client.c_str());
}

void bench_installation(const std::string& dir, bool quick)
{
    const std::string main = dir + "\\main";
    CreateDirectoryA(main.c_str(), nullptr);
    write_pattern(main + "\\VORAN6.KEY", 16);
    unsigned long long total = 0;
    for (size_t i = 0; i < 9; ++i) {
        write_pattern(main + "\\" + client_files[i], client_sizes_kib[i] * 1024ull);
        total += client_sizes_kib[i] * 1024ull;
    }
    const std::string client = dir + "\\CLIENT";
    const std::string plain = dir + "\\PLAIN";

    HWND dialog = CreateDialogParamA(app_instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, setup_dialog_proc, 0);
    if (dialog == nullptr) {
        std::printf("cannot open the dialog\n");
        return;
    }
    ShowWindow(dialog, SW_HIDE);
    HHOOK hook = SetWindowsHookExA(WH_CBT, close_message_boxes, nullptr, GetCurrentThreadId());

    int failures = 0;
    double t_install = 0, t_plain = 0;
    best_of(
        quick ? 3 : 10,
        [&] {
            remove_client(client);
            SetDlgItemTextA(dialog, IDC_MAIN_PATH, main.c_str());
            SetDlgItemTextA(dialog, IDC_CLIENT_PATH, client.c_str());
            failures += !run_installation(dialog);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            }
        },
        [&] {
            remove_client(plain);
            CreateDirectoryA(plain.c_str(), nullptr);
            for (const char* name : client_files)
                failures += !CopyFileA((main + "\\" + name).c_str(), (plain + "\\" + name).c_str(), FALSE);
        },
        &t_install, &t_plain);

    UnhookWindowsHookEx(hook);
    DestroyWindow(dialog);
    remove_client(client);
    remove_client(plain);
    std::printf("\nwhole installation of nine files (%.1f MiB) against CopyFile of the same files\n",
                static_cast<double>(total) / (1024.0 * 1024.0));
    std::printf("  installation %.1f ms, plain copy %.1f ms, ratio (plain/installation) %.2f%s\n", t_install * 1e3,
                t_plain * 1e3, t_plain / t_install, failures ? "  (runs failed!)" : "");
}

} // namespace

int main(int argc, char** argv)
{
    app_instance = GetModuleHandleA(nullptr);
    bool quick = false;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else
            dir = argv[i];
    }
    if (dir.empty()) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "bench-copy";
    }
    CreateDirectoryA(dir.c_str(), nullptr);
    std::printf("working folder %s\n\n", dir.c_str());
    bench_file_sizes(dir, quick);
    bench_installation(dir, quick);
    return 0;
}
