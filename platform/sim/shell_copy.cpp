// The simulated shell's file copy (SHFileOperationA) and program start
// (ShellExecuteA). The copy behaves as the Windows shell does for the
// requests this program makes: entry i of the source list goes to entry i
// of the destination list, folders with everything in them, merged into a
// folder that is already there, missing folders created, files replaced.
// Tests can script what goes wrong (see CopyScript in sim.h).
#include "platform/sim/sim.h"

#include <cstring>
#include <iomanip>
#include <sstream>

namespace sim {

namespace {

// The shell's own result codes, which no header of ours names.
constexpr int kShellInvalidFiles = 0x402; // a source that is not there
constexpr int kShellDestSubtree = 0x76;   // a folder copied into itself
constexpr int kShellDestIsFolder = 0x80;  // a file onto a folder
constexpr int kShellDestIsFile = 0x81;    // a folder onto a file

// A double-NUL list as the shell reads it: entries up to the first empty one.
std::vector<std::string> SplitList(LPCSTR list) {
    std::vector<std::string> entries;
    if (!list)
        return entries;
    for (const char* p = list; *p; p += std::strlen(p) + 1)
        entries.emplace_back(p);
    return entries;
}

// The list's bytes, the closing empty entry included.
std::optional<std::string> WholeList(LPCSTR list) {
    if (!list)
        return std::nullopt;
    const char* p = list;
    while (*p)
        p += std::strlen(p) + 1;
    return std::string(list, static_cast<size_t>(p - list) + 1);
}

std::optional<std::string> Text(LPCSTR text) {
    return text ? std::optional<std::string>(text) : std::nullopt;
}

std::string FullPathOf(const std::string& path) {
    char full[4 * MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
    return n == 0 || n >= sizeof(full) ? std::string() : std::string(full, n);
}

std::string ParentOf(const std::string& full) {
    size_t cut = full.find_last_of('\\');
    return cut == std::string::npos ? std::string() : full.substr(0, cut);
}

std::string NameOf(const std::string& full) {
    size_t cut = full.find_last_of('\\');
    return cut == std::string::npos ? full : full.substr(cut + 1);
}

Node* Follow(Node* node) {
    return node && !node->linkTarget.empty() ? W().Find(node->linkTarget) : node;
}

// The folder at an absolute path, made with every missing folder above it.
// Null when a file stands in the way or the drive is not there.
Node* EnsureFolder(const std::string& full) {
    World& w = W();
    if (full.size() < 2 || full[1] != ':')
        return nullptr;
    auto drive =
        w.drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(full[0]))));
    if (drive == w.drives.end() || !drive->second.medium)
        return nullptr;
    Node* node = &drive->second.root;
    std::istringstream parts(full.size() > 3 ? full.substr(3) : std::string());
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (part.empty())
            continue;
        Node* child = Follow(node->Child(part));
        if (!child)
            child = &node->AddFolder(part);
        if (!child->dir)
            return nullptr;
        node = child;
    }
    return node;
}

class Copier {
public:
    explicit Copier(FileOperation& op) : m_op(op), m_script(W().copyScript) {}

    // Copies one entry to its destination; false when the copy must stop,
    // with the result and the aborted flag set in the request's record.
    bool Copy(Node& source, const std::string& sourceFull, const std::string& destFull) {
        if (destFull.size() >= MAX_PATH)
            return Stop(ERROR_FILENAME_EXCED_RANGE);
        Node* folder = EnsureFolder(ParentOf(destFull));
        if (!folder)
            return Stop(ERROR_PATH_NOT_FOUND);
        Node* entry = folder->Child(NameOf(destFull));
        Node* dest = Follow(entry);
        if (entry && !dest)
            return Stop(ERROR_PATH_NOT_FOUND); // a link that leads nowhere
        if (source.dir) {
            if (Lower(destFull).rfind(Lower(sourceFull) + "\\", 0) == 0 ||
                Lower(destFull) == Lower(sourceFull))
                return Stop(kShellDestSubtree);
            if (!source.readable)
                return Stop(ERROR_ACCESS_DENIED);
            if (dest && !dest->dir)
                return Stop(kShellDestIsFile);
            if (!EnsureFolder(destFull))
                return Stop(ERROR_PATH_NOT_FOUND);
            // The entries as they are now: the copy may add to a folder it
            // walks when a link leads back into the destination.
            std::vector<Node*> children;
            for (const auto& child : source.children)
                children.push_back(child.get());
            for (Node* child : children) {
                Node* resolved = Follow(child);
                if (!resolved)
                    continue; // a dangling link: nothing to copy
                if (!Copy(*resolved, sourceFull + "\\" + child->name,
                          destFull + "\\" + child->name))
                    return false;
            }
            return true;
        }
        if (dest && dest->dir)
            return Stop(kShellDestIsFolder);
        if (m_script.stopAfterFiles >= 0 && m_files >= m_script.stopAfterFiles)
            return Stop(m_script.stopResult, m_script.userCancels);
        ++m_files;
        auto spoiled = m_script.spoiled.find(Lower(destFull));
        if (spoiled != m_script.spoiled.end() && !spoiled->second)
            return true; // lost without a word
        uint64_t size = spoiled != m_script.spoiled.end() ? *spoiled->second : source.size;
        if (!dest) {
            auto made = std::make_unique<Node>();
            made->name = NameOf(destFull);
            made->parent = folder;
            dest = made.get();
            folder->children.push_back(std::move(made));
        }
        // A file of the same name is replaced, attributes and all.
        DWORD attributes = source.attributes & ~FILE_ATTRIBUTE_DIRECTORY;
        dest->size = size;
        dest->attributes = attributes ? attributes : FILE_ATTRIBUTE_ARCHIVE;
        m_op.written.push_back(destFull);
        return true;
    }

private:
    bool Stop(int result, bool aborted = false) {
        m_op.result = result;
        m_op.aborted = aborted ? TRUE : FALSE;
        return false;
    }

    FileOperation& m_op;
    const CopyScript& m_script;
    int m_files = 0;
};

// The progress window runs its own message loop: what is queued for the
// program's windows is handled while the copy runs.
void ServeQueueDuringCopy() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            W().queue.push_front(msg);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int RunCopy(const SHFILEOPSTRUCTA& request, FileOperation& op) {
    std::vector<std::string> from = SplitList(request.pFrom);
    std::vector<std::string> to = SplitList(request.pTo);
    if (from.empty() || to.empty())
        return ERROR_INVALID_PARAMETER;
    const bool multiDest = (request.fFlags & FOF_MULTIDESTFILES) != 0;
    if (multiDest && from.size() != to.size())
        return ERROR_INVALID_PARAMETER;

    // Every source must be there before anything is copied.
    std::vector<std::pair<Node*, std::string>> sources;
    for (const std::string& entry : from) {
        std::string full = FullPathOf(entry);
        Node* node = full.empty() ? nullptr : W().Find(full);
        if (!node)
            return kShellInvalidFiles;
        sources.emplace_back(node, full);
    }

    Copier copier(op);
    for (size_t i = 0; i < sources.size(); ++i) {
        std::string dest = FullPathOf(multiDest ? to[i] : to[0]);
        if (dest.empty())
            return ERROR_INVALID_NAME;
        // Without a destination per source, the destination is a folder that
        // receives the sources by their names, unless a lone source is being
        // copied to a name that is not a folder.
        Node* existing = W().Find(dest);
        if (!multiDest && (sources.size() > 1 || (existing && existing->dir)))
            dest += "\\" + NameOf(sources[i].second);
        if (!copier.Copy(*sources[i].first, sources[i].second, dest))
            return op.result;
    }
    return 0;
}

std::string Escaped(const std::optional<std::string>& text) {
    if (!text)
        return "null";
    std::string out = "\"";
    for (char c : *text) {
        if (c == '\0')
            out += "\\0";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out + "\"";
}

} // namespace

bool operator==(const FileOperation& a, const FileOperation& b) {
    return a.hwnd == b.hwnd && a.wFunc == b.wFunc && a.from == b.from && a.to == b.to &&
           a.fFlags == b.fFlags && a.abortedOnEntry == b.abortedOnEntry &&
           a.hNameMappings == b.hNameMappings && a.progressTitle == b.progressTitle &&
           a.result == b.result && a.aborted == b.aborted && a.written == b.written;
}

void PrintTo(const FileOperation& op, std::ostream* os) {
    *os << "{hwnd " << op.hwnd << ", wFunc " << op.wFunc << ", from " << Escaped(op.from) << ", to "
        << Escaped(op.to) << ", fFlags 0x" << std::hex << op.fFlags << std::dec
        << ", abortedOnEntry " << op.abortedOnEntry << ", hNameMappings " << op.hNameMappings
        << ", progressTitle " << Escaped(op.progressTitle) << " -> result " << op.result
        << ", aborted " << op.aborted << ", written [";
    for (const std::string& file : op.written)
        *os << " " << Escaped(file);
    *os << " ]}";
}

bool operator==(const ShellExecution& a, const ShellExecution& b) {
    return a.owner == b.owner && a.verb == b.verb && a.file == b.file &&
           a.parameters == b.parameters && a.directory == b.directory && a.show == b.show;
}

void PrintTo(const ShellExecution& call, std::ostream* os) {
    *os << "{owner " << call.owner << ", verb " << Escaped(call.verb) << ", file "
        << Escaped(call.file) << ", parameters " << Escaped(call.parameters) << ", directory "
        << Escaped(call.directory) << ", show " << call.show << "}";
}

void World::CancelCopyAfter(int files, int result) {
    copyScript.stopAfterFiles = files;
    copyScript.userCancels = true;
    copyScript.stopResult = result;
}

void World::FailCopyAfter(int files, int result) {
    copyScript.stopAfterFiles = files;
    copyScript.userCancels = false;
    copyScript.stopResult = result;
}

void World::OmitCopiedFile(const std::string& destination) {
    copyScript.spoiled[Lower(FullPathOf(destination))] = std::nullopt;
}

void World::ShortenCopiedFile(const std::string& destination, uint64_t size) {
    copyScript.spoiled[Lower(FullPathOf(destination))] = size;
}

} // namespace sim

using sim::W;

int SHFileOperationA(LPSHFILEOPSTRUCTA request) {
    sim::World& w = W();
    if (!request)
        return ERROR_INVALID_PARAMETER;
    std::ostringstream call;
    call << "SHFileOperationA(" << request->wFunc << ", 0x" << std::hex << request->fFlags << ")";
    w.Log(call.str());

    sim::FileOperation op;
    op.hwnd = request->hwnd;
    op.wFunc = request->wFunc;
    op.from = sim::WholeList(request->pFrom);
    op.to = sim::WholeList(request->pTo);
    op.fFlags = request->fFlags;
    op.abortedOnEntry = request->fAnyOperationsAborted;
    op.hNameMappings = request->hNameMappings;
    op.progressTitle = sim::Text(request->lpszProgressTitle);

    sim::ServeQueueDuringCopy();
    op.result = request->wFunc == FO_COPY ? sim::RunCopy(*request, op) : ERROR_INVALID_PARAMETER;
    request->fAnyOperationsAborted = op.aborted;
    w.fileOperations.push_back(op);
    return op.result;
}

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand) {
    sim::World& w = W();
    w.Log(std::string("ShellExecuteA(") + (file ? file : "null") + ", " +
          (directory ? directory : "null") + ")");
    w.executions.push_back(sim::ShellExecution{owner, sim::Text(verb), sim::Text(file),
                                               sim::Text(parameters), sim::Text(directory),
                                               showCommand});
    // As the system answers: above 32 when started, else the reason.
    uintptr_t result = 42;
    sim::Node* program = file ? w.Find(file) : nullptr;
    if (!program || program->dir)
        result = ERROR_FILE_NOT_FOUND;
    else if (directory && *directory && !w.Exists(directory))
        result = ERROR_PATH_NOT_FOUND;
    return reinterpret_cast<HINSTANCE>(result);
}
