// Icons kept as text: one character per pixel, so that a change to a picture
// is a diff a reviewer can read. This turns such pixel maps into .ico files
// of 16 colours with a transparency mask, the form the resource compiler
// embeds.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace icongen {

// The standard 16-colour palette, as 0xRRGGBB. A lower-case letter names one
// of the eight dark colours, its upper-case twin the bright one:
//   k black   r maroon  g green  y olive  b navy  m purple   c teal  w silver
//   K gray    R red     G lime   Y yellow B blue  M fuchsia  C aqua  W white
// and '.' is a transparent pixel.
extern const uint32_t kPalette[16];
extern const char kPaletteLetters[17];
constexpr int kTransparent = -1;

// The palette index a pixel character names, kTransparent for '.', and -2
// for a character that names nothing.
int ColourIndex(char c);

struct PixelMap {
    int width = 0;
    int height = 0;
    std::vector<int> pixels; // row by row from the top; palette index or kTransparent
    int At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

// Reads a pixel map: lines starting with '#' are comments, blank lines are
// skipped, every other line is one row of pixels. Throws std::runtime_error
// naming `source` and the line when a row is ragged, a character names no
// colour, or the picture is empty or wider or taller than 256.
PixelMap ParsePixelMap(std::istream& in, const std::string& source);

// The bytes of an .ico file holding the images in the given order, each with
// 4 bits per pixel and an AND mask that is set exactly on the transparent
// pixels (their colour bits are 0, so the screen shows through unchanged).
std::string EncodeIco(const std::vector<PixelMap>& images);

} // namespace icongen
