#include "tests/e2e/e2e_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdint>
#include <stdexcept>

namespace e2e {

namespace {

std::string lastErrorText(const std::string& what) {
    return what + " failed (error " + std::to_string(GetLastError()) + ")";
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(lastErrorText(what));
}

REGSAM viewFlag(RegistryView view) {
    return view == RegistryView::Bit32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

// A short, valid PCM WAVE file: 8 kHz, 8 bit, mono, `samples` samples of a
// square wave.
std::string waveFile(uint32_t samples) {
    std::string out;
    auto put32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
    };
    auto put16 = [&out](uint16_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>(v >> 8));
    };
    out += "RIFF";
    put32(36 + samples);
    out += "WAVEfmt ";
    put32(16);   // fmt chunk size
    put16(1);    // PCM
    put16(1);    // channels
    put32(8000); // sample rate
    put32(8000); // bytes per second
    put16(1);    // block align
    put16(8);    // bits per sample
    out += "data";
    put32(samples);
    for (uint32_t i = 0; i < samples; ++i) {
        out.push_back(static_cast<char>((i / 8) % 2 ? 0xC0 : 0x40));
    }
    return out;
}

struct EnumQuery {
    DWORD pid;
    const char* className;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM param) {
    auto* query = reinterpret_cast<EnumQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != query->pid || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    if (query->className && windowClass(hwnd) != query->className) {
        return TRUE;
    }
    if (query->caption && windowText(hwnd) != query->caption) {
        return TRUE;
    }
    query->found.push_back(hwnd);
    return TRUE;
}

HWND requireControl(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    if (!control) {
        throw std::runtime_error("the window has no control with id " + std::to_string(id));
    }
    return control;
}

} // namespace

bool waitUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (cond()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return cond();
        }
        Sleep(20);
    }
}

// ---------------------------------------------------------------------------
// Files and folders

std::string programDir() {
    char path[MAX_PATH];
    const DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) {
        fail("GetModuleFileNameA");
    }
    std::string dir(path, len);
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string pallwickExe() {
    return joinPath(programDir(), "Pallwick.exe");
}

std::string kaldrisExe() {
    return joinPath(programDir(), "Kaldris.exe");
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '\\') {
        return dir + name;
    }
    return dir + "\\" + name;
}

bool fileExists(const std::string& path) {
    const DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool dirExists(const std::string& path) {
    const DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

void makeDirs(const std::string& path) {
    if (path.empty() || dirExists(path)) {
        return;
    }
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) { // not the "C:\" root
        makeDirs(path.substr(0, slash));
    }
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        fail("CreateDirectoryA(" + path + ")");
    }
}

void writeFile(const std::string& path, const std::string& content) {
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) {
        makeDirs(path.substr(0, slash));
    }
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fail("CreateFileA(" + path + ")");
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != content.size()) {
        fail("WriteFile(" + path + ")");
    }
}

std::string readFile(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fail("CreateFileA(" + path + ")");
    }
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        content.append(buffer, got);
    }
    CloseHandle(file);
    return content;
}

void copyFile(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        fail("CopyFileA(" + from + ", " + to + ")");
    }
}

void removeTree(const std::string& path) {
    const DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if (attrs & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesA(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!DeleteFileA(path.c_str())) {
            fail("DeleteFileA(" + path + ")");
        }
        return;
    }
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA(joinPath(path, "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..") {
                removeTree(joinPath(path, name));
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    if (!RemoveDirectoryA(path.c_str())) {
        fail("RemoveDirectoryA(" + path + ")");
    }
}

void makeGame(const std::string& root, const GameParts& parts) {
    makeDirs(joinPath(root, "cd_image\\data\\db"));
    if (parts.marker) {
        writeFile(joinPath(root, kMarkerRelPath), "resource database\r\n");
    }
    if (parts.renameIni) {
        writeFile(joinPath(root, "Rename.ini"), "[Rename]\r\n");
    }
    if (parts.kaldris) {
        copyFile(kaldrisExe(), joinPath(root, "Kaldris.exe"));
    }
}

std::vector<std::string> makeExpansion(const std::string& dir) {
    const std::vector<std::pair<std::string, uint32_t>> files = {
        {"sound\\ember_01.wav", 400},
        {"sound\\ember_02.wav", 800},
        {"sound\\ambient\\forge_loop.wav", 1200},
    };
    std::vector<std::string> names;
    for (const auto& [name, samples] : files) {
        writeFile(joinPath(dir, name), waveFile(samples));
        names.push_back(name);
    }
    return names;
}

// ---------------------------------------------------------------------------
// Registry

std::ostream& operator<<(std::ostream& os, RegistryView view) {
    return os << (view == RegistryView::Bit32 ? "32-bit view" : "64-bit view");
}

void setGameValue(const std::string& name, const std::string& value, RegistryView view) {
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0,
                                 KEY_SET_VALUE | viewFlag(view), nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        SetLastError(rc);
        fail("RegCreateKeyExA");
    }
    rc = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        SetLastError(rc);
        fail("RegSetValueExA");
    }
}

void createGameKey(RegistryView view) {
    HKEY key = nullptr;
    const LSTATUS rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0,
                                       KEY_READ | viewFlag(view), nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        SetLastError(rc);
        fail("RegCreateKeyExA");
    }
    RegCloseKey(key);
}

void deleteGameKey(RegistryView view) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_ALL_ACCESS | viewFlag(view), &key) !=
        ERROR_SUCCESS) {
        return; // nothing to delete
    }
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    const LSTATUS rc = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kGameKey, viewFlag(view), 0);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
        SetLastError(rc);
        fail("RegDeleteKeyExA");
    }
}

void deleteGameKeyInBothViews() {
    deleteGameKey(RegistryView::Bit32);
    deleteGameKey(RegistryView::Bit64);
}

std::optional<std::string> installPath(RegistryView view) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_QUERY_VALUE | viewFlag(view), &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS rc = RegQueryValueExA(key, kInstallPathValue, nullptr, &type, nullptr, &size);
    std::string value(size, '\0');
    if (rc == ERROR_SUCCESS) {
        rc = RegQueryValueExA(key, kInstallPathValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(value.data()), &size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(size);
    while (!value.empty() && value.back() == '\0') {
        value.pop_back();
    }
    return value;
}

// ---------------------------------------------------------------------------
// Windows of another process

std::string windowText(HWND window) {
    char text[1024];
    const int len = GetWindowTextA(window, text, sizeof text);
    return std::string(text, len > 0 ? len : 0);
}

std::string windowClass(HWND window) {
    char name[256];
    const int len = GetClassNameA(window, name, sizeof name);
    return std::string(name, len > 0 ? len : 0);
}

std::string controlText(HWND dialog, int id) {
    const HWND control = requireControl(dialog, id);
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kExitTimeout,
                             &length)) {
        fail("WM_GETTEXTLENGTH");
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, kExitTimeout,
                             &copied)) {
        fail("WM_GETTEXT");
    }
    text.resize(copied);
    return text;
}

bool controlEnabled(HWND dialog, int id) {
    return IsWindowEnabled(requireControl(dialog, id)) != FALSE;
}

void clickButton(HWND dialog, int id) {
    if (!PostMessageA(requireControl(dialog, id), BM_CLICK, 0, 0)) {
        fail("PostMessageA(BM_CLICK)");
    }
}

void pressKey(HWND target, UINT vk) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM down = 1 | scan;
    const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
    if (!PostMessageA(target, WM_KEYDOWN, vk, down) || !PostMessageA(target, WM_KEYUP, vk, up)) {
        fail("PostMessageA(WM_KEYDOWN/WM_KEYUP)");
    }
}

HWND focusedControl(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

// ---------------------------------------------------------------------------
// The installer's process

Installer::Installer(const std::string& args, const std::string& cwd, const std::string& exe) {
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty()) {
        commandLine += " " + args;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.c_str(), &startup, &info_)) {
        fail("CreateProcessA(" + commandLine + ")");
    }
}

Installer::~Installer() {
    if (running()) {
        kill();
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Installer::running() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> Installer::windows(const char* className, const char* caption) const {
    EnumQuery query{pid(), className, caption, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND Installer::waitForDialog(DWORD timeoutMs) {
    dialog_ = nullptr;
    waitUntil(
        [this] {
            const auto found = windows("#32770", kDialogCaption);
            if (!found.empty()) {
                dialog_ = found.front();
            }
            return dialog_ != nullptr || !running();
        },
        timeoutMs);
    if (dialog_) {
        // The dialog is filled in before it is shown; this also waits until the
        // program idles in its message loop, so what we read is what the user sees.
        WaitForInputIdle(info_.hProcess, timeoutMs);
    }
    return dialog_;
}

MessageBoxWindow Installer::waitForMessageBox(const char* caption, DWORD timeoutMs) const {
    MessageBoxWindow box;
    waitUntil(
        [&] {
            const auto found = windows("#32770", caption);
            if (!found.empty()) {
                box.hwnd = found.front();
            }
            return box.hwnd != nullptr || !running();
        },
        timeoutMs);
    if (box.hwnd) {
        WaitForInputIdle(info_.hProcess, timeoutMs);
    }
    return box;
}

void Installer::pressEscape() const {
    HWND target = focusedControl(dialog_);
    if (!target) {
        target = requireControl(dialog_, kFolderEdit);
    }
    pressKey(target, VK_ESCAPE);
}

void Installer::postClose() const {
    if (!PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0)) {
        fail("PostMessageA(WM_SYSCOMMAND)");
    }
}

bool Installer::waitForExit(DWORD timeoutMs) {
    return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Installer::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Installer::kill() {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, kExitTimeout);
}

// ---------------------------------------------------------------------------
// The shell's folder browser

namespace {

struct ChildQuery {
    const std::string* text;
    const char* className;
    HWND found;
};

BOOL CALLBACK matchChild(HWND child, LPARAM param) {
    auto* query = reinterpret_cast<ChildQuery*>(param);
    if (query->className && windowClass(child) != query->className) {
        return TRUE;
    }
    if (query->text) {
        char text[1024];
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                 SMTO_ABORTIFHUNG, kExitTimeout, &copied) ||
            std::string(text, copied) != *query->text) {
            return TRUE;
        }
    }
    query->found = child;
    return FALSE;
}

HWND findChild(HWND parent, const std::string* text, const char* className) {
    ChildQuery query{text, className, nullptr};
    EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// A block of memory in the process that owns `window`, for messages whose
// arguments are pointers.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process_) {
            fail("OpenProcess");
        }
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!address_) {
            CloseHandle(process_);
            fail("VirtualAllocEx");
        }
    }
    ~RemoteMemory() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* address() const { return static_cast<char*>(address_); }
    void write(size_t offset, const void* data, size_t size) const {
        if (offset + size > size_ ||
            !WriteProcessMemory(process_, address() + offset, data, size, nullptr)) {
            fail("WriteProcessMemory");
        }
    }
    void read(size_t offset, void* data, size_t size) const {
        if (offset + size > size_ ||
            !ReadProcessMemory(process_, address() + offset, data, size, nullptr)) {
            fail("ReadProcessMemory");
        }
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

} // namespace

bool FolderBrowserWindow::showsText(const std::string& text) const {
    return findChild(hwnd, &text, nullptr) != nullptr;
}

bool FolderBrowserWindow::select(const std::string& path) const {
    RemoteMemory remote(hwnd, path.size() + 1);
    remote.write(0, path.c_str(), path.size() + 1);
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hwnd, BFFM_SETSELECTIONA, TRUE,
                               reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG,
                               kExitTimeout, &result) != 0;
}

std::string FolderBrowserWindow::selectedItem() const {
    const HWND tree = findChild(hwnd, nullptr, WC_TREEVIEWA);
    if (!tree) {
        return "";
    }
    DWORD_PTR item = 0;
    if (!SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, kExitTimeout,
                             &item) ||
        item == 0) {
        return "";
    }
    constexpr size_t kTextSize = 512;
    RemoteMemory remote(tree, sizeof(TVITEMA) + kTextSize);
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = reinterpret_cast<HTREEITEM>(item);
    query.pszText = remote.address() + sizeof(TVITEMA);
    query.cchTextMax = kTextSize;
    remote.write(0, &query, sizeof query);
    const char empty = '\0';
    remote.write(sizeof(TVITEMA), &empty, 1);
    DWORD_PTR ok = 0;
    if (!SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.address()),
                             SMTO_ABORTIFHUNG, kExitTimeout, &ok) ||
        !ok) {
        return "";
    }
    char text[kTextSize];
    remote.read(sizeof(TVITEMA), text, kTextSize);
    text[kTextSize - 1] = '\0';
    return text;
}

bool FolderBrowserWindow::waitClosed(DWORD timeoutMs) const {
    return waitUntil([this] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

FolderBrowserWindow Installer::waitForFolderBrowser(const std::string& title,
                                                    DWORD timeoutMs) const {
    FolderBrowserWindow browser;
    waitUntil(
        [&] {
            for (HWND candidate : windows("#32770", nullptr)) {
                if (candidate != dialog_ && findChild(candidate, &title, nullptr)) {
                    browser.hwnd = candidate;
                }
            }
            return browser.hwnd != nullptr || !running();
        },
        timeoutMs);
    if (browser.hwnd) {
        WaitForInputIdle(info_.hProcess, timeoutMs);
    }
    return browser;
}

} // namespace e2e
