// What Pallwick.exe carries besides its code, read back as Windows reads it:
// the version record, the icons, and the manifest's effect on the running
// program.
#include "tests/e2e/installer_fixture.h"

#include <psapi.h>

#include <cctype>
#include <cstring>
#include <map>

namespace e2e {
namespace {

// ---------------------------------------------------------------------------
// Version record

class VersionInfo {
public:
    explicit VersionInfo(const std::string& file) {
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
        data_.resize(size);
        ok_ = size > 0 && GetFileVersionInfoA(file.c_str(), 0, size, data_.data());
    }
    bool ok() const { return ok_; }

    const VS_FIXEDFILEINFO* fixed() const {
        void* p = nullptr;
        UINT length = 0;
        return query("\\", &p, &length) && length >= sizeof(VS_FIXEDFILEINFO)
                   ? static_cast<const VS_FIXEDFILEINFO*>(p)
                   : nullptr;
    }
    std::vector<WORD> translation() const {
        void* p = nullptr;
        UINT length = 0;
        if (!query("\\VarFileInfo\\Translation", &p, &length)) {
            return {};
        }
        const WORD* words = static_cast<const WORD*>(p);
        return std::vector<WORD>(words, words + length / sizeof(WORD));
    }
    // A value of the string block; nothing when the key is missing.
    std::optional<std::string> string(const std::string& block, const std::string& key) const {
        void* p = nullptr;
        UINT length = 0;
        if (!query("\\StringFileInfo\\" + block + "\\" + key, &p, &length)) {
            return std::nullopt;
        }
        const char* text = static_cast<const char*>(p);
        return length == 0 ? std::string() : std::string(text);
    }

private:
    bool query(const std::string& path, void** p, UINT* length) const {
        return VerQueryValueA(data_.data(), path.c_str(), p, length) != FALSE;
    }
    std::vector<char> data_;
    bool ok_ = false;
};

TEST(VersionRecord, ReadsBackAsBuilt) {
    const VersionInfo info(pallwickExe());
    ASSERT_TRUE(info.ok()) << "no version record in " << pallwickExe();

    const VS_FIXEDFILEINFO* fixed = info.fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u); // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u); // .0.1
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    EXPECT_EQ(info.translation(), (std::vector<WORD>{0x0409, 0x04B0}));

    const std::map<std::string, std::string> strings = {
        {"Comments", ""},
        {"CompanyName", "Pallwick"},
        {"FileDescription", "Orvantis Emberfall install application"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "Pallwick"},
        {"LegalCopyright", "Copyright (C) 2026 Pallwick"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Pallwick.exe"},
        {"PrivateBuild", ""},
        {"ProductName", "Pallwick"},
        {"ProductVersion", "1, 0, 0, 1"},
        {"SpecialBuild", ""},
    };
    for (const auto& [key, value] : strings) {
        EXPECT_EQ(info.string("040904b0", key), std::optional<std::string>(value)) << key;
    }
}

// ---------------------------------------------------------------------------
// Icons

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

class ProgramResources {
public:
    ProgramResources()
        : module_(LoadLibraryExA(pallwickExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramResources() {
        if (module_) {
            FreeLibrary(module_);
        }
    }
    HMODULE module() const { return module_; }

    std::string bytes(LPCSTR name, LPCSTR type) const {
        const HRSRC found = FindResourceA(module_, name, type);
        if (!found) {
            return {};
        }
        const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return std::string(data, SizeofResource(module_, found));
    }

private:
    HMODULE module_;
};

std::vector<ULONG_PTR> groupIconNames(HMODULE module) {
    std::vector<ULONG_PTR> names;
    EnumResourceNamesA(
        module, RT_GROUP_ICON,
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR param) -> BOOL {
            reinterpret_cast<std::vector<ULONG_PTR>*>(param)->push_back(
                IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : 0);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&names));
    return names;
}

TEST(IconResources, GroupsHoldSixteenColourImagesWithAMask) {
    const ProgramResources resources;
    ASSERT_NE(resources.module(), nullptr);
    // 128 first: the first icon group is the one the shell shows for the file.
    EXPECT_EQ(groupIconNames(resources.module()), (std::vector<ULONG_PTR>{128, 130}));

    const std::map<int, std::vector<int>> groups = {{128, {32, 16}}, {130, {32}}};
    for (const auto& [group, sizes] : groups) {
        SCOPED_TRACE("icon group " + std::to_string(group));
        const std::string dir = resources.bytes(MAKEINTRESOURCEA(group), RT_GROUP_ICON);
        ASSERT_GE(dir.size(), 6u);
        const WORD count = *reinterpret_cast<const WORD*>(dir.data() + 4);
        ASSERT_EQ(count, sizes.size());
        ASSERT_EQ(dir.size(), 6 + count * sizeof(GroupIconEntry));
        for (WORD i = 0; i < count; ++i) {
            GroupIconEntry entry;
            memcpy(&entry, dir.data() + 6 + i * sizeof entry, sizeof entry);
            EXPECT_EQ(entry.width, sizes[i]);
            EXPECT_EQ(entry.height, sizes[i]);
            EXPECT_EQ(entry.colours, 16);
            EXPECT_EQ(entry.bitCount, 4);

            const std::string image = resources.bytes(MAKEINTRESOURCEA(entry.id), RT_ICON);
            ASSERT_EQ(image.size(), entry.bytes);
            BITMAPINFOHEADER header;
            memcpy(&header, image.data(), sizeof header);
            EXPECT_EQ(header.biWidth, sizes[i]);
            EXPECT_EQ(header.biHeight, 2 * sizes[i]) << "colour bits and a mask";
            EXPECT_EQ(header.biBitCount, 4);

            // Windows makes an icon of it, and the mask has both see-through
            // and covered pixels.
            const int size = sizes[i];
            HICON icon = CreateIconFromResourceEx(
                reinterpret_cast<PBYTE>(const_cast<char*>(image.data())),
                static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size, 0);
            ASSERT_NE(icon, nullptr);
            DestroyIcon(icon);
            const size_t maskRow = ((size + 31) / 32) * 4;
            const size_t colourBytes = ((size * 4 + 31) / 32) * 4 * size;
            const unsigned char* mask = reinterpret_cast<const unsigned char*>(image.data()) +
                                        header.biSize + 16 * 4 + colourBytes;
            int seeThrough = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    seeThrough += (mask[y * maskRow + x / 8] >> (7 - x % 8)) & 1;
                }
            }
            EXPECT_GT(seeThrough, 0);
            EXPECT_LT(seeThrough, size * size);
        }
    }
}

// ---------------------------------------------------------------------------
// The manifest, seen in the running program

using ManifestEffects = InstallerTest;

std::string lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

// The path of the comctl32.dll that the process loaded, or "" when none.
std::string loadedComctl32(HANDLE process) {
    HMODULE modules[512];
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &needed)) {
        return {};
    }
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
        char path[MAX_PATH] = {};
        GetModuleFileNameExA(process, modules[i], path, MAX_PATH);
        const std::string name = lower(path);
        if (name.size() >= 13 && name.compare(name.size() - 13, 13, "\\comctl32.dll") == 0) {
            return path;
        }
    }
    return {};
}

TEST_F(ManifestEffects, TheCommonControlsAreVersionSix) {
    ASSERT_NO_FATAL_FAILURE(launch());
    // Version 6 comes from the side-by-side store, where the manifest's
    // dependency sends the loader; without it, the system folder's older
    // version loads. (Wine's copy there carries a version record of 5.80, so
    // the folder is what tells.)
    const std::string comctl32 = lower(loadedComctl32(app().process()));
    ASSERT_FALSE(comctl32.empty()) << "no comctl32.dll in the installer's process";
    EXPECT_NE(comctl32.find("\\winsxs\\"), std::string::npos) << comctl32;
    EXPECT_NE(comctl32.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::string::npos)
        << comctl32;
}

TEST(ManifestResource, NamesTheRightsAndTheDpiAwareness) {
    // Wine runs every program with full rights and, here, every program as
    // aware of the screen's DPI, so neither shows in the running installer;
    // the embedded manifest must name them.
    const ProgramResources resources;
    const std::string manifest = resources.bytes(MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_FALSE(manifest.empty()) << "no manifest";
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\""),
              std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, System</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
}

} // namespace
} // namespace e2e
