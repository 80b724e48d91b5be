// The drive search: which drives are walked, the walk's order and progress
// line, the question about each find, starting and stopping with the one
// button, and walks through links, long paths and locked folders.
#include "fixture.h"

#include <algorithm>
#include <map>
#include <ostream>

// Whole dialog states compare and print in one piece (found by the
// operands' namespace, hence outside the unnamed one).
static bool operator==(const DialogState& a, const DialogState& b) {
    return a.folderLine == b.folderLine && a.install == b.install && a.cancel == b.cancel &&
           a.browse == b.browse && a.search == b.search && a.searchText == b.searchText &&
           a.focus == b.focus;
}

static std::ostream& operator<<(std::ostream& os, const DialogState& s) {
    return os << "{line \"" << s.folderLine << "\", install " << s.install << ", cancel "
              << s.cancel << ", browse " << s.browse << ", search " << s.search << " \""
              << s.searchText << "\", focus " << s.focus << "}";
}

namespace {

constexpr UINT_PTR kSearchTimer = 0x1234567;
const std::string kIdleCaption = "Search my drives for the Orvantis installation";
const std::string kStopCaption = "...Abort scanning...";
const std::string kAborted = "User aborted seach.";

std::string Scanning(const std::string& where) {
    return "Scanning " + where + " Please wait";
}

std::string Question(const std::string& folder) {
    return "Found an Orvantis installation in " + folder +
           ". If this is the correct installation, click YES. If not, click NO to continue "
           "searching.";
}

class SearchTest : public SimTest {
protected:
    // Clicks Search as soon as the dialog is open, lets the program run until
    // nothing is left to do, and returns the dialog's state at that point;
    // then cancels. Every moment at which the scan lets the dialog be seen
    // (each time it looks at the message queue) is recorded in seen.
    DialogState Search(int clicks = 1) {
        for (int i = 0; i < clicks; ++i)
            w().Click(IDC_SEARCH);
        return RunToIdle();
    }

    DialogState RunToIdle() {
        if (!w().onPeek)
            w().onPeek = [this] { seen.push_back(w().ControlText(IDC_FOLDER_EDIT)); };
        DialogState end{};
        w().WhenIdle([&] {
            end = ReadDialog();
            w().Click(IDCANCEL);
        });
        RunProgram();
        EXPECT_EQ(w().idleExits, 0);
        return end;
    }

    // The texts of the questions asked so far.
    static std::vector<std::string> Questions() {
        std::vector<std::string> texts;
        for (const sim::MessageBoxCall& box : w().messageBoxes)
            texts.push_back(box.text);
        return texts;
    }

    static HWND Dialog() { return w().DialogByTemplate(IDD_INSTALLER_DIALOG)->handle(); }

    std::vector<std::string> seen;
};

// The end of a scan that was not stopped: the folder line shows the folder
// (or nothing), Install is live exactly when there is one, and is given the
// focus; a disabled Install cannot take it, and it stays on the search
// button that was clicked.
DialogState Finished(const std::string& folder) {
    return DialogState{folder,
                       !folder.empty(),
                       true,
                       true,
                       true,
                       kIdleCaption,
                       folder.empty() ? IDC_SEARCH : IDOK};
}

// The end of a stopped scan: the focus stays where the stop click put it.
DialogState Stopped(bool install) {
    return DialogState{kAborted, install, true, true, true, kIdleCaption, IDC_SEARCH};
}

TEST_F(SearchTest, WalksFixedLikeDrivesAboveBOnly) {
    struct Case {
        const char* name;
        char letter;
        UINT type;
        bool walked;
    } cases[] = {
        {"fixed", 'D', DRIVE_FIXED, true},
        {"RAM disk", 'D', DRIVE_RAMDISK, true},
        {"type unknown", 'D', DRIVE_UNKNOWN, true},
        {"no root directory", 'D', DRIVE_NO_ROOT_DIR, true},
        {"removable", 'D', DRIVE_REMOVABLE, false},
        {"network", 'D', DRIVE_REMOTE, false},
        {"CD-ROM", 'D', DRIVE_CDROM, false},
        {"fixed A", 'A', DRIVE_FIXED, false},
        {"fixed B", 'B', DRIVE_FIXED, false},
        {"fixed, letter code above 0x7F", '\xC4', DRIVE_FIXED, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const std::string root = std::string(1, c.letter) + ":\\";
        w().AddDrive(c.letter, c.type);
        MakeGame(root + "Games\\Orvantis");
        w().AnswerMessageBox(IDNO);

        Search();

        // The type is asked first, whatever the letter.
        auto asked = w().CallsTo("GetDriveTypeA");
        EXPECT_NE(std::find(asked.begin(), asked.end(), "GetDriveTypeA(" + root + ")"),
                  asked.end());
        EXPECT_EQ(Questions(), c.walked
                                   ? std::vector<std::string>{Question(root + "Games\\Orvantis")}
                                   : std::vector<std::string>{});
    }
}

TEST_F(SearchTest, DrivesThatCannotBeReadArePassedOverSilently) {
    w().AddDrive('D', DRIVE_FIXED, /*medium=*/false);
    w().AddDrive('E', DRIVE_FIXED); // a root with no entries at all
    w().MakeDir("F:\\Locked").readable = false;
    MakeGame("F:\\Locked\\Orvantis");
    MakeGame("G:\\Orvantis");
    w().AnswerMessageBox(IDYES);

    DialogState end = Search();

    EXPECT_EQ(Questions(), std::vector<std::string>{Question("G:\\Orvantis")});
    EXPECT_EQ(end, Finished("G:\\Orvantis"));
    EXPECT_EQ(w().criticalErrorPrompts, 0);
}

TEST_F(SearchTest, DriveListThatCannotBeHadOrDoesNotFitScansNothing) {
    // Roots of four bytes each: 255 of them and the closing NUL fill 1021
    // bytes, one more root needs 1025.
    std::string fits, tooLong;
    for (int i = 0; i < 254; ++i)
        fits += std::string("Q:\\") + '\0';
    fits += std::string("C:\\") + '\0';
    tooLong = std::string("Q:\\") + '\0' + fits;

    struct Case {
        const char* name;
        bool fails;
        std::string list;
        bool walked;
    } cases[] = {
        {"cannot be had", true, "", false},
        {"does not fit in 1024 bytes", false, tooLong, false},
        {"just fits", false, fits, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        w().AddDrive('E', DRIVE_CDROM);
        MakeGame("E:\\Orvantis");
        Register("E:\\Orvantis");
        MakeGame("C:\\Games\\Orvantis");
        w().driveListFails = c.fails;
        if (!c.fails)
            w().driveList = c.list;
        w().AnswerMessageBox(IDNO);

        DialogState end = Search();

        EXPECT_EQ(w().CallsTo("GetLogicalDriveStringsA"),
                  std::vector<std::string>{"GetLogicalDriveStringsA(1024)"});
        if (c.walked) {
            EXPECT_EQ(Questions(), std::vector<std::string>{Question("C:\\Games\\Orvantis")});
            EXPECT_EQ(end, Finished(""));
        } else {
            EXPECT_TRUE(w().CallsTo("GetDriveTypeA").empty());
            EXPECT_TRUE(Questions().empty());
            EXPECT_EQ(end, Finished("E:\\Orvantis"));
        }
    }
}

TEST_F(SearchTest, ProgressLineFollowsTheWalkDepthFirst) {
    w().MakeFile("C:\\Alpha\\a.txt");
    w().MakeDir("C:\\Alpha\\Inner");
    w().MakeFile("C:\\zeta.txt");
    w().MakeDir("C:\\Beta");

    DialogState end = Search();

    const std::string drive = Scanning("C:\\"), root = Scanning("C:\\*.*"),
                      alpha = Scanning("C:\\Alpha\\*.*"), inner = Scanning("C:\\Alpha\\Inner\\*.*"),
                      beta = Scanning("C:\\Beta\\*.*");
    // What the line shows each time the walk lets the dialog be seen, at the
    // start of each entry: the text of the entry before.
    EXPECT_EQ(seen, (std::vector<std::string>{
                        drive, // C:\Alpha
                        root,  // .
                        alpha, // ..
                        alpha, // a.txt
                        alpha, // Inner
                        alpha, // Inner\.
                        inner, // Inner\..
                        inner, // zeta.txt
                        root,  // Beta
                        root,  // Beta\.
                        beta,  // Beta\..
                    }));
    EXPECT_EQ(end, Finished(""));
}

TEST_F(SearchTest, EachFindIsOfferedAndNeverEntered) {
    struct Case {
        const char* name;
        std::vector<int> answers;
        std::vector<std::string> asked;
        std::string folder;
    } cases[] = {
        {"yes", {IDYES}, {"C:\\Games\\First"}, "C:\\Games\\First"},
        {"no, then yes",
         {IDNO, IDYES},
         {"C:\\Games\\First", "C:\\Games\\Second"},
         "C:\\Games\\Second"},
        // A refusal forgets the folder known before the search.
        {"no to all",
         {IDNO, IDNO, IDNO},
         {"C:\\Games\\First", "C:\\Games\\Second", "C:\\Games\\Third"},
         ""},
        {"closed without an answer",
         {IDCANCEL, IDYES},
         {"C:\\Games\\First", "C:\\Games\\Second"},
         "C:\\Games\\Second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        SetUp();
        MakeGame("C:\\Games\\First");
        MakeGame("C:\\Games\\First\\Mods\\Nested"); // inside a find: never offered
        MakeGame("C:\\Games\\Second");
        MakeGame("C:\\Games\\Third");
        MakeGame("D:\\"); // a drive root is never itself a find
        w().AddDrive('E', DRIVE_CDROM);
        MakeGame("E:\\Registered");
        Register("E:\\Registered");
        for (int answer : c.answers)
            w().AnswerMessageBox(answer);

        DialogState end = Search();

        std::vector<std::string> asked;
        for (const std::string& folder : c.asked)
            asked.push_back(Question(folder));
        EXPECT_EQ(Questions(), asked);
        for (const sim::MessageBoxCall& box : w().messageBoxes) {
            EXPECT_EQ(box.type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
            EXPECT_EQ(box.caption, "Pallwick");
            EXPECT_TRUE(box.ownerWasDisabled);
        }
        EXPECT_EQ(end, Finished(c.folder));
        // Nothing is walked after an accepted find.
        if (c.folder.empty())
            EXPECT_TRUE(std::find(seen.begin(), seen.end(), Scanning("D:\\")) != seen.end());
        else
            EXPECT_TRUE(std::find(seen.begin(), seen.end(), Scanning("D:\\")) == seen.end());
    }
}

TEST_F(SearchTest, ScanWithoutFindKeepsTheKnownFolder) {
    w().AddDrive('E', DRIVE_CDROM);
    MakeGame("E:\\Registered");
    Register("E:\\Registered");
    w().MakeDir("C:\\Games\\Empty");

    EXPECT_EQ(Search(), Finished("E:\\Registered"));
    EXPECT_TRUE(Questions().empty());
}

// Clicks handled before the timer's message: what the dialog shows when they
// have been handled, and how the scan then ends.
TEST_F(SearchTest, ClicksBeforeTheTimerDecideWhetherTheScanRuns) {
    const DialogState armed{"E:\\Registered", false, false, false, true, kStopCaption, IDC_SEARCH};
    DialogState stopAsked = armed;
    stopAsked.searchText = kIdleCaption;

    struct Case {
        const char* name;
        int clicks;
        DialogState afterClicks;
        bool scans;
    } cases[] = {
        {"start", 1, armed, true},
        {"start, stop", 2, stopAsked, false},
        {"start, stop, start", 3, armed, false},
        {"start, stop, start, stop", 4, stopAsked, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        SetUp();
        w().AddDrive('E', DRIVE_CDROM);
        MakeGame("E:\\Registered");
        Register("E:\\Registered");
        MakeGame("C:\\Games\\Orvantis");
        w().AnswerMessageBox(IDNO);

        for (int i = 0; i < c.clicks; ++i)
            w().Click(IDC_SEARCH);
        DialogState afterClicks{};
        std::vector<sim::World::Timer> timers;
        HWND dialog = nullptr;
        w().Post([&] {
            afterClicks = ReadDialog();
            timers = w().timers;
            dialog = Dialog();
        });
        DialogState end = RunToIdle();

        EXPECT_EQ(afterClicks, c.afterClicks);
        ASSERT_EQ(timers.size(), 1u);
        EXPECT_EQ(timers[0].hwnd, dialog);
        EXPECT_EQ(timers[0].id, kSearchTimer);
        EXPECT_EQ(timers[0].elapse, 50u);
        EXPECT_EQ(w().CallsTo("KillTimer"),
                  std::vector<std::string>{"KillTimer(dialog102, 0x1234567)"});
        if (c.scans) {
            EXPECT_EQ(Questions(), std::vector<std::string>{Question("C:\\Games\\Orvantis")});
            EXPECT_EQ(end, Finished(""));
        } else {
            // Stopped before the first drive: the known folder stays.
            EXPECT_TRUE(w().CallsTo("GetDriveTypeA").empty());
            EXPECT_TRUE(Questions().empty());
            EXPECT_EQ(end, Stopped(true));
        }
    }
}

TEST_F(SearchTest, WhileScanningOnlyTheStopButtonIsLive) {
    w().MakeDir("C:\\Games");
    std::vector<DialogState> during;
    std::vector<size_t> timersDuring;
    w().onPeek = [&] {
        during.push_back(ReadDialog());
        timersDuring.push_back(w().timers.size());
    };

    Search();

    ASSERT_FALSE(during.empty());
    for (size_t i = 0; i < during.size(); ++i) {
        EXPECT_FALSE(during[i].install || during[i].cancel || during[i].browse);
        EXPECT_TRUE(during[i].search);
        EXPECT_EQ(during[i].searchText, kStopCaption);
        EXPECT_EQ(timersDuring[i], 0u) << "the timer is killed before the scan";
    }
}

TEST_F(SearchTest, StopClickEndsTheWalkAtTheNextEntry) {
    w().AddDrive('E', DRIVE_CDROM);
    MakeGame("E:\\Registered");
    Register("E:\\Registered");
    w().MakeFile("C:\\Games\\readme.txt");
    MakeGame("C:\\Games\\Orvantis"); // made current just after the stop: never offered
    w().MakeDir("C:\\Games\\More");
    MakeGame("D:\\Orvantis");
    int peeks = 0;
    w().onPeek = [&] {
        seen.push_back(w().ControlText(IDC_FOLDER_EDIT));
        // At the start of the root's Games, then of Games' ".", "..",
        // readme.txt, and Orvantis: the stop comes just before Orvantis.
        if (++peeks == 5)
            w().Click(IDC_SEARCH);
    };

    DialogState end = Search();

    // The emptying that handles the stop looks once more, finds nothing, and
    // no entry is looked at after it.
    EXPECT_EQ(peeks, 6);
    EXPECT_TRUE(Questions().empty());
    // The folder known before is forgotten: the walk that saw the stop empties it.
    EXPECT_EQ(end, Stopped(false));
}

TEST_F(SearchTest, TwoClicksInOneEmptyingStopAndRearm) {
    w().MakeDir("C:\\A\\B");
    MakeGame("C:\\Z\\Orvantis");
    std::vector<DialogState> first, second;
    int peeks = 0;
    w().onPeek = [&] {
        ++peeks;
        (w().CallsTo("GetLogicalDriveStringsA").size() == 1 ? first : second)
            .push_back(ReadDialog());
        if (peeks == 2) { // both clicks are handled in this emptying
            w().Click(IDC_SEARCH);
            w().Click(IDC_SEARCH);
        }
    };
    w().AnswerMessageBox(IDNO);

    DialogState end = Search();

    // The first scan saw the stop and asked nothing; the second ran to its
    // end with the search caption on the button and Cancel and Browse live.
    EXPECT_EQ(Questions(), std::vector<std::string>{Question("C:\\Z\\Orvantis")});
    ASSERT_EQ(first.size(), 4u); // C:\A; A\. with the two clicks, then nothing more
    EXPECT_EQ(first[1].searchText, kStopCaption);
    EXPECT_EQ(first[2].searchText, kIdleCaption); // the first click stopped the scan
    EXPECT_EQ(first[3].searchText, kStopCaption); // the second armed another one
    EXPECT_FALSE(first[3].cancel || first[3].browse || first[3].install);
    ASSERT_FALSE(second.empty());
    for (const DialogState& during : second) {
        EXPECT_EQ(during.searchText, kIdleCaption);
        EXPECT_TRUE(during.cancel && during.browse);
        EXPECT_FALSE(during.install);
    }
    EXPECT_EQ(w().CallsTo("SetTimer").size(), 2u);
    EXPECT_EQ(end, Finished(""));
}

TEST_F(SearchTest, ClickDuringARearmedScanRunsAnotherScanInsideIt) {
    w().MakeDir("C:\\A\\B");
    MakeGame("C:\\Z\\Orvantis");
    int peeks = 0;
    int nestedFrom = 0;
    w().onPeek = [&] {
        ++peeks;
        if (peeks == 2) {
            w().Click(IDC_SEARCH);
            w().Click(IDC_SEARCH);
        }
        // In the second scan: this click finds the search caption and arms
        // the timer again; time passes, and its message comes in a later
        // emptying of the queue.
        if (peeks == 5)
            w().Click(IDC_SEARCH);
        if (peeks == 6) {
            nestedFrom = peeks;
            w().AdvanceClock(50);
        }
    };
    std::vector<int> questionAt;
    for (int i = 0; i < 2; ++i)
        w().AnswerMessageBox([&](const sim::MessageBoxCall&) {
            questionAt.push_back(peeks);
            return IDNO;
        });

    DialogState end = Search();

    // The inner scan asks about the find first, then the outer one does.
    EXPECT_EQ(Questions(), std::vector<std::string>(2, Question("C:\\Z\\Orvantis")));
    EXPECT_EQ(w().CallsTo("GetLogicalDriveStringsA").size(), 3u);
    EXPECT_EQ(w().CallsTo("SetTimer").size(), 3u);
    ASSERT_EQ(questionAt.size(), 2u);
    EXPECT_GT(questionAt[0], nestedFrom);
    EXPECT_GT(questionAt[1], questionAt[0]);
    EXPECT_EQ(end, Finished(""));
}

TEST_F(SearchTest, TimerWithAnotherIdentifierOnlyClearsTheStopRequest) {
    MakeGame("C:\\Games\\Orvantis");
    w().AnswerMessageBox(IDNO);
    // Start, stop, start: the stop is still pending when the timer comes...
    for (int i = 0; i < 3; ++i)
        w().Click(IDC_SEARCH);
    DialogState afterForeignTimer{};
    w().Post([&] {
        PostMessageA(Dialog(), WM_TIMER, 7, 0);
        // ...unless another timer's message clears it first.
        w().Post([&] { afterForeignTimer = ReadDialog(); });
    });

    DialogState end = RunToIdle();

    EXPECT_EQ(afterForeignTimer.searchText, kStopCaption);
    EXPECT_FALSE(afterForeignTimer.cancel || afterForeignTimer.browse || afterForeignTimer.install);
    EXPECT_EQ(Questions(), std::vector<std::string>{Question("C:\\Games\\Orvantis")});
    EXPECT_EQ(end, Finished(""));
    EXPECT_EQ(w().CallsTo("KillTimer"),
              std::vector<std::string>{"KillTimer(dialog102, 0x1234567)"});
    EXPECT_EQ(w().CallsTo("GetLogicalDriveStringsA").size(), 1u);
}

TEST_F(SearchTest, EveryWalkEnds) {
    struct Case {
        const char* name;
        void (*arrange)();
        const char* neverShown; // a folder the walk must not enter
    } cases[] = {
        {"link back to the drive root",
         [] {
             w().MakeLink("C:\\Loop\\Back", "C:\\");
             MakeGame("C:\\Loop\\Back\\Hidden"); // reached only through the link
         },
         "C:\\Loop\\Back\\"},
        {"path past the limit",
         [] {
             std::string deep = "C:\\Deep";
             while (deep.size() < MAX_PATH)
                 deep += "\\" + std::string(40, 'd');
             MakeGame(deep + "\\Orvantis");
         },
         nullptr},
        {"folder that cannot be read",
         [] {
             w().MakeDir("C:\\Locked").readable = false;
             MakeGame("C:\\Locked\\Orvantis");
         },
         "C:\\Locked\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        SetUp();
        c.arrange();
        MakeGame("C:\\Zulu\\Orvantis"); // walked after the trouble spot
        w().AnswerMessageBox(IDNO);

        DialogState end = Search();

        EXPECT_EQ(Questions(), std::vector<std::string>{Question("C:\\Zulu\\Orvantis")});
        EXPECT_EQ(end, Finished(""));
        for (const std::string& text : seen) {
            EXPECT_LT(text.size(), MAX_PATH + std::string("Scanning  Please wait").size());
            if (c.neverShown) {
                EXPECT_EQ(text.find(c.neverShown), std::string::npos) << text;
            }
        }
    }
}

TEST_F(SearchTest, LinkToAGameFolderIsOfferedButNotEntered) {
    MakeGame("E:\\Orvantis");
    w().drives['E'].type = DRIVE_CDROM;
    w().MakeLink("C:\\Games\\Linked", "E:\\Orvantis");
    w().AnswerMessageBox(IDYES);

    EXPECT_EQ(Search(), Finished("C:\\Games\\Linked"));
    EXPECT_EQ(Questions(), std::vector<std::string>{Question("C:\\Games\\Linked")});
}

// Under Wine every look at the queue and every change of the folder line is
// costly, so the walk serves the queue every few milliseconds rather than at
// every entry: every 2 ms while serving it is cheap, up to every 8 ms when it
// is not. What can be seen must not change: each time the queue is served,
// the line shows what it would show had the queue been served at every entry.
TEST_F(SearchTest, PacedServingShowsTheSameTextsAndKeepsNoMessageWaiting) {
    auto makeTree = [] {
        for (int i = 0; i < 8; ++i) {
            std::string folder = "C:\\Folder" + std::to_string(i);
            for (int j = 0; j < i * 3; ++j)
                w().MakeFile(folder + "\\file" + std::to_string(j));
            w().MakeDir(folder + "\\Sub\\Deeper");
        }
    };

    // Served at every entry: the text at each point of the walk.
    makeTree();
    std::map<uint64_t, std::string> everyEntry;
    w().onPeek = [&] { everyEntry[w().findNextCalls] = w().ControlText(IDC_FOLDER_EDIT); };
    Search();
    ASSERT_GT(everyEntry.size(), 100u);

    struct Case {
        const char* name;
        uint64_t step;       // how long each stretch of work between two clock readings takes
        uint64_t longestGap; // between two emptyings: the interval and the work around it
    } cases[] = {
        {"cheap emptying: every 2 ms", 100, 2000 + 2 * 100},
        {"emptying of half a millisecond: six times that apart", 500, 6 * 500 + 2 * 500},
        {"costly emptying: every 8 ms at most", 2000, 8000 + 2 * 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        makeTree();
        w().perfCounterStep = c.step;
        std::vector<std::pair<uint64_t, std::string>> paced;
        std::vector<uint64_t> servedAt;
        w().onPeek = [&] {
            paced.emplace_back(w().findNextCalls, w().ControlText(IDC_FOLDER_EDIT));
            servedAt.push_back(w().perfCounter);
        };
        Search();

        EXPECT_LT(paced.size(), everyEntry.size() / 3);
        for (const auto& [walked, text] : paced) {
            ASSERT_EQ(everyEntry.count(walked), 1u);
            EXPECT_EQ(text, everyEntry[walked]) << "after " << walked << " entries";
        }
        for (size_t i = 1; i < servedAt.size(); ++i)
            EXPECT_LE(servedAt[i] - servedAt[i - 1], c.longestGap);
    }
}

} // namespace
