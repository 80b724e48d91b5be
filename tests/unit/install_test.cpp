// Install: the shell copy of the sound folder, Rename.ini, the offer to play,
// and the end of the dialog.
#include "fixture.h"

#include <initializer_list>
#include <sstream>
#include <utility>

namespace {

const std::string kGame = "C:\\Games\\Orvantis";
const std::string kG = kGame + "\\"; // the game folder as the installer joins paths to it

const char kSuccessText[] = "Orvantis - The Emberfall was successfully installed.\n"
                            "Click OK to play Kaldris, or click Cancel to quit.";
const char kFailureText[] = "Installation was canceled by the user, or errors occured.";

constexpr int kDiskFull = 112;        // ERROR_DISK_FULL
constexpr int kShellNoSource = 0x402; // the shell's answer for a source that is not there
constexpr UINT kSuccessBox = MB_OKCANCEL | MB_ICONEXCLAMATION;
constexpr UINT kFailureBox = MB_OK | MB_ICONEXCLAMATION;

// A double-NUL list: every entry followed by a NUL, the list by one more.
std::string List(std::initializer_list<std::string> entries) {
    std::string list;
    for (const std::string& e : entries)
        list += e + '\0';
    return list + '\0';
}

// A message box as the user saw it, owner included.
std::string Shown(const std::string& caption, UINT type, const std::string& text,
                  bool ownedByDialog, bool ownerDisabled) {
    std::ostringstream s;
    s << caption << " | 0x" << std::hex << type << " | " << text << " | "
      << (ownedByDialog ? "owned by the dialog" : "other owner")
      << (ownerDisabled ? ", disabled" : ", enabled");
    return s.str();
}
// What the installer's boxes must look like.
std::string Expected(const char* text, UINT type) {
    return Shown("Pallwick", type, text, true, true);
}

// Takes a file or folder away, as if it had never been made.
void Remove(const std::string& path) {
    sim::Node* node = sim::W().Find(path);
    ASSERT_NE(node, nullptr) << path;
    auto& siblings = node->parent->children;
    for (auto it = siblings.begin(); it != siblings.end(); ++it)
        if (it->get() == node) {
            siblings.erase(it);
            return;
        }
}

class InstallTest : public SimTest {
protected:
    // A registered game with its Rename.ini and program, and the expansion's
    // sound folder beside the installer: two files at the top, delivered
    // b before a, and one in a subfolder between them.
    void SetUp() override { Arrange(kGame); }

    void Arrange(const std::string& registered, const std::string& base = kG) {
        SimTest::SetUp();
        MakeGame(registered);
        Register(registered);
        w().MakeFile(base + "Rename.ini", 12);
        w().MakeFile(base + "Kaldris.exe", 5000);
        MakeSound({{"b.wav", 800}, {"music\\x.wav", 1200}, {"a.wav", 400}});
    }

    static void MakeSound(std::initializer_list<std::pair<std::string, uint64_t>> files) {
        for (const auto& [name, size] : files)
            w().MakeFile("C:\\Emberfall\\sound\\" + name, size);
    }

    // Runs the program: a click on Install, the answer to the box that
    // follows; the program runs to its end.
    void Install(int answer = IDOK) {
        w().Click(IDOK);
        w().AnswerMessageBox(answer);
        RunProgram();
    }

    static HWND Dialog() {
        for (const auto& win : w().windows)
            if (win->templateId == IDD_INSTALLER_DIALOG)
                return win->handle();
        return nullptr;
    }

    static std::vector<std::string> Boxes() {
        std::vector<std::string> shown;
        for (const sim::MessageBoxCall& box : w().messageBoxes)
            shown.push_back(Shown(box.caption, box.type, box.text, box.owner == Dialog(),
                                  box.ownerWasDisabled));
        return shown;
    }

    static sim::ShellExecution GameStart(const std::string& g) {
        return sim::ShellExecution{nullptr, std::nullopt, g + "Kaldris.exe", std::nullopt,
                                   g,       SW_SHOWNORMAL};
    }

    // The dialog ended with IDOK and took the program with it.
    void ExpectEndedWithIdOk() {
        EXPECT_EQ(w().CallsTo("EndDialog"),
                  std::vector<std::string>{"EndDialog(dialog" +
                                           std::to_string(IDD_INSTALLER_DIALOG) + ", 1)"});
        EXPECT_TRUE(w().quitPosted);
        EXPECT_EQ(w().idleExits, 0);
    }
};

// ---- The copy request --------------------------------------------------------

TEST_F(InstallTest, CopyRequestNamesTheFolderAndThenEveryFileAtItsTop) {
    const std::string dst = kG + "cd_image\\sound";
    struct Case {
        const char* name;
        void (*arrangeSound)();
        std::string from, to;
        int result;
        std::vector<std::string> written;
    } cases[] = {
        {"files and a subfolder, in the order delivered",
         [] {
             MakeSound({{"b.wav", 800}, {"music\\x.wav", 1200}, {"a.wav", 400}});
         },
         List({"sound", "sound\\b.wav", "sound\\a.wav"}),
         List({dst, dst + "\\b.wav", dst + "\\a.wav"}),
         0,
         // The folder pair brings everything, the file pairs replace their files.
         {dst + "\\b.wav", dst + "\\music\\x.wav", dst + "\\a.wav", dst + "\\b.wav",
          dst + "\\a.wav"}},
        {"subfolders only",
         [] {
             MakeSound({{"music\\x.wav", 1200}, {"voice\\y.wav", 9}});
         },
         List({"sound"}),
         List({dst}),
         0,
         {dst + "\\music\\x.wav", dst + "\\voice\\y.wav"}},
        {"empty", [] { w().MakeDir("C:\\Emberfall\\sound"); }, List({"sound"}), List({dst}), 0, {}},
        {"missing", [] {}, List({"sound"}), List({dst}), kShellNoSource, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimTest::SetUp();
        MakeGame(kGame);
        Register(kGame);
        c.arrangeSound();
        Install();
        sim::FileOperation expected;
        expected.hwnd = Dialog();
        expected.wFunc = FO_COPY;
        expected.from = c.from;
        expected.to = c.to;
        expected.fFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
        expected.result = c.result;
        expected.written = c.written;
        EXPECT_EQ(w().fileOperations, std::vector<sim::FileOperation>{expected});
        EXPECT_EQ(expected.fFlags, 0x211);
    }
}

TEST_F(InstallTest, CopyLandsOnceInEveryPlaceBelowTheGamesSoundFolder) {
    Install();
    sim::Node* sound = w().Find(kG + "cd_image\\sound");
    ASSERT_NE(sound, nullptr);
    std::vector<std::pair<std::string, uint64_t>> top;
    for (const auto& child : sound->children)
        top.emplace_back(child->name, child->dir ? 0 : child->size);
    EXPECT_EQ(top, (std::vector<std::pair<std::string, uint64_t>>{
                       {"b.wav", 800}, {"music", 0}, {"a.wav", 400}}));
    ASSERT_NE(w().Find(kG + "cd_image\\sound\\music\\x.wav"), nullptr);
    EXPECT_EQ(w().Find(kG + "cd_image\\sound\\music\\x.wav")->size, 1200u);
}

// ---- The game folder text -------------------------------------------------------

TEST_F(InstallTest, GameFolderGetsOneClosingBackslashOnlyWhenItHasNone) {
    struct Case {
        const char* registered;
        const char* g;    // the text every path below the game folder starts with
        const char* base; // where the game's files lie, as the test writes them
    } cases[] = {
        {"C:\\Games\\Orvantis", "C:\\Games\\Orvantis\\", "C:\\Games\\Orvantis\\"},
        {"C:\\Games\\Orvantis\\", "C:\\Games\\Orvantis\\", "C:\\Games\\Orvantis\\"},
        {"C:\\Games\\Orvantis/", "C:\\Games\\Orvantis/\\", "C:\\Games\\Orvantis\\"},
        // Only when the root of the current drive holds the game.
        {"", "\\", "C:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("registered \"") + c.registered + "\"");
        Arrange(c.registered, c.base);
        Install(IDOK);
        const std::string g = c.g;
        ASSERT_EQ(w().fileOperations.size(), 1u);
        EXPECT_EQ(w().fileOperations[0].to,
                  List({g + "cd_image\\sound", g + "cd_image\\sound\\b.wav",
                        g + "cd_image\\sound\\a.wav"}));
        EXPECT_EQ(w().CallsTo("DeleteFileA"),
                  std::vector<std::string>{"DeleteFileA(" + g + "Rename.ini)"});
        EXPECT_EQ(w().executions, std::vector<sim::ShellExecution>{GameStart(g)});
        EXPECT_TRUE(w().Exists(std::string(c.base) + "cd_image\\sound\\music\\x.wav"));
        EXPECT_FALSE(w().Exists(std::string(c.base) + "Rename.ini"));
    }
}

// ---- Outcomes -------------------------------------------------------------------

TEST_F(InstallTest, OnlyACopyThatIsWholeRemovesRenameIniAndOffersTheGame) {
    const std::string dst = kG + "cd_image\\sound";
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int answer;
        bool installed;
        bool started;
    } cases[] = {
        {"copied, the user plays", [] {}, IDOK, true, true},
        {"copied, the user quits", [] {}, IDCANCEL, true, false},
        {"the user cancels the copy", [] { w().CancelCopyAfter(1); }, IDOK, false, false},
        {"the user cancels, and only the aborted flag tells", [] { w().CancelCopyAfter(3, 0); },
         IDOK, false, false},
        {"an error reported by its result only", [] { w().FailCopyAfter(2, kDiskFull); }, IDOK,
         false, false},
        // The folder pair has brought every file; replacing the first again fails.
        {"an error after every file is in place", [] { w().FailCopyAfter(3, kDiskFull); }, IDOK,
         false, false},
        {"result 0, a file of a subfolder not written",
         [dst] { w().OmitCopiedFile(dst + "\\music\\x.wav"); }, IDOK, false, false},
        {"result 0, a file written short", [dst] { w().ShortenCopiedFile(dst + "\\a.wav", 399); },
         IDOK, false, false},
        {"no sound folder beside the installer", [] { Remove("C:\\Emberfall\\sound"); }, IDOK,
         false, false},
        {"a subfolder of sound that cannot be read",
         [] { w().Find("C:\\Emberfall\\sound\\music")->readable = false; }, IDOK, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.arrange();
        Install(c.answer);
        EXPECT_EQ(Boxes(),
                  std::vector<std::string>{c.installed ? Expected(kSuccessText, kSuccessBox)
                                                       : Expected(kFailureText, kFailureBox)});
        EXPECT_EQ(w().Exists(kG + "Rename.ini"), !c.installed);
        EXPECT_EQ(w().executions, c.started ? std::vector<sim::ShellExecution>{GameStart(kG)}
                                            : std::vector<sim::ShellExecution>{});
        ExpectEndedWithIdOk();
    }
}

TEST_F(InstallTest, WhatWasCopiedBeforeACancelStaysInPlace) {
    w().CancelCopyAfter(2);
    Install();
    ASSERT_EQ(w().fileOperations.size(), 1u);
    EXPECT_EQ(w().fileOperations[0].result, ERROR_CANCELLED);
    EXPECT_TRUE(w().fileOperations[0].aborted);
    EXPECT_TRUE(w().Exists(kG + "cd_image\\sound\\b.wav"));
    EXPECT_TRUE(w().Exists(kG + "cd_image\\sound\\music\\x.wav"));
    EXPECT_FALSE(w().Exists(kG + "cd_image\\sound\\a.wav"));
}

TEST_F(InstallTest, RenameIniThatCannotBeRemovedPassesWithoutAWord) {
    struct Case {
        const char* name;
        void (*arrange)();
    } cases[] = {
        {"write-protected", [] { w().MakeFile(kG + "Rename.ini", 12, FILE_ATTRIBUTE_READONLY); }},
        {"missing", [] { Remove(kG + "Rename.ini"); }},
        {"a folder of that name",
         [] {
             Remove(kG + "Rename.ini");
             w().MakeDir(kG + "Rename.ini");
         }},
        // Gone after the check at start-up: the copy makes the folders again,
        // and the game that is no longer there fails to start, without a word.
        {"the game folder removed while the dialog was open",
         [] { w().Post([] { Remove(kGame); }); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.arrange();
        Install(IDOK);
        EXPECT_EQ(Boxes(), std::vector<std::string>{Expected(kSuccessText, kSuccessBox)});
        EXPECT_EQ(w().CallsTo("DeleteFileA"),
                  std::vector<std::string>{"DeleteFileA(" + kG + "Rename.ini)"});
        EXPECT_EQ(w().executions, std::vector<sim::ShellExecution>{GameStart(kG)});
        EXPECT_TRUE(w().Exists(kG + "cd_image\\sound\\music\\x.wav"));
        ExpectEndedWithIdOk();
    }
}

TEST_F(InstallTest, SecondInstallMergesIntoTheFirstAndReplacesItsFiles) {
    w().MakeFile(kG + "cd_image\\sound\\a.wav", 1);
    w().MakeFile(kG + "cd_image\\sound\\music\\x.wav", 2, FILE_ATTRIBUTE_READONLY);
    w().MakeFile(kG + "cd_image\\sound\\older.wav", 3);
    Install(IDCANCEL);
    EXPECT_EQ(Boxes(), std::vector<std::string>{Expected(kSuccessText, kSuccessBox)});
    EXPECT_EQ(w().Find(kG + "cd_image\\sound\\a.wav")->size, 400u);
    EXPECT_EQ(w().Find(kG + "cd_image\\sound\\music\\x.wav")->size, 1200u);
    EXPECT_EQ(w().Find(kG + "cd_image\\sound\\b.wav")->size, 800u);
    ASSERT_TRUE(w().Exists(kG + "cd_image\\sound\\older.wav"));
    EXPECT_EQ(w().Find(kG + "cd_image\\sound\\older.wav")->size, 3u);
    EXPECT_FALSE(w().Exists(kG + "Rename.ini"));
}

// ---- The buttons ------------------------------------------------------------------

TEST_F(InstallTest, ButtonsAreOutOfReachFromTheClickUntilJustBeforeTheDialogEnds) {
    const std::string dialog = "dialog" + std::to_string(IDD_INSTALLER_DIALOG);
    const std::vector<std::string> startup = {"EnableWindow(1, 0)", "EnableWindow(1, 1)"};
    const std::vector<std::string> disable = {"EnableWindow(1, 0)", "EnableWindow(2, 0)",
                                              "EnableWindow(1001, 0)", "EnableWindow(1004, 0)"};
    const std::vector<std::string> enable = {"EnableWindow(1, 1)", "EnableWindow(2, 1)",
                                             "EnableWindow(1001, 1)", "EnableWindow(1004, 1)"};
    struct Case {
        const char* name;
        void (*arrange)();
        int answer;
        std::vector<std::string> middle; // between the copy and the buttons' return
    } cases[] = {
        {"success, play",
         [] {},
         IDOK,
         {"DeleteFileA(" + kG + "Rename.ini)", "MessageBox(" + std::string(kSuccessText) + ")",
          "ShellExecuteA(" + kG + "Kaldris.exe, " + kG + ")"}},
        {"success, quit",
         [] {},
         IDCANCEL,
         {"DeleteFileA(" + kG + "Rename.ini)", "MessageBox(" + std::string(kSuccessText) + ")"}},
        {"failure",
         [] { w().CancelCopyAfter(0); },
         IDOK,
         {"MessageBox(" + std::string(kFailureText) + ")"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.arrange();
        DialogState duringCopy{};
        w().Click(IDOK);
        // Handled by the progress window's message loop while the copy runs.
        w().Post([&] { duringCopy = ReadDialog(); });
        for (int id : {IDOK, IDCANCEL, IDC_BROWSE, IDC_SEARCH})
            w().Click(id);
        const int answer = c.answer;
        w().AnswerMessageBox([answer](const sim::MessageBoxCall& box) {
            w().Log("MessageBox(" + box.text + ")");
            return answer;
        });
        RunProgram();

        EXPECT_EQ(duringCopy.folderLine, kGame);
        EXPECT_FALSE(duringCopy.install || duringCopy.cancel || duringCopy.browse ||
                     duringCopy.search);
        EXPECT_EQ(w().CallsTo("ClickRefused"),
                  (std::vector<std::string>{"ClickRefused(1)", "ClickRefused(2)",
                                            "ClickRefused(1001)", "ClickRefused(1004)"}));

        std::vector<std::string> expected = startup;
        expected.insert(expected.end(), disable.begin(), disable.end());
        expected.push_back("SHFileOperationA(2, 0x211)");
        expected.insert(expected.end(), c.middle.begin(), c.middle.end());
        expected.insert(expected.end(), enable.begin(), enable.end());
        expected.push_back("EndDialog(" + dialog + ", 1)");
        std::vector<std::string> seen;
        for (const std::string& call : w().calls)
            for (const char* name : {"EnableWindow(", "SHFileOperationA(", "DeleteFileA(",
                                     "MessageBox(", "ShellExecuteA(", "EndDialog("})
                if (call.rfind(name, 0) == 0)
                    seen.push_back(call);
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(Boxes().size(), 1u);
        EXPECT_TRUE(w().messageBoxes.at(0).ownerWasDisabled);
    }
}

} // namespace
