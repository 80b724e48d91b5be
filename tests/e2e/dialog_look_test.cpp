// How the installer dialog looks and takes the keyboard: its controls where
// the template puts them, with their classes, texts and styles; a window of
// fixed size centred in the work area; Tab through the tab stops in order; a
// folder line that takes no typing; the About entry at the end of the window
// menu.
#include "tests/e2e/dialog_probe.h"
#include "tests/e2e/installer_fixture.h"

#include <cctype>
#include <cstring>

namespace e2e {
namespace {

struct TemplateControl {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
    int x, y, cx, cy; // dialog units
};

const TemplateControl kInstallerControls[] = {
    {kFolderEdit, "EDIT", "", 0x50810880, 11, 37, 197, 14},
    {kBrowseButton, "BUTTON", "", 0x50010040, 212, 36, 19, 16},
    {kSearchButton, "BUTTON", "Search my drives for the Orvantis installation", 0x50010000, 11, 56,
     220, 15},
    {kInstallButton, "BUTTON", "Install", 0x50010001, 175, 80, 60, 14},
    {kCancelButton, "BUTTON", "Cancel", 0x50010000, 7, 80, 60, 14},
    {-1, "BUTTON", "Orvantis folder:", 0x50000007, 7, 27, 228, 49},
    {-1, "STATIC",
     "Choose the correct Orvantis folder below and click \"Install\" to install the Emberfall "
     "files.",
     0x50021000, 8, 7, 227, 18},
};

std::string upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

// What the system makes of a template's control styles when it creates the
// controls, on Windows as under Wine: the dialog manager adds
// WS_EX_NOPARENTNOTIFY to every control and, in a dialog with the 3-D look,
// turns an edit's WS_BORDER into WS_EX_CLIENTEDGE; a sunken static adds
// WS_EX_STATICEDGE.
void expectShownStyles(const ControlInfo& shown, const std::string& cls, DWORD style) {
    DWORD expectedStyle = style;
    DWORD expectedEx = WS_EX_NOPARENTNOTIFY;
    if (cls == "EDIT" && (style & WS_BORDER)) {
        expectedStyle &= ~static_cast<DWORD>(WS_BORDER);
        expectedEx |= WS_EX_CLIENTEDGE;
    }
    if (cls == "STATIC" && (style & SS_SUNKEN)) {
        expectedEx |= WS_EX_STATICEDGE;
    }
    EXPECT_EQ(shown.style, expectedStyle) << std::hex << "style 0x" << shown.style;
    EXPECT_EQ(shown.exStyle, expectedEx) << std::hex << "extended style 0x" << shown.exStyle;
}

using DialogLook = InstallerTest;

TEST_F(DialogLook, ControlsStandAsTheTemplateGivesThem) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());

    const std::vector<ControlInfo> shown = controlsInOrder(app().dialog());
    ASSERT_EQ(shown.size(), std::size(kInstallerControls));
    for (size_t i = 0; i < shown.size(); ++i) {
        const TemplateControl& t = kInstallerControls[i];
        SCOPED_TRACE(std::string("control ") + std::to_string(i + 1) + " \"" + t.text + "\"");
        EXPECT_EQ(shown[i].id, t.id);
        EXPECT_EQ(upper(shown[i].cls), t.cls);
        // The folder line shows the registered folder; the template leaves it empty.
        EXPECT_EQ(shown[i].text, t.id == kFolderEdit ? gameDir() : t.text);
        expectShownStyles(shown[i], t.cls, t.style);
        EXPECT_EQ(shown[i].rect, dialogUnitsToPixels(t.x, t.y, t.cx, t.cy));
    }
}

TEST_F(DialogLook, FixedSizeWindowCentredInTheWorkArea) {
    ASSERT_NO_FATAL_FAILURE(launch());
    const HWND dialog = app().dialog();

    EXPECT_EQ(windowText(dialog), "Orvantis Emberfall Installer");
    const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME))
        << "a minimise or maximise box or a sizing border";
    // The template's style, with what the system adds to every top-level
    // window (WS_CLIPSIBLINGS) and to every dialog (DS_3DLOOK).
    EXPECT_EQ(style, 0x90C800C0u | WS_CLIPSIBLINGS | DS_3DLOOK) << std::hex << "0x" << style;
    // WS_EX_APPWINDOW from the template; the frame's and the dialog
    // manager's own additions.
    EXPECT_EQ(exStyle, static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE |
                                          WS_EX_CONTROLPARENT))
        << std::hex << "0x" << exStyle;

    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client, dialogUnitsToPixels(0, 0, 242, 101));

    RECT window{}, area{};
    GetWindowRect(dialog, &window);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_NEAR(window.left + window.right, area.left + area.right, 1) << window;
    EXPECT_NEAR(window.top + window.bottom, area.top + area.bottom, 1) << window;
}

// ---------------------------------------------------------------------------
// Tab visits the tab stops in template order, skipping a disabled Install.

struct TabCase {
    const char* name;
    bool gameFound;
    std::vector<int> stops; // after the folder line, where the focus starts
};
void PrintTo(const TabCase& c, std::ostream* os) {
    *os << c.name;
}

class DialogTabOrder : public InstallerTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(DialogTabOrder, TabVisitsTheTabStopsInOrder) {
    const TabCase& c = GetParam();
    if (c.gameFound) {
        installGame();
    }
    ASSERT_NO_FATAL_FAILURE(launch());
    const HWND dialog = app().dialog();
    ASSERT_TRUE(waitUntil([&] { return focusedControl(dialog) == GetDlgItem(dialog, kFolderEdit); },
                          kWindowTimeout))
        << "the focus does not start on the folder line";

    for (int id : c.stops) {
        pressKey(focusedControl(dialog), VK_TAB);
        EXPECT_TRUE(waitUntil([&] { return focusedControl(dialog) == GetDlgItem(dialog, id); },
                              kExitTimeout))
            << "Tab did not move on to control " << id << "; the focus is on control "
            << GetDlgCtrlID(focusedControl(dialog));
    }
}

const TabCase kTabCases[] = {
    {"InstallEnabled",
     true,
     {kBrowseButton, kSearchButton, kInstallButton, kCancelButton, kFolderEdit}},
    {"InstallDisabled", false, {kBrowseButton, kSearchButton, kCancelButton, kFolderEdit}},
};
INSTANTIATE_TEST_SUITE_P(Cases, DialogTabOrder, ::testing::ValuesIn(kTabCases), CaseName{});

// ---------------------------------------------------------------------------
// The folder line shows the folder and takes nothing the user types.

struct TypingCase {
    const char* name;
    void (*type)(HWND edit);
};
void PrintTo(const TypingCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderLine : public InstallerTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(FolderLine, TakesNoTyping) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());
    const HWND edit = GetDlgItem(app().dialog(), kFolderEdit);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);

    GetParam().type(edit);
    // Posted messages are handled in order: once a Tab posted after the
    // typing has moved the focus on, the typing has been handled.
    pressKey(edit, VK_TAB);
    ASSERT_TRUE(waitUntil([&] { return focusedControl(app().dialog()) != edit; }, kExitTimeout))
        << "the focus stayed on the folder line";
    EXPECT_EQ(app().text(kFolderEdit), gameDir());
}

const TypingCase kTypingCases[] = {
    {"Character", [](HWND edit) { PostMessageA(edit, WM_CHAR, 'x', 1); }},
    {"Backspace",
     [](HWND edit) {
         pressKey(edit, VK_BACK);
         PostMessageA(edit, WM_CHAR, '\b', 1);
     }},
    {"Delete", [](HWND edit) { pressKey(edit, VK_DELETE); }},
    {"Cut", [](HWND edit) { PostMessageA(edit, WM_CUT, 0, 0); }},
    {"Clear", [](HWND edit) { PostMessageA(edit, WM_CLEAR, 0, 0); }},
    {"Paste",
     [](HWND edit) {
         const char text[] = "C:\\Elsewhere";
         ASSERT_TRUE(OpenClipboard(nullptr));
         EmptyClipboard();
         HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
         memcpy(GlobalLock(data), text, sizeof text);
         GlobalUnlock(data);
         SetClipboardData(CF_TEXT, data);
         CloseClipboard();
         PostMessageA(edit, WM_PASTE, 0, 0);
     }},
};
INSTANTIATE_TEST_SUITE_P(Cases, FolderLine, ::testing::ValuesIn(kTypingCases), CaseName{});

// ---------------------------------------------------------------------------
// The window menu's last entry opens the About box. Another process cannot
// read a menu under Wine, so this works the menu with the keyboard: the menu
// opens on its first entry, Up wraps to the last one, Enter runs it. (The
// host tests check the entry's text and the separator before it.)

TEST_F(DialogLook, WindowMenusLastEntryOpensTheAboutBox) {
    ASSERT_NO_FATAL_FAILURE(launch());
    const HWND dialog = app().dialog();
    ASSERT_TRUE(PostMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, ' '));
    pressKey(dialog, VK_UP);
    pressKey(dialog, VK_RETURN);

    std::vector<HWND> about;
    ASSERT_TRUE(waitUntil(
        [&] {
            about = app().windows("#32770", "About Pallwick");
            return !about.empty();
        },
        kWindowTimeout))
        << "no About box";
    EXPECT_EQ(GetWindow(about.front(), GW_OWNER), dialog);

    pressKey(GetDlgItem(about.front(), IDOK), VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(about.front()); }, kExitTimeout));
    app().click(kCancelButton);
    expectExit("Cancel");
}

} // namespace
} // namespace e2e
