// The class library's strings and directory enumeration, as the handlers
// rely on them.
#include "fixture.h"

#include <gmock/gmock.h>

#include <cstring>

using ::testing::ElementsAre;

namespace {

TEST(CStringTest, ANulAppendedStaysPartOfTheString) {
    CString list("sound");
    list += '\0';
    list += "sound\\a.wav";
    list += '\0';
    list += '\0';
    EXPECT_EQ(list.GetLength(), 5 + 1 + 11 + 2);
    EXPECT_EQ(list.Str(), std::string("sound\0sound\\a.wav\0\0", 19));
    EXPECT_STREQ(static_cast<LPCSTR>(list), "sound"); // as a C string it ends at the first NUL
}

TEST(CStringTest, BufferIsTakenBackUpToItsFirstNulAndNeverBeyond) {
    CString s("old text");
    LPSTR buffer = s.GetBuffer(260);
    EXPECT_STREQ(buffer, "old text");
    std::memcpy(buffer, "new", 4);
    s.ReleaseBuffer();
    EXPECT_EQ(s, "new");

    // Filled to its last byte with no NUL: the string stops at the buffer.
    buffer = s.GetBuffer(260);
    std::memset(buffer, 'x', 260);
    s.ReleaseBuffer(-1);
    EXPECT_EQ(s.GetLength(), 260);

    s.GetBuffer(10);
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, "xx");
}

TEST(CStringTest, EndsAndCaseInsensitiveComparison) {
    EXPECT_EQ(CString("").Right(1), "");
    EXPECT_EQ(CString("C:\\Games\\").Right(1), "\\");
    EXPECT_EQ(CString("ab").Right(5), "ab");
    EXPECT_EQ(CString("...Abort scanning...").CompareNoCase("...ABORT SCANNING..."), 0);
    EXPECT_NE(CString("...Abort scanning").CompareNoCase("...Abort scanning..."), 0);
}

class FileFindTest : public SimTest {};

TEST_F(FileFindTest, EnumeratesEveryEntryTheLastOneIncluded) {
    w().MakeFile("C:\\Games\\a.txt", 3);
    w().MakeDir("C:\\Games\\Sub");
    w().MakeFile("C:\\Games\\b.txt", 5);
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile("C:\\Games\\*.*"));
    std::vector<std::string> seen;
    BOOL more = TRUE;
    while (more) {
        more = finder.FindNextFile();
        seen.push_back(std::string(finder.GetFilePath()) + (finder.IsDots() ? " dots" : "") +
                       (finder.IsDirectory() ? " dir" : ""));
    }
    EXPECT_THAT(seen, ElementsAre("C:\\Games\\. dots dir", "C:\\Games\\.. dots dir",
                                  "C:\\Games\\a.txt", "C:\\Games\\Sub dir", "C:\\Games\\b.txt"));
    EXPECT_EQ(finder.GetLength(), 5u);
}

TEST_F(FileFindTest, RootIsThePatternsAbsoluteFolder) {
    w().MakeDir("C:\\Games");
    w().MakeFile("C:\\Emberfall\\sound\\a.wav");
    struct Case {
        const char* pattern;
        const char* root;
        const char* firstPath;
    } cases[] = {
        {"C:\\*.*", "C:", "C:\\Games"}, // a drive's root has no dot entries
        {"C:\\Games\\*.*", "C:\\Games", "C:\\Games\\."},
        {"sound\\*.*", "C:\\Emberfall\\sound", "C:\\Emberfall\\sound\\."},
        {"C:/Emberfall/sound/a.wav", "C:\\Emberfall\\sound", "C:\\Emberfall\\sound\\a.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        CFileFind finder;
        ASSERT_TRUE(finder.FindFile(c.pattern));
        EXPECT_EQ(finder.GetRoot(), c.root);
        finder.FindNextFile();
        EXPECT_EQ(finder.GetFilePath(), c.firstPath);
    }
}

TEST_F(FileFindTest, FailsForWhatCannotBeEnumerated) {
    w().MakeDir("C:\\Locked").readable = false;
    w().AddDrive('E', DRIVE_CDROM, false);
    std::string fits = "C:\\" + std::string(252, 'd');    // its pattern: 259 characters
    std::string tooLong = "C:\\" + std::string(253, 'e'); // its pattern: 260, no room for the NUL
    w().MakeDir(fits);
    w().MakeDir(tooLong);
    struct Case {
        std::string pattern;
        bool opens;
    } cases[] = {
        {"C:\\Missing\\*.*", false}, {"C:\\Locked\\*.*", false}, {"E:\\*.*", false},
        {fits + "\\*.*", true},      {tooLong + "\\*.*", false},
    };
    for (const Case& c : cases) {
        CFileFind finder;
        EXPECT_EQ(finder.FindFile(c.pattern.c_str()) != FALSE, c.opens) << c.pattern.size();
    }
}

} // namespace
