// The little world most tests need: a fresh simulated machine with the
// program's own resources, a few helpers to lay out a game installation,
// and a way to run the program as Windows would.
#pragma once

#include "app/InstallerApp.h"
#include "platform/sim/sim.h"
#include "ui/InstallerDlg.h"

#include <gtest/gtest.h>

#include <string>

inline const std::string kGameKey = "HKLM\\Software\\Orvantis";
inline const std::string kMarker = "cd_image\\data\\db\\ResourceDatabase.dat";

class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Reset();
        w().LoadResourceScript(PALLWICK_SOURCE_DIR "/ui/Pallwick.rc",
                               PALLWICK_SOURCE_DIR "/ui/resource.h");
    }
    void TearDown() override {
        EXPECT_EQ(sim::OpenFindHandles(), 0u) << "a directory search was left open";
        EXPECT_EQ(sim::OpenRegistryKeys(), 0u) << "a registry key was left open";
        EXPECT_EQ(w().browser.itemLists.size(), 0u)
            << "an item list from the folder browser was not freed";
        EXPECT_EQ(w().browser.strayFrees, 0) << "memory the shell never handed out was freed";
        EXPECT_EQ(w().browser.strayItemUses, 0) << "an item list was used after it was freed";
    }

    static sim::World& w() { return sim::W(); }

    // A game installation: the folder with its marker file below it.
    static void MakeGame(const std::string& folder) {
        std::string base = folder;
        if (base.empty() || (base.back() != '\\' && base.back() != '/'))
            base += "\\";
        w().MakeFile(base + kMarker, 1024);
    }
    static void Register(const std::string& folder) {
        w().SetRegistryString(32, kGameKey, "InstallPath", folder);
    }

    // Runs the program as its entry point would, to the end.
    static int RunProgram() {
        return AfxWinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWNORMAL);
    }
};

// The dialog's visible state at one moment.
struct DialogState {
    std::string folderLine;
    bool install, cancel, browse, search;
    std::string searchText;
    int focus;
};

inline DialogState ReadDialog() {
    sim::World& w = sim::W();
    return DialogState{w.ControlText(IDC_FOLDER_EDIT),
                       w.ControlEnabled(IDOK),
                       w.ControlEnabled(IDCANCEL),
                       w.ControlEnabled(IDC_BROWSE),
                       w.ControlEnabled(IDC_SEARCH),
                       w.ControlText(IDC_SEARCH),
                       w.FocusId()};
}
