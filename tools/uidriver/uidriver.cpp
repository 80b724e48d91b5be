// Works the windows of another program in the same Windows session, one
// command per run, so that a shell script can walk through a dialog:
//
//   UiDriver wait    CAPTION [SECONDS]  waits for a visible top-level window
//   UiDriver text    CAPTION ID         prints the text of one of its controls
//   UiDriver enabled CAPTION ID...      prints "ID enabled" or "ID disabled" per control
//   UiDriver click   CAPTION ID         presses a button (posts BM_CLICK)
//
// IDs are decimal or 0x-hex (a message box's text is the control 0xFFFF).
// Exits 0 on success, 1 when the window or control is not there, 2 on misuse.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char text[512];
    const int len = GetWindowTextA(hwnd, text, sizeof text);
    if (IsWindowVisible(hwnd) && std::string(text, len > 0 ? len : 0) == search->caption) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND findWindow(const char* caption) {
    Search search{caption, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND control(HWND window, const char* id) {
    HWND item = GetDlgItem(window, static_cast<int>(std::strtol(id, nullptr, 0)));
    if (!item) {
        std::fprintf(stderr, "no control %s\n", id);
    }
    return item;
}

int usage() {
    std::fputs("usage: UiDriver wait CAPTION [SECONDS] | text CAPTION ID |"
               " enabled CAPTION ID... | click CAPTION ID\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return usage();
    }
    const std::string command = argv[1];
    const char* caption = argv[2];

    if (command == "wait") {
        const DWORD seconds = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 30;
        for (DWORD waited = 0; waited < seconds * 1000; waited += 50) {
            if (findWindow(caption)) {
                return 0;
            }
            Sleep(50);
        }
        std::fprintf(stderr, "no window \"%s\" after %lu s\n", caption,
                     static_cast<unsigned long>(seconds));
        return 1;
    }

    HWND window = findWindow(caption);
    if (!window) {
        std::fprintf(stderr, "no window \"%s\"\n", caption);
        return 1;
    }
    if (command == "text" && argc == 4) {
        HWND item = control(window, argv[3]);
        if (!item) {
            return 1;
        }
        const LRESULT length = SendMessageA(item, WM_GETTEXTLENGTH, 0, 0);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        text.resize(static_cast<size_t>(
            SendMessageA(item, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        std::printf("%s\n", text.c_str());
        return 0;
    }
    if (command == "enabled" && argc >= 4) {
        for (int i = 3; i < argc; ++i) {
            HWND item = control(window, argv[i]);
            if (!item) {
                return 1;
            }
            std::printf("%s %s\n", argv[i], IsWindowEnabled(item) ? "enabled" : "disabled");
        }
        return 0;
    }
    if (command == "click" && argc == 4) {
        HWND item = control(window, argv[3]);
        if (!item) {
            return 1;
        }
        return PostMessageA(item, BM_CLICK, 0, 0) ? 0 : 1;
    }
    return usage();
}
