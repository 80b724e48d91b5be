// The About box: where it opens, and that every way of closing it gives the
// installer dialog back exactly as it was.
#include "fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class AboutBoxTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeGame("C:\\Games\\Orvantis");
        Register("C:\\Games\\Orvantis");
    }
};

bool operator==(const DialogState& a, const DialogState& b) {
    return a.folderLine == b.folderLine && a.install == b.install && a.cancel == b.cancel &&
           a.browse == b.browse && a.search == b.search && a.searchText == b.searchText &&
           a.focus == b.focus;
}

TEST_F(AboutBoxTest, OpensCentredOverTheInstallerDialog) {
    // The installer dialog away from the middle of the work area, so that
    // centring on the screen would not pass for centring on the owner.
    RECT installer{}, about{};
    w().Post([] {
        SetWindowPos(w().ActiveDialog()->handle(), nullptr, 40, 60, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    });
    w().SysCommand(IDM_ABOUTBOX);
    w().Post([&] {
        GetWindowRect(w().DialogByTemplate(IDD_INSTALLER_DIALOG)->handle(), &installer);
        GetWindowRect(w().DialogByTemplate(IDD_ABOUTBOX)->handle(), &about);
    });
    w().Key(VK_ESCAPE);
    w().Click(IDCANCEL);
    RunProgram();
    ASSERT_GT(about.right - about.left, 0);
    EXPECT_LT(about.right - about.left, installer.right - installer.left);
    EXPECT_NEAR(about.left + about.right, installer.left + installer.right, 1);
    EXPECT_NEAR(about.top + about.bottom, installer.top + installer.bottom, 1);
    EXPECT_EQ(w().idleExits, 0);
}

TEST_F(AboutBoxTest, EveryWayOfClosingLeavesTheInstallerDialogAsItWas) {
    struct Case {
        const char* name;
        void (*close)();
        int result;
    } cases[] = {
        {"OK", [] { w().Click(IDOK); }, IDOK},
        {"Enter", [] { w().Key(VK_RETURN); }, IDOK},
        {"Escape", [] { w().Key(VK_ESCAPE); }, IDCANCEL},
        {"close box", [] { w().SysCommand(SC_CLOSE); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        DialogState before{}, after{};
        bool disabledWhileOpen = false;
        w().Post([&] { before = ReadDialog(); });
        w().SysCommand(IDM_ABOUTBOX);
        w().Post([&] { disabledWhileOpen = !w().DialogByTemplate(IDD_INSTALLER_DIALOG)->enabled; });
        c.close();
        // The close box's Cancel command is itself posted: look only after it.
        w().Post([&] {
            w().Post([&] {
                after = ReadDialog();
                EXPECT_TRUE(w().DialogByTemplate(IDD_INSTALLER_DIALOG)->enabled);
                EXPECT_EQ(w().ActiveDialog()->templateId, IDD_INSTALLER_DIALOG);
            });
            w().Click(IDCANCEL);
        });
        RunProgram();
        EXPECT_TRUE(disabledWhileOpen);
        EXPECT_TRUE(after == before)
            << "folder line \"" << after.folderLine << "\", focus " << after.focus;
        EXPECT_EQ(before.focus, IDC_FOLDER_EDIT);
        EXPECT_THAT(w().CallsTo("EndDialog"),
                    ElementsAre("EndDialog(dialog100, " + std::to_string(c.result) + ")",
                                "EndDialog(dialog102, 2)"));
        EXPECT_EQ(w().idleExits, 0);
    }
}

} // namespace
