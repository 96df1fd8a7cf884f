#include "setup/installation.h"

#include <direct.h>
#include <objbase.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

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

enum class FieldText { READ, TOO_LONG, NOT_ANSI };

// Reads a path field, without the blanks at its ends, into `out` (SETUP_PATH_MAX + 1 bytes).
// TOO_LONG when its text is longer than the run can hold: the fields are limited to
// SETUP_PATH_MAX characters, so only a program setting the text directly gets here, and a
// silently shortened path must never be used. NOT_ANSI when a character has no equivalent
// in the ANSI code page: the field is read as wide text and converted without best fit,
// because a look-alike (an L for a barred L, a backslash for the full-width one) names
// another folder than the one the user typed.
FieldText read_path_field(HWND dialog, int id, char* out)
{
    HWND field = GetDlgItem(dialog, id);
    if (GetWindowTextLengthW(field) > SETUP_PATH_MAX)
        return FieldText::TOO_LONG;
    wchar_t wide[SETUP_PATH_MAX + 1] = {};
    GetWindowTextW(field, wide, SETUP_PATH_MAX + 1);
    // A UTF-8 code page has every character, and refuses the used-default flag outright.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL defaulted = FALSE;
    if (WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, out, SETUP_PATH_MAX + 1,
                            nullptr, utf8 ? nullptr : &defaulted) == 0) {
        out[0] = '\0';
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? FieldText::TOO_LONG : FieldText::NOT_ANSI;
    }
    if (defaulted)
        return FieldText::NOT_ANSI;
    // Blanks around a path are what copy and paste leave behind, never part of a folder's name.
    trim_trailing_blanks(out);
    trim_leading_blanks(out);
    return FieldText::READ;
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

// Reads a field; text that cannot be used stops the run with that field focused to correct.
bool read_field_or_stop(HWND dialog, int id, UINT not_ansi_message, char* out)
{
    const FieldText read = read_path_field(dialog, id, out);
    if (read == FieldText::READ)
        return true;
    if (read == FieldText::NOT_ANSI)
        show_message(dialog, not_ansi_message, INFO_STYLE);
    focus_field(dialog, id);
    if (read == FieldText::TOO_LONG)
        MessageBeep(MB_ICONWARNING);
    return false;
}

// "C:REL" names a folder below whatever drive C's current directory is when the run
// starts: never a folder the user can be sure of.
bool is_drive_relative(const char* path)
{
    return std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] != '\\' &&
           path[2] != '/';
}

// The folder's full path name without separators at its end; false when it has none.
bool full_folder_name(const char* path, char* out)
{
    const DWORD length = GetFullPathNameA(path, MAX_PATH, out, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    for (size_t end = length; end > 3 && (out[end - 1] == '\\' || out[end - 1] == '/');)
        out[--end] = '\0';
    return true;
}

// The volume and file index of an existing folder.
bool folder_identity(const char* path, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(h, &info) != FALSE;
    CloseHandle(h);
    return known;
}

// Both paths name one folder: the same full path name ("F:\VORAN\." and "F:\VORAN\" are
// "F:\VORAN"), or, when both exist, the same folder on the same volume (another drive letter
// mapped onto it, a short name, a link).
bool same_folder(const char* a, const char* b)
{
    char full_a[MAX_PATH];
    char full_b[MAX_PATH];
    if (full_folder_name(a, full_a) && full_folder_name(b, full_b) && lstrcmpiA(full_a, full_b) == 0)
        return true;
    BY_HANDLE_FILE_INFORMATION info_a = {};
    BY_HANDLE_FILE_INFORMATION info_b = {};
    return folder_identity(a, info_a) && folder_identity(b, info_b) &&
           info_a.dwVolumeSerialNumber == info_b.dwVolumeSerialNumber &&
           info_a.nFileIndexHigh == info_b.nFileIndexHigh && info_a.nFileIndexLow == info_b.nFileIndexLow;
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

// An entry missing from a profile file reads as this, unlike any value it can hold.
constexpr char PROFILE_MISSING[] = "\x7f";
// What the read-back compares: the section list, one section and one value each fit in this.
// It bounds the comparison, not the file: VORAN.INI is far smaller.
constexpr DWORD PROFILE_READ_SIZE = 32768;

struct ConfigKey {
    const char* name;
    const char* value;
};

bool is_config_key(const char* section, const char* name, const ConfigKey (&keys)[2])
{
    if (lstrcmpiA(section, "CONFIG") != 0)
        return false;
    for (const ConfigKey& key : keys)
        if (lstrcmpiA(name, key.name) == 0)
            return true;
    return false;
}

// Wine's profile writer ignores its own short writes: on a full volume it reports success
// over a VORAN.INI cut in the middle of a line. So the file is read back from disk: every
// entry of the main installation's VORAN.INI (which the client's is a copy of) must read the
// same, apart from the keys, which must read as written.
bool configuration_intact(const char* main_path, const char* ini, const ConfigKey (&keys)[2])
{
    char source[JOINED_PATH_SIZE];
    if (!join_path(main_path, CONFIG_FILE, source, sizeof source))
        return false;
    // Flushing the writer's cache makes the reads below come from the disk.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);
    // The section list, one section's entries, and one value from each file.
    std::unique_ptr<char[]> scratch(new (std::nothrow) char[4 * PROFILE_READ_SIZE]);
    if (!scratch)
        return false; // nothing proves the file whole
    struct {
        char *sections, *entries, *want, *found;
    } r = {scratch.get(), scratch.get() + PROFILE_READ_SIZE, scratch.get() + 2 * PROFILE_READ_SIZE,
           scratch.get() + 3 * PROFILE_READ_SIZE};
    GetPrivateProfileSectionNamesA(r.sections, PROFILE_READ_SIZE, source);
    for (const char* section = r.sections; *section != '\0'; section += std::strlen(section) + 1) {
        GetPrivateProfileSectionA(section, r.entries, PROFILE_READ_SIZE, source);
        for (char* entry = r.entries; *entry != '\0'; entry += std::strlen(entry) + 1) {
            char* equals = std::strchr(entry, '=');
            if (equals == nullptr)
                continue;
            *equals = '\0'; // the entry's name; its value is read below like the client's
            const bool config_key = is_config_key(section, entry, keys);
            // Both through the reader, so that both lose the same quotes and blanks.
            GetPrivateProfileStringA(section, entry, PROFILE_MISSING, r.want, PROFILE_READ_SIZE, source);
            GetPrivateProfileStringA(section, entry, PROFILE_MISSING, r.found, PROFILE_READ_SIZE, ini);
            *equals = '=';
            if (!config_key && std::strcmp(r.want, r.found) != 0)
                return false;
        }
    }
    for (const ConfigKey& key : keys) {
        GetPrivateProfileStringA("CONFIG", key.name, PROFILE_MISSING, r.found, PROFILE_READ_SIZE, ini);
        if (std::strcmp(r.found, key.value) != 0)
            return false;
    }
    return true;
}

// Writes DB_PATH and Timer into the client's VORAN.INI. On failure tells the user (a full
// volume as such) and returns false.
bool write_configuration(HWND dialog, const char* main_path, const char* client_path)
{
    char ini[SETUP_PATH_MAX + sizeof CONFIG_FILE + 2];
    std::snprintf(ini, sizeof ini, "%s\\%s", client_path, CONFIG_FILE);
    const ConfigKey keys[2] = {{"DB_PATH", main_path}, {"Timer", "10"}};
    UINT failure = 0;
    for (const ConfigKey& key : keys) {
        if (failure == 0 && !WritePrivateProfileStringA("CONFIG", key.name, key.value, ini)) {
            const DWORD error = GetLastError();
            failure = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? MSG_CONFIG_NO_SPACE
                                                                                   : MSG_CONFIG_FAILED;
        }
    }
    // A file that reads back otherwise was cut short by a volume that filled up.
    if (failure == 0 && !configuration_intact(main_path, ini, keys))
        failure = MSG_CONFIG_NO_SPACE;
    if (failure != 0)
        show_message(dialog, failure, INFO_STYLE, ini);
    return failure == 0;
}

// Returns true when the desktop holds the new shortcut.
bool create_desktop_shortcut(const char* client_path)
{
    CoInitialize(nullptr);

    char link_path[DESKTOP_FOLDER_SIZE] = "";
    if (read_desktop_folder(link_path) != 0 || link_path[0] == '\0')
        return false; // no desktop folder to put the shortcut in
    if (std::strlen(link_path) + sizeof LINK_NAME > sizeof link_path)
        return false;
    std::strcat(link_path, LINK_NAME);

    char target[SETUP_PATH_MAX + sizeof CLIENT_PROGRAM + 2];
    std::snprintf(target, sizeof target, "%s\\%s", client_path, CLIENT_PROGRAM);
    return SUCCEEDED(create_shortcut(target, link_path, LINK_DESCRIPTION, client_path));
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
        if (i == CONFIG_AFTER_STEP && !write_configuration(dialog, main_path, run.client_path)) {
            roll_back(dialog, run, i);
            return false;
        }
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

    if (!read_field_or_stop(dialog, IDC_MAIN_PATH, MSG_MAIN_PATH_NOT_ANSI, main_path) || is_blank(main_path))
        return FALSE;
    if (!read_field_or_stop(dialog, IDC_CLIENT_PATH, MSG_CLIENT_PATH_NOT_ANSI, run.client_path) ||
        is_blank(run.client_path))
        return FALSE;
    if (is_drive_relative(run.client_path)) {
        show_message(dialog, MSG_CLIENT_PATH_RELATIVE, INFO_STYLE);
        focus_field(dialog, IDC_CLIENT_PATH);
        return FALSE;
    }

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

    // Updating the main installation from itself would first move its own files aside.
    if (same_folder(client, main_path)) {
        show_message(dialog, MSG_CLIENT_IS_MAIN, INFO_STYLE);
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

    const bool shortcut = create_desktop_shortcut(client);
    discard_kept_files(run);
    set_status(dialog, load_message(IDS_STATUS_DONE));
    set_current_drive(remembered_drive);
    // Without the shortcut the message must not send the user looking for it.
    show_message(dialog, shortcut ? MSG_INSTALL_DONE : MSG_INSTALL_DONE_NO_SHORTCUT, INFO_STYLE);

    PostQuitMessage(0);
    EndDialog(dialog, 1);
    return TRUE;
}
