// The icon generator: pixel maps read from text, and the .ico files made of
// them, read back byte by byte as the resource compiler and Windows read
// them. Also checks the program's own pixel maps.
#include "tools/icongen/icon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

icongen::PixelMap Parse(const std::string& text) {
    std::istringstream in(text);
    return icongen::ParsePixelMap(in, "map.txt");
}

uint32_t Get16(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b.at(at)) | static_cast<uint8_t>(b.at(at + 1)) << 8;
}
uint32_t Get32(const std::string& b, size_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

// One image of an .ico file, decoded without help from the encoder.
struct Decoded {
    int width = 0, height = 0, colours = 0, bitsPerPixel = 0;
    std::vector<int> pixels; // palette index, or -1 where the mask is set
    std::vector<uint32_t> palette;
};

std::vector<Decoded> DecodeIco(const std::string& ico) {
    EXPECT_EQ(Get16(ico, 0), 0u);
    EXPECT_EQ(Get16(ico, 2), 1u); // icon
    std::vector<Decoded> images;
    const uint32_t count = Get16(ico, 4);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * i;
        Decoded d;
        d.width = static_cast<uint8_t>(ico.at(entry));
        d.height = static_cast<uint8_t>(ico.at(entry + 1));
        d.colours = static_cast<uint8_t>(ico.at(entry + 2));
        EXPECT_EQ(Get16(ico, entry + 4), 1u); // planes
        d.bitsPerPixel = static_cast<int>(Get16(ico, entry + 6));
        const uint32_t size = Get32(ico, entry + 8);
        const size_t at = Get32(ico, entry + 12);
        EXPECT_LE(at + size, ico.size());

        EXPECT_EQ(Get32(ico, at), 40u);
        EXPECT_EQ(static_cast<int>(Get32(ico, at + 4)), d.width);
        EXPECT_EQ(static_cast<int>(Get32(ico, at + 8)), 2 * d.height); // colour and mask
        EXPECT_EQ(static_cast<int>(Get16(ico, at + 14)), d.bitsPerPixel);
        EXPECT_EQ(Get32(ico, at + 16), 0u); // uncompressed
        for (int c = 0; c < 16; ++c) {
            const size_t q = at + 40 + 4 * static_cast<size_t>(c);
            d.palette.push_back(static_cast<uint32_t>(static_cast<uint8_t>(ico.at(q + 2))) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(ico.at(q + 1))) << 8 |
                                static_cast<uint8_t>(ico.at(q)));
        }
        const size_t colourRow = ((static_cast<size_t>(d.width) * 4 + 31) / 32) * 4;
        const size_t maskRow = ((static_cast<size_t>(d.width) + 31) / 32) * 4;
        const size_t colourAt = at + 40 + 64;
        const size_t maskAt = colourAt + colourRow * static_cast<size_t>(d.height);
        EXPECT_EQ(size, 40 + 64 + (colourRow + maskRow) * static_cast<size_t>(d.height));
        for (int y = 0; y < d.height; ++y) {
            const size_t row = static_cast<size_t>(d.height - 1 - y); // bottom row first
            for (int x = 0; x < d.width; ++x) {
                const uint8_t c = static_cast<uint8_t>(ico.at(colourAt + row * colourRow + x / 2));
                const int index = x % 2 == 0 ? c >> 4 : c & 0x0F;
                const uint8_t m = static_cast<uint8_t>(ico.at(maskAt + row * maskRow + x / 8));
                const bool transparent = (m >> (7 - x % 8)) & 1;
                if (transparent) {
                    EXPECT_EQ(index, 0) << "a transparent pixel must leave the screen as it is";
                }
                d.pixels.push_back(transparent ? -1 : index);
            }
        }
        images.push_back(d);
    }
    return images;
}

TEST(IconGeneratorTest, ImagesReadBackAsDrawn) {
    // Widths that fill and that do not fill a 32-bit row, and one past 32
    // pixels, whose mask needs a second word.
    const std::vector<std::string> maps = {
        "kr\ngy\n",
        ".W.\nRGB\n...\nMCY\n",
        "# a comment, then a blank line\n\nkrgybmcwK\nRGYBMCW..\n",
        std::string(33, 'Y') + "\n" + std::string(32, '.') + "k\n",
    };
    for (const std::string& text : maps) {
        SCOPED_TRACE(text);
        const icongen::PixelMap map = Parse(text);
        const std::vector<Decoded> decoded = DecodeIco(icongen::EncodeIco({map}));
        ASSERT_EQ(decoded.size(), 1u);
        EXPECT_EQ(decoded[0].width, map.width);
        EXPECT_EQ(decoded[0].height, map.height);
        EXPECT_EQ(decoded[0].colours, 16);
        EXPECT_EQ(decoded[0].bitsPerPixel, 4);
        EXPECT_EQ(decoded[0].pixels, map.pixels);
    }
}

TEST(IconGeneratorTest, LettersNameTheStandardPaletteDarkThenBright) {
    const icongen::PixelMap map = Parse("krgybmcwKRGYBMCW.\n");
    std::vector<int> expected;
    for (int i = 0; i < 16; ++i)
        expected.push_back(i);
    expected.push_back(icongen::kTransparent);
    EXPECT_EQ(map.pixels, expected);
    const std::vector<Decoded> decoded = DecodeIco(icongen::EncodeIco({map}));
    EXPECT_THAT(decoded.at(0).palette,
                ::testing::ElementsAre(0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF));
}

TEST(IconGeneratorTest, SeveralImagesKeepTheirOrderAndOffsets) {
    const icongen::PixelMap big = Parse(std::string(32, 'R') + "\n" + std::string(32, '.') + "\n");
    const icongen::PixelMap small = Parse("Y.\n.Y\n");
    const std::vector<Decoded> decoded = DecodeIco(icongen::EncodeIco({big, small}));
    ASSERT_EQ(decoded.size(), 2u);
    EXPECT_EQ(decoded[0].pixels, big.pixels);
    EXPECT_EQ(decoded[1].pixels, small.pixels);
}

TEST(IconGeneratorTest, RefusesWhatIsNoPicture) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"kk\nk\n", "map.txt:2: row is 1 pixels wide, the rows above are 2"},
        {"# top\nkk\nkZ\n", "map.txt:3: 'Z' in column 2 names no colour"},
        {"k k\n", "map.txt:1: ' ' in column 2 names no colour"},
        {"# only a comment\n\n", "map.txt:2: no pixel rows"},
        {"", "map.txt:0: no pixel rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            Parse(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_THROW(Parse(std::string(257, 'k') + "\n"), std::runtime_error);
    std::string tall;
    for (int i = 0; i < 257; ++i)
        tall += "k\n";
    EXPECT_THROW(Parse(tall), std::runtime_error);
    EXPECT_NO_THROW(Parse(std::string(256, 'k') + "\r\n")); // a Windows checkout's line end
}

TEST(IconGeneratorTest, TheProgramsPixelMapsHaveTheirIconsSizes) {
    struct Case {
        const char* file;
        int size;
    } cases[] = {
        {"mainframe-32.txt", 32},
        {"mainframe-16.txt", 16},
        {"folder-32.txt", 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(PALLWICK_SOURCE_DIR "/ui/res/") + c.file);
        ASSERT_TRUE(in) << "missing";
        const icongen::PixelMap map = icongen::ParsePixelMap(in, c.file);
        EXPECT_EQ(map.width, c.size);
        EXPECT_EQ(map.height, c.size);
        // A picture on a transparent ground, not a filled square.
        const auto transparent = std::count(map.pixels.begin(), map.pixels.end(), -1);
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, static_cast<long>(map.pixels.size()));
    }
}

} // namespace
