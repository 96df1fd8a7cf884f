// The owner-draw kit in a program of its own: a window with an owner-drawn list box whose
// rows paint themselves from mark-up, an owner-drawn combo box and two bitmap buttons.
//
//   owndraw_example.exe                  shows the window until it is closed
//   owndraw_example.exe --capture FILE   shows it, writes its client area to FILE (a 24-bit
//                                        BMP) once everything is painted, and exits
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <owndraw/owndraw.h>

#include "owndraw_example_ids.h"

// This program's own names. The kit has names like these too, inside namespace owndraw,
// so both live in one program.
RECT work_rect;              // the client area the controls are laid out in
HFONT label_font;            // the font of the list and the combo box
char item_text_buffer[128];  // a combo box item, formatted
int scale_int(int value);
int is_even(int n);
void fill_solid(HDC dc, const RECT& rect, COLORREF color);
void draw_line(HDC dc, int x1, int y1, int x2, int y2);

namespace {

constexpr int ROW_HEIGHT = 20;
constexpr UINT CAPTURE_TIMER = 1;

// Mark-up: 0x82 opens a command's argument, 0x83 closes it, 0x86 separates the fields of
// "@CA". Colours are platform colour values (lowest byte red); "@CR" takes RRGGBB pairs.
const char* const list_rows[] = {
    "@CA\x82" "0,FFFFFFC8DCFF\x86ICOB011\x86" "Client\x83@CR\x82" "1,FFFF00FFFF00\x83"
    "@CS\x82" "1,C:\\VORAN\x83@CD\x82" "2,ready\x83",
    "@TREE\x82" "16,2\x83@TXT\x82VORAN\x83",
    "@TREE\x82" "16,13\x83@TXT\x82" "Client\x83@XCOL\x82" "2\x83@TXT\x82" "4.2\x83",
    "@DRC\x82" "0000FF,4\x83@DRS\x82" "0,200\x83@X\x82" "210\x83@TXT\x82" "four segments\x83",
    "@SF\x82" "C6FFFF\x83@TXT\x82" "pale yellow on even rows\x83",
};

const int32_t column_starts[] = {0, 90, 200};
const int32_t column_widths[] = {90, 110, 178};
const owndraw::ColumnTable columns = owndraw::make_column_table(column_starts, column_widths);

HINSTANCE instance;
const char* capture_path;  // null: no capture
int exit_code;

HWND create_child(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y,
                  int width, int height)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, work_rect.left + scale_int(x),
                           work_rect.top + scale_int(y), scale_int(width), scale_int(height), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void create_controls(HWND window)
{
    GetClientRect(window, &work_rect);
    InflateRect(&work_rect, -scale_int(10), -scale_int(10));
    label_font = CreateFontA(-scale_int(11), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "MS Sans Serif");

    HWND list = create_child(window, "LISTBOX", "",
                             WS_BORDER | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                             IDC_LIST, 0, 0, 380, 5 * ROW_HEIGHT + 2);
    HWND combo = create_child(window, "COMBOBOX", "",
                              CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
                              IDC_COMBO, 0, 114, 380, 120);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(label_font), FALSE);
    SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(label_font), FALSE);
    for (const char* row : list_rows)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    for (int i = 0; i < 3; ++i) {
        std::snprintf(item_text_buffer, sizeof item_text_buffer, "@CR\x82" "0,%s\x83@CS\x82" "1,item %d\x83",
                      is_even(i) ? "00FF0000FF00" : "FFFF00FFFF00", i + 1);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item_text_buffer));
    }
    SendMessageA(combo, CB_SETCURSEL, 0, 0);

    char caption[64];
    LoadStringA(instance, IDS_OK, caption, sizeof caption);
    create_child(window, "BUTTON", caption, WS_TABSTOP | BS_OWNERDRAW, IDOK, 0, 152, 100, 28);
    LoadStringA(instance, IDS_CLOSE, caption, sizeof caption);
    create_child(window, "BUTTON", caption, WS_TABSTOP | BS_OWNERDRAW, IDCANCEL, 110, 152, 100, 28);
    SetFocus(list);
}

// The dots per inch `window` is drawn at: GetDpiForWindow where the system has it (looked up
// at run time, Windows 7 and 8 lack it), else the screen's.
UINT window_dpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    using Generic = void (*)();
    const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<Generic>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const UINT dpi = get_dpi_for_window ? get_dpi_for_window(window) : 0;
    return dpi != 0 ? dpi : static_cast<UINT>(scale_int(96));
}

// Both the list box and the combo box (its selection field too, asked for with itemID -1)
// have rows of one height, ROW_HEIGHT at 96 dots per inch and as much larger as the window's
// DPI: the frame scales the mark-up with it. A list box keeps an item height in a byte, so
// a row stops growing at 255 pixels.
void measure_item(HWND window, MEASUREITEMSTRUCT* request)
{
    if (request->CtlType == ODT_LISTBOX || request->CtlType == ODT_COMBOBOX)
        request->itemHeight = static_cast<UINT>(
            (std::min)(255, MulDiv(ROW_HEIGHT, static_cast<int>(window_dpi(window)), 96)));
}

BOOL draw_item(HWND window, const DRAWITEMSTRUCT* request)
{
    if (request->CtlType == ODT_BUTTON) {
        owndraw::draw_bitmap_button(instance, window, request);
        return TRUE;
    }
    return owndraw::draw_list_item(instance, request, &columns);
}

void paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    fill_solid(dc, client, GetSysColor(COLOR_BTNFACE));
    // A rule between the lists and the buttons.
    const int y = work_rect.top + scale_int(144);
    draw_line(dc, work_rect.left, y, work_rect.right, y);
    EndPaint(window, &ps);
}

// The client area as the screen shows it, into a 24-bit bottom-up BMP file.
bool save_client_area(HWND window, const char* path)
{
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (memory && picture) {
        HGDIOBJ old = SelectObject(memory, picture);
        BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const DWORD size = static_cast<DWORD>((width * 3 + 3) / 4 * 4 * height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + size;
        if (FILE* out = std::fopen(path, "wb")) {
            saved = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                    std::fwrite(bits, size, 1, out) == 1;
            saved = std::fclose(out) == 0 && saved;
        }
        SelectObject(memory, old);
    }
    if (picture)
        DeleteObject(picture);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        create_controls(window);
        return 0;
    case WM_MEASUREITEM:
        measure_item(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
        return TRUE;
    case WM_DRAWITEM:
        return draw_item(window, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)
            DestroyWindow(window);
        return 0;
    case WM_TIMER:
        // Every control has painted by now: the screen shows what a user would see.
        KillTimer(window, CAPTURE_TIMER);
        exit_code = save_client_area(window, capture_path) ? 0 : 1;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        DeleteObject(label_font);
        PostQuitMessage(exit_code);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

int scale_int(int value)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(value, dpi, 96);
}

int is_even(int n)
{
    return n % 2 == 0;
}

void fill_solid(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void draw_line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

int WINAPI WinMain(HINSTANCE this_instance, HINSTANCE, LPSTR command_line, int show)
{
    instance = this_instance;
    static char path[MAX_PATH];
    if (std::strncmp(command_line, "--capture ", 10) == 0) {
        std::snprintf(path, sizeof path, "%s", command_line + 10);
        capture_path = path;
    }

    WNDCLASSA cls{};
    cls.lpfnWndProc = window_procedure;
    cls.hInstance = instance;
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.lpszClassName = "OwnDrawExample";
    if (!RegisterClassA(&cls))
        return 1;
    char title[64];
    LoadStringA(instance, IDS_TITLE, title, sizeof title);
    // 400 x 200 client pixels at 96 dpi.
    RECT frame = {0, 0, scale_int(400), scale_int(200)};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, cls.lpszClassName, title, style, 20, 20, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, capture_path ? SW_SHOWNORMAL : show);
    UpdateWindow(window);
    if (capture_path)
        SetTimer(window, CAPTURE_TIMER, 500, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
