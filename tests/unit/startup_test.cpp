// Start-up: the registered folder, the folder line, the Install button, the
// window menu, the icons, and how the dialog ends.
#include "fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class StartupTest : public SimTest {
protected:
    // Runs the program, takes the dialog's state as it opened, then cancels.
    DialogState OpenAndRead() {
        DialogState state{};
        w().Post([&] { state = ReadDialog(); });
        w().Click(IDCANCEL);
        RunProgram();
        EXPECT_EQ(w().idleExits, 0);
        return state;
    }
};

TEST_F(StartupTest, RegisteredGameFolderIsShownAsStoredAndInstallIsEnabled) {
    for (const char* stored :
         {"C:\\Games\\Orvantis", "C:\\Games\\Orvantis\\", "c:/games/orvantis"}) {
        SCOPED_TRACE(stored);
        SetUp();
        MakeGame("C:\\Games\\Orvantis");
        Register(stored);
        DialogState s = OpenAndRead();
        EXPECT_EQ(s.folderLine, stored);
        EXPECT_TRUE(s.install);
        EXPECT_TRUE(s.cancel && s.browse && s.search);
        EXPECT_EQ(s.searchText, "Search my drives for the Orvantis installation");
        EXPECT_EQ(s.focus, IDC_FOLDER_EDIT);
    }
}

TEST_F(StartupTest, ReadsTheValueFromThe32BitViewIntoAPathSizedBuffer) {
    MakeGame("C:\\Games\\Orvantis");
    Register("C:\\Games\\Orvantis");
    OpenAndRead();
    EXPECT_THAT(w().CallsTo("RegOpenKeyExA"),
                ElementsAre("RegOpenKeyExA(HKEY_LOCAL_MACHINE, Software\\Orvantis, 0, 0x201)"));
    EXPECT_THAT(w().CallsTo("RegQueryValueExA"), ElementsAre("RegQueryValueExA(InstallPath, 260)"));
    // Install goes off before the check and on again when it passes.
    EXPECT_THAT(w().CallsTo("EnableWindow"),
                ElementsAre("EnableWindow(1, 0)", "EnableWindow(1, 1)"));
}

TEST_F(StartupTest, NoUsableFolderStartsEmptyWithInstallDisabled) {
    struct Case {
        const char* name;
        void (*arrange)();
    } cases[] = {
        {"no value", [] {}},
        {"folder without marker", [] { Register("C:\\Games\\Elsewhere"); }},
        {"value only in the 64-bit view",
         [] { w().SetRegistryString(64, kGameKey, "InstallPath", "C:\\Games\\Orvantis"); }},
        {"value longer than the buffer",
         [] { Register("C:\\Games\\Orvantis\\" + std::string(300, 'x')); }},
        {"empty value", [] { Register(""); }},
        {"folder on a drive without a medium",
         [] {
             w().AddDrive('E', DRIVE_CDROM, false);
             Register("E:\\Orvantis");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        MakeGame("C:\\Games\\Orvantis");
        c.arrange();
        DialogState s = OpenAndRead();
        EXPECT_EQ(s.folderLine, "");
        EXPECT_FALSE(s.install);
        EXPECT_TRUE(s.cancel && s.browse && s.search);
        EXPECT_EQ(w().criticalErrorPrompts, 0);
    }
}

TEST_F(StartupTest, TheEmptyTextPassesWhenTheCurrentDrivesRootHoldsTheMarker) {
    MakeGame("C:\\");
    DialogState s = OpenAndRead();
    EXPECT_EQ(s.folderLine, "");
    EXPECT_TRUE(s.install);
}

TEST_F(StartupTest, AValueWithoutItsClosingNulYieldsNoMoreThanTheBufferHolds) {
    // Exactly 260 bytes and no NUL: the read may take the bytes, never more.
    std::string folder = "C:\\" + std::string(256, 'g') + "\\";
    ASSERT_EQ(folder.size(), 260u);
    w().SetRegistryValue(32, kGameKey, "InstallPath", REG_SZ, folder);
    w().SetRegistryValue(32, kGameKey, "Other", REG_SZ, "not to be read");
    DialogState s = OpenAndRead(); // AddressSanitizer watches the buffer
    EXPECT_EQ(s.folderLine, "");
    EXPECT_FALSE(s.install);

    // A value of another type is taken as text all the same.
    SetUp();
    MakeGame("C:\\Games\\Orvantis");
    w().SetRegistryValue(32, kGameKey, "InstallPath", REG_EXPAND_SZ,
                         std::string("C:\\Games\\Orvantis") + '\0');
    EXPECT_EQ(OpenAndRead().folderLine, "C:\\Games\\Orvantis");
}

TEST_F(StartupTest, WindowMenuEndsWithTheAboutEntry) {
    OpenAndRead();
    sim::Window* dlg = nullptr;
    for (auto& win : w().windows)
        if (win->templateId == IDD_INSTALLER_DIALOG)
            dlg = win.get();
    ASSERT_NE(dlg, nullptr);
    EXPECT_THAT(dlg->systemMenu, ElementsAre("SEPARATOR 0", "0x10 &About Pallwick..."));
}

TEST_F(StartupTest, NoWindowMenuOrNoAboutTextAddsNothing) {
    w().strings.erase(IDS_ABOUTBOX);
    OpenAndRead();
    for (auto& win : w().windows)
        EXPECT_TRUE(win->systemMenu.empty());

    SetUp();
    w().Post([] { w().ActiveDialog()->hasSystemMenu = false; });
    w().Click(IDCANCEL);
    RunProgram(); // still opens; nothing appended anywhere
    for (auto& win : w().windows)
        EXPECT_LE(win->systemMenu.size(), 2u);
}

TEST_F(StartupTest, SetsTheWindowIconsAndTheBrowseButtonImage) {
    DialogState s{};
    sim::Window* dlg = nullptr;
    w().Post([&] {
        dlg = w().ActiveDialog();
        s = ReadDialog();
    });
    w().Click(IDCANCEL);
    RunProgram();
    const std::string icon128 = "0x10080", icon130 = "0x10082";
    EXPECT_THAT(w().CallsTo("SendMessageA"),
                ElementsAre("SendMessageA(dialog102, 0x80, 0x1, " + icon128 + ")",
                            "SendMessageA(dialog102, 0x80, 0x0, " + icon128 + ")",
                            "SendMessageA(1001, 0xf7, 0x1, " + icon130 + ")"));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->bigIcon, sim::IconHandle(IDR_MAINFRAME));
    EXPECT_EQ(dlg->smallIcon, sim::IconHandle(IDR_MAINFRAME));
}

TEST_F(StartupTest, OpensCentredInTheWorkArea) {
    RECT rect{};
    w().workArea = RECT{0, 0, 1000, 700};
    w().Post([&] { GetWindowRect(w().ActiveDialog()->handle(), &rect); });
    w().Click(IDCANCEL);
    RunProgram();
    EXPECT_GT(rect.right - rect.left, 0);
    EXPECT_NEAR(rect.left + rect.right, 1000, 1); // centred to the pixel
    EXPECT_NEAR(rect.top + rect.bottom, 700, 1);
}

// ---- How the dialog ends ---------------------------------------------------------

TEST_F(StartupTest, CancelEscapeAndTheCloseCommandEndTheProgram) {
    struct Case {
        const char* name;
        void (*act)();
    } cases[] = {
        {"Cancel button", [] { w().Click(IDCANCEL); }},
        {"Escape", [] { w().Key(VK_ESCAPE); }},
        {"close command", [] { w().SysCommand(SC_CLOSE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        MakeGame("C:\\Games\\Orvantis");
        Register("C:\\Games\\Orvantis");
        c.act();
        RunProgram();
        EXPECT_THAT(w().CallsTo("EndDialog"), ElementsAre("EndDialog(dialog102, 2)"));
        EXPECT_EQ(w().idleExits, 0);
        EXPECT_TRUE(w().quitPosted);
        EXPECT_EQ(theApp.m_pMainWnd, nullptr);
        EXPECT_TRUE(w().CallsTo("RegSetValueExA").empty()); // nothing is written on the way out
    }
}

TEST_F(StartupTest, TheCloseCommandIsRefusedWhileCancelIsDisabled) {
    w().Post([] { EnableWindow(GetDlgItem(w().ActiveDialog()->handle(), IDCANCEL), FALSE); });
    w().SysCommand(SC_CLOSE);
    w().Post([] { EnableWindow(GetDlgItem(w().ActiveDialog()->handle(), IDCANCEL), TRUE); });
    w().Click(IDCANCEL);
    RunProgram();
    EXPECT_EQ(w().beeps, 1);
    EXPECT_THAT(w().CallsTo("EndDialog"), ElementsAre("EndDialog(dialog102, 2)"));
}

TEST_F(StartupTest, EnterDoesNothingWhileInstallIsDisabled) {
    w().Key(VK_RETURN);
    w().Click(IDCANCEL);
    RunProgram();
    EXPECT_THAT(w().CallsTo("EndDialog"), ElementsAre("EndDialog(dialog102, 2)"));
}

} // namespace
