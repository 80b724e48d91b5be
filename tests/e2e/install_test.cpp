// Install on the real Pallwick.exe: the copy of the sound folder into the game,
// Rename.ini, the offer to play, and how each failure looks to the user.
#include "tests/e2e/installer_fixture.h"

#include <algorithm>

namespace e2e {
namespace {

constexpr char kSuccessText[] = "Orvantis - The Emberfall was successfully installed.\n"
                                "Click OK to play Kaldris, or click Cancel to quit.";
constexpr char kFailureText[] = "Installation was canceled by the user, or errors occured.";

// Every file below dir, subfolders included, by its path relative to dir.
std::vector<std::string> filesBelow(const std::string& dir, const std::string& prefix = "") {
    std::vector<std::string> files;
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA(joinPath(dir, "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return files;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::string& f : filesBelow(joinPath(dir, name), prefix + name + "\\")) {
                files.push_back(f);
            }
        } else {
            files.push_back(prefix + name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

// Holds a file open with no sharing, as a program that has it in use would.
class FileInUse {
public:
    explicit FileInUse(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr)) {}
    ~FileInUse() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileInUse(const FileInUse&) = delete;
    FileInUse& operator=(const FileInUse&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class Install : public InstallerTest {
protected:
    std::string renameIni() const { return joinPath(gameDir(), "Rename.ini"); }
    std::string gameSound() const { return joinPath(gameDir(), "cd_image\\sound"); }
    std::string kaldrisRecord() const { return joinPath(gameDir(), "Kaldris-started.txt"); }

    // The expansion's files, relative to `sound`.
    std::vector<std::string> shippedFiles() const {
        return filesBelow(joinPath(expansion(), "sound"));
    }

    // Clicks Install and waits for the message box that follows. The four
    // buttons must be out of reach while it is up, the folder line unchanged.
    MessageBoxWindow clickInstall() {
        const std::string folder = app().text(kFolderEdit);
        app().click(kInstallButton);
        MessageBoxWindow box = app().waitForMessageBox();
        if (box.hwnd) {
            EXPECT_EQ(app().text(kFolderEdit), folder);
            for (int id : {kInstallButton, kCancelButton, kBrowseButton, kSearchButton}) {
                EXPECT_FALSE(app().enabled(id)) << "button " << id << " while the box is up";
            }
        }
        return box;
    }

    void expectBox(const MessageBoxWindow& box, const char* text, bool withCancel) {
        ASSERT_NE(box.hwnd, nullptr) << "no message box appeared";
        EXPECT_EQ(box.caption(), kMessageBoxCaption);
        EXPECT_EQ(box.text(), text);
        EXPECT_TRUE(box.hasButton(IDOK));
        EXPECT_EQ(box.hasButton(IDCANCEL), withCancel);
    }

    // Every shipped file stands below cd_image\sound with the same contents.
    void expectSoundInstalled() {
        EXPECT_EQ(filesBelow(gameSound()), shippedFiles());
        for (const std::string& file : shippedFiles()) {
            EXPECT_EQ(readFile(joinPath(gameSound(), file)),
                      readFile(joinPath(expansion(), "sound\\" + file)))
                << file;
        }
    }

    // The stand-in game leaves its record as soon as it runs; the installer
    // has started it, if at all, before it ended.
    bool gameStarted() {
        return waitUntil([this] { return fileExists(kaldrisRecord()); }, 3000);
    }
};

TEST_F(Install, CopiesSoundRemovesRenameIniAndStartsTheGameOnOk) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_EQ(state(), (DialogState{gameDir(), true}));
    ASSERT_EQ(shippedFiles().size(), 3u);

    const MessageBoxWindow box = clickInstall();
    ASSERT_NO_FATAL_FAILURE(expectBox(box, kSuccessText, true));
    // Both done before the question is asked.
    expectSoundInstalled();
    EXPECT_FALSE(fileExists(renameIni()));

    box.press(IDOK);
    expectExit("OK in the success box");
    ASSERT_TRUE(gameStarted());
    const std::string record = readFile(kaldrisRecord());
    const std::string game = gameDir();
    EXPECT_NE(record.find("cwd=" + game + "\r\n"), std::string::npos) << record;
    EXPECT_NE(record.find("module=" + joinPath(game, "Kaldris.exe") + "\r\n"), std::string::npos)
        << record;
}

TEST_F(Install, CancelInTheSuccessBoxStartsNothing) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());

    const MessageBoxWindow box = clickInstall();
    ASSERT_NO_FATAL_FAILURE(expectBox(box, kSuccessText, true));
    box.press(IDCANCEL);
    expectExit("Cancel in the success box");

    expectSoundInstalled();
    EXPECT_FALSE(fileExists(renameIni()));
    EXPECT_FALSE(gameStarted());
}

TEST_F(Install, WriteProtectedRenameIniStillGivesSuccess) {
    installGame();
    ASSERT_TRUE(SetFileAttributesA(renameIni().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NO_FATAL_FAILURE(launch());

    const MessageBoxWindow box = clickInstall();
    ASSERT_NO_FATAL_FAILURE(expectBox(box, kSuccessText, true));
    box.press(IDOK);
    expectExit("OK in the success box");

    expectSoundInstalled();
    EXPECT_TRUE(fileExists(renameIni()));
    EXPECT_TRUE(gameStarted());
}

// ---------------------------------------------------------------------------
// Copies that fail: the failure message, Rename.ini kept, no game started.

class InstallFails : public Install {
protected:
    // Clicks Install, expects the failure message, answers it and sees the
    // program end with the game's Rename.ini in place and nothing started.
    void expectFailure() {
        const MessageBoxWindow box = clickInstall();
        ASSERT_NO_FATAL_FAILURE(expectBox(box, kFailureText, false));
        box.press(IDOK);
        expectExit("OK in the failure box");
        EXPECT_TRUE(fileExists(renameIni()));
        EXPECT_FALSE(gameStarted());
    }
};

TEST_F(InstallFails, WithoutSoundFolderBesideTheInstaller) {
    installGame();
    removeTree(joinPath(expansion(), "sound"));
    ASSERT_NO_FATAL_FAILURE(launch());

    ASSERT_NO_FATAL_FAILURE(expectFailure());
    expectGameUntouched(gameDir());
}

// Wine's shell copies a file of a subfolder that it cannot read as if
// nothing were wrong: its result is 0, the file is simply missing.
TEST_F(InstallFails, WhenASoundFileInASubfolderIsInUse) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());
    const FileInUse inUse(joinPath(expansion(), "sound\\ambient\\forge_loop.wav"));
    ASSERT_TRUE(inUse.held());

    ASSERT_NO_FATAL_FAILURE(expectFailure());
    EXPECT_FALSE(fileExists(joinPath(gameSound(), "ambient\\forge_loop.wav")));
}

// Windows merges a second copy into the first; Wine 8's shell refuses the
// request as soon as cd_image\sound exists (result 1223, aborted), so the
// installer must say that it failed. This test fails the day Wine merges.
TEST_F(InstallFails, OverAnEarlierInstallUnderWine) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());
    MessageBoxWindow first = clickInstall();
    ASSERT_NO_FATAL_FAILURE(expectBox(first, kSuccessText, true));
    first.press(IDCANCEL);
    expectExit("the first install");
    ASSERT_NO_FATAL_FAILURE(expectSoundInstalled());

    // The game put its Rename.ini back, and the expansion has grown.
    writeFile(renameIni(), "[Rename]\r\n");
    writeFile(joinPath(expansion(), "sound\\ember_03.wav"), "RIFF-later");
    ASSERT_NO_FATAL_FAILURE(launch());

    ASSERT_NO_FATAL_FAILURE(expectFailure());
    EXPECT_FALSE(fileExists(joinPath(gameSound(), "ember_03.wav")));
}

} // namespace
} // namespace e2e
