#include "e2e/driver.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#ifndef SETUP_EXE_NAME
#define SETUP_EXE_NAME "setup.exe"
#endif

namespace e2e {

namespace {
std::string to_upper_copy(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}
}  // namespace

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

// ---- Files -------------------------------------------------------------------------

const char* const CLIENT_FILES[9] = {"VORAN.INI",     "IM31BMP.DIL", "IM31JPG.DIL",
                                     "IMGMAN31.DLL",  "IMAGE2PDF.DLL", "VORAN.EXE",
                                     "VORAN.HLP",     "VORAN.CHM",   "IDE21201.VXD"};

const std::vector<std::string>& main_ini_sections() {
    static const std::vector<std::string> sections = {"VORAN", "CONFIG", "IMMAGINI", "RETE"};
    return sections;
}

IniKeys main_ini_keys() {
    return {
        {{"VORAN", "Versione"}, "6.2"},
        {{"VORAN", "Ditta"}, "Studio Prova"},
        {{"CONFIG", "DB_PATH"}, "X:\\ARCHIVIO\\VECCHIO"},
        {{"CONFIG", "Stampante"}, "PREDEFINITA"},
        {{"CONFIG", "Anteprima"}, "1"},
        {{"IMMAGINI", "Driver"}, "IMGMAN31.DLL"},
        {{"IMMAGINI", "FiltroJPG"}, "IM31JPG.DIL"},
        {{"RETE", "Utenti"}, "5"},
    };
}

std::string render_main_ini() {
    const IniKeys keys = main_ini_keys();
    std::string text = "; VORAN - configurazione della postazione\r\n";
    for (const std::string& section : main_ini_sections()) {
        text += "[" + section + "]\r\n";
        for (const auto& [where, value] : keys)
            if (where.first == section) text += where.second + "=" + value + "\r\n";
        text += "\r\n";
    }
    return text;
}

std::map<std::string, std::string> main_installation_files() {
    return {
        {"VORAN6.KEY", "VORAN 6\r\n"},
        {"VORAN.INI", render_main_ini()},
        {"IM31BMP.DIL", pattern_bytes("IM31BMP.DIL", 3000)},
        {"IM31JPG.DIL", ""},  // an empty file is copied as an empty file
        {"IMGMAN31.DLL", pattern_bytes("IMGMAN31.DLL", 70000)},
        {"IMAGE2PDF.DLL", pattern_bytes("IMAGE2PDF.DLL", 65280)},  // exactly one chunk
        {"VORAN.EXE", pattern_bytes("VORAN.EXE", 200003)},
        {"VORAN.HLP", pattern_bytes("VORAN.HLP", 1234)},
        {"VORAN.CHM", pattern_bytes("VORAN.CHM", 65281)},
        {"IDE21201.VXD", pattern_bytes("IDE21201.VXD", 512)},
    };
}

std::map<std::string, std::string> old_client_files() {
    // Sizes differ from the new ones both ways, so a copy that does not truncate shows.
    return {
        {"VORAN.INI", "[CONFIG]\r\nDB_PATH=Y:\\PRIMA\r\nTimer=99\r\nVecchio=1\r\n"},
        {"IM31BMP.DIL", pattern_bytes("old IM31BMP.DIL", 5000)},
        {"IM31JPG.DIL", pattern_bytes("old IM31JPG.DIL", 100)},
        {"IMGMAN31.DLL", pattern_bytes("old IMGMAN31.DLL", 1000)},
        {"IMAGE2PDF.DLL", pattern_bytes("old IMAGE2PDF.DLL", 80000)},
        {"VORAN.EXE", pattern_bytes("old VORAN.EXE", 300000)},
        {"VORAN.HLP", pattern_bytes("old VORAN.HLP", 10)},
        {"VORAN.CHM", pattern_bytes("old VORAN.CHM", 20)},
        {"IDE21201.VXD", pattern_bytes("old IDE21201.VXD", 30)},
    };
}

void make_folder_with(const std::string& folder, const std::map<std::string, std::string>& files) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& [name, bytes] : files)
        if (!write_file(folder + "\\" + name, bytes))
            ADD_FAILURE() << "cannot write " << folder << "\\" << name;
}

std::string scenario_folder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string root = "C:\\e2e";
    CreateDirectoryA(root.c_str(), nullptr);
    const std::string folder = root + "\\" + info->test_suite_name() + "." + info->name();
    remove_tree(folder);
    if (!CreateDirectoryA(folder.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << folder;
    return folder;
}

std::string desktop_folder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    char buffer[MAX_PATH] = "";
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key, "Desktop", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : std::string();
}

// ---- The program -------------------------------------------------------------------

std::string path_from_environment(const char* variable) {
    const char* given = std::getenv(variable);
    if (!given || !*given) return {};
    std::string path = given;
    // A Unix path is reached through Wine's Z: drive.
    if (path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path)
            if (c == '/') c = '\\';
    }
    return path;
}

std::string setup_exe_path() {
    if (std::string given = path_from_environment("SETUP_EXE"); !given.empty()) return given;
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    for (int level = 0; level < 4; ++level) {
        const size_t slash = folder.find_last_of("\\/");
        if (slash == std::string::npos) break;
        folder.erase(slash);
        const std::string candidate = folder + "\\" SETUP_EXE_NAME;
        if (file_exists(candidate)) return candidate;
    }
    return {};
}

std::string window_text(HWND window) {
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    return std::string(buffer.data());
}

static BOOL CALLBACK collect_static_text(HWND child, LPARAM param) {
    char class_name[32] = "";
    GetClassNameA(child, class_name, sizeof class_name);
    if (lstrcmpiA(class_name, "Static") == 0) {
        auto* longest = reinterpret_cast<std::string*>(param);
        std::string text = window_text(child);
        if (text.size() > longest->size()) *longest = text;
    }
    return TRUE;
}

std::string message_box_text(HWND box) {
    if (HWND text = GetDlgItem(box, MESSAGE_BOX_TEXT)) return window_text(text);
    // Not every message box implementation numbers its text control; take the longest static.
    std::string longest;
    EnumChildWindows(box, collect_static_text, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

namespace {

struct WindowSearch {
    DWORD process_id;
    HWND exclude;
    bool want_dialog;  // the installation dialog (has the main path field) or a message box
    HWND found;
};

BOOL CALLBACK find_process_window(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process_id || window == search->exclude || !IsWindowVisible(window)) return TRUE;
    char class_name[32] = "";
    GetClassNameA(window, class_name, sizeof class_name);
    if (lstrcmpA(class_name, "#32770") != 0) return TRUE;
    const bool is_dialog = GetDlgItem(window, MAIN_FIELD) != nullptr;
    if (is_dialog != search->want_dialog) return TRUE;
    search->found = window;
    return FALSE;
}

HWND find_window_of(DWORD process_id, bool want_dialog, HWND exclude) {
    WindowSearch search{process_id, exclude, want_dialog, nullptr};
    EnumWindows(find_process_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

SetupRun::SetupRun(DWORD watchdog_ms) : watchdog_ms_(watchdog_ms) {}

SetupRun::~SetupRun() {
    if (process_.hProcess) {
        if (running()) {
            TerminateProcess(process_.hProcess, 0xDEAD);
            WaitForSingleObject(process_.hProcess, 5000);
        }
    }
    stop_watchdog();
    if (process_.hThread) CloseHandle(process_.hThread);
    if (process_.hProcess) CloseHandle(process_.hProcess);
    if (stop_event_) CloseHandle(stop_event_);
}

void SetupRun::stop_watchdog() {
    if (stop_event_) SetEvent(stop_event_);
    if (watchdog_.joinable()) watchdog_.join();
}

bool SetupRun::start(std::string* error) {
    const std::string exe = setup_exe_path();
    if (exe.empty() || !file_exists(exe)) {
        *error = "setup.exe not found (" + (exe.empty() ? std::string("set SETUP_EXE") : exe) + ")";
        return false;
    }
    std::string command_line = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                        &startup, &process_)) {
        *error = "cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    stop_event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    watchdog_ = std::thread([this] {
        if (WaitForSingleObject(stop_event_, watchdog_ms_) == WAIT_TIMEOUT &&
            WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            watchdog_fired_ = true;
            TerminateProcess(process_.hProcess, 0xDEAD);
        }
    });
    wait_until([this] {
        dialog_ = find_window_of(process_.dwProcessId, true, nullptr);
        return dialog_ != nullptr || !running();
    });
    if (!dialog_) {
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        *error = running() ? "no dialog within " + std::to_string(WAIT_MS) + " ms (is DISPLAY set?)"
                           : "setup.exe ended with code " + std::to_string(code) + " before showing a dialog";
        return false;
    }
    WaitForInputIdle(process_.hProcess, 5000);
    return true;
}

std::string SetupRun::text(int id) const { return window_text(control(id)); }

void SetupRun::set_text(int id, const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        2000, &result);
}

void SetupRun::type_chars(int id, const std::string& chars) {
    HWND field = control(id);
    for (char c : chars) PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void SetupRun::press(int button_id) {
    // Posted, not sent: the installation runs inside the click and shows modal boxes.
    PostMessageA(control(button_id), BM_CLICK, 0, 0);
}

void SetupRun::press_escape() {
    HWND target = focus();
    if (!target) target = control(MAIN_FIELD);
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

HWND SetupRun::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
    if (!thread || !GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

std::pair<int, int> SetupRun::selection(int id) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control(id), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return {-1, -1};
    return {LOWORD(result), HIWORD(result)};
}

HWND SetupRun::current_message_box() const { return find_window_of(process_.dwProcessId, false, dialog_); }

HWND SetupRun::wait_message_box(DWORD timeout_ms) const {
    HWND box = nullptr;
    wait_until(
        [&] {
            box = current_message_box();
            return box != nullptr || !running();
        },
        timeout_ms);
    return box;
}

bool SetupRun::answer(HWND box, int button_id) {
    HWND button = GetDlgItem(box, button_id);
    if (!button) return false;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return wait_until([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

bool SetupRun::running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool SetupRun::wait_exit(DWORD* exit_code, DWORD timeout_ms) {
    if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_.hProcess, exit_code);
    stop_watchdog();
    return true;
}


// ---- What a person reads -----------------------------------------------------------

std::string copy_failed_text(const std::string& source) {
    return "Errore nella copia del file " + source + ".\nVerificare l'esistenza del file.";
}

std::string no_space_text(const std::string& source) {
    return "Errore nella copia del file " + source + ".\nSpazio insufficiente.";
}

std::string no_main_installation_text(const std::string& main_path) {
    return "Attenzione! Nel percorso " + main_path + " non e' presente l'installazione principale di VORAN.";
}

std::string drive_unavailable_text(char letter) {
    return std::string("Attenzione! Il disco ") + letter + " indicato nel percorso CLIENT non e' disponibile.";
}

const char CLIENT_CREATE_FAILED_TEXT[] = "Errore nella creazione del percorso CLIENT indicato.";
const char INSTALL_DONE_TEXT[] =
    "Installazione terminata con successo.\n\nUtilizzare il collegamento creato sul Desktop per "
    "l'attivazione di VORAN.";
const char CLIENT_EXISTS_TEXT[] =
    "Attenzione! Il percorso CLIENT indicato gia' esiste.\n Vuoi effettuare l'aggiornamento?";
const char FINISHED_STATUS_TEXT[] = "Fine Installazione";

std::string copying_status_text(const std::string& name) {
    return "Installazione in corso: copia di " + name + " ...";
}

::testing::AssertionResult message_shown(const SetupRun& run, const std::string& text, HWND* box,
                                         DWORD timeout_ms) {
    *box = run.wait_message_box(timeout_ms);
    if (!*box) {
        if (run.killed_by_watchdog()) return ::testing::AssertionFailure() << "setup.exe hung and was killed";
        if (!run.running())
            return ::testing::AssertionFailure() << "setup.exe ended instead of showing \"" << text << "\"";
        return ::testing::AssertionFailure() << "no message box within " << timeout_ms << " ms; expected \""
                                             << text << "\"";
    }
    const std::string caption = window_text(*box);
    const std::string shown = message_box_text(*box);
    if (caption != "setup" || shown != text)
        return ::testing::AssertionFailure() << "message box \"" << caption << "\" says\n  \"" << shown
                                             << "\"\nexpected \"setup\" saying\n  \"" << text << "\"";
    return ::testing::AssertionSuccess();
}

bool has_button(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    return button && IsWindowVisible(button);
}

std::string to_lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// ---- What ends up on disk ----------------------------------------------------------

namespace {

std::string ini_value(const std::string& file, const std::string& section, const std::string& key) {
    char value[512] = "";
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", value, sizeof value, file.c_str());
    return value;
}

std::set<std::string> ini_sections(const std::string& file) {
    std::vector<char> names(4096, '\0');
    GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file.c_str());
    std::set<std::string> result;
    for (const char* name = names.data(); *name; name += strlen(name) + 1) result.insert(to_upper_copy(name));
    return result;
}

int ini_key_count(const std::string& file, const std::string& section) {
    std::vector<char> lines(8192, '\0');
    GetPrivateProfileSectionA(section.c_str(), lines.data(), static_cast<DWORD>(lines.size()), file.c_str());
    int count = 0;
    for (const char* line = lines.data(); *line; line += strlen(line) + 1) ++count;
    return count;
}

template <class T>
struct ComRef {
    T* p = nullptr;
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p) p->Release();
    }
};

}  // namespace

void expect_client_installed(const std::string& client, const std::map<std::string, std::string>& main_files,
                             const std::string& typed_main, const Snapshot& others) {
    const Snapshot found = snapshot(client);
    Snapshot expected = others;
    for (const char* name : CLIENT_FILES) {
        auto source = main_files.find(name);
        if (source != main_files.end()) expected[name] = source->second;
    }
    std::set<std::string> found_names, expected_names;
    for (const auto& entry : found) found_names.insert(to_upper_copy(entry.first));
    for (const auto& entry : expected) expected_names.insert(to_upper_copy(entry.first));
    EXPECT_TRUE(found_names == expected_names) << "files of " << client << ":\n"
                                               << describe_difference(expected, found);

    for (const auto& [name, bytes] : expected) {
        if (name == "VORAN.INI") continue;
        auto it = found.find(name);
        if (it == found.end()) continue;  // reported above
        EXPECT_TRUE(it->second == bytes) << client << "\\" << name << ": " << it->second.size()
                                         << " bytes differ from the " << bytes.size() << " expected";
    }

    const std::string ini = client + "\\VORAN.INI";
    if (!file_exists(ini)) return;  // reported above
    EXPECT_EQ(ini_value(ini, "CONFIG", "DB_PATH"), typed_main) << ini;
    EXPECT_EQ(ini_value(ini, "CONFIG", "Timer"), "10") << ini;
    const IniKeys original = main_ini_keys();
    for (const auto& [where, value] : original) {
        if (where.first == "CONFIG" && (where.second == "DB_PATH" || where.second == "Timer")) continue;
        EXPECT_EQ(ini_value(ini, where.first, where.second), value)
            << "[" << where.first << "] " << where.second << " of " << ini;
    }
    std::set<std::string> want_sections;
    for (const std::string& section : main_ini_sections()) want_sections.insert(to_upper_copy(section));
    EXPECT_TRUE(ini_sections(ini) == want_sections) << "sections of " << ini << " changed";
    for (const std::string& section : main_ini_sections()) {
        int keys = 0;
        for (const auto& entry : original) keys += entry.first.first == section ? 1 : 0;
        // The main installation's CONFIG has DB_PATH but no Timer: one key more.
        if (section == "CONFIG") keys += 1;
        EXPECT_EQ(ini_key_count(ini, section), keys) << "keys in [" << section << "] of " << ini;
    }
}

void expect_shortcut(const std::string& link, const std::string& client) {
    ASSERT_TRUE(file_exists(link)) << link << " was not created";
    const HRESULT init = CoInitialize(nullptr);
    {
        ComRef<IShellLinkA> shell_link;
        ComRef<IPersistFile> file;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                               reinterpret_cast<void**>(&shell_link.p))));
        ASSERT_TRUE(SUCCEEDED(shell_link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))));
        wchar_t wide[MAX_PATH] = L"";
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        ASSERT_TRUE(SUCCEEDED(file.p->Load(wide, STGM_READ))) << link << " is not a shortcut";
        char target[MAX_PATH] = "", folder[MAX_PATH] = "", description[MAX_PATH] = "";
        EXPECT_TRUE(SUCCEEDED(shell_link.p->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)));
        EXPECT_TRUE(SUCCEEDED(shell_link.p->GetWorkingDirectory(folder, MAX_PATH)));
        EXPECT_TRUE(SUCCEEDED(shell_link.p->GetDescription(description, MAX_PATH)));
        // Windows paths are compared without regard to case.
        EXPECT_EQ(to_lower(target), to_lower(client + "\\VORAN.EXE")) << "target of " << link;
        EXPECT_EQ(to_lower(folder), to_lower(client)) << "working folder of " << link;
        EXPECT_STREQ(description, "Voran4") << "description of " << link;
    }
    if (SUCCEEDED(init)) CoUninitialize();
}

void press_conferma(SetupRun& run, bool update) {
    run.press(CONFIRM_BUTTON);
    if (!update) return;
    HWND box = EXPECT_MESSAGE(run, CLIENT_EXISTS_TEXT);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(run.answer(box, IDYES));
}

}  // namespace e2e
