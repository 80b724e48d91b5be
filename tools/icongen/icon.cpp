#include "icon.h"

#include <stdexcept>

namespace icongen {

const uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
const char kPaletteLetters[17] = "krgybmcwKRGYBMCW";

int ColourIndex(char c) {
    if (c == '.')
        return kTransparent;
    for (int i = 0; i < 16; ++i)
        if (kPaletteLetters[i] == c)
            return i;
    return -2;
}

PixelMap ParsePixelMap(std::istream& in, const std::string& source) {
    PixelMap map;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        throw std::runtime_error(source + ":" + std::to_string(lineNumber) + ": " + why);
    };
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        // Pixel rows hold no blanks, so trailing ones (and a CR of a Windows
        // checkout) are only noise.
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (map.height == 0)
            map.width = static_cast<int>(line.size());
        else if (static_cast<int>(line.size()) != map.width)
            fail("row is " + std::to_string(line.size()) + " pixels wide, the rows above are " +
                 std::to_string(map.width));
        for (size_t x = 0; x < line.size(); ++x) {
            int index = ColourIndex(line[x]);
            if (index == -2)
                fail(std::string("'") + line[x] + "' in column " + std::to_string(x + 1) +
                     " names no colour");
            map.pixels.push_back(index);
        }
        ++map.height;
        if (map.width > 256 || map.height > 256)
            fail("an icon is at most 256 pixels wide and high");
    }
    if (map.height == 0)
        fail("no pixel rows");
    return map;
}

namespace {

void Put16(std::string& out, unsigned v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Bitmap rows are padded to whole 32-bit words.
size_t RowBytes(int width, int bitsPerPixel) {
    return (static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32 * 4;
}

// One image as the .ico file stores it: a bitmap header with the height of
// colour and mask together, the palette, the colour rows and the mask rows,
// both bottom row first.
std::string EncodeImage(const PixelMap& map) {
    const size_t colourRow = RowBytes(map.width, 4);
    const size_t maskRow = RowBytes(map.width, 1);
    const size_t colourSize = colourRow * static_cast<size_t>(map.height);
    const size_t maskSize = maskRow * static_cast<size_t>(map.height);

    std::string out;
    Put32(out, 40); // BITMAPINFOHEADER
    Put32(out, static_cast<uint32_t>(map.width));
    Put32(out, static_cast<uint32_t>(map.height * 2));
    Put16(out, 1); // planes
    Put16(out, 4); // bits per pixel
    Put32(out, 0); // BI_RGB
    Put32(out, static_cast<uint32_t>(colourSize + maskSize));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0); // all 16 colours used
    Put32(out, 0);
    for (uint32_t rgb : kPalette) { // RGBQUAD: blue, green, red, reserved
        out.push_back(static_cast<char>(rgb & 0xFF));
        out.push_back(static_cast<char>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<char>((rgb >> 16) & 0xFF));
        out.push_back(0);
    }

    std::string colour(colourSize, '\0');
    std::string mask(maskSize, '\0');
    for (int y = 0; y < map.height; ++y) {
        const size_t row = static_cast<size_t>(map.height - 1 - y);
        for (int x = 0; x < map.width; ++x) {
            const int index = map.At(x, y);
            if (index == kTransparent) {
                mask[row * maskRow + static_cast<size_t>(x / 8)] |=
                    static_cast<char>(0x80 >> (x % 8));
            } else {
                const int shift = x % 2 == 0 ? 4 : 0; // the left pixel in the high nibble
                colour[row * colourRow + static_cast<size_t>(x / 2)] |=
                    static_cast<char>(index << shift);
            }
        }
    }
    return out + colour + mask;
}

} // namespace

std::string EncodeIco(const std::vector<PixelMap>& images) {
    if (images.empty() || images.size() > 0xFFFF)
        throw std::runtime_error("an icon file holds 1 to 65535 images");
    std::vector<std::string> encoded;
    for (const PixelMap& map : images)
        encoded.push_back(EncodeImage(map));

    std::string out;
    Put16(out, 0); // reserved
    Put16(out, 1); // an icon, not a cursor
    Put16(out, static_cast<unsigned>(images.size()));
    size_t offset = 6 + 16 * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<char>(images[i].width & 0xFF)); // 256 is written as 0
        out.push_back(static_cast<char>(images[i].height & 0xFF));
        out.push_back(16); // colours in the palette
        out.push_back(0);
        Put16(out, 1); // planes
        Put16(out, 4); // bits per pixel
        Put32(out, static_cast<uint32_t>(encoded[i].size()));
        Put32(out, static_cast<uint32_t>(offset));
        offset += encoded[i].size();
    }
    for (const std::string& image : encoded)
        out += image;
    return out;
}

} // namespace icongen
