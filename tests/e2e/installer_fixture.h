// The fixture shared by the e2e tests: a private folder per test under C:\e2e,
// a clean HKLM\Software\Orvantis in both registry views, and the installer
// started from an expansion folder with its sound files.
#pragma once

#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

// What the main dialog shows about the game folder.
struct DialogState {
    std::string folder;
    bool installEnabled = false;

    bool operator==(const DialogState& other) const {
        return folder == other.folder && installEnabled == other.installEnabled;
    }
};

inline std::ostream& operator<<(std::ostream& os, const DialogState& state) {
    return os << "{folder \"" << state.folder << "\", Install "
              << (state.installEnabled ? "enabled" : "disabled") << "}";
}

inline const DialogState kNothingFound{"", false};

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = joinPath("C:\\e2e", slug());
        removeTree(root_);
        makeDirs(root_);
        expansion_ = joinPath(root_, "Emberfall");
        soundFiles_ = makeExpansion(expansion_);
        deleteGameKeyInBothViews();
    }

    void TearDown() override {
        app_.reset(); // ends an installer a failed test left open
        deleteGameKeyInBothViews();
    }

    // This test's own folder, e.g. C:\e2e\StartupFound_ShowsStoredFolder_Plain.
    const std::string& root() const { return root_; }
    // The installer's working directory: the expansion with its `sound` folder.
    const std::string& expansion() const { return expansion_; }
    const std::vector<std::string>& soundFiles() const { return soundFiles_; }
    // Where the tests put the game unless they need several.
    std::string gameDir() const { return joinPath(root_, "Game"); }

    // Builds a complete game in gameDir() and registers it in the 32-bit view.
    void installGame() {
        makeGame(gameDir());
        setInstallPath(gameDir());
    }

    // Starts Pallwick.exe in expansion() and waits for its dialog.
    // Use as ASSERT_NO_FATAL_FAILURE(launch(...)).
    void launch(const std::string& args = "") {
        app_.reset();
        app_ = std::make_unique<Installer>(args, expansion_);
        ASSERT_NE(app_->waitForDialog(), nullptr)
            << "no visible dialog \"" << kDialogCaption << "\" appeared; installer "
            << (app_->running() ? "still running" : "has exited");
    }

    Installer& app() { return *app_; }

    DialogState state() const { return {app_->text(kFolderEdit), app_->enabled(kInstallButton)}; }

    // Waits for the installer to end; on time-out ends it and fails the test.
    void expectExit(const std::string& after) {
        if (!app_->waitForExit()) {
            app_->kill();
            ADD_FAILURE() << "the installer was still running " << kExitTimeout << " ms after "
                          << after;
        }
    }

    // Nothing of an install happened to the game at `game`.
    void expectGameUntouched(const std::string& game) {
        EXPECT_TRUE(fileExists(joinPath(game, "Rename.ini")));
        EXPECT_FALSE(dirExists(joinPath(game, "cd_image\\sound")));
        EXPECT_FALSE(fileExists(joinPath(game, "Kaldris-started.txt")));
    }

private:
    static std::string slug() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              (c >= '0' && c <= '9') || c == '_' || c == '-';
            if (!keep) {
                c = '_';
            }
        }
        return name;
    }

    std::string root_;
    std::string expansion_;
    std::vector<std::string> soundFiles_;
    std::unique_ptr<Installer> app_;
};

// Names parameterised cases after the `name` member of their parameter.
struct CaseName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return info.param.name;
    }
};

} // namespace e2e
