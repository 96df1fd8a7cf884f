#include "setup/installation.h"

#include <direct.h>
#include <objbase.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "setup/file_copy.h"
#include "setup/messages.h"
#include "setup/resource_ids.h"
#include "setup/shortcut.h"

using namespace owndraw;

namespace {

struct CopyStep {
    const char* name;
    bool required;
};

// Copy order. A failed required copy undoes the run; optional files are copied only
// when the main installation has them.
constexpr CopyStep copy_steps[] = {
    {"VORAN.INI", true},     {"IM31BMP.DIL", true}, {"IM31JPG.DIL", true},
    {"IMGMAN31.DLL", true},  {"IMAGE2PDF.DLL", true}, {"VORAN.EXE", true},
    {"VORAN.HLP", false},    {"VORAN.CHM", false},   {"IDE21201.VXD", false},
};
constexpr size_t STEP_COUNT = sizeof copy_steps / sizeof copy_steps[0];
// The configuration keys go into the client's VORAN.INI once this step has copied.
constexpr size_t CONFIG_AFTER_STEP = 1;

constexpr char MAIN_MARKER[] = "VORAN6.KEY";
constexpr char CONFIG_FILE[] = "VORAN.INI";
constexpr char CLIENT_PROGRAM[] = "VORAN.EXE";
constexpr char LINK_NAME[] = "\\VORAN4.LNK";
constexpr char LINK_DESCRIPTION[] = "Voran4";

constexpr UINT INFO_STYLE = MB_OK | MB_ICONINFORMATION;
constexpr UINT QUESTION_STYLE = MB_YESNO | MB_ICONEXCLAMATION;

// What one run did to the client folder, so that a stopped run can put it back.
struct RunState {
    char client_path[SETUP_PATH_MAX + 1];
    bool created_folder;
    bool copied[STEP_COUNT];
    // Where the previous version of each replaced file waits until the run completes.
    char kept_aside[STEP_COUNT][MAX_PATH];
};

// Reads a path field. Returns false when its text is longer than the run can hold:
// the fields are limited to SETUP_PATH_MAX characters, so only a program setting the
// text directly gets here, and a silently shortened path must never be used.
bool read_path_field(HWND dialog, int id, char* out)
{
    if (GetWindowTextLengthA(GetDlgItem(dialog, id)) > SETUP_PATH_MAX)
        return false;
    GetDlgItemTextA(dialog, id, out, SETUP_PATH_MAX + 1);
    return true;
}

void focus_field(HWND dialog, int id)
{
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

// The file exists and can be opened for reading.
bool file_exists(const char* path)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

void set_status(HWND dialog, const char* text)
{
    SetDlgItemTextA(dialog, IDC_STATUS, text);
}

void set_copy_status(HWND dialog, const char* name)
{
    char text[256];
    std::snprintf(text, sizeof text, load_message(IDS_STATUS_COPYING), name);
    set_status(dialog, text);
}

// Moves an existing client file aside before it is replaced, so that a stopped run can
// restore it byte for byte. A read-only file is left where it is: the copy refuses to
// replace it, so it is never lost. Returns 0, or 13 when the file cannot be moved (it is
// in use), which is reported like a copy that cannot replace its target.
int keep_aside(const char* client_path, const char* target, char* aside)
{
    aside[0] = '\0';
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return 0;
    if (GetTempFileNameA(client_path, "~vr", 0, aside) == 0) {
        aside[0] = '\0';
        return EACCES;
    }
    if (!MoveFileExA(target, aside, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(aside);
        aside[0] = '\0';
        return EACCES;
    }
    return 0;
}

// Puts a file kept aside back in its place. When it cannot go back (another program
// holds it), it stays under its temporary name, and the user is told where it is.
void restore_aside(HWND dialog, const char* target, char* aside)
{
    if (aside[0] == '\0')
        return;
    if (!MoveFileExA(aside, target, MOVEFILE_REPLACE_EXISTING))
        show_message(dialog, MSG_FILE_KEPT_ASIDE, INFO_STYLE, target, aside);
    aside[0] = '\0';
}

void step_target(const RunState& run, size_t step, char* out)
{
    join_path(run.client_path, copy_steps[step].name, out, JOINED_PATH_SIZE);
}

// Removes the client folder when this run created it. The current directory cannot be
// removed, so leave it for the drive's root first.
void remove_created_folder(const RunState& run)
{
    if (!run.created_folder)
        return;
    char root[4] = {run.client_path[0], ':', '\\', '\0'};
    SetCurrentDirectoryA(root);
    RemoveDirectoryA(run.client_path);
}

// Puts the client folder back as it was before the run: new copies deleted, replaced
// files restored, a folder the run created removed.
void roll_back(HWND dialog, RunState& run, size_t failed_step)
{
    char target[JOINED_PATH_SIZE];
    for (size_t step = 0; step <= failed_step; ++step) {
        step_target(run, step, target);
        if (run.copied[step])
            DeleteFileA(target);
        restore_aside(dialog, target, run.kept_aside[step]);
    }
    remove_created_folder(run);
}

void discard_kept_files(RunState& run)
{
    for (size_t i = 0; i < STEP_COUNT; ++i) {
        if (run.kept_aside[i][0] != '\0')
            DeleteFileA(run.kept_aside[i]);
        run.kept_aside[i][0] = '\0';
    }
}

void write_configuration(const char* main_path, const char* client_path)
{
    char ini[SETUP_PATH_MAX + sizeof CONFIG_FILE + 2];
    std::snprintf(ini, sizeof ini, "%s\\%s", client_path, CONFIG_FILE);
    WritePrivateProfileStringA("CONFIG", "DB_PATH", main_path, ini);
    WritePrivateProfileStringA("CONFIG", "Timer", "10", ini);
}

void create_desktop_shortcut(const char* client_path)
{
    CoInitialize(nullptr);

    char link_path[DESKTOP_FOLDER_SIZE] = "";
    if (read_desktop_folder(link_path) != 0 || link_path[0] == '\0')
        return; // no desktop folder to put the shortcut in
    if (std::strlen(link_path) + sizeof LINK_NAME > sizeof link_path)
        return;
    std::strcat(link_path, LINK_NAME);

    char target[SETUP_PATH_MAX + sizeof CLIENT_PROGRAM + 2];
    std::snprintf(target, sizeof target, "%s\\%s", client_path, CLIENT_PROGRAM);
    create_shortcut(target, link_path, LINK_DESCRIPTION, client_path);
}

// Copies every file of the table; on a failed required copy rolls the run back.
bool copy_client_files(HWND dialog, const char* main_path, RunState& run)
{
    char source[JOINED_PATH_SIZE];
    char target[JOINED_PATH_SIZE];
    for (size_t i = 0; i < STEP_COUNT; ++i) {
        const CopyStep& step = copy_steps[i];
        join_path(main_path, step.name, source, sizeof source);
        if (!step.required && !file_exists(source))
            continue;

        set_copy_status(dialog, step.name);
        step_target(run, i, target);
        int code = keep_aside(run.client_path, target, run.kept_aside[i]);
        if (code != 0)
            report_copy_failure(dialog, code, source);
        else
            code = install_file(dialog, step.name, main_path, run.client_path);

        if (code != 0) {
            if (step.required) {
                roll_back(dialog, run, i);
                return false;
            }
            restore_aside(dialog, target, run.kept_aside[i]);
            continue;
        }
        run.copied[i] = true;
        if (i == CONFIG_AFTER_STEP)
            write_configuration(main_path, run.client_path);
    }
    return true;
}

} // namespace

int get_current_drive()
{
    return _getdrive();
}

int set_current_drive(int drive)
{
    return _chdrive(drive) == 0 ? 0 : -1;
}

BOOL run_installation(HWND dialog)
{
    char main_path[SETUP_PATH_MAX + 1];
    RunState run = {};

    if (!read_path_field(dialog, IDC_MAIN_PATH, main_path)) {
        focus_field(dialog, IDC_MAIN_PATH);
        MessageBeep(MB_ICONWARNING);
        return FALSE;
    }
    if (is_blank(main_path))
        return FALSE;
    if (!read_path_field(dialog, IDC_CLIENT_PATH, run.client_path)) {
        focus_field(dialog, IDC_CLIENT_PATH);
        MessageBeep(MB_ICONWARNING);
        return FALSE;
    }
    if (is_blank(run.client_path))
        return FALSE;

    const int remembered_drive = get_current_drive();

    // The drive test: the client drive's root must be reachable.
    const char* client = run.client_path;
    const bool has_drive = std::isalpha(static_cast<unsigned char>(client[0])) && client[1] == ':';
    const char letter = has_drive ? client[0] : '\0';
    if (has_drive)
        set_current_drive(std::toupper(static_cast<unsigned char>(letter)) - 'A' + 1);
    char root[4] = {letter, ':', '\\', '\0'};
    if (!has_drive || !SetCurrentDirectoryA(root)) {
        // A path without a drive letter has none to name.
        show_message(dialog, MSG_DRIVE_UNAVAILABLE, INFO_STYLE, has_drive ? letter : '?');
        focus_field(dialog, IDC_CLIENT_PATH);
        set_current_drive(remembered_drive);
        return FALSE;
    }

    // The folder test: update an existing client folder, or create a new one.
    if (SetCurrentDirectoryA(client)) {
        if (show_message(dialog, MSG_CLIENT_EXISTS_UPDATE, QUESTION_STYLE) != IDYES) {
            focus_field(dialog, IDC_CLIENT_PATH);
            set_current_drive(remembered_drive);
            return FALSE;
        }
    } else if (CreateDirectoryA(client, nullptr)) {
        run.created_folder = true;
        SetCurrentDirectoryA(client);
    } else {
        show_message(dialog, MSG_CLIENT_CREATE_FAILED, INFO_STYLE);
        focus_field(dialog, IDC_CLIENT_PATH);
        set_current_drive(remembered_drive);
        return FALSE;
    }

    // The main installation is recognised by its marker file.
    char marker[JOINED_PATH_SIZE];
    if (!join_path(main_path, MAIN_MARKER, marker, sizeof marker) || !file_exists(marker)) {
        show_message(dialog, MSG_NO_MAIN_INSTALLATION, INFO_STYLE, main_path);
        focus_field(dialog, IDC_MAIN_PATH);
        remove_created_folder(run);
        set_current_drive(remembered_drive);
        return FALSE;
    }

    if (!copy_client_files(dialog, main_path, run)) {
        set_current_drive(remembered_drive);
        return FALSE;
    }

    create_desktop_shortcut(client);
    discard_kept_files(run);
    set_status(dialog, load_message(IDS_STATUS_DONE));
    set_current_drive(remembered_drive);
    show_message(dialog, MSG_INSTALL_DONE, INFO_STYLE);

    PostQuitMessage(0);
    EndDialog(dialog, 1);
    return TRUE;
}
