// The installer dialog's window: the About entry of its window menu, the
// icon it paints while minimised, and its drag image.
#include "fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class WindowTest : public SimTest {};

TEST_F(WindowTest, AboutCommandRangeOpensTheAboutBox) {
    struct Case {
        UINT command;
        bool opens;
    } cases[] = {
        {0x0010, true},  {0x0015, true},   {0x001F, true},       {0x0020, false},
        {0x000F, false}, {SC_MOVE, false}, {SC_MINIMIZE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        SetUp();
        w().SysCommand(c.command);
        w().Key(VK_ESCAPE); // closes the About box if it opened
        w().Click(IDCANCEL);
        RunProgram();
        bool opened = w().CallsTo("DialogBoxParamA").size() == 2;
        EXPECT_EQ(opened, c.opens);
        if (opened) {
            EXPECT_THAT(
                w().CallsTo("DialogBoxParamA"),
                ElementsAre("DialogBoxParamA(102, null)", "DialogBoxParamA(100, dialog102)"));
        } else {
            EXPECT_EQ(w().CallsTo("DefaultSysCommand").size(), 1u);
        }
        EXPECT_EQ(w().idleExits, 0);
    }
}

TEST_F(WindowTest, AboutBoxLeavesTheInstallerDialogAsItWas) {
    MakeGame("C:\\Games\\Orvantis");
    Register("C:\\Games\\Orvantis");
    DialogState before{}, during{}, after{};
    bool installerEnabledDuring = true;
    w().Post([&] { before = ReadDialog(); });
    w().SysCommand(0x0010);
    w().Post([&] {
        installerEnabledDuring = w().DialogByTemplate(IDD_INSTALLER_DIALOG)->enabled;
        during.folderLine = w().ActiveDialog()->text;
    });
    w().Click(IDOK); // the About box's OK
    w().Post([&] { after = ReadDialog(); });
    w().Click(IDCANCEL);
    RunProgram();
    EXPECT_EQ(during.folderLine, "About Pallwick");
    EXPECT_FALSE(installerEnabledDuring);
    EXPECT_EQ(after.folderLine, before.folderLine);
    EXPECT_EQ(after.install, before.install);
    EXPECT_THAT(w().CallsTo("EndDialog"),
                ElementsAre("EndDialog(dialog100, 1)", "EndDialog(dialog102, 2)"));
}

class MinimisedPaintTest : public SimTest {
protected:
    // Paints the dialog once, minimised or not, with the given client size.
    void Paint(bool iconic, LONG width, LONG height) {
        w().Post([=] {
            sim::Window* dlg = w().ActiveDialog();
            dlg->iconic = iconic;
            dlg->rect = RECT{100, 100, 100 + width, 100 + height};
            SendMessageA(dlg->handle(), WM_PAINT, 0, 0);
            dlg->iconic = false;
        });
        w().Click(IDCANCEL);
        RunProgram();
    }
};

TEST_F(MinimisedPaintTest, DrawsTheIconInTheMiddleTruncatingTowardZero) {
    struct Case {
        LONG width, height;
        int x, y;
    } cases[] = {
        {160, 120, 64, 44}, // (160 - 32 + 1) / 2 = 64
        {33, 32, 1, 0},
        {0, 0, -15, -15}, // (0 - 32 + 1) / 2 truncates to -15, not -16
        {1, 2, -15, -14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        SetUp();
        Paint(true, c.width, c.height);
        ASSERT_EQ(w().drawnIcons.size(), 1u);
        EXPECT_EQ(w().drawnIcons[0].x, c.x);
        EXPECT_EQ(w().drawnIcons[0].y, c.y);
        EXPECT_EQ(w().drawnIcons[0].icon, sim::IconHandle(IDR_MAINFRAME));
    }
}

TEST_F(MinimisedPaintTest, ErasesTheIconBackgroundWithinOnePaint) {
    Paint(true, 64, 64);
    std::vector<std::string> sequence;
    for (const std::string& c : w().calls)
        if (c.rfind("BeginPaint", 0) == 0 || c.rfind("EndPaint", 0) == 0 ||
            c.find(", 0x27, ") != std::string::npos)
            sequence.push_back(c);
    // The erase message carries the paint context (the simulation's is the
    // window handle) and 0.
    ASSERT_EQ(sequence.size(), 3u);
    EXPECT_EQ(sequence[0], "BeginPaint(dialog102)");
    EXPECT_EQ(sequence[1].rfind("SendMessageA(dialog102, 0x27, 0x", 0), 0u);
    EXPECT_EQ(sequence[1].substr(sequence[1].size() - 6), ", 0x0)");
    EXPECT_EQ(sequence[2], "EndPaint(dialog102)");
}

TEST_F(MinimisedPaintTest, LeavesPaintingToTheSystemWhenNotMinimised) {
    Paint(false, 64, 64);
    EXPECT_TRUE(w().drawnIcons.empty());
    EXPECT_TRUE(w().CallsTo("BeginPaint").empty());
    EXPECT_EQ(w().CallsTo("DefaultPaint").size(), 1u);
}

TEST_F(WindowTest, DragImageIsTheApplicationIcon) {
    LRESULT dragIcon = 0;
    w().Post(
        [&] { dragIcon = SendMessageA(w().ActiveDialog()->handle(), WM_QUERYDRAGICON, 0, 0); });
    w().Click(IDCANCEL);
    RunProgram();
    EXPECT_EQ(reinterpret_cast<HICON>(dragIcon), sim::IconHandle(IDR_MAINFRAME));
}

} // namespace
