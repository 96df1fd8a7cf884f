#include "setup/installation.h"

#include <direct.h>
#include <objbase.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
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

// The run's journal, in the client folder. It is written before the run changes anything
// there, rewritten before each further change, and deleted by the commit; a journal found
// by a later run means this run was cut off, and that run puts everything back.
constexpr char JOURNAL_NAME[] = "~VRSETUP.JNL";
// Each version of the journal is written here first and then moved over the journal, so that
// the journal itself is never half-written.
constexpr char JOURNAL_NEW[] = "~VRSETUP.NEW";
constexpr char JOURNAL_HEADER[] = "VORAN SETUP JOURNAL ";
constexpr int JOURNAL_VERSION = 1;
// Nine copies and the shortcut, each with up to three paths, fit well within this.
constexpr size_t JOURNAL_SIZE_MAX = 8192;
// "~vrFFFF.tmp": the names the run gives its new and kept files.
constexpr size_t RUN_NAME_SIZE = 16;

// One change of the run: a file written whole under `fresh`, then moved over `real`. The
// previous version, when there is one, is kept as `kept` in the client folder until the commit.
// The states below are what the journal says before the change begins.
constexpr char NOT_BEGUN = '-';
constexpr char REPLACES = 'R'; // `real` held a previous version when the change began
constexpr char ADDS = 'A';     // `real` was free when the change began
struct Change {
    char state;
    char real[MAX_PATH];  // a client file's bare name; the shortcut's full path
    char fresh[MAX_PATH]; // a bare name in the client folder; the shortcut's, a full path beside it
    char kept[RUN_NAME_SIZE];
};
// The changes are the copies in table order, then the desktop shortcut.
constexpr size_t LINK_CHANGE = STEP_COUNT;
constexpr size_t CHANGE_COUNT = STEP_COUNT + 1;

// What one run did to the client folder and the desktop, so that a stopped run, or a later
// run after this one was cut off, can put them back.
struct RunState {
    char client_path[SETUP_PATH_MAX + 1];
    bool created_folder;
    bool journal_started;
    // The journal says that the run completed: only the kept versions remain to be deleted.
    bool committed;
    // A desktop folder was found, so the shortcut is one of the changes.
    bool has_link;
    Change changes[CHANGE_COUNT];
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

bool path_exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A name in the client folder: bare names are joined to it; the shortcut's paths are whole.
void client_file_path(const RunState& run, const char* name, char* out)
{
    join_path(run.client_path, name, out, MAX_PATH);
}

void change_paths(const RunState& run, size_t i, char* real, char* fresh, char* kept)
{
    const Change& change = run.changes[i];
    if (i == LINK_CHANGE) {
        lstrcpynA(real, change.real, MAX_PATH);
        lstrcpynA(fresh, change.fresh, MAX_PATH);
    } else {
        client_file_path(run, change.real, real);
        client_file_path(run, change.fresh, fresh);
    }
    client_file_path(run, change.kept, kept);
}

// The journal's text: a version line, the folder, one line per change, and the commit.
size_t format_journal(const RunState& run, char* text, size_t size)
{
    size_t used = static_cast<size_t>(std::snprintf(text, size, "%s%d\r\nFOLDER|%s\r\n", JOURNAL_HEADER,
                                                    JOURNAL_VERSION, run.created_folder ? "CREATED" : "EXISTING"));
    for (size_t i = 0; i < CHANGE_COUNT && used < size; ++i) {
        const Change& change = run.changes[i];
        if (i == LINK_CHANGE && !run.has_link)
            break;
        used += static_cast<size_t>(std::snprintf(text + used, size - used, "%s|%c|%s|%s|%s\r\n",
                                                  i == LINK_CHANGE ? "LINK" : "FILE", change.state, change.real,
                                                  change.fresh, change.kept));
    }
    if (run.committed && used < size)
        used += static_cast<size_t>(std::snprintf(text + used, size - used, "COMMIT\r\n"));
    return used;
}

// Writes the journal as `run` now stands: whole under its temporary name, flushed, then moved
// over the journal in one step. Returns 0 or an errno value.
int write_journal(const RunState& run)
{
    char text[JOURNAL_SIZE_MAX];
    const size_t length = format_journal(run, text, sizeof text);
    if (length >= sizeof text)
        return E2BIG;
    char journal[MAX_PATH];
    char fresh[MAX_PATH];
    client_file_path(run, JOURNAL_NAME, journal);
    client_file_path(run, JOURNAL_NEW, fresh);
    HANDLE file = CreateFileA(fresh, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return EACCES;
    DWORD written = 0;
    const bool whole = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) && written == length;
    const DWORD error = whole ? 0 : GetLastError();
    const bool flushed = whole && FlushFileBuffers(file);
    CloseHandle(file);
    if (!flushed) {
        DeleteFileA(fresh);
        return !whole && (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL || error == 0) ? ENOSPC : EIO;
    }
    return replace_file(fresh, journal);
}

// Writes the journal; a journal that cannot be written stops the run, which is then undone.
bool journal_or_report(HWND dialog, const RunState& run)
{
    const int code = write_journal(run);
    if (code == 0)
        return true;
    char journal[MAX_PATH];
    client_file_path(run, JOURNAL_NAME, journal);
    show_message(dialog, code == ENOSPC ? MSG_CONFIG_NO_SPACE : MSG_CONFIG_FAILED, INFO_STYLE, journal);
    return false;
}

// Finds a name "~vr<n>.tmp" that nothing in `folder` has yet; `counter` runs on through the
// run, so that no two of its names are the same, whatever the folders.
bool pick_run_name(const char* folder, unsigned& counter, char* name)
{
    char path[MAX_PATH];
    for (++counter; counter <= 0xFFFF; ++counter) {
        std::snprintf(name, RUN_NAME_SIZE, "~vr%X.tmp", counter);
        if (join_path(folder, name, path, sizeof path) && !path_exists(path))
            return true;
    }
    return false;
}

// Names every change of the run before it starts: the journal says from the first what the
// run will do and where each previous version will be kept.
bool plan_changes(RunState& run)
{
    unsigned counter = 0;
    for (size_t i = 0; i < STEP_COUNT; ++i) {
        Change& change = run.changes[i];
        change.state = NOT_BEGUN;
        lstrcpynA(change.real, copy_steps[i].name, MAX_PATH);
        if (!pick_run_name(run.client_path, counter, change.fresh) ||
            !pick_run_name(run.client_path, counter, change.kept))
            return false;
    }
    Change& link = run.changes[LINK_CHANGE];
    link.state = NOT_BEGUN;
    char desktop[DESKTOP_FOLDER_SIZE] = "";
    run.has_link = read_desktop_folder(desktop) == 0 && desktop[0] != '\0' &&
                   std::strlen(desktop) + sizeof LINK_NAME <= sizeof desktop;
    if (!run.has_link)
        return true; // no desktop folder to put the shortcut in
    char name[RUN_NAME_SIZE];
    std::snprintf(link.real, MAX_PATH, "%s%s", desktop, LINK_NAME);
    if (!pick_run_name(desktop, counter, name) || !pick_run_name(run.client_path, counter, link.kept))
        return false;
    join_path(desktop, name, link.fresh, MAX_PATH);
    return true;
}

// Puts a kept version back under its name. When it cannot go back (another program holds
// it), it stays under its temporary name, and the user is told where it is.
void restore_kept(HWND dialog, const char* real, const char* kept)
{
    // The shortcut's kept version may be on another volume than the desktop.
    if (MoveFileExA(kept, real, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return;
    show_message(dialog, MSG_FILE_KEPT_ASIDE, INFO_STYLE, real, kept);
    DeleteFileA(real);
}

// Undoes one change, whatever point it had reached. Every branch can be repeated: an undo
// that is itself cut off is simply done again by the next run.
void undo_change(HWND dialog, const RunState& run, size_t i)
{
    if (run.changes[i].state == NOT_BEGUN)
        return;
    char real[MAX_PATH];
    char fresh[MAX_PATH];
    char kept[MAX_PATH];
    change_paths(run, i, real, fresh, kept);
    // The new file is moved over the real name last, once it and the kept version are whole:
    // while it is still there, the real name holds its previous version, and the kept one
    // (perhaps half-made) is not needed.
    if (path_exists(fresh)) {
        DeleteFileA(kept);
        DeleteFileA(fresh);
    } else if (path_exists(kept)) {
        restore_kept(dialog, real, kept);
    } else if (run.changes[i].state == ADDS) {
        DeleteFileA(real);
    }
}

// Removes the client folder when the run created it. The current directory cannot be
// removed, so leave it for the drive's root first.
void remove_created_folder(const RunState& run)
{
    if (!run.created_folder)
        return;
    char root[4] = {run.client_path[0], ':', '\\', '\0'};
    SetCurrentDirectoryA(root);
    RemoveDirectoryA(run.client_path);
}

void delete_journal(const RunState& run)
{
    char path[MAX_PATH];
    client_file_path(run, JOURNAL_NEW, path);
    DeleteFileA(path);
    client_file_path(run, JOURNAL_NAME, path);
    DeleteFileA(path);
}

// Puts the client folder and the desktop back as they were before the run: the changes
// undone last first, the journal deleted, a folder the run created removed.
void roll_back(HWND dialog, RunState& run)
{
    for (size_t i = CHANGE_COUNT; i-- > 0;)
        undo_change(dialog, run, i);
    if (run.journal_started)
        delete_journal(run);
    remove_created_folder(run);
}

// Deletes the kept versions and the journal of a completed run.
void discard_kept_files(const RunState& run)
{
    char real[MAX_PATH];
    char fresh[MAX_PATH];
    char kept[MAX_PATH];
    for (size_t i = 0; i < CHANGE_COUNT; ++i) {
        if (run.changes[i].state == NOT_BEGUN)
            continue;
        change_paths(run, i, real, fresh, kept);
        for (const char* left : {kept, fresh})
            DeleteFileA(left);
    }
    delete_journal(run);
}

// The commit: once the journal says so, the run is complete, and a run cut off from here on
// is finished by the next one rather than undone.
void commit_run(RunState& run)
{
    run.committed = true;
    // Without the mark, the journal goes first: kept versions left behind are better than a
    // journal that would put back only some of them.
    if (write_journal(run) != 0)
        delete_journal(run);
    discard_kept_files(run);
}

// Keeps the version `real` holds now as `kept`: a second name for the same file where the
// volume has them, else a flushed copy.
int keep_previous(const char* real, const char* kept)
{
    if (CreateHardLinkA(kept, real, nullptr))
        return 0;
    return copy_to_new_file(real, kept, true);
}

// Names the run's changes and writes its first journal, or tells the user why not.
bool start_journal(HWND dialog, RunState& run)
{
    run.journal_started = true;
    if (plan_changes(run))
        return journal_or_report(dialog, run);
    char journal[MAX_PATH];
    client_file_path(run, JOURNAL_NAME, journal);
    show_message(dialog, MSG_CONFIG_FAILED, INFO_STYLE, journal);
    return false;
}

// Marks change i begun in the journal; `real` decides whether it replaces a previous version.
bool begin_change(HWND dialog, RunState& run, size_t i, const char* real)
{
    const DWORD attributes = GetFileAttributesA(real);
    run.changes[i].state =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? REPLACES : ADDS;
    return journal_or_report(dialog, run);
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

// Writes DB_PATH and Timer into `ini`, the new VORAN.INI under its temporary name. On failure
// tells the user, naming the client's VORAN.INI (a full volume as such), and returns false.
bool write_configuration(HWND dialog, const char* main_path, const char* ini, const char* shown)
{
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
    if (failure == 0 && flush_file(ini) != 0)
        failure = MSG_CONFIG_FAILED;
    if (failure != 0)
        show_message(dialog, failure, INFO_STYLE, shown);
    return failure == 0;
}

// Copies main_path\name into the change's new file, keeps the previous version, and moves the
// new file over the client's one, unless `hold_new` leaves it under its temporary name for
// now. On failure tells the user and returns false; undoing is the caller's.
bool install_client_file(HWND dialog, const char* source, RunState& run, size_t i, bool hold_new)
{
    char real[MAX_PATH];
    char fresh[MAX_PATH];
    char kept[MAX_PATH];
    change_paths(run, i, real, fresh, kept);
    // A read-only or busy client file is refused before anything is changed.
    int code = check_replaceable(real);
    if (code == 0 && !begin_change(dialog, run, i, real))
        return false;
    // The kept version is made after the new file, so that a kept version found without a
    // new file is always whole.
    if (code == 0)
        code = copy_to_new_file(source, fresh, !hold_new);
    if (code == 0 && run.changes[i].state == REPLACES)
        code = keep_previous(real, kept);
    if (code == 0 && !hold_new)
        code = replace_file(fresh, real);
    if (code != 0)
        report_copy_failure(dialog, code, source);
    return code == 0;
}

// The new VORAN.INI, held under its temporary name since its copy, gets the keys and then
// its real name: the client's VORAN.INI is never without them.
bool configure_client(HWND dialog, const char* main_path, RunState& run)
{
    char real[MAX_PATH];
    char fresh[MAX_PATH];
    char kept[MAX_PATH];
    change_paths(run, 0, real, fresh, kept);
    if (!write_configuration(dialog, main_path, fresh, real))
        return false;
    const int code = replace_file(fresh, real);
    if (code == 0)
        return true;
    char source[JOINED_PATH_SIZE];
    join_path(main_path, CONFIG_FILE, source, sizeof source);
    report_copy_failure(dialog, code, source);
    return false;
}

// Creates the desktop shortcut as one more change of the run. Returns true when the desktop
// holds the new shortcut; a shortcut that cannot be made is undone and the run goes on.
bool create_desktop_shortcut(HWND dialog, RunState& run)
{
    if (!run.has_link)
        return false;
    CoInitialize(nullptr);
    char link[MAX_PATH];
    char fresh[MAX_PATH];
    char kept[MAX_PATH];
    change_paths(run, LINK_CHANGE, link, fresh, kept);
    if (!begin_change(dialog, run, LINK_CHANGE, link))
        return false;

    char target[SETUP_PATH_MAX + sizeof CLIENT_PROGRAM + 2];
    std::snprintf(target, sizeof target, "%s\\%s", run.client_path, CLIENT_PROGRAM);
    bool made = SUCCEEDED(create_shortcut(target, fresh, LINK_DESCRIPTION, run.client_path)) &&
                flush_file(fresh) == 0;
    if (made && run.changes[LINK_CHANGE].state == REPLACES)
        made = copy_to_new_file(link, kept, true) == 0;
    if (made)
        made = replace_file(fresh, link) == 0;
    if (!made) {
        undo_change(dialog, run, LINK_CHANGE);
        run.changes[LINK_CHANGE].state = NOT_BEGUN;
    }
    return made;
}

// Copies every file of the table. False when a required copy fails: the run is then to be
// undone.
bool copy_client_files(HWND dialog, const char* main_path, RunState& run)
{
    char source[JOINED_PATH_SIZE];
    for (size_t i = 0; i < STEP_COUNT; ++i) {
        const CopyStep& step = copy_steps[i];
        join_path(main_path, step.name, source, sizeof source);
        if (!step.required && !file_exists(source))
            continue;

        set_copy_status(dialog, step.name);
        if (!install_client_file(dialog, source, run, i, i == 0)) {
            if (step.required)
                return false;
            undo_change(dialog, run, i);
            run.changes[i].state = NOT_BEGUN;
            continue;
        }
        if (i == CONFIG_AFTER_STEP && !configure_client(dialog, main_path, run))
            return false;
    }
    return true;
}

// Reads the journal at `path` into `run` (whose client path is set). False when it cannot be
// read, is damaged, or was written by another version: it is then not acted on.
bool read_journal(const char* path, RunState& run)
{
    char text[JOURNAL_SIZE_MAX + 1];
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD length = 0;
    const bool read = ReadFile(file, text, JOURNAL_SIZE_MAX + 1, &length, nullptr) != FALSE;
    CloseHandle(file);
    if (!read || length > JOURNAL_SIZE_MAX)
        return false;
    text[length] = '\0';
    // A journal without the shortcut's line (no desktop folder was found) has one change less.
    for (Change& change : run.changes)
        change.state = NOT_BEGUN;

    // The journal is read back against the text this reader would write for it: anything
    // else (another version, a cut, a stray byte) does not match.
    char line[JOURNAL_SIZE_MAX];
    const char* at = text;
    auto next_line = [&]() -> bool {
        const char* end = std::strstr(at, "\r\n");
        if (end == nullptr || static_cast<size_t>(end - at) >= sizeof line)
            return false;
        copy_bounded(line, sizeof line, at, end);
        at = end + 2;
        return true;
    };
    char header[64];
    std::snprintf(header, sizeof header, "%s%d", JOURNAL_HEADER, JOURNAL_VERSION);
    if (!next_line() || std::strcmp(line, header) != 0 || !next_line())
        return false;
    if (std::strcmp(line, "FOLDER|CREATED") != 0 && std::strcmp(line, "FOLDER|EXISTING") != 0)
        return false;
    run.created_folder = std::strcmp(line, "FOLDER|CREATED") == 0;
    size_t lines = 0;
    for (size_t i = 0; i < CHANGE_COUNT && *at != '\0' && std::strncmp(at, "COMMIT\r\n", 8) != 0; ++i, ++lines) {
        if (!next_line())
            return false;
        Change& change = run.changes[i];
        char kind[8] = "";
        const char* field = line;
        char* outs[4] = {kind, change.real, change.fresh, change.kept};
        const size_t sizes[4] = {sizeof kind, MAX_PATH, MAX_PATH, RUN_NAME_SIZE};
        char state[4] = "";
        for (int f = 0; f < 5; ++f) {
            const char* end = std::strchr(field, '|');
            if ((end == nullptr) != (f == 4))
                return false;
            if (end == nullptr)
                end = field + std::strlen(field);
            char* out = f == 0 ? outs[0] : f == 1 ? state : outs[f - 1];
            const size_t size = f == 0 ? sizes[0] : f == 1 ? sizeof state : sizes[f - 1];
            if (static_cast<size_t>(end - field) >= size)
                return false;
            copy_bounded(out, size, field, end);
            field = *end == '|' ? end + 1 : end;
        }
        change.state = state[0];
        const bool link = i == LINK_CHANGE;
        if (std::strcmp(kind, link ? "LINK" : "FILE") != 0 || state[1] != '\0' ||
            (change.state != NOT_BEGUN && change.state != REPLACES && change.state != ADDS))
            return false;
        // Names in the client folder are bare.
        if (!link && (std::strcmp(change.real, copy_steps[i].name) != 0 || std::strpbrk(change.fresh, "\\/:") != nullptr))
            return false;
        // The shortcut's are whole paths with a drive, and the journal can only name VORAN4.LNK.
        const size_t length = std::strlen(change.real);
        if (link && (change.real[1] != ':' || change.fresh[1] != ':' || length < sizeof LINK_NAME ||
                     lstrcmpiA(change.real + length - (sizeof LINK_NAME - 1), LINK_NAME) != 0))
            return false;
        if (change.fresh[0] == '\0' || change.kept[0] == '\0' || std::strpbrk(change.kept, "\\/:") != nullptr)
            return false;
        run.has_link = link;
    }
    run.committed = std::strcmp(at, "COMMIT\r\n") == 0;
    return lines >= STEP_COUNT && (run.committed || *at == '\0');
}

// A journal in the client folder: an earlier run there was cut off. Puts the folder and the
// desktop back as they were before it (or, when it had committed, finishes its clean-up),
// and tells the user. False when the journal cannot be read: it is then left alone and the
// user told.
bool recover_interrupted_run(HWND dialog, const char* client_path)
{
    RunState earlier = {};
    lstrcpynA(earlier.client_path, client_path, sizeof earlier.client_path);
    char journal[MAX_PATH];
    client_file_path(earlier, JOURNAL_NAME, journal);
    if (!path_exists(journal)) {
        // Only the first version of a journal, cut off before it took its name: nothing
        // after it was begun.
        client_file_path(earlier, JOURNAL_NEW, journal);
        DeleteFileA(journal);
        return true;
    }
    if (!read_journal(journal, earlier)) {
        show_message(dialog, MSG_JOURNAL_UNREADABLE, INFO_STYLE, client_path, journal);
        return false;
    }
    earlier.journal_started = true;
    if (earlier.committed) {
        discard_kept_files(earlier);
        return true;
    }
    roll_back(dialog, earlier);
    show_message(dialog, MSG_RUN_RECOVERED, INFO_STYLE, client_path);
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

    // An earlier run on this folder that was cut off is undone first.
    if (!recover_interrupted_run(dialog, client)) {
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

    // The journal, before the first change in the folder (the folder's own creation aside).
    if (!start_journal(dialog, run) || !copy_client_files(dialog, main_path, run)) {
        roll_back(dialog, run);
        set_current_drive(remembered_drive);
        return FALSE;
    }

    const bool shortcut = create_desktop_shortcut(dialog, run);
    commit_run(run);
    set_status(dialog, load_message(IDS_STATUS_DONE));
    set_current_drive(remembered_drive);
    // Without the shortcut the message must not send the user looking for it.
    show_message(dialog, shortcut ? MSG_INSTALL_DONE : MSG_INSTALL_DONE_NO_SHORTCUT, INFO_STYLE);

    PostQuitMessage(0);
    EndDialog(dialog, 1);
    return TRUE;
}
