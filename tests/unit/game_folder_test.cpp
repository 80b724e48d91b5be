// The folder check: the marker file below a folder, the joining rule, and
// the three conditions of the existence test.
#include "fixture.h"

#include <string>

namespace {

class GameFolderTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        // As the program's start-up does: no "insert a disk" prompts.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        w().cwd = "C:\\Emberfall";
    }
    bool Check(const std::string& folder) { return CInstallerDlg().IsGameFolder(folder.c_str()); }
};

TEST_F(GameFolderTest, JoinsTheMarkerPathByTheSeparatorRule) {
    MakeGame("C:\\Games\\Orvantis");
    MakeGame("D:\\");
    MakeGame("C:\\Emberfall\\Relative");
    MakeGame("C:\\"); // the root of the current drive
    struct Case {
        const char* folder;
        bool found;
    } cases[] = {
        {"C:\\Games\\Orvantis", true},   // one backslash joined
        {"C:\\Games\\Orvantis\\", true}, // none added after a backslash
        {"C:\\Games\\Orvantis/", true},  // nor after a slash
        {"C:/Games/Orvantis", true},     // slashes inside are the file system's business
        {"c:\\GAMES\\orvantis", true},   // no case folding of our own; the drive matches without
        {"D:\\", true},                  // a drive root
        {"D:", true},                    // "D:" + "\" is the root again
        {"Relative", true},              // relative to the current directory
        {"", true},                      // the empty text: the root of the current drive
        {"\\Games\\Orvantis", true},     // relative to the current drive's root
        {"C:\\Games", false},            // a parent of the game folder
        {"C:\\Games\\Orvantis\\cd_image", false},
        {"C:\\Games\\Orvant*", false}, // not a pattern
        {"C:\\Games\\Orvanti?", false},
        {"C:\\Games\\*", false},
        {"E:\\Games\\Orvantis", false}, // no such drive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(Check(c.folder), c.found);
    }
}

TEST_F(GameFolderTest, AnyEntryNamedLikeTheMarkerCounts) {
    w().MakeFile("C:\\Empty\\cd_image\\data\\db\\ResourceDatabase.dat", 0);
    w().MakeDir("C:\\AsFolder\\cd_image\\data\\db\\ResourceDatabase.dat");
    w().MakeFile("C:\\Hidden\\cd_image\\data\\db\\ResourceDatabase.dat", 10,
                 FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    w().MakeFile("C:\\Elsewhere\\cd_image\\data\\ResourceDatabase.dat", 10);
    w().MakeFile("C:\\Wrong\\cd_image\\data\\db\\ResourceDatabase.bak", 10);
    EXPECT_TRUE(Check("C:\\Empty"));
    EXPECT_TRUE(Check("C:\\AsFolder"));
    EXPECT_TRUE(Check("C:\\Hidden"));
    EXPECT_FALSE(Check("C:\\Elsewhere"));
    EXPECT_FALSE(Check("C:\\Wrong"));
}

TEST_F(GameFolderTest, ADriveWithoutAMediumFailsWithoutAPrompt) {
    w().AddDrive('E', DRIVE_CDROM, false);
    EXPECT_FALSE(Check("E:\\Orvantis"));
    EXPECT_EQ(w().criticalErrorPrompts, 0);
    EXPECT_EQ(w().CallsTo("GetVolumeInformationA").back(), "GetVolumeInformationA(E:\\)");
}

TEST_F(GameFolderTest, ANetworkFolderAsksTheShareRoot) {
    EXPECT_FALSE(Check("\\\\server\\share\\Games\\Orvantis"));
    EXPECT_EQ(w().CallsTo("GetVolumeInformationA").back(),
              "GetVolumeInformationA(\\\\server\\share\\)");
}

TEST_F(GameFolderTest, AMarkerPathPastThePathLimitIsNeverFound) {
    // The absolute marker path: folder + "\" + 37 characters of marker.
    const size_t markerPart = 1 + kMarker.size();
    auto folderOfLength = [](size_t n) {
        std::string f = "C:\\";
        while (f.size() < n) {
            std::string part(std::min<size_t>(60, n - f.size()), 'x');
            f += part;
            if (f.size() < n)
                f += "\\";
        }
        if (f.back() == '\\')
            f.back() = 'y';
        return f;
    };
    std::string fits = folderOfLength(259 - markerPart);    // 259 characters and the NUL
    std::string tooLong = folderOfLength(260 - markerPart); // one past the limit
    MakeGame(fits);
    MakeGame(tooLong);
    ASSERT_EQ(fits.size() + markerPart, 259u);
    EXPECT_TRUE(Check(fits));
    EXPECT_FALSE(Check(tooLong));
    // Far past the limit, nothing overruns either.
    EXPECT_FALSE(Check(std::string(5000, 'a')));
}

TEST_F(GameFolderTest, LeavesTheCallersTextAsItWas) {
    MakeGame("C:\\Games\\Orvantis");
    CInstallerDlg dlg;
    for (const char* text : {"C:\\Games\\Orvantis", "C:\\Nowhere", ""}) {
        CString folder(text);
        dlg.IsGameFolder(folder);
        EXPECT_EQ(folder, text);
    }
}

} // namespace
