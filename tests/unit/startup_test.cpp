// Start-up: the registered folder, the folder line and the Install button.
#include "fixture.h"

namespace {

class StartupTest : public SimTest {
protected:
    // Runs the program, takes the dialog's state as it opened, then cancels.
    DialogState OpenAndRead() {
        DialogState state{};
        w().Post([&] { state = ReadDialog(); });
        w().Click(IDCANCEL);
        RunProgram();
        return state;
    }
};

TEST_F(StartupTest, RegisteredGameFolderIsShownAsStoredAndInstallIsEnabled) {
    MakeGame("C:\\Games\\Orvantis");
    Register("C:\\Games\\Orvantis");
    DialogState s = OpenAndRead();
    EXPECT_EQ(s.folderLine, "C:\\Games\\Orvantis");
    EXPECT_TRUE(s.install);
    EXPECT_EQ(s.focus, IDC_FOLDER_EDIT);
    EXPECT_EQ(w().idleExits, 0);
}

TEST_F(StartupTest, NoFolderStartsEmptyWithInstallDisabled) {
    MakeGame("C:\\Games\\Orvantis");
    struct Case {
        const char* name;
        void (*arrange)();
    } cases[] = {
        {"no value", [] {}},
        {"folder without marker", [] { Register("C:\\Games\\Elsewhere"); }},
        {"value only in the 64-bit view",
         [] { w().SetRegistryString(64, kGameKey, "InstallPath", "C:\\Games\\Orvantis"); }},
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
    }
}
} // namespace
