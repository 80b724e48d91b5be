// The folder button: the shell's folder browser, and what a pick in it does.
#include "tests/e2e/installer_fixture.h"

namespace e2e {
namespace {

constexpr char kBrowseTitle[] = "Select the folder where Orvantis is installed:";

std::string refusal(const std::string& folder) {
    return folder + " does not seem to be the Orvantis folder.\nPlease select another folder, or "
                    "click \"Search My Drives For Orvantis\" to automatically find it.";
}

class BrowseTest : public InstallerTest {
protected:
    // Clicks the folder button and waits for the browser.
    // Use as ASSERT_NO_FATAL_FAILURE(openBrowser()).
    void openBrowser() {
        app().click(kBrowseButton);
        browser_ = app().waitForFolderBrowser(kBrowseTitle);
        ASSERT_NE(browser_.hwnd, nullptr)
            << "no folder browser showing \"" << kBrowseTitle << "\" appeared";
    }

    // Closes the browser with one of its buttons and waits until the
    // installer is idle again. Use as ASSERT_NO_FATAL_FAILURE(closeBrowser(...)).
    void closeBrowser(int button) {
        browser_.press(button);
        ASSERT_TRUE(browser_.waitClosed()) << "the folder browser did not close";
        WaitForInputIdle(app().process(), kWindowTimeout);
    }

    // Selects the folder in the browser's tree and waits until the tree shows
    // an item labelled ...`label` selected. Wine's browser fills its tree as
    // a selection walks it, and now and then passes over the first request in
    // a fresh browser: ask again until the selection shows.
    bool selectFolder(const std::string& path, const std::string& label) {
        return waitUntil(
            [&] {
                if (!browser_.select(path)) {
                    return false;
                }
                const std::string shown = browser_.selectedItem();
                return shown.size() >= label.size() &&
                       shown.compare(shown.size() - label.size(), label.size(), label) == 0;
            },
            kWindowTimeout);
    }

    const FolderBrowserWindow& browser() const { return browser_; }

private:
    FolderBrowserWindow browser_;
};

// ---------------------------------------------------------------------------
// The browser has no owner, and cancelling it changes nothing.

struct CancelCase {
    const char* name;
    bool registered; // a complete game is registered
};
void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class BrowseCancel : public BrowseTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(BrowseCancel, BrowserHasNoOwnerAndCancellingLeavesTheDialogAsItWas) {
    if (GetParam().registered) {
        installGame();
    }
    ASSERT_NO_FATAL_FAILURE(launch());
    const DialogState before = state();
    ASSERT_EQ(before, (GetParam().registered ? DialogState{gameDir(), true} : kNothingFound));

    ASSERT_NO_FATAL_FAILURE(openBrowser());
    EXPECT_EQ(browser().owner(), nullptr);
    // Modal to nothing: the installer dialog stays enabled while it is open.
    EXPECT_TRUE(IsWindowEnabled(app().dialog()));
    EXPECT_TRUE(app().enabled(kBrowseButton));

    ASSERT_NO_FATAL_FAILURE(closeBrowser(IDCANCEL));
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(app().windows("#32770", kMessageBoxCaption).empty());

    app().click(kCancelButton);
    expectExit("Cancel");
}

const CancelCase kCancelCases[] = {
    {"WithoutFolder", false},
    {"WithRegisteredFolder", true},
};
INSTANTIATE_TEST_SUITE_P(Cases, BrowseCancel, ::testing::ValuesIn(kCancelCases), CaseName{});

// Modal to nothing: the installer's own handlers run while the browser is
// open, so its folder button opens a second browser, and each can be
// cancelled in turn.
TEST_F(BrowseTest, DialogTakesClicksWhileTheBrowserIsOpen) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_NO_FATAL_FAILURE(openBrowser());
    const HWND first = browser().hwnd;

    app().click(kBrowseButton);
    FolderBrowserWindow second;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (HWND candidate : app().windows("#32770", nullptr)) {
                const FolderBrowserWindow found{candidate};
                if (candidate != first && candidate != app().dialog() &&
                    found.showsText(kBrowseTitle)) {
                    second = found;
                }
            }
            return second.hwnd != nullptr;
        },
        kWindowTimeout))
        << "the folder button opened no second browser";
    EXPECT_EQ(second.owner(), nullptr);

    second.press(IDCANCEL);
    ASSERT_TRUE(second.waitClosed());
    EXPECT_TRUE(IsWindowVisible(first));
    ASSERT_NO_FATAL_FAILURE(closeBrowser(IDCANCEL));
    EXPECT_EQ(state(), (DialogState{gameDir(), true}));

    app().click(kCancelButton);
    expectExit("Cancel");
}

// ---------------------------------------------------------------------------
// A folder picked in the browser: taken when it holds the marker, refused
// with a message otherwise.

struct PickCase {
    const char* name;
    bool registered;    // a complete game is registered in gameDir()
    const char* picked; // below the test's root; nullptr: the root of C:
    void (*arrange)(const std::string& picked);
    const char* treeLabel; // how the selected tree item's label ends
    bool accepted;
};
void PrintTo(const PickCase& c, std::ostream* os) {
    *os << c.name;
}

class BrowsePick : public BrowseTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(BrowsePick, PickedFolderIsTakenOrRefused) {
    const PickCase& c = GetParam();
    if (c.registered) {
        installGame();
    }
    const std::string picked = c.picked ? joinPath(root(), c.picked) : "C:\\";
    c.arrange(picked);

    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_NO_FATAL_FAILURE(openBrowser());
    ASSERT_TRUE(selectFolder(picked, c.treeLabel))
        << "the browser's tree did not select " << picked << "; it shows \""
        << browser().selectedItem() << "\" selected";
    ASSERT_NO_FATAL_FAILURE(closeBrowser(IDOK));

    if (c.accepted) {
        EXPECT_TRUE(app().windows("#32770", kMessageBoxCaption).empty());
        EXPECT_EQ(state(), (DialogState{picked, true}));
    } else {
        const MessageBoxWindow box = app().waitForMessageBox();
        ASSERT_NE(box.hwnd, nullptr) << "no refusal message appeared";
        EXPECT_EQ(box.text(), refusal(picked));
        EXPECT_TRUE(box.hasButton(IDOK));
        EXPECT_FALSE(box.hasButton(IDCANCEL));
        EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), app().dialog());
        EXPECT_FALSE(IsWindowEnabled(app().dialog()));
        // Until the box is closed the folder chosen before still stands.
        EXPECT_EQ(state(), (c.registered ? DialogState{gameDir(), true} : kNothingFound));
        box.press(IDOK);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(box.hwnd); }, kWindowTimeout));
        WaitForInputIdle(app().process(), kWindowTimeout);
        EXPECT_EQ(state(), kNothingFound);
    }

    app().click(kCancelButton);
    expectExit("Cancel");
}

void makeGameAt(const std::string& folder) {
    makeGame(folder);
}
void makeFolderWithoutMarker(const std::string& folder) {
    GameParts parts;
    parts.marker = false;
    makeGame(folder, parts);
}
void makeMarkerFolder(const std::string& folder) {
    makeDirs(joinPath(folder, kMarkerRelPath));
}
void nothing(const std::string&) {}

const PickCase kPickCases[] = {
    {"GameFolder", false, "Picked", makeGameAt, "Picked", true},
    {"GameFolderReplacesRegistered", true, "Other Game", makeGameAt, "Other Game", true},
    {"MarkerThatIsAFolder", false, "Odd", makeMarkerFolder, "Odd", true},
    {"FolderWithoutMarker", false, "Picked", makeFolderWithoutMarker, "Picked", false},
    {"FolderWithoutMarkerDropsRegistered", true, "Picked", makeFolderWithoutMarker, "Picked",
     false},
    // The root comes back with its backslash, and is quoted so.
    {"DriveRoot", true, nullptr, nothing, "(C:)", false},
};
INSTANTIATE_TEST_SUITE_P(Cases, BrowsePick, ::testing::ValuesIn(kPickCases), CaseName{});

} // namespace
} // namespace e2e
