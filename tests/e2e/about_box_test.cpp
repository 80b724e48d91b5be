// The About box, opened by the installer dialog's window-menu command: what
// it shows and where, and that each way of closing it gives the installer
// dialog back as it was.
#include "tests/e2e/dialog_probe.h"
#include "tests/e2e/installer_fixture.h"

namespace e2e {
namespace {

constexpr UINT kAboutCommand = 0x0010; // the About entry of the window menu
constexpr char kAboutCaption[] = "About Pallwick";

class AboutBox : public InstallerTest {
protected:
    // Picks the About entry as the window menu does and waits for the box.
    HWND openAbout() {
        PostMessageA(app().dialog(), WM_SYSCOMMAND, kAboutCommand, 0);
        HWND about = nullptr;
        waitUntil(
            [&] {
                const auto found = app().windows("#32770", kAboutCaption);
                about = found.empty() ? nullptr : found.front();
                return about != nullptr;
            },
            kWindowTimeout);
        if (about) {
            WaitForInputIdle(app().process(), kWindowTimeout);
        }
        return about;
    }
};

TEST_F(AboutBox, ShowsTheIconTheVersionAndTheNoticeCentredOverTheInstaller) {
    ASSERT_NO_FATAL_FAILURE(launch());
    const HWND dialog = app().dialog();
    const HWND about = openAbout();
    ASSERT_NE(about, nullptr) << "no About box";

    EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the installer dialog is usable behind the box";
    // The template's style, shown, with the system's additions to a dialog.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(about, GWL_STYLE)),
              0x80C800C0u | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK);
    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client, dialogUnitsToPixels(0, 0, 235, 55));

    const std::vector<ControlInfo> shown = controlsInOrder(about);
    ASSERT_EQ(shown.size(), 4u);
    // The program's icon. A static with SS_ICON takes the icon's own size.
    EXPECT_EQ(shown[0].style, 0x50000003u);
    DWORD_PTR icon = 0;
    SendMessageTimeoutA(shown[0].hwnd, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kExitTimeout, &icon);
    EXPECT_NE(icon, 0u) << "no icon in the About box";
    const RECT iconPlace = dialogUnitsToPixels(11, 17, 20, 20);
    EXPECT_EQ(shown[0].rect.left, iconPlace.left);
    EXPECT_EQ(shown[0].rect.top, iconPlace.top);
    EXPECT_EQ(shown[0].rect.right - shown[0].rect.left, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(shown[0].rect.bottom - shown[0].rect.top, GetSystemMetrics(SM_CYICON));

    EXPECT_EQ(shown[1].text, "Pallwick Version 1.0");
    EXPECT_EQ(shown[1].style, 0x50020080u);
    EXPECT_EQ(shown[1].rect, dialogUnitsToPixels(40, 10, 119, 8));
    EXPECT_EQ(shown[2].text, "Copyright (C) 2026 Pallwick");
    EXPECT_EQ(shown[2].style, 0x50020000u);
    EXPECT_EQ(shown[2].rect, dialogUnitsToPixels(40, 25, 119, 8));
    EXPECT_EQ(shown[3].id, IDOK);
    EXPECT_EQ(shown[3].text, "OK");
    EXPECT_EQ(shown[3].style, 0x50030001u);
    EXPECT_EQ(shown[3].rect, dialogUnitsToPixels(178, 7, 50, 14));
    for (const ControlInfo& c : shown) {
        EXPECT_EQ(c.id == IDOK ? "Button" : "Static", c.cls) << c.text;
    }

    RECT box{}, owner{};
    GetWindowRect(about, &box);
    GetWindowRect(dialog, &owner);
    EXPECT_NEAR(box.left + box.right, owner.left + owner.right, 1) << box << " over " << owner;
    EXPECT_NEAR(box.top + box.bottom, owner.top + owner.bottom, 1) << box << " over " << owner;
}

// ---------------------------------------------------------------------------

enum class Closing { OkButton, EnterKey, EscapeKey, CloseCommand };

struct ClosingCase {
    const char* name;
    Closing closing;
};
void PrintTo(const ClosingCase& c, std::ostream* os) {
    *os << c.name;
}

class AboutBoxClosing : public AboutBox, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(AboutBoxClosing, LeavesTheInstallerDialogAsItWas) {
    installGame();
    ASSERT_NO_FATAL_FAILURE(launch());
    const HWND dialog = app().dialog();
    const HWND edit = GetDlgItem(dialog, kFolderEdit);
    ASSERT_TRUE(waitUntil([&] { return focusedControl(dialog) == edit; }, kWindowTimeout));
    const DialogState before = state();

    const HWND about = openAbout();
    ASSERT_NE(about, nullptr) << "no About box";
    switch (GetParam().closing) {
    case Closing::OkButton:
        clickButton(about, IDOK);
        break;
    case Closing::EnterKey:
    case Closing::EscapeKey: {
        const HWND focus = focusedControl(about);
        ASSERT_EQ(focus, GetDlgItem(about, IDOK)) << "the focus is not on OK";
        pressKey(focus, GetParam().closing == Closing::EnterKey ? VK_RETURN : VK_ESCAPE);
        break;
    }
    case Closing::CloseCommand:
        PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(about); }, kExitTimeout))
        << "the About box is still open";

    EXPECT_TRUE(app().running());
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, kExitTimeout));
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(app().enabled(kCancelButton) && app().enabled(kBrowseButton) &&
                app().enabled(kSearchButton));
    EXPECT_TRUE(waitUntil([&] { return focusedControl(dialog) == edit; }, kExitTimeout))
        << "the focus did not come back to the folder line";

    app().click(kCancelButton);
    expectExit("Cancel after the About box");
    expectGameUntouched(gameDir());
}

const ClosingCase kClosingCases[] = {
    {"OK", Closing::OkButton},
    {"Enter", Closing::EnterKey},
    {"Escape", Closing::EscapeKey},
    {"CloseBox", Closing::CloseCommand},
};
INSTANTIATE_TEST_SUITE_P(Cases, AboutBoxClosing, ::testing::ValuesIn(kClosingCases), CaseName{});

} // namespace
} // namespace e2e
