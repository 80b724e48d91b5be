// Picking the game folder in the shell's folder browser.
#include "fixture.h"

#include <algorithm>

namespace {

using sim::BrowseResult;

const std::string kGame = "C:\\Games\\Orvantis";
const std::string kOtherGame = "D:\\Orvantis";
const std::string kNoGame = "C:\\Games\\Elsewhere";

std::string Refusal(const std::string& folder) {
    return folder + " does not seem to be the Orvantis folder.\nPlease select another folder, or "
                    "click \"Search My Drives For Orvantis\" to automatically find it.";
}

// The logged calls that start with `prefix`, and the position of the first.
std::vector<std::string> CallsStartingWith(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& call : sim::W().calls)
        if (call.rfind(prefix, 0) == 0)
            out.push_back(call);
    return out;
}
int CallIndex(const std::string& prefix) {
    const auto& calls = sim::W().calls;
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].rfind(prefix, 0) == 0)
            return static_cast<int>(i);
    return -1;
}

class BrowseTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        w().AddDrive('D');
        MakeGame(kGame);
        MakeGame(kOtherGame);
        w().MakeDir(kNoGame);
    }

    // Clicks the folder button, closes the browser as given, reads the
    // dialog, then cancels the program.
    DialogState BrowseAndRead(const BrowseResult& result) {
        DialogState state{};
        w().Click(IDC_BROWSE);
        w().CloseBrowser(result);
        w().Post([&] { state = ReadDialog(); });
        w().Click(IDCANCEL);
        RunProgram();
        EXPECT_EQ(w().idleExits, 0);
        EXPECT_EQ(w().browser.calls.size(), 1u);
        return state;
    }
};

// ---- The outcomes --------------------------------------------------------------

struct OutcomeCase {
    const char* name;
    const char* registered; // nullptr: nothing registered
    BrowseResult result;
    std::string folderLine;
    bool install;
    std::string refusedFolder; // empty: no message
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << c.name;
}

class BrowseOutcome : public BrowseTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(BrowseOutcome, SetsFolderLineInstallAndMessage) {
    const OutcomeCase& c = GetParam();
    if (c.registered)
        Register(c.registered);

    DialogState s = BrowseAndRead(c.result);

    EXPECT_EQ(s.folderLine, c.folderLine);
    EXPECT_EQ(s.install, c.install);
    EXPECT_TRUE(s.cancel && s.browse && s.search);
    std::vector<std::string> texts;
    for (const sim::MessageBoxCall& box : w().messageBoxes)
        texts.push_back(box.text);
    EXPECT_EQ(texts, c.refusedFolder.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{Refusal(c.refusedFolder)});
    // Only a returned item is asked for its path, and every one is freed.
    bool item = c.result.kind != BrowseResult::Kind::Cancel;
    EXPECT_EQ(w().CallsTo("SHGetPathFromIDListA").size(), item ? 1u : 0u);
    EXPECT_EQ(w().CallsTo("CoTaskMemFree").size(), item ? 1u : 0u);
}

const std::string kTooLong = "C:\\" + std::string(MAX_PATH, 'x');

const OutcomeCase kOutcomes[] = {
    // Cancelled, or an item without a file-system path: nothing changes.
    {"CancelWithoutFolder", nullptr, BrowseResult::Cancel(), "", false, ""},
    {"CancelKeepsRegisteredFolder", "C:\\Games\\Orvantis", BrowseResult::Cancel(), kGame, true, ""},
    {"NonFileSystemWithoutFolder", nullptr, BrowseResult::NonFileSystem(), "", false, ""},
    {"NonFileSystemKeepsRegisteredFolder", "C:\\Games\\Orvantis", BrowseResult::NonFileSystem(),
     kGame, true, ""},
    {"PathTooLongKeepsRegisteredFolder", "C:\\Games\\Orvantis", BrowseResult::Folder(kTooLong),
     kGame, true, ""},
    // A folder that passes the check.
    {"GameFolder", nullptr, BrowseResult::Folder(kGame), kGame, true, ""},
    {"GameFolderReplacesRegistered", "C:\\Games\\Orvantis", BrowseResult::Folder(kOtherGame),
     kOtherGame, true, ""},
    // A folder that fails it: refused, and a folder chosen before is dropped.
    {"FolderWithoutMarker", nullptr, BrowseResult::Folder(kNoGame), "", false, kNoGame},
    {"FolderWithoutMarkerDropsRegistered", "C:\\Games\\Orvantis", BrowseResult::Folder(kNoGame), "",
     false, kNoGame},
    {"MissingFolder", "C:\\Games\\Orvantis", BrowseResult::Folder("C:\\Gone"), "", false,
     "C:\\Gone"},
    // A drive root comes with its backslash, and is shown and quoted so.
    {"DriveRootWithoutMarker", "C:\\Games\\Orvantis", BrowseResult::Folder("D:\\"), "", false,
     "D:\\"},
};
INSTANTIATE_TEST_SUITE_P(Outcomes, BrowseOutcome, ::testing::ValuesIn(kOutcomes),
                         [](const auto& info) { return std::string(info.param.name); });

// The browser's display name for a root ("Local Disk (E:)") is longer than
// its path, and shares the buffer with it: only the path may come through.
TEST_F(BrowseTest, DriveRootHoldingTheMarkerIsTakenWithItsBackslash) {
    w().AddDrive('E');
    MakeGame("E:\\");
    DialogState s = BrowseAndRead(BrowseResult::Folder("E:\\"));
    EXPECT_EQ(s.folderLine, "E:\\");
    EXPECT_TRUE(s.install);
    EXPECT_TRUE(w().messageBoxes.empty());
}

TEST_F(BrowseTest, MarkerEntryThatIsAFolderIsAccepted) {
    const std::string game = "D:\\Odd";
    w().MakeDir(game + "\\" + kMarker);
    DialogState s = BrowseAndRead(BrowseResult::Folder(game));
    EXPECT_EQ(s.folderLine, game);
    EXPECT_TRUE(s.install);
    EXPECT_TRUE(w().messageBoxes.empty());
}

// At start-up an empty folder text passes when the current drive's root
// holds the marker, and Install comes up enabled with no folder known. After
// the browser Install follows the folder text, whatever the outcome.
TEST_F(BrowseTest, InstallFollowsTheFolderTextEvenWhenNothingWasPicked) {
    for (BrowseResult result : {BrowseResult::Cancel(), BrowseResult::NonFileSystem()}) {
        SCOPED_TRACE(static_cast<int>(result.kind));
        SetUp();
        MakeGame("C:\\");
        bool installAtStart = false;
        w().Post([&] { installAtStart = ReadDialog().install; });
        DialogState s = BrowseAndRead(result);
        EXPECT_TRUE(installAtStart);
        EXPECT_EQ(s.folderLine, "");
        EXPECT_FALSE(s.install);
        EXPECT_TRUE(w().browser.itemLists.empty());
    }
}

// ---- The refusal ------------------------------------------------------------------

TEST_F(BrowseTest, RefusalIsAnOkBoxOwnedByTheDialogShownBeforeTheFolderIsDropped) {
    Register(kGame);
    DialogState during{};
    w().AnswerMessageBox([&](const sim::MessageBoxCall&) {
        during = ReadDialog();
        return IDOK;
    });
    DialogState after = BrowseAndRead(BrowseResult::Folder(kNoGame));

    ASSERT_EQ(w().messageBoxes.size(), 1u);
    const sim::MessageBoxCall& box = w().messageBoxes[0];
    EXPECT_EQ(box.text, Refusal(kNoGame));
    EXPECT_EQ(box.text,
              "C:\\Games\\Elsewhere does not seem to be the Orvantis folder.\nPlease select "
              "another folder, or click \"Search My Drives For Orvantis\" to automatically find "
              "it.");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(box.caption, "Pallwick");
    ASSERT_NE(sim::FromHandle(box.owner), nullptr);
    EXPECT_EQ(sim::FromHandle(box.owner)->templateId, IDD_INSTALLER_DIALOG);
    EXPECT_TRUE(box.ownerWasDisabled);

    // While the box is up the earlier folder is still shown and live.
    EXPECT_EQ(during.folderLine, kGame);
    EXPECT_TRUE(during.install);
    EXPECT_EQ(after.folderLine, "");
    EXPECT_FALSE(after.install);
}

// ---- The request ------------------------------------------------------------------

TEST_F(BrowseTest, RequestHasNoOwnerDesktopRootTitleAndFileSystemFoldersOnly) {
    Register(kGame);
    bool dialogLive = false;
    DialogState whileOpen{};
    w().Click(IDC_BROWSE);
    w().Post([&] {
        dialogLive = w().browser.open.size() == 1 && w().ActiveDialog() &&
                     w().ActiveDialog()->templateId == IDD_INSTALLER_DIALOG &&
                     w().ActiveDialog()->enabled;
        whileOpen = ReadDialog();
    });
    w().CloseBrowser(BrowseResult::Cancel());
    w().Click(IDCANCEL);
    RunProgram();

    ASSERT_EQ(w().browser.calls.size(), 1u);
    const sim::BrowseCall& call = w().browser.calls[0];
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.root, nullptr);
    EXPECT_TRUE(call.displayNameBuffer);
    EXPECT_EQ(call.title, "Select the folder where Orvantis is installed:");
    EXPECT_EQ(call.flags, static_cast<UINT>(BIF_RETURNONLYFSDIRS));
    EXPECT_FALSE(call.callback);
    EXPECT_EQ(call.lParam, 0);
    EXPECT_TRUE(call.answered);

    // Modal to nothing: the installer dialog is neither disabled nor changed.
    EXPECT_TRUE(dialogLive);
    EXPECT_EQ(whileOpen.folderLine, kGame);
    EXPECT_TRUE(whileOpen.install && whileOpen.cancel && whileOpen.browse && whileOpen.search);
    EXPECT_TRUE(CallsStartingWith("EnableWindow(dialog102").empty());
}

// ---- The dialog while the browser is open -------------------------------------------

TEST_F(BrowseTest, SecondBrowserFromTheOpenOneRunsInsideItsLoop) {
    DialogState afterInner{};
    w().Click(IDC_BROWSE);
    w().Click(IDC_BROWSE); // the dialog is live: a second browser opens
    w().CloseBrowser(BrowseResult::Folder(kOtherGame));
    w().Post([&] { afterInner = ReadDialog(); });
    w().CloseBrowser(BrowseResult::Cancel()); // the first one
    DialogState after{};
    w().Post([&] { after = ReadDialog(); });
    w().Click(IDCANCEL);
    RunProgram();

    ASSERT_EQ(w().browser.calls.size(), 2u);
    EXPECT_EQ(afterInner.folderLine, kOtherGame);
    EXPECT_TRUE(afterInner.install);
    EXPECT_EQ(after.folderLine, kOtherGame);
    EXPECT_TRUE(after.install);
    EXPECT_EQ(w().idleExits, 0);
}

TEST_F(BrowseTest, CancelClickedWhileTheBrowserIsOpenEndsTheDialogAfterItCloses) {
    w().Click(IDC_BROWSE);
    w().Click(IDCANCEL);
    bool stillOpen = false;
    w().Post([&] { stillOpen = w().browser.open.size() == 1; });
    w().CloseBrowser(BrowseResult::Folder(kGame));
    RunProgram();

    EXPECT_TRUE(stillOpen);
    int ended = CallIndex("EndDialog(dialog102, 2)");
    int picked = CallIndex("SHGetPathFromIDListA(");
    ASSERT_GE(ended, 0);
    ASSERT_GE(picked, 0);
    EXPECT_LT(ended, picked);
    // The handler finished on the ended dialog before it went away.
    EXPECT_EQ(CallsStartingWith("SetWindowTextA(1000,"),
              std::vector<std::string>{"SetWindowTextA(1000, " + kGame + ")"});
    EXPECT_EQ(w().idleExits, 0);
    EXPECT_TRUE(w().quitPosted);
}

// A search armed from the dialog while the browser is open disables Install,
// Cancel and Browse until its scan ends. A pick arriving before that scan
// must not bring Install back in the middle of it.
TEST_F(BrowseTest, PickDuringAnArmedSearchLeavesInstallToTheSearch) {
    w().Click(IDC_BROWSE);
    w().Post([] {
        HWND dialog = w().ActiveDialog()->handle();
        for (int id : {IDOK, IDCANCEL, IDC_BROWSE})
            EnableWindow(GetDlgItem(dialog, id), FALSE);
    });
    w().CloseBrowser(BrowseResult::Folder(kGame));
    DialogState after{};
    w().Post([&] { after = ReadDialog(); });
    w().Post([] { EndDialog(w().ActiveDialog()->handle(), IDCANCEL); });
    RunProgram();

    EXPECT_EQ(after.folderLine, kGame);
    EXPECT_FALSE(after.install);
}

// ---- The simulated shell's own bookkeeping ------------------------------------------

TEST_F(BrowseTest, ItemListsAreTrackedUntilFreedOnce) {
    BROWSEINFOA bi{};
    char name[MAX_PATH] = {};
    bi.pszDisplayName = name;
    w().CloseBrowser(BrowseResult::Folder(kGame));
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&bi);
    ASSERT_NE(pidl, nullptr);
    EXPECT_STREQ(name, "Orvantis");
    EXPECT_EQ(w().browser.itemLists.size(), 1u);

    char path[MAX_PATH] = {};
    EXPECT_TRUE(SHGetPathFromIDListA(pidl, path));
    EXPECT_EQ(std::string(path), kGame);

    CoTaskMemFree(pidl);
    EXPECT_TRUE(w().browser.itemLists.empty());
    EXPECT_EQ(w().browser.strayFrees, 0);

    // Using or freeing it again is caught.
    EXPECT_FALSE(SHGetPathFromIDListA(pidl, path));
    CoTaskMemFree(pidl);
    EXPECT_EQ(w().browser.strayItemUses, 1);
    EXPECT_EQ(w().browser.strayFrees, 1);
    w().browser.strayItemUses = w().browser.strayFrees = 0;
}

TEST_F(BrowseTest, BrowserLeftWithoutAnAnswerEndsAsCancelledAndIsReported) {
    w().Click(IDC_BROWSE);
    RunProgram();
    ASSERT_EQ(w().browser.calls.size(), 1u);
    EXPECT_FALSE(w().browser.calls[0].answered);
    EXPECT_GE(CallIndex("IdleExit(browser)"), 0);
    w().idleExits = 0;
}

} // namespace
