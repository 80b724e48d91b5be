#include "tests/e2e/dialog_probe.h"

#include "tests/e2e/e2e_support.h"

#include <cstring>
#include <ostream>
#include <stdexcept>

namespace e2e {

namespace {

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// An extended template with no controls: 8-point "MS Sans Serif", default
// weight, not italic, DEFAULT_CHARSET, as both of the installer's templates
// give it.
std::vector<WORD> emptyTemplate() {
    std::vector<WORD> t;
    auto put32 = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    t.push_back(1);      // version
    t.push_back(0xFFFF); // extended template
    put32(0);            // help id
    put32(0);            // extended style
    put32(WS_POPUP | DS_SETFONT | DS_MODALFRAME | WS_CAPTION);
    t.push_back(0); // no controls
    for (int i = 0; i < 4; ++i) {
        t.push_back(0); // x, y, cx, cy
    }
    t.push_back(0); // no menu
    t.push_back(0); // standard class
    t.push_back(0); // no caption
    t.push_back(8); // points
    t.push_back(0); // weight
    t.push_back(MAKEWORD(0, DEFAULT_CHARSET));
    for (const char* c = "MS Sans Serif"; *c; ++c) {
        t.push_back(static_cast<WORD>(*c));
    }
    t.push_back(0);
    return t;
}

} // namespace

std::string textOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kExitTimeout,
                             &length)) {
        throw std::runtime_error("WM_GETTEXTLENGTH failed");
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kExitTimeout, &copied)) {
        throw std::runtime_error("WM_GETTEXT failed");
    }
    text.resize(copied);
    return text;
}

std::vector<ControlInfo> controlsInOrder(HWND dialog) {
    std::vector<ControlInfo> controls;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        ControlInfo info;
        info.hwnd = c;
        info.id = GetDlgCtrlID(c);
        info.cls = windowClass(c);
        info.text = textOf(c);
        info.style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
        info.exStyle = static_cast<DWORD>(GetWindowLongA(c, GWL_EXSTYLE));
        GetWindowRect(c, &info.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&info.rect), 2);
        controls.push_back(info);
    }
    return controls;
}

RECT dialogUnitsToPixels(int x, int y, int cx, int cy) {
    static const HWND probe = [] {
        const std::vector<WORD> t = emptyTemplate();
        const HWND hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                                     reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                                     nullptr, quietDialogProc, 0);
        if (!hwnd) {
            throw std::runtime_error("cannot make the hidden dialog for MapDialogRect");
        }
        return hwnd;
    }();
    // The dialog manager maps a control's position and its size each on
    // their own (rounding each), not its two corners: map them the same way.
    RECT r{x, y, cx, cy};
    if (!MapDialogRect(probe, &r)) {
        throw std::runtime_error("MapDialogRect failed");
    }
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

} // namespace e2e

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << ", " << r.top << ") " << (r.right - r.left) << " x "
              << (r.bottom - r.top);
}
