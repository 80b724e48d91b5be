// The application object and the class library's services the program
// leans on: start-up order, arguments, message boxes and help.
#include "fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class AppTest : public SimTest {};

TEST_F(AppTest, StartsTheDialogAsMainWindowAndEndsWithIt) {
    HWND mainWhileOpen = nullptr;
    HWND dialog = nullptr;
    w().Post([&] {
        mainWhileOpen = theApp.m_pMainWnd ? theApp.m_pMainWnd->m_hWnd : nullptr;
        dialog = w().ActiveDialog()->handle();
    });
    w().Click(IDCANCEL);
    RunProgram();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(mainWhileOpen, dialog);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_TRUE(AfxControlContainerEnabled());
    // Common controls first, then the dialog, with no owner.
    std::vector<std::string> order;
    for (const std::string& c : w().calls)
        if (c.rfind("InitCommonControlsEx", 0) == 0 || c.rfind("DialogBoxParamA", 0) == 0)
            order.push_back(c);
    EXPECT_THAT(order, ElementsAre("InitCommonControlsEx(0x40ff)", "DialogBoxParamA(102, null)"));
    EXPECT_EQ(w().errorMode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}

TEST_F(AppTest, ArgumentsChangeNothing) {
    auto run = [](const std::string& commandLine) {
        SimTest::w().commandLine = commandLine;
        DialogState state{};
        w().Post([&] { state = ReadDialog(); });
        w().Click(IDCANCEL);
        RunProgram();
        std::vector<std::string> calls = w().calls;
        return std::make_pair(state.folderLine + (state.install ? "|on" : "|off"), calls);
    };
    MakeGame("C:\\Games\\Orvantis");
    Register("C:\\Games\\Orvantis");
    auto plain = run("\"C:\\Emberfall\\Pallwick.exe\"");
    EXPECT_EQ(plain.first, "C:\\Games\\Orvantis|on");
    for (const char* line :
         {"\"C:\\Emberfall\\Pallwick.exe\" readme.txt", "Pallwick.exe several plain words",
          "\"C:\\Emberfall\\Pallwick.exe\" /p /dde -Embedding /unregserver",
          "Pallwick.exe \"D:\\quoted path\\x.ini\" -",
          "Pallwick.exe /pt file printer driver port"}) {
        SCOPED_TRACE(line);
        SetUp();
        MakeGame("C:\\Games\\Orvantis");
        Register("C:\\Games\\Orvantis");
        EXPECT_EQ(run(line), plain);
    }
}

TEST_F(AppTest, CommandLineParserSeesFlagsAndParameters) {
    struct Recorder : CCommandLineInfo {
        std::vector<std::string> seen;
        void ParseParam(LPCSTR p, BOOL flag, BOOL last) override {
            seen.push_back(std::string(flag ? "flag:" : "param:") + p + (last ? " (last)" : ""));
            CCommandLineInfo::ParseParam(p, flag, last);
        }
    };
    w().commandLine = "\"C:\\Emberfall\\Pallwick.exe\" /p -dde \"a b.txt\" c";
    Recorder r;
    theApp.ParseCommandLine(r);
    EXPECT_THAT(r.seen, ElementsAre("flag:p", "flag:dde", "param:a b.txt", "param:c (last)"));
    EXPECT_EQ(r.m_nShellCommand, CCommandLineInfo::FileDDE);
    EXPECT_EQ(r.m_strFileName, "a b.txt");
}

// ---- Message boxes -----------------------------------------------------------

TEST_F(AppTest, MessageBoxCaptionIsTheProgramFilesNameWithoutFolderAndExtension) {
    struct Case {
        const char* module;
        const char* caption;
        const char* help;
    } cases[] = {
        {"C:\\Emberfall\\Pallwick.exe", "Pallwick", "C:\\Emberfall\\Pallwick.HLP"},
        {"D:\\setup.exe", "setup", "D:\\setup.HLP"},
        {"C:\\my.tools\\Pallwick.installer.exe", "Pallwick.installer",
         "C:\\my.tools\\Pallwick.installer.HLP"},
        {"C:\\my.tools\\Pallwick", "Pallwick", "C:\\my.tools\\Pallwick.HLP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        SetUp();
        w().modulePath = c.module;
        w().Post([] { AfxMessageBox("Hello"); });
        w().Click(IDCANCEL);
        RunProgram();
        ASSERT_EQ(w().messageBoxes.size(), 1u);
        EXPECT_EQ(w().messageBoxes[0].caption, c.caption);
        EXPECT_STREQ(theApp.m_pszHelpFilePath, c.help);
    }
}

TEST_F(AppTest, ExclamationIconIsAddedWhenNoIconIsNamed) {
    struct Case {
        UINT type;
        UINT shown;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
        {MB_OK | MB_ICONHAND, MB_OK | MB_ICONHAND},
    };
    for (const Case& c : cases) {
        w().Post([&] { AfxMessageBox("Text", c.type); });
    }
    w().Click(IDCANCEL);
    RunProgram();
    ASSERT_EQ(w().messageBoxes.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(w().messageBoxes[i].type, cases[i].shown) << "case " << i;
}

TEST_F(AppTest, MessageBoxIsOwnedByTheFrontmostWindowWhichIsDisabledMeanwhile) {
    w().AnswerMessageBox(IDYES);
    w().Post([] { EXPECT_EQ(AfxMessageBox("From the dialog", MB_YESNO), IDYES); });
    w().SysCommand(0x0010); // the About box, and a message while it is up
    w().Post([] { AfxMessageBox("From the About box"); });
    w().Key(VK_ESCAPE);
    w().Click(IDCANCEL);
    RunProgram();
    ASSERT_EQ(w().messageBoxes.size(), 2u);
    sim::Window* installer = sim::FromHandle(w().messageBoxes[0].owner);
    sim::Window* about = sim::FromHandle(w().messageBoxes[1].owner);
    ASSERT_TRUE(installer && about);
    EXPECT_EQ(installer->templateId, IDD_INSTALLER_DIALOG);
    EXPECT_EQ(about->templateId, IDD_ABOUTBOX);
    EXPECT_TRUE(w().messageBoxes[0].ownerWasDisabled);
    EXPECT_TRUE(w().messageBoxes[1].ownerWasDisabled);
}

// ---- Help ------------------------------------------------------------------------

TEST_F(AppTest, F1OpensTheHelpFileAtTheTopicOfTheDialogInFront) {
    w().Key(VK_F1);
    w().SysCommand(0x0010);
    w().Key(VK_F1);
    w().Key(VK_ESCAPE);
    w().Click(IDCANCEL);
    RunProgram();
    EXPECT_THAT(w().CallsTo("WinHelpA"),
                ElementsAre("WinHelpA(C:\\Emberfall\\Pallwick.HLP, 0x1, 0x20066)",
                            "WinHelpA(C:\\Emberfall\\Pallwick.HLP, 0x1, 0x20064)"));
    EXPECT_TRUE(w().messageBoxes.empty());
}

TEST_F(AppTest, F1WithAModifierAsksForNoHelp) {
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        SetUp();
        w().keyDown[key] = true;
        w().Key(VK_F1);
        w().Click(IDCANCEL);
        RunProgram();
        EXPECT_TRUE(w().CallsTo("WinHelpA").empty()) << key;
    }
}

TEST_F(AppTest, HelpThatCannotStartSaysSo) {
    w().winHelpWorks = false;
    w().Key(VK_F1);
    w().Click(IDCANCEL);
    RunProgram();
    ASSERT_EQ(w().messageBoxes.size(), 1u);
    EXPECT_EQ(w().messageBoxes[0].text, "Failed to launch help.");
    EXPECT_EQ(w().messageBoxes[0].caption, "Pallwick");
    EXPECT_EQ(w().messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
}

} // namespace
