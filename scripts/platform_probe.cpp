// Measures three limits of the platform that the list item painters rely on; built and run
// by scripts/probe-platform.sh. Not part of the kit: the kit keeps the results as constants.
//
//   platform_probe drawtext   which DrawText format flags, alone and in every combination,
//                             draw an item text without changing it, ending the process,
//                             hanging or drawing nothing
//   platform_probe fontheight the largest font height the font mapper and the rasteriser take
//   platform_probe listtext   how long an item text a list box and a combo box hand back,
//                             fetched as ANSI and as UTF-16
//
// Each flag combination runs in a child process, so that one the platform dies on is
// recorded and the probe goes on.
#include <windows.h>

#include <map>
#include <set>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The renderer's two formats that item flags are or-ed into: one line, and word-wrapped.
const UINT BASES[] = {DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, DT_WORDBREAK | DT_NOPREFIX};

struct Flag {
    UINT bit;
    const char* name;
};
const Flag FLAGS[] = {
    {DT_CENTER, "DT_CENTER"},           {DT_RIGHT, "DT_RIGHT"},
    {DT_VCENTER, "DT_VCENTER"},         {DT_BOTTOM, "DT_BOTTOM"},
    {DT_WORDBREAK, "DT_WORDBREAK"},     {DT_SINGLELINE, "DT_SINGLELINE"},
    {DT_EXPANDTABS, "DT_EXPANDTABS"},   {DT_TABSTOP, "DT_TABSTOP"},
    {DT_NOCLIP, "DT_NOCLIP"},           {DT_EXTERNALLEADING, "DT_EXTERNALLEADING"},
    {DT_CALCRECT, "DT_CALCRECT"},       {DT_NOPREFIX, "DT_NOPREFIX"},
    {DT_INTERNAL, "DT_INTERNAL"},       {DT_EDITCONTROL, "DT_EDITCONTROL"},
    {DT_PATH_ELLIPSIS, "DT_PATH_ELLIPSIS"}, {DT_END_ELLIPSIS, "DT_END_ELLIPSIS"},
    {DT_MODIFYSTRING, "DT_MODIFYSTRING"}, {DT_RTLREADING, "DT_RTLREADING"},
    {DT_WORD_ELLIPSIS, "DT_WORD_ELLIPSIS"}, {DT_NOFULLWIDTHCHARBREAK, "DT_NOFULLWIDTHCHARBREAK"},
    {DT_HIDEPREFIX, "DT_HIDEPREFIX"},   {DT_PREFIXONLY, "DT_PREFIXONLY"},
};

// Texts of the kinds items hold: short, too long for the rectangle (ellipses), a path,
// words to wrap, a prefix character, a tab, and one of several hundred bytes.
std::vector<std::string> sample_texts()
{
    return {"Client",
            "Installazione in corso del client VORAN sulla postazione di lavoro",
            "F:\\VORAN\\client\\programmi\\VORAN.EXE e altri file",
            "&Conferma\tla scelta",
            "a",
            std::string(60, 'W') + " " + std::string(60, 'i'),
            "parole brevi che vanno a capo parole brevi che vanno a capo parole brevi"};
}

// A 32-bit top-down DIB section of width by height selected into `dc`; its bits at *bits.
HBITMAP select_dib(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    SelectObject(dc, bitmap);
    return bitmap;
}

// Paints every sample with `format` into a small DIB, in a run of the item's width and in
// one of 4 pixels: 0 when every text was drawn (ink seen) and left byte for byte as it was,
// with the guard bytes after it untouched; else 0x10 (written) and 0x20 (nothing drawn).
int draw_with(UINT format)
{
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = select_dib(dc, 120, 20, &bits);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    int result = 0;
    for (const std::string& text : sample_texts()) {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.resize(text.size() + 64, '\x5A'); // terminator, then guard bytes
        buffer[text.size()] = '\0';
        const std::vector<char> before = buffer;
        std::memset(bits, 0xFF, 120 * 20 * 4);
        RECT rect = {5, 0, 115, 20};
        DrawTextA(dc, buffer.data(), -1, &rect, format);
        // A run squeezed against the item's edge: ellipses that cannot fit at all (a path
        // ellipsis together with an end or word ellipsis ends the process here under Wine).
        RECT squeezed = {5, 0, 9, 20};
        DrawTextA(dc, buffer.data(), -1, &squeezed, format);
        GdiFlush();
        bool ink = false;
        for (int i = 0; i < 120 * 20; ++i)
            ink = ink || (static_cast<DWORD*>(bits)[i] & 0xFFFFFF) != 0xFFFFFF;
        if (buffer != before)
            result |= 0x10; // the text or what follows it was written
        if (!ink)
            result |= 0x20; // nothing drawn
    }
    DeleteDC(dc);
    DeleteObject(bitmap);
    return result;
}

// Runs this program on `args` and returns its exit code; 0x100 for a child that had to be
// ended after `seconds`.
DWORD run_child(const std::string& args, DWORD seconds)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" " + args;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0x200;
    DWORD code = 0x100;
    if (WaitForSingleObject(process.hProcess, seconds * 1000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 0x100);
    else
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

std::string names(UINT flags)
{
    std::string out;
    for (const Flag& f : FLAGS)
        if (flags & f.bit)
            out += (out.empty() ? "" : "|") + std::string(f.name);
    return out.empty() ? "0" : out;
}

const char* verdict(DWORD code)
{
    if (code == 0)
        return "ok";
    // Apart from the exit codes of a process the platform ends (3 after a failed assertion).
    if (code == 0x10)
        return "writes into the text";
    if (code == 0x20)
        return "draws nothing";
    if (code == 0x30)
        return "writes into the text, draws nothing";
    if (code == 0x100)
        return "hangs";
    return "ends the process";
}

// Both of the renderer's formats with every combination of the flags in `kept`.
std::vector<UINT> combinations(UINT kept)
{
    std::vector<UINT> flag_bits;
    for (const Flag& f : FLAGS)
        if (kept & f.bit)
            flag_bits.push_back(f.bit);
    std::vector<UINT> formats;
    std::set<UINT> seen;
    for (UINT base : BASES)
        for (UINT n = 0; n < (1u << flag_bits.size()); ++n) {
            UINT flags = 0;
            for (size_t b = 0; b < flag_bits.size(); ++b)
                if (n & (1u << b))
                    flags |= flag_bits[b];
            if (seen.insert(base | flags).second)
                formats.push_back(base | flags);
        }
    return formats;
}

// The child of the combination run: draws with formats[from..], one result line each
// ("index code") appended to `results`; a format that ends the process leaves its index
// without a line, and the parent goes on after it.
int draw_many(const std::vector<UINT>& formats, size_t from, const char* results)
{
    FILE* file = std::fopen(results, "ab");
    for (size_t i = from; i < formats.size(); ++i) {
        std::fprintf(file, "%zu ", i);
        std::fflush(file);
        std::fprintf(file, "%d\n", draw_with(formats[i]));
    }
    std::fclose(file);
    return 0;
}

int probe_drawtext()
{
    std::printf("Each flag alone, with each of the renderer's formats (0x%X, 0x%X):\n", BASES[0], BASES[1]);
    UINT kept = 0;
    for (const Flag& f : FLAGS) {
        DWORD worst = 0;
        std::printf("  %-24s", f.name);
        for (UINT base : BASES) {
            const DWORD code = run_child("one " + std::to_string(base | f.bit), 20);
            std::printf(" with 0x%03X: %-22s", base, verdict(code));
            worst |= code;
        }
        std::printf("\n");
        if (worst == 0)
            kept |= f.bit;
    }
    for (int bit = 22; bit < 32; ++bit)
        for (UINT base : BASES)
            if (DWORD code = run_child("one " + std::to_string(base | (1u << bit)), 20))
                std::printf("  bit %d with 0x%03X: %s\n", bit, base, verdict(code));
    // Harmless alone, but excluded before trying: DT_MODIFYSTRING asks to write into the
    // text; DT_TABSTOP reads bits 8-15 as a tab width, so it cannot go with DT_NOPREFIX,
    // which both formats carry; DT_NOCLIP lets the text out of its rectangle.
    kept &= ~(DT_MODIFYSTRING | DT_TABSTOP | DT_NOCLIP);
    std::printf("Harmless alone: 0x%X = %s\n", kept, names(kept).c_str());
    std::printf("The flags left out, with one harmless flag (failures only):\n");
    for (UINT left_out : {DT_MODIFYSTRING, DT_TABSTOP, DT_NOCLIP})
        for (const Flag& f : FLAGS)
            for (UINT base : BASES)
                if ((kept & f.bit) != 0)
                    if (const DWORD code = run_child("one " + std::to_string(base | left_out | f.bit), 20))
                        std::printf("  0x%06X (%s): %s\n", base | left_out | f.bit, names(base | left_out | f.bit).c_str(), verdict(code));

    const std::vector<UINT> formats = combinations(kept);
    char results[MAX_PATH];
    GetTempPathA(MAX_PATH, results);
    std::strcat(results, "platform_probe_results.txt");
    DeleteFileA(results);
    std::printf("Every combination of them with each format: %zu formats\n", formats.size());
    const auto started = std::chrono::steady_clock::now();
    std::vector<int> outcome(formats.size(), -1);
    for (size_t from = 0; from < formats.size();) {
        const DWORD code = run_child("many " + std::to_string(kept) + " " + std::to_string(from) + " \"" + results + "\"", 3600);
        size_t last = from;
        FILE* file = std::fopen(results, "rb");
        size_t index = 0;
        int result = 0;
        while (file && std::fscanf(file, "%zu", &index) == 1) {
            last = index;
            if (std::fscanf(file, "%d", &result) == 1)
                outcome[index] = result;
        }
        if (file)
            std::fclose(file);
        if (code == 0 && outcome.back() >= 0)
            break;
        outcome[last] = static_cast<int>(code == 0x100 ? 0x100 : 0x200);  // ended or hung there
        from = last + 1;
    }
    // A failing format is reported when every format with one flag less passes.
    std::map<UINT, size_t> index_of;
    for (size_t i = 0; i < formats.size(); ++i)
        index_of[formats[i]] = i;
    int failing = 0;
    for (size_t i = 0; i < formats.size(); ++i) {
        if (outcome[i] <= 0)
            continue;
        ++failing;
        bool minimal = true;
        for (UINT bit = 1; bit != 0 && minimal; bit <<= 1) {
            const auto less = index_of.find(formats[i] & ~bit);
            minimal = !(formats[i] & bit) || less == index_of.end() || outcome[less->second] <= 0;
        }
        if (minimal)
            std::printf("  fails first at 0x%06X (%s): %s\n", formats[i], names(formats[i]).c_str(),
                        outcome[i] == 0x100 ? "hangs" : outcome[i] == 0x200 ? "ends the process" : verdict(outcome[i]));
    }
    std::printf("%d of %zu formats fail; %.0f s\n", failing, formats.size(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    DeleteFileA(results);
    return 0;
}

// A font of `height` (LOGFONT sign convention) as the renderer's double-height command makes
// it, selected into a DIB section and used for one line of text. 0 when it drew ink.
int font_with(LONG height)
{
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    std::strcpy(font.lfFaceName, "MS Sans Serif");
    HFONT created = CreateFontIndirectA(&font);
    if (created == nullptr)
        return 4;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = select_dib(dc, 200, 40, &bits);
    std::memset(bits, 0xFF, 200 * 40 * 4);
    HGDIOBJ previous = SelectObject(dc, created);
    TEXTMETRICA metrics{};
    const BOOL measured = GetTextMetricsA(dc, &metrics);
    RECT rect = {0, 0, 200, 40};
    // The widest glyphs: the rasteriser's buffers grow with width times height.
    const int drawn = DrawTextA(dc, "W@M", -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    GdiFlush();
    const bool ink = drawn > 0 && metrics.tmHeight >= (height < 0 ? -height : height) * 9 / 10;
    SelectObject(dc, previous);
    DeleteObject(created);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return (measured ? 0 : 1) | (ink ? 0 : 2);
}

int probe_fontheight()
{
    // Doubling from the list's 11 pixels, then the first height that fails, by bisection.
    for (LONG sign : {-1, 1}) {
        LONG good = 11;
        LONG bad = 0;
        double good_seconds = 0;
        for (LONG h = 11; h > 0 && h <= (1L << 30); h *= 2) {
            const auto started = std::chrono::steady_clock::now();
            const DWORD code = run_child("font " + std::to_string(sign * h), 90);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            std::printf("  height %11ld: %-16s %.2f s\n", sign * h, code == 0 ? "ok" : code == 0x100 ? "hangs" : code < 8 ? "draws nothing" : "ends the process", seconds);
            if (code != 0) {
                bad = h;
                break;
            }
            good = h;
            good_seconds = seconds;
        }
        while (bad != 0 && bad - good > good / 64) { // to within 2 %
            const LONG mid = good + (bad - good) / 2;
            (run_child("font " + std::to_string(sign * mid), 90) == 0 ? good : bad) = mid;
        }
        std::printf("lfHeight %s: largest that draws %ld (%.2f s at the last doubling), first that fails %ld\n",
                    sign < 0 ? "negative (character height)" : "positive (cell height)", sign * good,
                    good_seconds, sign * bad);
    }
    return 0;
}

// Adds a text of `length` bytes (0x82 0x83 0x86 among them) to a list box (`box` 0) or a
// combo box (1) and fetches it back as ANSI (`wide` 0) or as UTF-16 converted to the ANSI
// code page (1). 0 when the same bytes come back; 1 when not.
int fetch_with(size_t length, int box, int wide)
{
    HWND window = box ? CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                        0, 0, 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)
                      : CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0, 100, 100,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    const UINT add = box ? CB_ADDSTRING : LB_ADDSTRING;
    const UINT get_length = box ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, get = box ? CB_GETLBTEXT : LB_GETTEXT;
    std::string text(length, 'a');
    for (size_t i = 0; i < length; i += 7)
        text[i] = "\x82\x83\x86@X"[i % 5];
    SendMessageA(window, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
    std::vector<char> back(length + 16, '\x5A');
    LRESULT got = 0;
    if (wide) {
        std::vector<wchar_t> utf16(static_cast<size_t>(SendMessageW(window, get_length, 0, 0)) + 1, L'\x5A');
        got = SendMessageW(window, get, 0, reinterpret_cast<LPARAM>(utf16.data()));
        got = got < 0 ? got : WideCharToMultiByte(CP_ACP, 0, utf16.data(), static_cast<int>(got), back.data(),
                                                  static_cast<int>(back.size()), nullptr, nullptr);
    } else {
        got = SendMessageA(window, get, 0, reinterpret_cast<LPARAM>(back.data()));
    }
    return got == static_cast<LRESULT>(length) && std::memcmp(back.data(), text.data(), length) == 0 ? 0 : 1;
}

int probe_listtext()
{
    std::printf("ANSI code page %u; each fetch in a process of its own\n", GetACP());
    for (size_t length : {511u, 512u, 513u, 1024u, 1025u, 4096u, 65536u, 300000u})
        for (int box = 0; box < 2; ++box) {
            std::printf("  %-6s %6zu bytes:", box ? "combo" : "list", length);
            for (int wide = 0; wide < 2; ++wide) {
                const DWORD code = run_child("fetch " + std::to_string(length) + " " + std::to_string(box) + " " +
                                             std::to_string(wide), 15);
                std::printf(" %s %s;", wide ? "UTF-16" : "ANSI", code == 0 ? "whole" : code == 1 ? "NOT whole" : verdict(code));
            }
            std::printf("\n");
        }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each finding as soon as it is known
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "one" && argc > 2)
        return draw_with(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
    if (mode == "many" && argc > 4)
        return draw_many(combinations(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10))),
                         std::strtoul(argv[3], nullptr, 10), argv[4]);
    if (mode == "fetch" && argc > 4)
        return fetch_with(std::strtoul(argv[2], nullptr, 10), std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "font" && argc > 2)
        return font_with(std::strtol(argv[2], nullptr, 10));
    if (mode == "drawtext")
        return probe_drawtext();
    if (mode == "fontheight")
        return probe_fontheight();
    if (mode == "listtext")
        return probe_listtext();
    std::fprintf(stderr, "usage: platform_probe drawtext|fontheight|listtext\n");
    return 2;
}
