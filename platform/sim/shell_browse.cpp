// The simulated shell's folder browser: a modal loop of its own that runs
// everything queued until the user closes it, and the item lists it hands
// out, which the program must give back with CoTaskMemFree.
#include "platform/sim/sim.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace sim {

namespace {

std::string WindowName(const Window* win) {
    if (!win)
        return "null";
    if (win->templateId)
        return "dialog" + std::to_string(win->templateId);
    return win->text;
}

const char* KindName(BrowseResult::Kind kind) {
    switch (kind) {
    case BrowseResult::Kind::Cancel:
        return "cancel";
    case BrowseResult::Kind::Folder:
        return "folder";
    case BrowseResult::Kind::NonFileSystem:
        return "non-file-system";
    }
    return "?";
}

// What the browser writes into the display-name buffer: the item's name as
// the shell shows it, not a path.
std::string DisplayName(const BrowseResult& item) {
    if (item.kind == BrowseResult::Kind::NonFileSystem)
        return "Control Panel";
    const std::string& path = item.path;
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\')
        return "Local Disk (" + path.substr(0, 2) + ")";
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    size_t cut = trimmed.find_last_of("\\/");
    return cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
}

// A small, well-formed item list: one item that names the kind of entry,
// then the terminating zero-length item.
PIDLIST_ABSOLUTE HandOut(const BrowseResult& item) {
    ItemList list;
    list.memory = std::make_unique<unsigned char[]>(16);
    unsigned char* bytes = list.memory.get();
    const WORD cb = 3;
    std::memcpy(bytes, &cb, sizeof cb);
    bytes[2] = static_cast<unsigned char>(item.kind);
    list.item = item;
    auto* pidl = reinterpret_cast<PIDLIST_ABSOLUTE>(bytes);
    W().browser.itemLists.emplace(bytes, std::move(list));
    return pidl;
}

} // namespace

void World::CloseBrowser(BrowseResult result) {
    Post([result] {
        World& w = W();
        if (w.browser.open.empty()) {
            w.Log("CloseBrowserMissed(" + std::string(KindName(result.kind)) + ")");
            return;
        }
        BrowseCall& call = w.browser.calls[w.browser.open.back()];
        if (Window* browser = FromHandle(call.browser))
            browser->ended = true;
        call.result = result;
        call.answered = true;
    });
}

} // namespace sim

using sim::FromHandle;
using sim::W;
using sim::Window;

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info) {
    sim::World& w = W();
    if (!info)
        return nullptr;

    auto made = std::make_unique<Window>();
    Window* browser = made.get();
    w.windows.push_back(std::move(made));
    browser->cls = "#32770";
    browser->text = "Browse for Folder";
    browser->owner = FromHandle(info->hwndOwner);

    sim::BrowseCall call;
    call.owner = info->hwndOwner;
    call.root = info->pidlRoot;
    call.displayNameBuffer = info->pszDisplayName != nullptr;
    call.title = info->lpszTitle ? info->lpszTitle : "";
    call.flags = info->ulFlags;
    call.callback = info->lpfn != nullptr;
    call.lParam = info->lParam;
    call.browser = browser->handle();
    std::ostringstream flags;
    flags << "0x" << std::hex << info->ulFlags;
    w.Log("SHBrowseForFolderA(" + sim::WindowName(browser->owner) + ", " + call.title + ", " +
          flags.str() + ")");
    const size_t index = w.browser.calls.size();
    w.browser.calls.push_back(call);
    w.browser.open.push_back(index);

    // Modal to its owner only: without one, every other window stays live.
    if (browser->owner)
        EnableWindow(info->hwndOwner, FALSE);

    while (!browser->ended) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                w.queue.push_front(msg);
                break;
            }
            // The browser's loop offers keys to its own dialog navigation
            // only: the installer dialog's controls get them as they are.
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        // Nothing scripted closes it: end as if the user gave up.
        if (!w.WaitForTimer("browser"))
            break;
    }

    w.browser.open.erase(std::remove(w.browser.open.begin(), w.browser.open.end(), index),
                         w.browser.open.end());
    if (browser->owner)
        EnableWindow(info->hwndOwner, TRUE);
    browser->destroyed = true;

    const sim::BrowseResult result = w.browser.calls[index].result;
    if (result.kind == sim::BrowseResult::Kind::Cancel)
        return nullptr;
    if (info->pszDisplayName) {
        std::string name = sim::DisplayName(result).substr(0, MAX_PATH - 1);
        std::memcpy(info->pszDisplayName, name.c_str(), name.size() + 1);
    }
    info->iImage = 3;
    return sim::HandOut(result);
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR path) {
    sim::World& w = W();
    if (!path)
        return FALSE;
    path[0] = '\0';
    auto found = w.browser.itemLists.find(pidl);
    if (found == w.browser.itemLists.end()) {
        ++w.browser.strayItemUses;
        w.Log("SHGetPathFromIDListA(stray)");
        return FALSE;
    }
    const sim::BrowseResult& item = found->second.item;
    // A path that does not fit the caller's MAX_PATH buffer is no path.
    bool ok = item.kind == sim::BrowseResult::Kind::Folder && item.path.size() < MAX_PATH;
    if (ok)
        std::memcpy(path, item.path.c_str(), item.path.size() + 1);
    w.Log(std::string("SHGetPathFromIDListA(") + (ok ? path : "") + ") = " + (ok ? "1" : "0"));
    return ok ? TRUE : FALSE;
}

void CoTaskMemFree(LPVOID memory) {
    sim::World& w = W();
    if (!memory)
        return;
    w.Log("CoTaskMemFree()");
    if (w.browser.itemLists.erase(memory) == 0)
        ++w.browser.strayFrees;
}
