// The test API of the simulated Windows: build the little world a test needs
// (registry values, drives and files, dialog resources), script the user
// (clicks, keys, answers to message boxes), advance the clock, and read back
// what the program did (control texts and states, drawing, every call whose
// arguments matter).
#pragma once

#include "platform/sim/win32.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sim {

// ---- Resources (loaded from the program's own resource script) -----------
struct ControlTemplate {
    int id = -1;
    std::string cls;
    std::string text;
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};
struct DialogTemplate {
    int id = 0;
    std::string caption;
    DWORD style = 0;
    int cx = 0, cy = 0;
    std::vector<ControlTemplate> controls;
};

// ---- File system ----------------------------------------------------------
struct Node {
    std::string name;
    bool dir = false;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    uint64_t size = 0;
    bool readable = true;                        // a folder that refuses enumeration
    std::string linkTarget;                      // a junction or folder link: absolute target path
    std::vector<std::unique_ptr<Node>> children; // in delivery order
    Node* parent = nullptr;
    Node* Child(const std::string& childName) const;
    Node& AddFolder(const std::string& childName); // a new empty sub-folder
};
struct Drive {
    UINT type = DRIVE_FIXED;
    bool medium = true;
    Node root;
};

// ---- Windows ----------------------------------------------------------------
struct Window {
    std::string cls; // "#32770" for dialogs, else the control class in upper case
    int id = 0;
    std::string text;
    DWORD style = 0;
    bool enabled = true;
    bool iconic = false;
    bool hasSystemMenu = true;
    Window* parent = nullptr; // for controls
    Window* owner = nullptr;  // for dialogs and message boxes
    std::vector<Window*> children;
    DLGPROC dlgProc = nullptr;
    LONG_PTR msgResult = 0;
    int templateId = 0;
    bool ended = false;
    INT_PTR endResult = 0;
    bool destroyed = false;
    RECT rect{0, 0, 0, 0};
    HICON bigIcon = nullptr, smallIcon = nullptr;
    HANDLE image = nullptr;              // BM_SETIMAGE on a button
    std::vector<std::string> systemMenu; // items appended by the program
    HWND handle() { return reinterpret_cast<HWND>(this); }
};

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    bool ownerWasDisabled; // the owner was disabled while the box was up
    bool answered;         // a scripted answer was there
    int result;
};

struct DrawnIcon {
    int x, y;
    HICON icon;
};

using Responder = std::function<int(const MessageBoxCall&)>;

// ---- Shell: file copy and program start (shell_copy.cpp) ------------------
// One SHFileOperationA request as the program made it, and how it went. The
// lists are kept whole: every byte up to and including the empty entry that
// closes the list, so "a\0b\0\0" for the entries a and b.
struct FileOperation {
    HWND hwnd = nullptr;
    UINT wFunc = 0;
    std::optional<std::string> from, to;
    FILEOP_FLAGS fFlags = 0;
    BOOL abortedOnEntry = FALSE; // fAnyOperationsAborted as handed in
    LPVOID hNameMappings = nullptr;
    std::optional<std::string> progressTitle;
    // The outcome: the result code, the aborted flag handed back, and every
    // destination file written, in order, by its full path.
    int result = 0;
    BOOL aborted = FALSE;
    std::vector<std::string> written;
};
bool operator==(const FileOperation& a, const FileOperation& b);
void PrintTo(const FileOperation& op, std::ostream* os);

// One ShellExecuteA call; a null string argument is nullopt.
struct ShellExecution {
    HWND owner = nullptr;
    std::optional<std::string> verb, file, parameters, directory;
    INT show = 0;
};
bool operator==(const ShellExecution& a, const ShellExecution& b);
void PrintTo(const ShellExecution& call, std::ostream* os);

// Trouble scripted for the shell's copies. Without any, a copy behaves as on
// Windows: folders merged, missing folders created, files replaced.
struct CopyScript {
    int stopAfterFiles = -1;  // the copy stops once this many files are written,
    bool userCancels = false; // because the user cancelled it, or on an error,
    int stopResult = 0;       // and returns this result
    // Files (full path, lower case) not written (nullopt) or written short.
    std::map<std::string, std::optional<uint64_t>> spoiled;
};

// ---- Folder browser (SHBrowseForFolderA and its item lists) -----------------
// How the user closes a folder browser.
struct BrowseResult {
    enum class Kind {
        Cancel,       // the browser's Cancel or close box: no item list
        Folder,       // a folder with a file-system path
        NonFileSystem // an item the shell cannot turn into a path
    };
    Kind kind = Kind::Cancel;
    std::string path; // Folder: the path the shell gives for it ("C:\\" for a root)

    static BrowseResult Cancel() { return {}; }
    static BrowseResult Folder(std::string folderPath) {
        return {Kind::Folder, std::move(folderPath)};
    }
    static BrowseResult NonFileSystem() { return {Kind::NonFileSystem, {}}; }
};

// One browser as the program asked for it and as the user closed it.
struct BrowseCall {
    HWND owner = nullptr;
    PCIDLIST_ABSOLUTE root = nullptr;
    bool displayNameBuffer = false; // pszDisplayName was given
    std::string title;
    UINT flags = 0;
    bool callback = false; // lpfn was given
    LPARAM lParam = 0;
    HWND browser = nullptr; // the browser's own window, gone once it closed
    BrowseResult result;
    bool answered = false; // false: nothing was scripted and it ended idle
};

struct ItemList {
    std::unique_ptr<unsigned char[]> memory; // what the program holds
    BrowseResult item;
};

// The simulated shell's side of the browser: what it was asked, which
// browsers are open (innermost last), and the item lists it handed out that
// the program has not freed yet.
struct FolderBrowser {
    std::vector<BrowseCall> calls;
    std::vector<size_t> open; // indexes into calls
    std::map<const void*, ItemList> itemLists;
    int strayFrees = 0;    // CoTaskMemFree of memory the shell never handed out
    int strayItemUses = 0; // item lists used after they were freed, or made up
};

class World {
public:
    World();

    // Registry. view is 32 or 64; the program runs as a 64-bit process.
    void SetRegistryValue(int view, const std::string& key, const std::string& name, DWORD type,
                          const std::string& bytes);
    void SetRegistryString(int view, const std::string& key, const std::string& name,
                           const std::string& text); // stored with its closing NUL

    // Drives and files. Paths are absolute Windows paths ("C:\\Games\\x").
    Drive& AddDrive(char letter, UINT type = DRIVE_FIXED, bool medium = true);
    Node& MakeDir(const std::string& path);
    Node& MakeFile(const std::string& path, uint64_t size = 0, DWORD attributes = 0);
    Node& MakeLink(const std::string& path, const std::string& target);
    Node* Find(const std::string& path); // follows links; nullptr when missing
    bool Exists(const std::string& path) { return Find(path) != nullptr; }
    std::string cwd = "C:\\Emberfall";
    bool driveListFails = false;

    // The program file and its command line.
    std::string modulePath = "C:\\Emberfall\\Pallwick.exe";
    std::string commandLine = "\"C:\\Emberfall\\Pallwick.exe\"";

    // Resources: the dialog templates and strings of the program's script.
    void LoadResourceScript(const std::string& rcPath, const std::string& headerPath);
    std::map<int, DialogTemplate> dialogs;
    std::map<int, std::string> strings;
    std::vector<int> icons; // icon resource numbers present

    // User input, delivered through the thread's message queue in order.
    void Click(int controlId);               // a mouse click on a control of the active dialog
    void Key(int virtualKey);                // a key press on the focused window
    void SysCommand(UINT command);           // a window-menu command on the active dialog
    void Post(std::function<void()> action); // run a test's code as a queued message
    // Answers to the next message boxes, in order. Without one, a box is
    // answered as closing it would (Cancel, No, or OK) and marked unanswered.
    void AnswerMessageBox(int answer);
    void AnswerMessageBox(Responder responder);

    // Clock. The modal loops advance it to the next timer when idle.
    uint64_t now = 0;
    void AdvanceClock(uint64_t ms);
    // What a modal loop does with nothing to handle: time passes until the
    // next timer is due. With no timer armed the next WhenIdle action runs;
    // false when there is none either (the loop would wait forever), and the
    // loop then counts an idle exit under the given name.
    bool WaitForTimer(const std::string& loopName);

    // What happened.
    std::vector<std::string> calls; // "Name(arg, arg)" of the calls that matter
    std::vector<std::string> CallsTo(const std::string& name) const;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<DrawnIcon> drawnIcons;
    int beeps = 0;
    int idleExits = 0; // modal loops that ended for lack of scripted input
    bool quitPosted = false;
    int criticalErrorPrompts = 0; // "insert a disk" prompts the system would show

    // Windows, by kind.
    Window* ActiveDialog(); // the topmost live dialog
    Window* DialogByTemplate(int templateId);
    Window* Control(int id); // a control of the active dialog
    std::string ControlText(int id) { return Control(id) ? Control(id)->text : "<none>"; }
    bool ControlEnabled(int id) { return Control(id) && Control(id)->enabled; }
    int FocusId();
    Window* focus = nullptr;

    // Settings of the simulated system.
    int iconWidth = 32, iconHeight = 32;
    RECT workArea{0, 0, 1024, 738};
    bool winHelpWorks = true;
    UINT errorMode = 0;
    std::map<int, bool> keyDown; // VK_SHIFT, VK_CONTROL, VK_MENU held

    // ---- Shell: file copy and program start (shell_copy.cpp) ----
    std::vector<FileOperation> fileOperations; // every SHFileOperationA request
    std::vector<ShellExecution> executions;    // every ShellExecuteA call
    // The user presses Cancel in the copy's progress window once `files`
    // files are written: the aborted flag set, and ERROR_CANCELLED (some
    // shells answer 0 and tell of the cancel by the flag alone).
    void CancelCopyAfter(int files, int result = ERROR_CANCELLED);
    // The copy stops on an error once `files` files are written, and tells
    // of it by its result alone (a full disk, a folder it may not write).
    void FailCopyAfter(int files, int result);
    // The copy reports success although this destination file was not
    // written, or was written with only `size` bytes.
    void OmitCopiedFile(const std::string& destination);
    void ShortenCopiedFile(const std::string& destination, uint64_t size);
    CopyScript copyScript;

    // ---- internals, shared by the simulation's own files ----
    struct RegValue {
        DWORD type;
        std::string bytes;
    };
    std::map<std::string, RegValue> registry; // "view|hklm\\key|name", lower case
    std::map<char, Drive> drives;
    std::vector<std::unique_ptr<Window>> windows;
    std::vector<Window*> modalStack;
    std::deque<MSG> queue;
    std::vector<std::function<void()>> actions;
    std::deque<Responder> responders;
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        UINT elapse;
        uint64_t due;
    };
    std::vector<Timer> timers;
    DWORD lastError = 0;
    void Log(const std::string& call) { calls.push_back(call); }

    // ---- Drive search: long walks, the moments they can be seen, odd drive lists ----
    // The drive list the system reports in place of the defined drives: the
    // roots as the call writes them, each ended by a NUL (the list's own
    // closing NUL is added). When it does not fit, the caller's buffer is
    // left as garbage, as after driveListFails.
    std::optional<std::string> driveList;
    // Runs at every PeekMessageA before it looks at the queue: the moments at
    // which a long operation lets the user see the dialog and act on it.
    std::function<void()> onPeek;
    // Run, in order, when a modal loop has nothing left to do (no input, no
    // timer), instead of ending it; each may script more input.
    void WhenIdle(std::function<void()> action) { idleActions.push_back(std::move(action)); }
    std::deque<std::function<void()>> idleActions;
    // QueryPerformanceCounter, in microseconds. The modal clock (now) stands
    // still while a handler works; this one moves on by perfCounterStep at
    // every reading, as if the work between two readings took that long. By
    // default a reading always finds that plenty of time has passed.
    uint64_t perfCounter = 0;
    uint64_t perfCounterStep = 1000000;
    // FindNextFileA calls so far, whatever their result: how far a walk has got.
    uint64_t findNextCalls = 0;

    // ---- Folder browser ----
    // The user closes the innermost open folder browser. Queued like a
    // click: the browser's own loop first runs everything queued before it,
    // so input queued between the click that opens the browser and this
    // reaches the installer dialog while the browser is open.
    void CloseBrowser(BrowseResult result);
    FolderBrowser browser;
};

// The one simulated machine; Reset() gives every test a fresh one.
World& W();
void Reset();

Window* FromHandle(HWND hwnd);
HICON IconHandle(int resourceId); // the handle LoadIcon gives for an icon resource
size_t OpenFindHandles();         // directory searches not yet closed
size_t OpenRegistryKeys();        // registry keys not yet closed
std::string Lower(std::string s);

// Private messages by which the simulated input reaches the queue.
constexpr UINT WM_SIM_CLICK = 0x7F01;
constexpr UINT WM_SIM_ACTION = 0x7F02;

} // namespace sim
