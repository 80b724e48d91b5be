// icongen OUTPUT.ico MAP.txt [MAP.txt ...]
// Builds one icon file from pixel maps, one image per map, in the order given.
#include "icon.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: icongen OUTPUT.ico MAP.txt [MAP.txt ...]\n";
        return 2;
    }
    try {
        std::vector<icongen::PixelMap> images;
        for (int i = 2; i < argc; ++i) {
            std::ifstream in(argv[i]);
            if (!in)
                throw std::runtime_error(std::string("cannot read ") + argv[i]);
            images.push_back(icongen::ParsePixelMap(in, argv[i]));
        }
        const std::string ico = icongen::EncodeIco(images);
        // Written beside the target and renamed, so that a failed run never
        // leaves a half icon that the next build would take as up to date.
        const std::string output = argv[1];
        const std::string partial = output + ".partial";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out.write(ico.data(), static_cast<std::streamsize>(ico.size()));
            if (!out.flush())
                throw std::runtime_error("cannot write " + partial);
        }
        if (std::rename(partial.c_str(), output.c_str()) != 0)
            throw std::runtime_error("cannot write " + output);
    } catch (const std::exception& e) {
        std::cerr << "icongen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
