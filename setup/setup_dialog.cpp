#include "setup/setup_dialog.h"

#include "owndraw/buttons/bitmap_button.h"
#include "owndraw/primitives/gdi_guards.h"
#include "owndraw/primitives/graphics.h"
#include "owndraw/frame/list_item.h"
#include "setup/app.h"
#include "setup/dialog_scale.h"
#include "setup/installation.h"
#include "setup/resource_ids.h"

using namespace owndraw;

HBITMAP background_bitmap = nullptr;
HWND main_window = nullptr;

namespace {

constexpr char DEFAULT_MAIN_PATH[] = "F:\\VORAN";
constexpr char DEFAULT_CLIENT_PATH[] = "C:\\VORAN";

// The column layout the dialog hands to its lists: nothing fills it, so it stays zero.
ColumnTable dialog_columns = {};

// A hidden static with the text painted above `field`, just before it in the z-order: the
// platform's edit proxy names a field after the static that precedes it. Hidden, it draws
// nothing over the picture and, without WS_TABSTOP, leaves the tab order as it is.
void add_field_label(HWND dialog, int field_id, UINT text_id)
{
    HWND field = GetDlgItem(dialog, field_id);
    wchar_t text[128] = L"";
    LoadStringW(app_instance, text_id, text, ARRAYSIZE(text));
    HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATIC_LABEL)), app_instance, nullptr);
    HWND before = GetWindow(field, GW_HWNDPREV);
    SetWindowPos(label, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The dialog has no caption bar, but its window text is its name for the platform.
void name_dialog_and_fields(HWND dialog)
{
    wchar_t name[128] = L"";
    LoadStringW(app_instance, IDS_DIALOG_NAME, name, ARRAYSIZE(name));
    SetWindowTextW(dialog, name);
    add_field_label(dialog, IDC_MAIN_PATH, IDS_MAIN_PATH_LABEL);
    add_field_label(dialog, IDC_CLIENT_PATH, IDS_CLIENT_PATH_LABEL);
}

BOOL on_init_dialog(HWND dialog)
{
    name_dialog_and_fields(dialog); // first, so that the labels it adds are laid out with the rest
    scale_dialog(dialog);           // before centring: the size changes with the DPI
    init_setup_dialog(dialog);
    // Both push buttons become owner-drawn before the dialog is first shown; their window
    // texts keep only the labels, which is what a screen reader reads.
    make_bitmap_button(GetDlgItem(dialog, IDOK));
    make_bitmap_button(GetDlgItem(dialog, IDCANCEL));

    // The run holds each path in SETUP_PATH_MAX characters; refuse more as it is typed.
    SendDlgItemMessageA(dialog, IDC_MAIN_PATH, EM_LIMITTEXT, SETUP_PATH_MAX, 0);
    SendDlgItemMessageA(dialog, IDC_CLIENT_PATH, EM_LIMITTEXT, SETUP_PATH_MAX, 0);
    SetDlgItemTextA(dialog, IDC_MAIN_PATH, DEFAULT_MAIN_PATH);
    SetDlgItemTextA(dialog, IDC_CLIENT_PATH, DEFAULT_CLIENT_PATH);
    SetDlgItemTextA(dialog, IDC_STATUS, "");
    return TRUE; // the focus goes to the first tab stop, the main path
}

BOOL on_paint(HWND dialog)
{
    guard::Paint paint(dialog);
    update_background();
    if (background_bitmap != nullptr)
        draw_bitmap(paint.get(), background_bitmap, 0, 0);
    return TRUE;
}

BOOL on_draw_item(HWND dialog, const DRAWITEMSTRUCT* request)
{
    if (request->CtlType == ODT_BUTTON) {
        draw_bitmap_button(app_instance, dialog, request);
        return TRUE;
    }
    // Any other owner-drawn control is a list whose items carry mark-up; the dialog has
    // no column layout to give them.
    return draw_list_item(app_instance, request, &dialog_columns);
}

BOOL on_cancel(HWND dialog)
{
    PostQuitMessage(0);
    EndDialog(dialog, 1);
    return TRUE;
}

} // namespace

bool register_main_class(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "setup");
    // Without a small icon the class would get a copy of the icon made from the resources
    // at registration, a few milliseconds of the start; the platform scales this one.
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    wc.lpszClassName = app_name;
    return RegisterClassExA(&wc) != 0;
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        SendMessageA(window, WM_SETUP_OPEN, SETUP_OPEN_CODE, 0);
        return 0;
    case WM_SETUP_OPEN:
        if (wparam == SETUP_OPEN_CODE) {
            // Nothing else would end the invisible program if the dialog cannot open.
            // Opened as a Unicode dialog, so that its fields are Unicode windows: an edit control
            // of an ANSI creator keeps its text in the ANSI code page, and would turn a pasted
            // character the code page lacks into a look-alike before the run can refuse it.
            if (DialogBoxParamW(app_instance, MAKEINTRESOURCEW(IDD_SETUP), main_window,
                                setup_dialog_proc, 0) == -1)
                PostQuitMessage(1);
        }
        return 0;
    case WM_PAINT: {
        guard::Paint paint(window);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    case WM_MOVE:
    case WM_SIZE:
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        return on_init_dialog(dialog);
    case WM_PAINT:
        return on_paint(dialog);
    case WM_DRAWITEM:
        return on_draw_item(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    case WM_DPICHANGED:
        return rescale_dialog(dialog, LOWORD(wparam), reinterpret_cast<const RECT*>(lparam));
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            return run_installation(dialog);
        case IDCANCEL:
            return on_cancel(dialog);
        default:
            return TRUE;
        }
    default:
        return FALSE;
    }
}

void init_setup_dialog(HWND dialog)
{
    // The small icon first: the platform would otherwise make a small copy of the icon from
    // the resources as the dialog opens.
    const auto icon = reinterpret_cast<LONG_PTR>(LoadIconA(app_instance, "setup"));
    SetClassLongPtrA(dialog, GCLP_HICONSM, icon);
    SetClassLongPtrA(dialog, GCLP_HICON, icon);
    centre_window(dialog);
}

void centre_window(HWND window)
{
    int screen_width = 0;
    int screen_height = 0;
    {
        guard::DriverDC display("DISPLAY");
        screen_width = GetDeviceCaps(display.get(), HORZRES);
        screen_height = GetDeviceCaps(display.get(), VERTRES);
    }
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    // The whole screen, not the work area; a window larger than the screen is not clamped.
    MoveWindow(window, screen_width / 2 - width / 2, screen_height / 2 - height / 2, width, height, FALSE);
}

void set_control_style(HWND dialog, int control_id, LONG style)
{
    SetWindowLongA(GetDlgItem(dialog, control_id), GWL_STYLE, style);
}
