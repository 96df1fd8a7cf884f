// markup-preview: paints item texts as an owner-drawn list box shows them, through the
// real list item frame and mark-up renderer, into a BMP or PNG file. For people who write
// item mark-up; see the README's "Item mark-up" section for the options.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "owndraw/markup/markup.h"
#include "owndraw/markup/syntax.h"
#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/frame/list_item.h"
#include "owndraw/primitives/dpi.h"
#include "owndraw/primitives/text.h"
#include "tools/image_file.h"
#include "tools/markup_check.h"

#ifndef MARKUP_PREVIEW_VERSION
#define MARKUP_PREVIEW_VERSION "unknown" // the build passes the project's version
#endif

using namespace owndraw;

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_INPUT_OUTPUT = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_WARNINGS = 3; // --check --strict found mistakes

constexpr int CANVAS_MAX = 8192;  // per side; a 32-bit canvas of 8192 x 8192 is 256 MiB
constexpr int COLUMNS_MAX = 256;
constexpr int FONT_POINTS_MAX = 200;
constexpr double SCALE_MAX = 64.0;
// --dpi: from half of 96 dots per inch to eight times.
constexpr int DPI_MIN = 48, DPI_MAX = 768;

const char USAGE[] =
    "usage: markup-preview --out FILE.bmp|FILE.png (--text TEXT | --text-file FILE | --list FILE) [options]";
const char HELP[] =
    "Paints item texts as an owner-drawn list box shows them, into a BMP or PNG file.\n"
    "In TEXT and in the rows of --list, \\xHH is the byte HH and \\\\ a backslash.\n"
    "\n"
    "  --out FILE            the image to write, .bmp or .png\n"
    "  --text TEXT           the item text\n"
    "  --text-file FILE      the item text as raw bytes, up to the end of the file or a NUL\n"
    "  --list FILE           one item text per line: a real list box of rows in a window\n"
    "  --width N             the item's width in pixels (default 400)\n"
    "  --height N            the item's height in pixels, the row height of --list (default 20)\n"
    "  --left N              where the item lies on the canvas (default 0)\n"
    "  --top N               where the item lies on the canvas (default 0)\n"
    "  --canvas W,H          the canvas size (default left+width by top+height)\n"
    "  --item N              the itemID (default 0; -1: an empty list)\n"
    "  --selected            the item state has ODS_SELECTED\n"
    "  --focus               the item state has ODS_FOCUS\n"
    "  --action A            itemAction: draw, select, focus or a number (default draw)\n"
    "  --scale F             the renderer's scale factor (default 1.0)\n"
    "  --dpi N               paint as a list at N dots per inch: scale N/96, the font at N\n"
    "  --columns S:W,...     the column table, column 0 first (default: none)\n"
    "  --font FACE,POINTS    the item's font (default \"MS Sans Serif\",8)\n"
    "  --resources FILE      the module whose bitmaps the commands load (default: this tool)\n"
    "  --select N            with --list: select row N and give the list the focus\n"
    "  --check               print the commands as the interpreter reads them, a line\n"
    "                        \"text: \" with what a person sees, then a line\n"
    "                        \"warning: OFFSET: MESSAGE\" for each mistake (--out optional)\n"
    "  --strict              with --check: exit with 3 when there is any warning\n"
    "  --show                keep the list box open in a window until it is closed\n"
    "  -h, --help            print this text and stop\n"
    "  --version             print the version and stop\n"
    "\n"
    "Exit codes: 0 done, 1 an input or output error, 2 bad usage, 3 warnings with --strict.\n";

// How a run ends: an exit code and, unless it is EXIT_DONE, the line for stderr.
struct Outcome {
    int code = EXIT_DONE;
    std::string message;
    bool failed() const { return code != EXIT_DONE; }
};
Outcome usage_error(const std::string& message) { return {EXIT_USAGE, message}; }
Outcome input_output_error(const std::string& message) { return {EXIT_INPUT_OUTPUT, message}; }

enum class Source { none, text, text_file, list };

struct Options {
    std::string out;
    Source source = Source::none;
    std::string source_argument;
    int width = 400;
    int height = 20;
    int left = 0;
    int top = 0;
    int canvas_width = 0;  // 0: left + width
    int canvas_height = 0; // 0: top + height
    UINT item_id = 0;
    UINT action = ODA_DRAWENTIRE;
    bool selected = false;
    bool focus = false;
    double scale = 1.0;
    UINT dpi = 0; // 0: the list's own; otherwise painted as at that many dots per inch
    std::vector<int32_t> column_starts;
    std::vector<int32_t> column_widths;
    std::string font_face = "MS Sans Serif";
    int font_points = 8;
    std::string resources;
    int select = -1;
    bool check = false;
    bool strict = false;
    bool help = false;
    bool version = false;
    bool show = false;
    std::string single_item_option; // the first option given that only a single item takes
};

// ---- Reading the command line ----------------------------------------------------------

bool parse_integer(const std::string& text, long long low, long long high, long long* value)
{
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9')))
        return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

bool parse_int(const std::string& text, int low, int high, int* value)
{
    long long parsed = 0;
    if (!parse_integer(text, low, high, &parsed))
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

std::string range_text(long long low, long long high)
{
    return "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
}

// "A,B" into two parts at the first comma (or the given separator).
bool split_pair(const std::string& text, char separator, std::string* first, std::string* second)
{
    const size_t at = text.find(separator);
    if (at == std::string::npos)
        return false;
    *first = text.substr(0, at);
    *second = text.substr(at + 1);
    return true;
}

// \xHH stands for the byte HH and \\ for a backslash; any other backslash is an error, and
// so is \x00, which would end the text early.
bool unescape(const std::string& text, std::string* bytes, std::string* error)
{
    bytes->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            *bytes += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            *bytes += '\\';
            ++i;
            continue;
        }
        const bool hex = i + 3 < text.size() && text[i + 1] == 'x' &&
                         std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                         std::isxdigit(static_cast<unsigned char>(text[i + 3]));
        if (!hex) {
            *error = "bad escape \"" + text.substr(i, 4) + "\" at byte " + std::to_string(i + 1) +
                     " (write \\xHH or \\\\)";
            return false;
        }
        const char byte = static_cast<char>(std::strtoul(text.substr(i + 2, 2).c_str(), nullptr, 16));
        if (byte == '\0') {
            *error = "\\x00 at byte " + std::to_string(i + 1) + " would end the text";
            return false;
        }
        *bytes += byte;
        i += 3;
    }
    return true;
}

Outcome parse_columns(const std::string& text, Options* options)
{
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find(',', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string start_text;
        std::string width_text;
        int start = 0;
        int width = 0;
        if (!split_pair(text.substr(begin, end - begin), ':', &start_text, &width_text) ||
            !parse_int(start_text, -CANVAS_MAX, CANVAS_MAX, &start) ||
            !parse_int(width_text, 0, CANVAS_MAX, &width))
            return usage_error("--columns: \"" + text + "\" is not a list of START:WIDTH pairs");
        if (options->column_starts.size() >= COLUMNS_MAX)
            return usage_error("--columns: more than " + std::to_string(COLUMNS_MAX) + " columns");
        options->column_starts.push_back(start);
        options->column_widths.push_back(width);
        begin = end + 1;
    }
    return {};
}

Outcome parse_action(const std::string& text, UINT* action)
{
    long long number = 0;
    if (text == "draw")
        *action = ODA_DRAWENTIRE;
    else if (text == "select")
        *action = ODA_SELECT;
    else if (text == "focus")
        *action = ODA_FOCUS;
    else if (parse_integer(text, 0, UINT32_MAX, &number))
        *action = static_cast<UINT>(number);
    else
        return usage_error("--action: \"" + text + "\" is not draw, select, focus or a number");
    return {};
}

Outcome parse_font(const std::string& text, Options* options)
{
    std::string face;
    std::string points;
    if (!split_pair(text, ',', &face, &points) || face.empty() || face.size() >= LF_FACESIZE ||
        !parse_int(points, 1, FONT_POINTS_MAX, &options->font_points))
        return usage_error("--font: \"" + text + "\" is not FACE,POINTS (a face of 1 to " +
                           std::to_string(LF_FACESIZE - 1) + " characters, " +
                           range_text(1, FONT_POINTS_MAX) + " points)");
    options->font_face = face;
    return {};
}

Outcome set_source(Options* options, Source source, const std::string& name, const std::string& value)
{
    if (options->source != Source::none)
        return usage_error(name + ": give only one of --text, --text-file and --list");
    options->source = source;
    options->source_argument = value;
    return {};
}

// One option with its value (empty for a flag).
Outcome apply_option(const std::string& name, const std::string& value, Options* o)
{
    const std::string number_error = name + ": \"" + value + "\" is not ";
    if (name == "--out") {
        if (image_kind(value) == ImageKind::none)
            return usage_error("--out: \"" + value + "\" does not end in .bmp or .png");
        o->out = value;
    } else if (name == "--text") {
        return set_source(o, Source::text, name, value);
    } else if (name == "--text-file") {
        return set_source(o, Source::text_file, name, value);
    } else if (name == "--list") {
        return set_source(o, Source::list, name, value);
    } else if (name == "--width" || name == "--height") {
        if (!parse_int(value, 1, CANVAS_MAX, name == "--width" ? &o->width : &o->height))
            return usage_error(number_error + range_text(1, CANVAS_MAX));
    } else if (name == "--left" || name == "--top") {
        if (!parse_int(value, -CANVAS_MAX, CANVAS_MAX, name == "--left" ? &o->left : &o->top))
            return usage_error(number_error + range_text(-CANVAS_MAX, CANVAS_MAX));
    } else if (name == "--canvas") {
        std::string w;
        std::string h;
        if (!split_pair(value, ',', &w, &h) || !parse_int(w, 1, CANVAS_MAX, &o->canvas_width) ||
            !parse_int(h, 1, CANVAS_MAX, &o->canvas_height))
            return usage_error(number_error + "W,H, each " + range_text(1, CANVAS_MAX));
    } else if (name == "--item") {
        long long id = 0;
        if (!parse_integer(value, -1, UINT32_MAX, &id))
            return usage_error(number_error + range_text(-1, UINT32_MAX));
        o->item_id = static_cast<UINT>(id);
    } else if (name == "--action") {
        return parse_action(value, &o->action);
    } else if (name == "--scale") {
        char* end = nullptr;
        o->scale = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !std::isfinite(o->scale) || o->scale <= 0 || o->scale > SCALE_MAX)
            return usage_error(number_error + "a number above 0 and at most " + std::to_string(static_cast<int>(SCALE_MAX)));
    } else if (name == "--dpi") {
        int dpi = 0;
        if (!parse_int(value, DPI_MIN, DPI_MAX, &dpi))
            return usage_error(number_error + range_text(DPI_MIN, DPI_MAX));
        o->dpi = static_cast<UINT>(dpi);
    } else if (name == "--columns") {
        return parse_columns(value, o);
    } else if (name == "--font") {
        return parse_font(value, o);
    } else if (name == "--resources") {
        o->resources = value;
    } else if (name == "--select") {
        if (!parse_int(value, 0, 0xFFFF, &o->select))
            return usage_error(number_error + range_text(0, 0xFFFF));
    } else if (name == "--selected") {
        o->selected = true;
    } else if (name == "--focus") {
        o->focus = true;
    } else if (name == "--check") {
        o->check = true;
    } else if (name == "--strict") {
        o->strict = true;
    } else if (name == "--help" || name == "-h") {
        o->help = true;
    } else if (name == "--version") {
        o->version = true;
    } else if (name == "--show") {
        o->show = true;
    }
    return {};
}

bool is_flag(const std::string& name)
{
    return name == "--selected" || name == "--focus" || name == "--check" || name == "--show" ||
           name == "--strict" || name == "--help" || name == "-h" || name == "--version";
}

bool is_option_with_value(const std::string& name)
{
    static const char* const names[] = {"--out",   "--text",  "--text-file", "--list",   "--width",
                                        "--height", "--left", "--top",       "--canvas", "--item",
                                        "--action", "--scale", "--columns",  "--font",   "--resources",
                                        "--select", "--dpi"};
    for (const char* known : names)
        if (name == known)
            return true;
    return false;
}

// Options that describe the single painted item and mean nothing for a list box of rows.
bool is_single_item_option(const std::string& name)
{
    static const char* const names[] = {"--left",  "--top",    "--canvas", "--item",
                                        "--action", "--scale", "--selected", "--focus", "--dpi"};
    for (const char* known : names)
        if (name == known)
            return true;
    return false;
}

Outcome parse_options(int argc, char** argv, Options* options)
{
    if (argc < 2)
        return usage_error(USAGE);
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        std::string value;
        if (is_option_with_value(name)) {
            if (i + 1 >= argc)
                return usage_error(name + " needs a value");
            value = argv[++i];
        } else if (!is_flag(name)) {
            return usage_error("unknown option \"" + name + "\"");
        }
        if (is_single_item_option(name) && options->single_item_option.empty())
            options->single_item_option = name;
        if (Outcome outcome = apply_option(name, value, options); outcome.failed())
            return outcome;
    }
    if (options->help || options->version)
        return {}; // nothing else is needed, nor read
    if (options->source == Source::none)
        return usage_error("give one of --text, --text-file and --list");
    if (options->strict && !options->check)
        return usage_error("--strict goes with --check");
    if (options->out.empty() && !options->check && !options->show)
        return usage_error("--out is missing (only --check and --show go without it)");
    if (options->source == Source::list && !options->single_item_option.empty())
        return usage_error(options->single_item_option + " describes a single item; --list shows rows");
    if (options->dpi != 0 && options->scale != 1.0)
        return usage_error("--dpi sets the scale: give --dpi or --scale");
    if (options->source != Source::list && options->select >= 0)
        return usage_error("--select chooses a row of --list");
    const long long width = options->canvas_width ? options->canvas_width : 1LL * options->left + options->width;
    const long long height = options->canvas_height ? options->canvas_height : 1LL * options->top + options->height;
    if (width < 1 || height < 1 || width > CANVAS_MAX || height > CANVAS_MAX)
        return usage_error("the canvas would be " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels; give --canvas W,H, each " + range_text(1, CANVAS_MAX));
    options->canvas_width = static_cast<int>(width);
    options->canvas_height = static_cast<int>(height);
    return {};
}

// ---- Reading the item texts --------------------------------------------------------------

bool read_whole_file(const std::string& path, std::string* bytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    bytes->clear();
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

Outcome read_texts(const Options& options, std::vector<std::string>* texts)
{
    std::string bytes;
    std::string error;
    if (options.source == Source::text) {
        texts->emplace_back();
        if (!unescape(options.source_argument, &texts->back(), &error))
            return usage_error("--text: " + error);
        return {};
    }
    const char* option = options.source == Source::list ? "--list: " : "--text-file: ";
    if (!read_whole_file(options.source_argument, &bytes))
        return input_output_error(option + options.source_argument + ": cannot read the file (" +
                                  std::strerror(errno) + ")");
    if (options.source == Source::text_file) {
        texts->push_back(bytes.substr(0, bytes.find('\0')));
        return {};
    }
    size_t begin = 0;
    for (int line = 1; begin < bytes.size(); ++line) {
        size_t end = bytes.find('\n', begin);
        if (end == std::string::npos)
            end = bytes.size();
        std::string row = bytes.substr(begin, end - begin);
        if (!row.empty() && row.back() == '\r')
            row.pop_back();
        texts->emplace_back();
        if (!unescape(row, &texts->back(), &error))
            return input_output_error(option + options.source_argument + ":" + std::to_string(line) + ": " + error);
        begin = end + 1;
    }
    if (texts->empty())
        return input_output_error(option + options.source_argument + ": the list has no rows");
    if (options.select >= static_cast<int>(texts->size()))
        return usage_error("--select " + std::to_string(options.select) + ": the list has " +
                           std::to_string(texts->size()) + " rows");
    return {};
}

// ---- Painting ---------------------------------------------------------------------------

// What the painting needs besides the texts.
struct Painting {
    HINSTANCE resources = nullptr;
    ColumnTable columns{};
    const ColumnTable* column_table = nullptr;
    HFONT font = nullptr;
    int row_height = 20;
};
Painting painting; // read by the list window's procedure too

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
};

// A 32-bit top-down DIB section, white, selected into a memory DC.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h), bitmap(create(w, h, &bits)), selected(dc.get(), bitmap.get())
    {
        if (bits != nullptr)
            std::fill(bits, bits + static_cast<size_t>(w) * h, 0xFFFFFFu);
    }
    static HBITMAP create(int w, int h, uint32_t** bits)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* data = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &data, nullptr, 0);
        *bits = bitmap ? static_cast<uint32_t*>(data) : nullptr;
        return bitmap;
    }
    bool ready() const { return dc && bits != nullptr; }
    Image image() const
    {
        GdiFlush();
        Image out{width, height, {}};
        out.pixels.resize(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < out.pixels.size(); ++i)
            out.pixels[i] = bits[i] & 0xFFFFFFu;
        return out;
    }

    int width;
    int height;
    uint32_t* bits = nullptr;
    guard::MemoryDC dc{nullptr};
    guard::Bitmap bitmap;
    guard::Select selected;
};

// The list box whose text the frame fetches with LB_GETTEXT, holding `text` at index
// item_id & 0xFFFF with empty items before it; item_id -1 leaves it empty.
HWND hidden_list_box(const std::string& text, UINT item_id)
{
    HWND parent = CreateWindowExA(0, "STATIC", "markup-preview", WS_POPUP, 0, 0, 600, 400, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND box = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0,
                               500, 300, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (box != nullptr && item_id != static_cast<UINT>(-1)) {
        const UINT index = item_id & 0xFFFF;
        for (UINT i = 0; i < index; ++i)
            SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return box;
}

Outcome render_item(const Options& o, const std::string& text, Image* image)
{
    Canvas canvas(o.canvas_width, o.canvas_height);
    if (!canvas.ready())
        return input_output_error("cannot create a canvas of " + std::to_string(o.canvas_width) + " x " +
                                  std::to_string(o.canvas_height) + " pixels");
    HWND box = hidden_list_box(text, o.item_id);
    if (box == nullptr)
        return input_output_error("cannot create the list box");
    HDC dc = canvas.dc.get();
    guard::Select font(dc, painting.font);

    DRAWITEMSTRUCT request{};
    request.CtlType = ODT_LISTBOX;
    request.itemID = o.item_id;
    request.itemAction = o.action;
    request.itemState = (o.selected ? ODS_SELECTED : 0) | (o.focus ? ODS_FOCUS : 0);
    request.hwndItem = box;
    request.hDC = dc;
    request.rcItem = {o.left, o.top, o.left + o.width, o.top + o.height};
    // The frame calls the renderer with the scale of the list's window. For another DPI, or
    // a scale of its own, fill and colour as the frame does, then call the renderer with it.
    if (o.dpi != 0 ? o.dpi == window_dpi(box, dc) : o.scale == 1.0) {
        draw_list_item(painting.resources, &request, painting.column_table);
    } else {
        fill_list_item(&request);
        draw_item_markup(painting.resources, &request, text.c_str(), painting.column_table,
                         o.dpi != 0 ? o.dpi / 96.0 : o.scale);
    }
    *image = canvas.image();
    DestroyWindow(GetParent(box));
    return {};
}

LRESULT CALLBACK list_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = static_cast<UINT>(painting.row_height);
        return TRUE;
    case WM_DRAWITEM:
        return draw_list_item(painting.resources, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam),
                              painting.column_table);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

void pump_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A window on the screen whose client area is exactly a list box of `texts`, one row
// each; `select` (>= 0) is the selected row, and the list box then has the focus.
Outcome open_list_window(const Options& o, const std::vector<std::string>& texts, HWND* frame, HWND* box)
{
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = list_window_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = "MarkupPreview";
    RegisterClassA(&window_class);

    // A window taller than the screen is cut to it, and the rows below would not show.
    const long long list_height = 1LL * o.height * static_cast<long long>(texts.size());
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    RECT outer = {0, 0, o.width, static_cast<LONG>(list_height <= screen_height ? list_height : 0)};
    AdjustWindowRect(&outer, style, FALSE);
    if (list_height > screen_height || outer.bottom - outer.top > screen_height)
        return input_output_error("--list: " + std::to_string(texts.size()) + " rows of " +
                                  std::to_string(o.height) + " pixels do not fit the screen (" +
                                  std::to_string(screen_height) + " pixels high)");
    // Topmost at the screen's top left corner, so that nothing covers the rows.
    *frame = CreateWindowExA(WS_EX_TOPMOST, "MarkupPreview", "markup-preview", style, 0, 0,
                             outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    *box = *frame ? CreateWindowExA(0, "LISTBOX", "",
                                    WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                        LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                                    0, 0, o.width, static_cast<int>(list_height), *frame, nullptr,
                                    GetModuleHandleA(nullptr), nullptr)
                  : nullptr;
    if (*box == nullptr)
        return input_output_error("cannot open the list window");
    SendMessageA(*box, WM_SETFONT, reinterpret_cast<WPARAM>(painting.font), FALSE);
    for (const std::string& text : texts)
        SendMessageA(*box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (o.select >= 0)
        SendMessageA(*box, LB_SETCURSEL, static_cast<WPARAM>(o.select), 0);
    ShowWindow(*frame, SW_SHOWNORMAL);
    SetForegroundWindow(*frame);
    SetFocus(o.select >= 0 ? *box : *frame);
    pump_messages();
    // Gaining the focus only inverts a dotted frame over the row (and the activation may
    // come late); painted whole, the list shows what it shows whenever it is uncovered.
    InvalidateRect(*box, nullptr, TRUE);
    UpdateWindow(*box);
    pump_messages();
    return {};
}

Outcome capture_list(const Options& o, HWND box, size_t rows, Image* image)
{
    RECT client{};
    GetClientRect(box, &client);
    if (client.right != o.width || client.bottom != static_cast<LONG>(o.height * rows))
        return input_output_error("the list window did not get its size on the screen");
    Canvas canvas(client.right, client.bottom);
    guard::WindowDC screen(box);
    if (!canvas.ready() || !screen ||
        !BitBlt(canvas.dc.get(), 0, 0, client.right, client.bottom, screen.get(), 0, 0, SRCCOPY))
        return input_output_error("cannot read the list window from the screen");
    *image = canvas.image();
    return {};
}

void wait_until_closed()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

Outcome set_up_painting(const Options& o)
{
    if (o.resources.empty()) {
        painting.resources = GetModuleHandleA(nullptr);
    } else {
        // As data only: no code of the module runs, its bitmaps are found by name.
        painting.resources = LoadLibraryExA(o.resources.c_str(), nullptr,
                                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (painting.resources == nullptr)
            return input_output_error("--resources: cannot load " + o.resources + ": " +
                                      system_error_text(GetLastError()));
    }
    if (!o.column_starts.empty()) {
        painting.columns = {0, o.column_starts.data(), o.column_widths.data(),
                            static_cast<int32_t>(o.column_starts.size())};
        painting.column_table = &painting.columns;
    }
    guard::WindowDC screen(nullptr);
    // The list font at the DPI asked for, or at the screen's.
    const int dpi = o.dpi != 0 ? static_cast<int>(o.dpi) : GetDeviceCaps(screen.get(), LOGPIXELSY);
    const int height = -MulDiv(o.font_points, dpi, 72);
    painting.font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                o.font_face.c_str());
    painting.row_height = o.height;
    if (painting.font == nullptr)
        return input_output_error("--font: cannot create \"" + o.font_face + "\"");
    // The font mapper quietly takes another face for one it does not know: say which.
    guard::MemoryDC probe(screen.get());
    guard::Select selected(probe.get(), painting.font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(probe.get(), LF_FACESIZE, face);
    if (_stricmp(face, o.font_face.c_str()) != 0)
        std::fprintf(stderr, "markup-preview: warning: --font: there is no face \"%s\"; \"%s\" is used instead\n",
                     o.font_face.c_str(), face);
    return {};
}

Outcome run(const Options& o)
{
    if (o.help) {
        std::printf("%s\n\n%s", USAGE, HELP);
        return {};
    }
    if (o.version) {
        std::printf("markup-preview %s\n", MARKUP_PREVIEW_VERSION);
        return {};
    }
    std::vector<std::string> texts;
    if (Outcome outcome = read_texts(o, &texts); outcome.failed())
        return outcome;
    if (Outcome outcome = set_up_painting(o); outcome.failed())
        return outcome;
    guard::Font font_owner(painting.font);
    int warnings = 0;
    if (o.check) {
        const CheckContext context = {painting.column_table, painting.resources};
        for (size_t row = 0; row < texts.size(); ++row) {
            if (o.source == Source::list)
                std::printf("row %u\n", static_cast<unsigned>(row));
            warnings += print_check(texts[row], context);
        }
        std::fflush(stdout);
    }

    Image image;
    HWND frame = nullptr;
    HWND box = nullptr;
    // A check alone paints nothing, and needs no window on the screen.
    if ((o.source == Source::list && !o.out.empty()) || o.show) {
        if (Outcome outcome = open_list_window(o, texts, &frame, &box); outcome.failed())
            return outcome;
    }
    if (!o.out.empty()) {
        Outcome painted = o.source == Source::list ? capture_list(o, box, texts.size(), &image)
                                                   : render_item(o, texts[0], &image);
        if (painted.failed())
            return painted;
        if (std::string error = write_image(o.out, image.width, image.height, image.pixels); !error.empty())
            return input_output_error(error);
    }
    if (o.show)
        wait_until_closed();
    else if (frame != nullptr)
        DestroyWindow(frame);
    if (o.strict && warnings > 0)
        return {EXIT_WARNINGS, ""};
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    // Lines end in \n alone, so that --check prints the same bytes everywhere.
    _setmode(_fileno(stdout), _O_BINARY);
    Options options;
    Outcome outcome = parse_options(argc, argv, &options);
    if (!outcome.failed())
        outcome = run(options);
    if (outcome.failed() && !outcome.message.empty())
        std::fprintf(stderr, "markup-preview: %s\n", outcome.message.c_str());
    return outcome.code;
}
