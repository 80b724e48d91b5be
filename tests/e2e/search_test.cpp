// The search button: the scan of the machine's drives, the question about a
// find, and the stop. The prefix has D:, a fixed disk, and E:, a CD-ROM
// drive (run-under-wine.sh); C: is the prefix itself.
#include "tests/e2e/installer_fixture.h"

#include <string>
#include <vector>

namespace e2e {
namespace {

constexpr char kIdleCaption[] = "Search my drives for the Orvantis installation";
constexpr char kStopCaption[] = "...Abort scanning...";
constexpr char kAborted[] = "User aborted seach.";

std::string question(const std::string& folder) {
    return "Found an Orvantis installation in " + folder +
           ". If this is the correct installation, click YES. If not, click NO to continue "
           "searching.";
}

// The entries of a folder, as full paths; none when it cannot be read.
std::vector<std::string> entriesOf(const std::string& dir) {
    std::vector<std::string> entries;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(joinPath(dir, "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") {
            entries.push_back(joinPath(dir, name));
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return entries;
}

class SearchTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        // A search walks all of C:, where earlier tests leave their worlds
        // (games among them) for inspection: those would be found first.
        // D: and E: belong to these tests.
        for (const std::string& entry : entriesOf("C:\\e2e")) {
            if (entry != root()) {
                removeTree(entry);
            }
        }
        for (const char* drive : {"D:\\", "E:\\"}) {
            for (const std::string& entry : entriesOf(drive)) {
                removeTree(entry);
            }
        }
    }

    // The scan has ended: the button shows the search caption again and
    // Cancel is live. False on time-out.
    bool waitForScanEnd() {
        return waitUntil(
            [&] {
                return app().text(kSearchButton) == kIdleCaption && app().enabled(kCancelButton);
            },
            kWindowTimeout * 4);
    }

    bool questionOpen() { return !app().windows("#32770", kMessageBoxCaption).empty(); }
};

TEST_F(SearchTest, FindsTheGameOnTheFixedDriveAndAsksAboutIt) {
    const std::string game = "D:\\Library\\Games\\Orvantis";
    makeGame(game);
    makeDirs("D:\\Library\\Music\\Albums");
    // Copies on the CD-ROM drive are never offered.
    makeGame("E:\\Orvantis");
    makeGame("E:\\Setup\\Orvantis");

    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_EQ(state(), kNothingFound);

    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "answered Yes" : "answered No");
        app().click(kSearchButton);
        const MessageBoxWindow box = app().waitForMessageBox();
        ASSERT_NE(box.hwnd, nullptr) << "the scan asked nothing";
        EXPECT_EQ(box.text(), question(game));
        EXPECT_TRUE(box.hasButton(IDYES) && box.hasButton(IDNO));
        // The scan waits for the answer, in its searching state.
        EXPECT_EQ(app().text(kSearchButton), kStopCaption);
        EXPECT_FALSE(app().enabled(kInstallButton));
        EXPECT_FALSE(app().enabled(kCancelButton));
        EXPECT_FALSE(app().enabled(kBrowseButton));

        box.press(answer);
        ASSERT_TRUE(waitForScanEnd())
            << "the scan did not end; another question open: " << questionOpen();
        EXPECT_FALSE(questionOpen());
        EXPECT_TRUE(app().enabled(kBrowseButton));
        EXPECT_TRUE(app().enabled(kSearchButton));
        if (answer == IDNO) {
            EXPECT_EQ(state(), kNothingFound);
        } else {
            EXPECT_EQ(state(), (DialogState{game, true}));
            EXPECT_EQ(focusedControl(app().dialog()), GetDlgItem(app().dialog(), kInstallButton));
        }
    }

    // The accepted folder is the one Install works on.
    app().click(kInstallButton);
    const MessageBoxWindow done = app().waitForMessageBox();
    ASSERT_NE(done.hwnd, nullptr) << "Install showed no message";
    done.press(IDCANCEL);
    expectExit("Cancel in the message after Install");
    for (const std::string& file : soundFiles()) {
        EXPECT_TRUE(fileExists(joinPath(game, "cd_image\\" + file))) << file;
    }
    EXPECT_FALSE(fileExists(joinPath(game, "Rename.ini")));
    expectGameUntouched("E:\\Orvantis");
}

TEST_F(SearchTest, StopClickDuringALongScanAbortsIt) {
    // A tree that takes the scan a good while, and a known game folder on
    // the CD-ROM drive, which the scan does not walk.
    for (int a = 0; a < 20; ++a) {
        for (int b = 0; b < 20; ++b) {
            for (int c = 0; c < 20; ++c) {
                makeDirs("D:\\Big\\" + std::to_string(a) + "\\" + std::to_string(b) + "\\" +
                         std::to_string(c));
            }
        }
    }
    makeGame("E:\\Orvantis");
    setInstallPath("E:\\Orvantis");

    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_EQ(state(), (DialogState{"E:\\Orvantis", true}));

    app().click(kSearchButton);
    ASSERT_TRUE(waitUntil([&] { return app().text(kFolderEdit).rfind("Scanning ", 0) == 0; },
                          kWindowTimeout))
        << "no progress shown";
    ASSERT_EQ(app().text(kSearchButton), kStopCaption);
    app().click(kSearchButton);

    ASSERT_TRUE(waitForScanEnd());
    // The stop forgets the known folder.
    EXPECT_EQ(state(), (DialogState{kAborted, false}));
    EXPECT_TRUE(app().enabled(kBrowseButton));
    EXPECT_TRUE(app().enabled(kSearchButton));
    EXPECT_FALSE(questionOpen());
}

} // namespace
} // namespace e2e
