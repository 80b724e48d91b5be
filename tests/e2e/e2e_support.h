// Helpers for driving the real Pallwick.exe from a test program running in the
// same Windows (Wine) session: files and folders, the registry, and the
// installer's process and windows.
//
// pallwick_e2e.exe, Pallwick.exe and Kaldris.exe sit side by side in one folder
// (run-under-wine.sh copies them there). Each test builds its own world below
// C:\e2e\<test name>\ and points HKLM\Software\Orvantis at it.
//
// Setup helpers throw std::runtime_error when Windows refuses something; GoogleTest
// reports that as a failure of the test. Waits return false / nullptr on time-out so
// that the test can say what it was waiting for.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

// Control ids of the installer's dialog.
constexpr int kFolderEdit = 1000;
constexpr int kBrowseButton = 1001;
constexpr int kSearchButton = 1004;
constexpr int kInstallButton = IDOK;
constexpr int kCancelButton = IDCANCEL;

// The static control holding a message box's text.
constexpr int kMessageBoxText = 0xFFFF;

inline constexpr char kDialogCaption[] = "Orvantis Emberfall Installer";
inline constexpr char kMessageBoxCaption[] = "Pallwick";

// Time-outs in milliseconds. Generous on purpose: Wine on a busy two-core machine
// can take seconds to bring up a first window.
constexpr DWORD kWindowTimeout = 30000;
constexpr DWORD kExitTimeout = 15000;

// Polls cond() every 20 ms until it holds or timeoutMs has passed.
bool waitUntil(const std::function<bool()>& cond, DWORD timeoutMs);

// ---------------------------------------------------------------------------
// Files and folders (ANSI paths; tests keep to ASCII names)

// Folder of the running test program, without a trailing backslash.
std::string programDir();
std::string pallwickExe();
std::string kaldrisExe();

std::string joinPath(const std::string& dir, const std::string& name);
bool fileExists(const std::string& path);
bool dirExists(const std::string& path);
// Creates the folder and all missing parents.
void makeDirs(const std::string& path);
// Creates parents as needed; replaces an existing file.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
void copyFile(const std::string& from, const std::string& to);
// Deletes a file or a whole folder tree; nothing happens when it does not exist.
void removeTree(const std::string& path);

// A game installation as the installer expects to find it. Each part can be left
// out to build broken installations.
struct GameParts {
    bool marker = true;    // cd_image\data\db\ResourceDatabase.dat
    bool renameIni = true; // Rename.ini, which Install removes
    bool kaldris = true;   // the stand-in Kaldris.exe
};
constexpr char kMarkerRelPath[] = "cd_image\\data\\db\\ResourceDatabase.dat";
void makeGame(const std::string& root, const GameParts& parts = {});

// The expansion as shipped: the installer's working directory with the sound
// folder that Install copies. Returns the relative paths of the files created below
// `sound`, e.g. "sound\\ember_01.wav".
std::vector<std::string> makeExpansion(const std::string& dir);

// ---------------------------------------------------------------------------
// Registry: HKLM\Software\Orvantis

constexpr char kGameKey[] = "Software\\Orvantis";
constexpr char kInstallPathValue[] = "InstallPath";

enum class RegistryView { Bit32, Bit64 };
std::ostream& operator<<(std::ostream& os, RegistryView view);

void setGameValue(const std::string& name, const std::string& value,
                  RegistryView view = RegistryView::Bit32);
inline void setInstallPath(const std::string& value, RegistryView view = RegistryView::Bit32) {
    setGameValue(kInstallPathValue, value, view);
}
// Creates the key (with no values) if it is missing.
void createGameKey(RegistryView view = RegistryView::Bit32);
// Deletes the whole key; nothing happens when it does not exist.
void deleteGameKey(RegistryView view);
void deleteGameKeyInBothViews();
// The InstallPath string, or nothing when the key or the value is missing.
std::optional<std::string> installPath(RegistryView view = RegistryView::Bit32);

// ---------------------------------------------------------------------------
// Windows of another process

std::string windowText(HWND window);
std::string windowClass(HWND window);
// Text of a control, read with WM_GETTEXT (works across processes).
std::string controlText(HWND dialog, int id);
bool controlEnabled(HWND dialog, int id);
// Posts BM_CLICK: posted, not sent, so that a button which opens a modal window
// does not block the test.
void clickButton(HWND dialog, int id);
// Posts a key press and release of vk to target (a control of the dialog, so that
// the dialog manager sees it like a typed key).
void pressKey(HWND target, UINT vk);
// The control that has the keyboard focus in the thread owning dialog, or nullptr.
HWND focusedControl(HWND dialog);

// A message box as MessageBox() shows it.
struct MessageBoxWindow {
    HWND hwnd = nullptr;
    std::string caption() const { return windowText(hwnd); }
    std::string text() const { return controlText(hwnd, kMessageBoxText); }
    bool hasButton(int id) const { return GetDlgItem(hwnd, id) != nullptr; }
    void press(int id) const { clickButton(hwnd, id); }
};

// The shell's folder browser (SHBrowseForFolder): a dialog with a title line
// above a folder tree, and OK and Cancel.
struct FolderBrowserWindow {
    HWND hwnd = nullptr;
    HWND owner() const { return GetWindow(hwnd, GW_OWNER); }
    // Whether one of its controls shows exactly this text.
    bool showsText(const std::string& text) const;
    // Selects a folder in the tree, as a click on its item would, with the
    // browser's own BFFM_SETSELECTION (the path is placed in the browser's
    // process). False when the browser does not take it.
    bool select(const std::string& path) const;
    // The label of the tree's selected item ("" when none is selected).
    std::string selectedItem() const;
    void press(int id) const { clickButton(hwnd, id); }
    // Waits until the browser has closed. False on time-out.
    bool waitClosed(DWORD timeoutMs = kWindowTimeout) const;
};

// ---------------------------------------------------------------------------
// The installer's process

class Installer {
public:
    // Starts exe (Pallwick.exe by default) as "<exe>" <args> in cwd.
    // Throws when the process cannot be created.
    Installer(const std::string& args, const std::string& cwd,
              const std::string& exe = pallwickExe());
    // Ends the process if it still runs, so that a failed test leaves nothing behind.
    ~Installer();
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    DWORD pid() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }
    bool running() const;

    // Waits until the visible dialog with the installer's caption, owned by this
    // process, exists and the program waits for input. nullptr on time-out.
    HWND waitForDialog(DWORD timeoutMs = kWindowTimeout);
    HWND dialog() const { return dialog_; }

    // Visible top-level windows of this process with the given class and caption
    // (nullptr: any caption).
    std::vector<HWND> windows(const char* className, const char* caption) const;

    // Waits for a message box of this process with the given caption. hwnd is
    // nullptr on time-out.
    MessageBoxWindow waitForMessageBox(const char* caption = kMessageBoxCaption,
                                       DWORD timeoutMs = kWindowTimeout) const;

    // Waits for a folder browser of this process that shows `title`: a
    // top-level dialog other than the installer's. hwnd is nullptr on time-out.
    FolderBrowserWindow waitForFolderBrowser(const std::string& title,
                                             DWORD timeoutMs = kWindowTimeout) const;

    // The installer's main-dialog controls.
    std::string text(int id) const { return controlText(dialog_, id); }
    bool enabled(int id) const { return controlEnabled(dialog_, id); }
    void click(int id) const { clickButton(dialog_, id); }
    // Escape as typed: sent to the focused control, else to the folder edit.
    void pressEscape() const;
    // The window menu's Close (also Alt+F4 and the caption's close box).
    void postClose() const;

    // Waits for the process to end. False on time-out.
    bool waitForExit(DWORD timeoutMs = kExitTimeout);
    // Valid after waitForExit() returned true.
    DWORD exitCode() const;
    // Ends the process; used on time-outs and in the destructor.
    void kill();

private:
    PROCESS_INFORMATION info_{};
    HWND dialog_ = nullptr;
};

} // namespace e2e
