// What the installer shows when it starts, and how it ends without installing.
#include "tests/e2e/installer_fixture.h"

#include <cctype>

namespace e2e {
namespace {

// ---------------------------------------------------------------------------
// A registered folder that holds the game: shown exactly as stored.

struct FoundCase {
    const char* name;
    const char* gameFolder; // below the test's root
    const char* suffix;     // appended to the stored value
    bool lowercaseDrive;    // store "c:\..." instead of "C:\..."
};
void PrintTo(const FoundCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupFound : public InstallerTest, public ::testing::WithParamInterface<FoundCase> {};

TEST_P(StartupFound, ShowsStoredFolderAndEnablesInstall) {
    const FoundCase& c = GetParam();
    const std::string game = joinPath(root(), c.gameFolder);
    makeGame(game);
    std::string stored = game + c.suffix;
    if (c.lowercaseDrive) {
        stored[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(stored[0])));
    }
    setInstallPath(stored);

    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(state(), (DialogState{stored, true}));
}

const FoundCase kFoundCases[] = {
    {"Plain", "Game", "", false},
    {"TrailingBackslash", "Game", "\\", false},
    {"SpacesInPath", "Orvantis Game Folder", "", false},
    {"LowercaseDrive", "Game", "", true},
};
INSTANTIATE_TEST_SUITE_P(Cases, StartupFound, ::testing::ValuesIn(kFoundCases), CaseName{});

// ---------------------------------------------------------------------------
// Nothing usable registered: empty folder, Install disabled.

struct NotFoundCase {
    const char* name;
    void (*arrange)(const std::string& root);
};
void PrintTo(const NotFoundCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupNotFound : public InstallerTest, public ::testing::WithParamInterface<NotFoundCase> {};

TEST_P(StartupNotFound, ShowsNoFolderAndDisablesInstall) {
    GetParam().arrange(root());

    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(state(), kNothingFound);
}

GameParts withoutMarker() {
    GameParts parts;
    parts.marker = false;
    return parts;
}

const NotFoundCase kNotFoundCases[] = {
    {"NoKey",
     [](const std::string& root) {
         // A complete game that nobody registered.
         makeGame(joinPath(root, "Game"));
     }},
    {"KeyWithoutInstallPath",
     [](const std::string& root) {
         makeGame(joinPath(root, "Game"));
         setGameValue("Version", "1.0");
         setGameValue("Path", joinPath(root, "Game"));
     }},
    {"EmptyInstallPath", [](const std::string&) { setInstallPath(""); }},
    {"FolderMissing",
     [](const std::string& root) { setInstallPath(joinPath(root, "Uninstalled")); }},
    {"FolderWithoutMarker",
     [](const std::string& root) {
         const std::string game = joinPath(root, "Game");
         makeGame(game, withoutMarker());
         setInstallPath(game);
     }},
    {"MarkerOutsideCdImage",
     [](const std::string& root) {
         const std::string game = joinPath(root, "Game");
         makeGame(game, withoutMarker());
         writeFile(joinPath(game, "data\\db\\ResourceDatabase.dat"), "x");
         writeFile(joinPath(game, "ResourceDatabase.dat"), "x");
         setInstallPath(game);
     }},
};
INSTANTIATE_TEST_SUITE_P(Cases, StartupNotFound, ::testing::ValuesIn(kNotFoundCases), CaseName{});

// ---------------------------------------------------------------------------
// The installer reads the 32-bit registry view, where the game registers itself.

using StartupRegistryView = InstallerTest;

TEST_F(StartupRegistryView, IgnoresValueIn64BitView) {
    makeGame(gameDir());
    setInstallPath(gameDir(), RegistryView::Bit64);
    ASSERT_FALSE(installPath(RegistryView::Bit32).has_value())
        << "the two registry views are not separate here";

    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(state(), kNothingFound);
}

TEST_F(StartupRegistryView, Prefers32BitViewOver64BitView) {
    const std::string game32 = joinPath(root(), "Game32");
    const std::string game64 = joinPath(root(), "Game64");
    makeGame(game32);
    makeGame(game64);
    setInstallPath(game32, RegistryView::Bit32);
    setInstallPath(game64, RegistryView::Bit64);

    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(state(), (DialogState{game32, true}));
}

// ---------------------------------------------------------------------------
// Cancel, Escape and the Close command end the program and install nothing.

enum class Ending { CancelButton, EscapeKey, CloseCommand };

struct EndingCase {
    const char* name;
    Ending ending;
    bool gameFound;
};
void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupEnding : public InstallerTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(StartupEnding, EndsProgramWithoutInstalling) {
    const EndingCase& c = GetParam();
    makeGame(gameDir(), c.gameFound ? GameParts{} : withoutMarker());
    setInstallPath(gameDir());

    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_EQ(state().installEnabled, c.gameFound);
    switch (c.ending) {
    case Ending::CancelButton:
        app().click(kCancelButton);
        break;
    case Ending::EscapeKey:
        app().pressEscape();
        break;
    case Ending::CloseCommand:
        app().postClose();
        break;
    }
    expectExit(c.name);

    EXPECT_EQ(installPath(), gameDir());
    expectGameUntouched(gameDir());
}

const EndingCase kEndingCases[] = {
    {"Cancel", Ending::CancelButton, true},
    {"Escape", Ending::EscapeKey, true},
    {"Close", Ending::CloseCommand, true},
    {"CancelWithoutGame", Ending::CancelButton, false},
    {"EscapeWithoutGame", Ending::EscapeKey, false},
    {"CloseWithoutGame", Ending::CloseCommand, false},
};
INSTANTIATE_TEST_SUITE_P(Cases, StartupEnding, ::testing::ValuesIn(kEndingCases), CaseName{});

// ---------------------------------------------------------------------------
// Command-line arguments change nothing.

struct ArgumentsCase {
    const char* name;
    const char* args; // "%OTHER%" stands for a second complete game folder
    bool registered;  // a complete game is registered
};
void PrintTo(const ArgumentsCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupArguments : public InstallerTest,
                         public ::testing::WithParamInterface<ArgumentsCase> {};

TEST_P(StartupArguments, ShowSameAsWithoutArguments) {
    const ArgumentsCase& c = GetParam();
    const std::string other = joinPath(root(), "OtherGame");
    makeGame(other);
    if (c.registered) {
        installGame();
    }
    std::string args = c.args;
    const size_t at = args.find("%OTHER%");
    if (at != std::string::npos) {
        args.replace(at, 7, other);
    }

    const DialogState expected = c.registered ? DialogState{gameDir(), true} : kNothingFound;

    ASSERT_NO_FATAL_FAILURE(launch(args));
    EXPECT_EQ(state(), expected) << "started with: " << args;

    app().click(kCancelButton);
    expectExit("Cancel");
    expectGameUntouched(other);
    if (c.registered) {
        expectGameUntouched(gameDir());
    }
}

const ArgumentsCase kArgumentsCases[] = {
    {"FileName", "foo.txt", true},
    {"Switches", "/p /dde", true},
    {"DashesAndWords", "-x --help two words", true},
    {"OtherGameFolder", "\"%OTHER%\"", true},
    {"GameFolderWithNothingRegistered", "\"%OTHER%\"", false},
};
INSTANTIATE_TEST_SUITE_P(Cases, StartupArguments, ::testing::ValuesIn(kArgumentsCases), CaseName{});

} // namespace
} // namespace e2e
