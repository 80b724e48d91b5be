// The simulated kernel: the process, its files and drives, and the registry.
#include "platform/sim/sim.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace sim {

namespace {

std::unique_ptr<World> g_world;

struct FindState {
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};
std::map<HANDLE, std::unique_ptr<FindState>> g_finds;

struct RegKey {
    int view;
    std::string path;
};
std::map<HKEY, std::unique_ptr<RegKey>> g_keys;

bool HasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

bool WildMatch(const char* mask, const char* name) {
    // Case-insensitive match with * and ?, as the directory search does it.
    if (*mask == '\0')
        return *name == '\0';
    if (*mask == '*')
        return WildMatch(mask + 1, name) || (*name != '\0' && WildMatch(mask, name + 1));
    if (*name == '\0')
        return false;
    if (*mask == '?' || std::tolower(static_cast<unsigned char>(*mask)) ==
                            std::tolower(static_cast<unsigned char>(*name)))
        return WildMatch(mask + 1, name + 1);
    return false;
}

bool MaskMatches(const std::string& mask, const std::string& name) {
    if (mask == "*.*" || mask == "*")
        return true;
    return WildMatch(mask.c_str(), name.c_str());
}

void FillFindData(WIN32_FIND_DATAA* data, const std::string& name, const Node* node) {
    std::memset(data, 0, sizeof(*data));
    std::snprintf(data->cFileName, sizeof(data->cFileName), "%s", name.c_str());
    if (node) {
        data->dwFileAttributes = node->attributes | (node->dir ? FILE_ATTRIBUTE_DIRECTORY : 0);
        if (!node->linkTarget.empty())
            data->dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        data->nFileSizeLow = static_cast<DWORD>(node->size & 0xFFFFFFFFu);
        data->nFileSizeHigh = static_cast<DWORD>(node->size >> 32);
    } else {
        data->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    }
}

} // namespace

World& W() {
    if (!g_world)
        Reset();
    return *g_world;
}

void Reset() {
    g_finds.clear();
    g_keys.clear();
    g_world = std::make_unique<World>();
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

Node* Node::Child(const std::string& childName) const {
    std::string want = Lower(childName);
    for (const auto& child : children)
        if (Lower(child->name) == want)
            return child.get();
    return nullptr;
}

Node& Node::AddFolder(const std::string& childName) {
    auto made = std::make_unique<Node>();
    made->name = childName;
    made->dir = true;
    made->attributes = FILE_ATTRIBUTE_DIRECTORY;
    made->parent = this;
    children.push_back(std::move(made));
    return *children.back();
}

World::World() {
    AddDrive('C');
}

// ---- Paths ----------------------------------------------------------------

// The absolute form of a path, as GetFullPathName builds it: relative to the
// current directory, "\x" relative to the current drive's root, separators
// folded, "." and ".." resolved. A trailing separator is kept.
static std::string FullPath(const std::string& in) {
    const std::string& cwd = W().cwd;
    std::string path = in;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::string prefix; // "C:" or "\\server\share"
    std::string rest;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        std::vector<std::string> p = SplitPath(path.substr(2));
        if (p.size() < 2 || p[0].empty() || p[1].empty())
            return "";
        prefix = "\\\\" + p[0] + "\\" + p[1];
        for (size_t i = 2; i < p.size(); ++i)
            rest += "\\" + p[i];
    } else if (path.size() >= 2 && path[1] == ':') {
        prefix =
            std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) +
            ":";
        rest = path.substr(2);
        if (rest.empty() || rest[0] != '\\') {
            bool sameDrive = std::toupper(static_cast<unsigned char>(cwd[0])) == prefix[0];
            rest = (sameDrive ? cwd.substr(2) : std::string()) + "\\" + rest;
        }
    } else if (!path.empty() && path[0] == '\\') {
        prefix = cwd.substr(0, 2);
        rest = path;
    } else {
        prefix = cwd.substr(0, 2);
        rest = cwd.substr(2) + "\\" + path;
    }
    bool trailing = !rest.empty() && rest.back() == '\\';
    std::vector<std::string> out;
    for (const std::string& part : SplitPath(rest)) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!out.empty())
                out.pop_back();
            continue;
        }
        out.push_back(part);
    }
    std::string full = prefix;
    for (const std::string& part : out)
        full += "\\" + part;
    if (out.empty() || trailing)
        full += "\\";
    return full;
}

// Resolves an absolute path to its node, following folder links. Reports
// why it failed through lastError.
static Node* Resolve(const std::string& full, int hops = 0) {
    World& w = W();
    if (hops > 32 || full.size() < 3 || full[1] != ':') {
        w.lastError =
            full.size() >= 2 && full[0] == '\\' ? ERROR_BAD_NETPATH : ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    auto drive =
        w.drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(full[0]))));
    if (drive == w.drives.end()) {
        w.lastError = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    if (!drive->second.medium) {
        w.lastError = ERROR_NOT_READY;
        if (!(w.errorMode & SEM_FAILCRITICALERRORS))
            ++w.criticalErrorPrompts;
        return nullptr;
    }
    Node* node = &drive->second.root;
    for (const std::string& part : SplitPath(full.substr(3))) {
        if (part.empty())
            continue;
        if (!node->dir) {
            w.lastError = ERROR_PATH_NOT_FOUND;
            return nullptr;
        }
        Node* child = node->Child(part);
        if (!child) {
            w.lastError = ERROR_FILE_NOT_FOUND;
            return nullptr;
        }
        if (!child->linkTarget.empty()) {
            child = Resolve(child->linkTarget, hops + 1);
            if (!child)
                return nullptr;
        }
        node = child;
    }
    return node;
}

Node* World::Find(const std::string& path) {
    return Resolve(FullPath(path));
}

Drive& World::AddDrive(char letter, UINT type, bool medium) {
    Drive& d = drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))];
    d.type = type;
    d.medium = medium;
    d.root.dir = true;
    d.root.attributes = FILE_ATTRIBUTE_DIRECTORY;
    return d;
}

// Creates every missing folder along an absolute path and returns the last.
static Node& MakeDirs(const std::string& path) {
    std::string full = FullPath(path);
    World& w = W();
    char letter = full[0];
    if (!w.drives.count(letter))
        w.AddDrive(letter);
    Node* node = &w.drives[letter].root;
    for (const std::string& part : SplitPath(full.substr(3))) {
        if (part.empty())
            continue;
        Node* child = node->Child(part);
        if (!child)
            child = &node->AddFolder(part);
        node = child;
    }
    return *node;
}

Node& World::MakeDir(const std::string& path) {
    return MakeDirs(path);
}

static Node& AddLeaf(const std::string& path) {
    std::string full = FullPath(path);
    size_t cut = full.find_last_of('\\');
    Node& folder = MakeDirs(full.substr(0, cut + 1));
    std::string name = full.substr(cut + 1);
    if (Node* existing = folder.Child(name))
        return *existing;
    auto made = std::make_unique<Node>();
    made->name = name;
    made->parent = &folder;
    Node& ref = *made;
    folder.children.push_back(std::move(made));
    return ref;
}

Node& World::MakeFile(const std::string& path, uint64_t size, DWORD attributes) {
    Node& n = AddLeaf(path);
    n.dir = false;
    n.size = size;
    n.attributes = attributes ? attributes : FILE_ATTRIBUTE_ARCHIVE;
    return n;
}

Node& World::MakeLink(const std::string& path, const std::string& target) {
    Node& n = AddLeaf(path);
    n.dir = true;
    n.attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    n.linkTarget = FullPath(target);
    return n;
}

// ---- Registry ---------------------------------------------------------------

static std::string RegPath(int view, const std::string& key) {
    std::string k = Lower(key);
    if (k.rfind("hklm\\", 0) == 0)
        k = "hkey_local_machine\\" + k.substr(5);
    return std::to_string(view) + "|" + k;
}

void World::SetRegistryValue(int view, const std::string& key, const std::string& name, DWORD type,
                             const std::string& bytes) {
    registry[RegPath(view, key) + "|" + Lower(name)] = RegValue{type, bytes};
}

void World::SetRegistryString(int view, const std::string& key, const std::string& name,
                              const std::string& text) {
    SetRegistryValue(view, key, name, REG_SZ, text + std::string(1, '\0'));
}

std::vector<std::string> World::CallsTo(const std::string& name) const {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.compare(0, name.size() + 1, name + "(") == 0)
            out.push_back(c);
    return out;
}

} // namespace sim

using sim::W;

// ---- Kernel functions ---------------------------------------------------------

DWORD GetLastError() {
    return W().lastError;
}
void SetLastError(DWORD error) {
    W().lastError = error;
}

UINT SetErrorMode(UINT mode) {
    UINT old = W().errorMode;
    W().errorMode = mode;
    return old;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    const std::string& path = W().modulePath;
    if (size == 0)
        return 0;
    DWORD n = static_cast<DWORD>(std::min<size_t>(path.size(), size - 1));
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return n;
}

HMODULE GetModuleHandleA(LPCSTR) {
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
}

LPSTR GetCommandLineA() {
    static std::string line;
    line = W().commandLine;
    return line.data();
}

DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart) {
    if (!name || !*name) {
        W().lastError = ERROR_INVALID_NAME;
        return 0;
    }
    std::string full = sim::FullPath(name);
    if (full.empty()) {
        W().lastError = ERROR_INVALID_NAME;
        return 0;
    }
    if (full.size() + 1 > size)
        return static_cast<DWORD>(full.size() + 1);
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    if (filePart) {
        size_t cut = full.find_last_of('\\');
        *filePart = cut + 1 < full.size() ? buffer + cut + 1 : nullptr;
    }
    return static_cast<DWORD>(full.size());
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    const std::string& cwd = W().cwd;
    if (cwd.size() + 1 > size)
        return static_cast<DWORD>(cwd.size() + 1);
    std::memcpy(buffer, cwd.c_str(), cwd.size() + 1);
    return static_cast<DWORD>(cwd.size());
}

BOOL GetVolumeInformationA(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serial,
                           LPDWORD maxComponent, LPDWORD flags, LPSTR fsName, DWORD fsNameSize) {
    sim::World& w = W();
    std::string r = root ? root : "";
    w.Log("GetVolumeInformationA(" + r + ")");
    if (r.size() != 3 || r[1] != ':' || r[2] != '\\') {
        w.lastError = r.rfind("\\\\", 0) == 0 ? ERROR_BAD_NETPATH : ERROR_INVALID_NAME;
        return FALSE;
    }
    auto drive = w.drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(r[0]))));
    if (drive == w.drives.end()) {
        w.lastError = ERROR_PATH_NOT_FOUND;
        return FALSE;
    }
    if (!drive->second.medium) {
        if (!(w.errorMode & SEM_FAILCRITICALERRORS))
            ++w.criticalErrorPrompts;
        w.lastError = ERROR_NOT_READY;
        return FALSE;
    }
    if (volumeName && volumeNameSize)
        volumeName[0] = '\0';
    if (serial)
        *serial = 0x1234;
    if (maxComponent)
        *maxComponent = 255;
    if (flags)
        *flags = 0;
    if (fsName && fsNameSize)
        std::snprintf(fsName, fsNameSize, "NTFS");
    return TRUE;
}

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    sim::World& w = W();
    std::string full = pattern ? sim::FullPath(pattern) : "";
    if (full.empty()) {
        w.lastError = ERROR_INVALID_NAME;
        return INVALID_HANDLE_VALUE;
    }
    if (full.size() >= MAX_PATH) {
        w.lastError = ERROR_FILENAME_EXCED_RANGE;
        return INVALID_HANDLE_VALUE;
    }
    size_t cut = full.find_last_of('\\');
    std::string folder = full.substr(0, cut + 1);
    std::string mask = full.substr(cut + 1);
    if (mask.empty() || sim::HasWildcard(folder)) {
        w.lastError = mask.empty() ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_NAME;
        return INVALID_HANDLE_VALUE;
    }
    sim::Node* dir = sim::Resolve(folder);
    if (!dir)
        return INVALID_HANDLE_VALUE;
    if (!dir->dir) {
        w.lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    if (!dir->readable) {
        w.lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    auto state = std::make_unique<sim::FindState>();
    bool isRoot = folder.size() == 3;
    WIN32_FIND_DATAA entry;
    if (!isRoot) {
        for (const char* dots : {".", ".."}) {
            if (sim::MaskMatches(mask, dots)) {
                sim::FillFindData(&entry, dots, nullptr);
                state->entries.push_back(entry);
            }
        }
    }
    for (const auto& child : dir->children) {
        if (sim::MaskMatches(mask, child->name)) {
            sim::FillFindData(&entry, child->name, child.get());
            state->entries.push_back(entry);
        }
    }
    if (state->entries.empty()) {
        w.lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    *data = state->entries[0];
    state->next = 1;
    HANDLE h = state.get();
    sim::g_finds[h] = std::move(state);
    return h;
}

BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
    ++W().findNextCalls;
    auto it = sim::g_finds.find(find);
    if (it == sim::g_finds.end()) {
        W().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    sim::FindState& state = *it->second;
    if (state.next >= state.entries.size()) {
        W().lastError = ERROR_NO_MORE_FILES;
        return FALSE;
    }
    *data = state.entries[state.next++];
    return TRUE;
}

BOOL FindClose(HANDLE find) {
    return sim::g_finds.erase(find) ? TRUE : FALSE;
}

namespace sim {
size_t OpenFindHandles() {
    return g_finds.size();
}
} // namespace sim

DWORD GetFileAttributesA(LPCSTR path) {
    sim::Node* node = path ? sim::Resolve(sim::FullPath(path)) : nullptr;
    if (!node)
        return INVALID_FILE_ATTRIBUTES;
    return node->attributes | (node->dir ? FILE_ATTRIBUTE_DIRECTORY : 0);
}

BOOL DeleteFileA(LPCSTR path) {
    sim::World& w = W();
    std::string p = path ? path : "";
    w.Log("DeleteFileA(" + p + ")");
    sim::Node* node = sim::Resolve(sim::FullPath(p));
    if (!node)
        return FALSE;
    if (node->dir || (node->attributes & FILE_ATTRIBUTE_READONLY) || !node->parent) {
        w.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    auto& siblings = node->parent->children;
    siblings.erase(
        std::remove_if(siblings.begin(), siblings.end(),
                       [node](const std::unique_ptr<sim::Node>& n) { return n.get() == node; }),
        siblings.end());
    return TRUE;
}

DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer) {
    sim::World& w = W();
    w.Log("GetLogicalDriveStringsA(" + std::to_string(size) + ")");
    // What the buffer holds after a failure is not the caller's to read:
    // garbage without a single NUL catches one who reads it anyway.
    if (w.driveListFails) {
        std::memset(buffer, 'X', size);
        w.lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    std::string list;
    for (const auto& d : w.drives) {
        list += d.first;
        list += ":\\";
        list += '\0';
    }
    if (w.driveList)
        list = *w.driveList;
    if (list.size() + 1 > size) {
        std::memset(buffer, 'X', size);
        return static_cast<DWORD>(list.size() + 1);
    }
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
}

UINT GetDriveTypeA(LPCSTR root) {
    sim::World& w = W();
    std::string r = root ? root : w.cwd.substr(0, 3);
    w.Log("GetDriveTypeA(" + r + ")");
    if (r.size() < 2 || r[1] != ':')
        return DRIVE_NO_ROOT_DIR;
    auto drive = w.drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(r[0]))));
    return drive == w.drives.end() ? DRIVE_NO_ROOT_DIR : drive->second.type;
}

// ---- Registry functions -------------------------------------------------------

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, HKEY* result) {
    sim::World& w = W();
    std::ostringstream call;
    call << "RegOpenKeyExA(" << (key == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "?") << ", "
         << (subKey ? subKey : "") << ", " << options << ", 0x" << std::hex << desired << ")";
    w.Log(call.str());
    if (key != HKEY_LOCAL_MACHINE || !subKey)
        return ERROR_FILE_NOT_FOUND;
    int view = (desired & KEY_WOW64_32KEY) ? 32 : 64;
    std::string path = sim::RegPath(view, std::string("hklm\\") + subKey);
    bool exists = false;
    for (const auto& v : w.registry)
        if (v.first.compare(0, path.size() + 1, path + "|") == 0)
            exists = true;
    if (!exists)
        return ERROR_FILE_NOT_FOUND;
    auto k = std::make_unique<sim::RegKey>(sim::RegKey{view, path});
    HKEY h = reinterpret_cast<HKEY>(k.get());
    sim::g_keys[h] = std::move(k);
    *result = h;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                         LPDWORD size) {
    sim::World& w = W();
    auto k = sim::g_keys.find(key);
    if (k == sim::g_keys.end())
        return ERROR_INVALID_HANDLE;
    w.Log(std::string("RegQueryValueExA(") + (valueName ? valueName : "") + ", " +
          std::to_string(size ? *size : 0) + ")");
    auto v = w.registry.find(k->second->path + "|" + sim::Lower(valueName ? valueName : ""));
    if (v == w.registry.end())
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = v->second.type;
    DWORD needed = static_cast<DWORD>(v->second.bytes.size());
    if (!data) {
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }
    if (!size)
        return ERROR_INVALID_PARAMETER;
    if (*size < needed) {
        // The buffer's contents are undefined after this; scribble on them so
        // that a caller who reads them anyway is caught.
        std::memset(data, 'X', *size);
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, v->second.bytes.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    return sim::g_keys.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace sim {
size_t OpenRegistryKeys() {
    return g_keys.size();
}
} // namespace sim
