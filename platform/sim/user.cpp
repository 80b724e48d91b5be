// The simulated window manager: dialogs built from the program's templates,
// the thread's message queue with scripted input, timers, the dialog
// manager's keyboard rules, message boxes, painting and help.
#include "platform/sim/sim.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace sim {

namespace {

bool IsDialog(const Window* w) {
    return w && w->cls == "#32770";
}

std::string Name(const Window* w) {
    if (!w)
        return "null";
    if (IsDialog(w))
        return "dialog" + std::to_string(w->templateId);
    return std::to_string(w->id);
}

Window* TopLevel(Window* w) {
    while (w && w->parent)
        w = w->parent;
    return w;
}

std::string Hex(uintptr_t v) {
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

// Dialog units to pixels for the simulated system font (base units 6 x 13).
int DuX(int x) {
    return x * 6 / 4;
}
int DuY(int y) {
    return y * 13 / 8;
}

// Takes the next message: posted messages first, then a due timer. Scripted
// input is aimed at its window when it is taken, as the system does with
// real input.
bool TakeMessage(MSG* msg) {
    World& w = W();
    while (!w.queue.empty()) {
        *msg = w.queue.front();
        w.queue.pop_front();
        if (msg->hwnd == nullptr && msg->message == WM_SIM_CLICK) {
            Window* dlg =
                msg->lParam ? w.DialogByTemplate(static_cast<int>(msg->lParam)) : w.ActiveDialog();
            Window* ctl = dlg ? FromHandle(GetDlgItem(dlg->handle(), static_cast<int>(msg->wParam)))
                              : nullptr;
            if (!ctl) {
                w.Log("ClickMissed(" + std::to_string(msg->wParam) + ")");
                continue;
            }
            msg->hwnd = ctl->handle();
        } else if (msg->hwnd == nullptr && msg->message == WM_KEYDOWN) {
            Window* target = w.focus && !w.focus->destroyed ? w.focus : w.ActiveDialog();
            if (!target)
                continue;
            msg->hwnd = target->handle();
        } else if (msg->hwnd == nullptr && msg->message == WM_SYSCOMMAND) {
            Window* dlg = w.ActiveDialog();
            if (!dlg)
                continue;
            msg->hwnd = dlg->handle();
        }
        return true;
    }
    World::Timer* due = nullptr;
    for (World::Timer& t : w.timers)
        if (t.due <= w.now && (!due || t.due < due->due))
            due = &t;
    if (!due)
        return false;
    *msg = MSG{due->hwnd, WM_TIMER, due->id, 0, 0, {0, 0}};
    due->due = w.now + due->elapse;
    return true;
}

// What the dialog manager does with keys before the focused control sees
// them (IsDialogMessage): Escape cancels, Enter presses the default button,
// Tab moves between tab stops, F1 asks for help.
bool DialogKey(Window* dlg, const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    Window* target = FromHandle(msg.hwnd);
    if (!target || TopLevel(target) != dlg)
        return false;
    switch (msg.wParam) {
    case VK_ESCAPE:
        SendMessageA(dlg->handle(), WM_COMMAND, IDCANCEL,
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg->handle(), IDCANCEL)));
        return true;
    case VK_RETURN: {
        int id = IDOK;
        for (Window* c : dlg->children)
            if (c->cls == "BUTTON" && (c->style & 0xF) == BS_DEFPUSHBUTTON)
                id = c->id;
        HWND def = GetDlgItem(dlg->handle(), id);
        if (!def || IsWindowEnabled(def))
            SendMessageA(dlg->handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(def));
        return true;
    }
    case VK_TAB: {
        std::vector<Window*> stops;
        for (Window* c : dlg->children)
            if ((c->style & WS_TABSTOP) && c->enabled)
                stops.push_back(c);
        if (stops.empty())
            return true;
        auto at = std::find(stops.begin(), stops.end(), W().focus);
        bool back = W().keyDown[VK_SHIFT];
        size_t i = at == stops.end() ? 0
                   : back            ? (at - stops.begin() + stops.size() - 1) % stops.size()
                                     : (at - stops.begin() + 1) % stops.size();
        SetFocus(stops[i]->handle());
        return true;
    }
    default:
        return false;
    }
}

LRESULT ControlProc(Window* ctl, UINT message, WPARAM wParam, LPARAM) {
    World& w = W();
    switch (message) {
    case WM_SIM_CLICK:
    case BM_CLICK: {
        Window* top = TopLevel(ctl);
        if (!ctl->enabled || (top && !top->enabled)) {
            w.Log("ClickRefused(" + Name(ctl) + ")");
            return 0;
        }
        if (ctl->cls == "BUTTON") {
            SetFocus(ctl->handle());
            SendMessageA(ctl->parent->handle(), WM_COMMAND, MAKEWPARAM(ctl->id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(ctl->handle()));
        } else {
            SetFocus(ctl->handle());
        }
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_F1 && ctl->parent)
            SendMessageA(TopLevel(ctl)->handle(), WM_HELP, 0, 0);
        return 0;
    default:
        return 0;
    }
}

bool ReturnsDirectly(UINT message) {
    return message == WM_INITDIALOG || message == WM_QUERYDRAGICON;
}

void DestroyDialog(Window* dlg) {
    World& w = W();
    for (Window* c : dlg->children)
        c->destroyed = true;
    if (dlg->dlgProc) {
        dlg->dlgProc(dlg->handle(), WM_DESTROY, 0, 0);
        dlg->dlgProc(dlg->handle(), WM_NCDESTROY, 0, 0);
    }
    dlg->destroyed = true;
    w.timers.erase(std::remove_if(w.timers.begin(), w.timers.end(),
                                  [dlg](const World::Timer& t) { return t.hwnd == dlg->handle(); }),
                   w.timers.end());
    w.modalStack.erase(std::remove(w.modalStack.begin(), w.modalStack.end(), dlg),
                       w.modalStack.end());
}

} // namespace

Window* FromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    for (auto& win : W().windows)
        if (win.get() == reinterpret_cast<Window*>(hwnd))
            return win.get();
    return nullptr;
}

HICON IconHandle(int resourceId) {
    return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x10000 + resourceId));
}

Window* World::ActiveDialog() {
    for (auto it = modalStack.rbegin(); it != modalStack.rend(); ++it)
        if (!(*it)->destroyed && IsDialog(*it))
            return *it;
    return nullptr;
}

Window* World::DialogByTemplate(int templateId) {
    for (auto it = modalStack.rbegin(); it != modalStack.rend(); ++it)
        if (!(*it)->destroyed && (*it)->templateId == templateId)
            return *it;
    return nullptr;
}

Window* World::Control(int id) {
    Window* dlg = ActiveDialog();
    return dlg ? FromHandle(GetDlgItem(dlg->handle(), id)) : nullptr;
}

int World::FocusId() {
    return focus && !focus->destroyed ? focus->id : 0;
}

void World::Click(int controlId) {
    queue.push_back(MSG{nullptr, WM_SIM_CLICK, static_cast<WPARAM>(controlId), 0, 0, {0, 0}});
}

void World::Key(int virtualKey) {
    queue.push_back(MSG{nullptr, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0, 0, {0, 0}});
}

void World::SysCommand(UINT command) {
    queue.push_back(MSG{nullptr, WM_SYSCOMMAND, command, 0, 0, {0, 0}});
}

void World::Post(std::function<void()> action) {
    actions.push_back(std::move(action));
    queue.push_back(MSG{nullptr, WM_SIM_ACTION, actions.size() - 1, 0, 0, {0, 0}});
}

void World::AnswerMessageBox(int answer) {
    responders.push_back([answer](const MessageBoxCall&) { return answer; });
}

void World::AnswerMessageBox(Responder responder) {
    responders.push_back(std::move(responder));
}

void World::AdvanceClock(uint64_t ms) {
    now += ms;
}

bool World::WaitForTimer(const std::string& loopName) {
    uint64_t next = UINT64_MAX;
    for (const auto& t : timers)
        next = std::min(next, t.due);
    if (next == UINT64_MAX && !idleActions.empty()) {
        auto action = std::move(idleActions.front());
        idleActions.pop_front();
        action();
        return true;
    }
    if (next == UINT64_MAX) {
        ++idleExits;
        Log("IdleExit(" + loopName + ")");
        return false;
    }
    now = std::max(now, next);
    return true;
}

} // namespace sim

using sim::FromHandle;
using sim::W;
using sim::Window;

// ---- Dialogs ----------------------------------------------------------------

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
    sim::World& w = W();
    int templateId = static_cast<int>(reinterpret_cast<uintptr_t>(templateName));
    w.Log("DialogBoxParamA(" + std::to_string(templateId) + ", " + sim::Name(FromHandle(owner)) +
          ")");
    auto found = w.dialogs.find(templateId);
    if (!IS_INTRESOURCE(templateName) || found == w.dialogs.end())
        return -1;
    const sim::DialogTemplate& t = found->second;

    auto made = std::make_unique<Window>();
    Window* dlg = made.get();
    w.windows.push_back(std::move(made));
    dlg->cls = "#32770";
    dlg->text = t.caption;
    dlg->style = t.style;
    dlg->templateId = templateId;
    dlg->owner = FromHandle(owner);
    dlg->dlgProc = proc;
    dlg->rect = RECT{0, 0, sim::DuX(t.cx), sim::DuY(t.cy)};
    for (const sim::ControlTemplate& c : t.controls) {
        auto ctl = std::make_unique<Window>();
        ctl->cls = sim::Lower(c.cls);
        for (char& ch : ctl->cls)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        ctl->id = c.id;
        ctl->text = c.text;
        ctl->style = c.style;
        ctl->enabled = !(c.style & WS_DISABLED);
        ctl->parent = dlg;
        ctl->rect = RECT{sim::DuX(c.x), sim::DuY(c.y), sim::DuX(c.x + c.cx), sim::DuY(c.y + c.cy)};
        dlg->children.push_back(ctl.get());
        w.windows.push_back(std::move(ctl));
    }

    Window* previousFocus = w.focus;
    if (dlg->owner)
        EnableWindow(owner, FALSE);
    w.modalStack.push_back(dlg);

    Window* firstStop = nullptr;
    for (Window* c : dlg->children)
        if ((c->style & WS_TABSTOP) && c->enabled && !firstStop)
            firstStop = c;
    LRESULT init =
        SendMessageA(dlg->handle(), WM_INITDIALOG,
                     reinterpret_cast<WPARAM>(firstStop ? firstStop->handle() : nullptr), param);
    if (init && firstStop && !firstStop->destroyed) {
        // The system gives the focus to the first enabled tab stop.
        Window* stop = nullptr;
        for (Window* c : dlg->children)
            if ((c->style & WS_TABSTOP) && c->enabled && !stop)
                stop = c;
        if (stop)
            SetFocus(stop->handle());
    }

    while (!dlg->ended) {
        MSG msg;
        if (sim::TakeMessage(&msg)) {
            if (msg.message == WM_QUIT) {
                w.queue.push_front(msg);
                break;
            }
            if (!sim::DialogKey(dlg, msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue;
        }
        if (!w.WaitForTimer(sim::Name(dlg))) {
            // No input was scripted for this point: end the loop rather than
            // wait forever.
            dlg->ended = true;
            dlg->endResult = -1;
            break;
        }
    }

    if (dlg->owner)
        EnableWindow(owner, TRUE);
    sim::DestroyDialog(dlg);
    w.focus = previousFocus && !previousFocus->destroyed ? previousFocus : nullptr;
    return dlg->endResult;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Window* dlg = FromHandle(dialog);
    W().Log("EndDialog(" + sim::Name(dlg) + ", " + std::to_string(result) + ")");
    if (!dlg)
        return FALSE;
    dlg->ended = true;
    dlg->endResult = result;
    return TRUE;
}

// The dialog class's own handling of what the program's procedure leaves.
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    sim::World& w = W();
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            return SendMessageA(dialog, WM_CLOSE, 0, 0);
        w.Log("DefaultSysCommand(" + sim::Hex(wParam) + ")");
        return 0;
    case WM_CLOSE:
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return 0;
    case WM_PAINT:
        w.Log("DefaultPaint()");
        return 0;
    case DM_GETDEFID:
        return MAKELONG(IDOK, DC_HASDEFID);
    default:
        return 0;
    }
}

BOOL IsWindow(HWND window) {
    Window* win = FromHandle(window);
    return win && !win->destroyed;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* dlg = FromHandle(dialog);
    if (!dlg)
        return nullptr;
    for (Window* c : dlg->children)
        if (c->id == id && !c->destroyed)
            return c->handle();
    return nullptr;
}

int GetDlgCtrlID(HWND window) {
    Window* win = FromHandle(window);
    return win ? win->id : 0;
}

HWND GetParent(HWND window) {
    Window* win = FromHandle(window);
    if (!win)
        return nullptr;
    Window* p = win->parent ? win->parent : win->owner;
    return p ? p->handle() : nullptr;
}

HWND GetWindow(HWND window, UINT command) {
    Window* win = FromHandle(window);
    if (!win || command != GW_OWNER || !win->owner)
        return nullptr;
    return win->owner->handle();
}

HWND GetLastActivePopup(HWND window) {
    sim::World& w = W();
    Window* base = FromHandle(window);
    for (auto it = w.modalStack.rbegin(); it != w.modalStack.rend(); ++it) {
        for (Window* o = (*it)->owner; o; o = o->owner)
            if (o == base && !(*it)->destroyed)
                return (*it)->handle();
    }
    return window;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    Window* win = FromHandle(window);
    if (!win)
        return FALSE;
    W().Log("EnableWindow(" + sim::Name(win) + ", " + (enable ? "1" : "0") + ")");
    BOOL wasDisabled = !win->enabled;
    win->enabled = enable != FALSE;
    if (!win->enabled && W().focus == win)
        W().focus = nullptr;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    Window* win = FromHandle(window);
    return win && win->enabled;
}

BOOL IsIconic(HWND window) {
    Window* win = FromHandle(window);
    return win && win->iconic;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    Window* win = FromHandle(window);
    if (!win)
        return FALSE;
    win->text = text ? text : "";
    W().Log("SetWindowTextA(" + sim::Name(win) + ", " + win->text + ")");
    return TRUE;
}

int GetWindowTextA(HWND window, LPSTR buffer, int size) {
    Window* win = FromHandle(window);
    if (!win || size <= 0)
        return 0;
    int n = static_cast<int>(std::min<size_t>(win->text.size(), static_cast<size_t>(size - 1)));
    std::memcpy(buffer, win->text.data(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

int GetWindowTextLengthA(HWND window) {
    Window* win = FromHandle(window);
    return win ? static_cast<int>(win->text.size()) : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    return SetWindowTextA(GetDlgItem(dialog, id), text);
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (size > 0)
            buffer[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, buffer, size));
}

HWND SetFocus(HWND window) {
    sim::World& w = W();
    Window* old = w.focus;
    Window* win = FromHandle(window);
    if (win && win->enabled)
        w.focus = win;
    return old ? old->handle() : nullptr;
}

HWND GetFocus() {
    Window* f = W().focus;
    return f && !f->destroyed ? f->handle() : nullptr;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    Window* win = FromHandle(window);
    if (!win || index != DWLP_MSGRESULT)
        return 0;
    LONG_PTR old = win->msgResult;
    win->msgResult = value;
    return old;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    Window* win = FromHandle(window);
    return win && index == DWLP_MSGRESULT ? win->msgResult : 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sim::World& w = W();
    Window* win = FromHandle(window);
    if (!win || win->destroyed)
        return 0;
    switch (message) {
    case WM_SETICON:
    case BM_SETIMAGE:
    case WM_ICONERASEBKGND:
        w.Log("SendMessageA(" + sim::Name(win) + ", " + sim::Hex(message) + ", " +
              sim::Hex(wParam) + ", " + sim::Hex(static_cast<uintptr_t>(lParam)) + ")");
        break;
    default:
        break;
    }
    if (message == WM_SETICON) {
        HICON old = wParam == ICON_BIG ? win->bigIcon : win->smallIcon;
        (wParam == ICON_BIG ? win->bigIcon : win->smallIcon) = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    if (message == BM_SETIMAGE) {
        win->image = reinterpret_cast<HANDLE>(lParam);
        return 0;
    }
    if (!sim::IsDialog(win))
        return sim::ControlProc(win, message, wParam, lParam);
    if (win->dlgProc) {
        win->msgResult = 0;
        INT_PTR handled = win->dlgProc(window, message, wParam, lParam);
        if (handled)
            return sim::ReturnsDirectly(message) ? handled : win->msgResult;
    }
    return DefDlgProcA(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    W().queue.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    W().quitPosted = true;
    (void)exitCode;
}

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT remove) {
    if (W().onPeek)
        W().onPeek();
    if (remove != PM_REMOVE)
        return FALSE;
    return sim::TakeMessage(msg) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    sim::World& w = W();
    if (!msg->hwnd) {
        if (msg->message == sim::WM_SIM_ACTION && msg->wParam < w.actions.size()) {
            auto action = w.actions[msg->wParam];
            action();
        }
        return 0;
    }
    Window* win = FromHandle(msg->hwnd);
    if (!win || win->destroyed)
        return 0;
    if (msg->message == sim::WM_SIM_CLICK)
        return sim::ControlProc(win, msg->message, msg->wParam, msg->lParam);
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    sim::World& w = W();
    w.Log("SetTimer(" + sim::Name(FromHandle(window)) + ", " + sim::Hex(id) + ", " +
          std::to_string(elapse) + ", " + (proc ? "proc" : "null") + ")");
    KillTimer(window, id);
    w.calls.pop_back(); // the implicit kill is not a call of the program's
    w.timers.push_back(sim::World::Timer{window, id, elapse, w.now + elapse});
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    sim::World& w = W();
    w.Log("KillTimer(" + sim::Name(FromHandle(window)) + ", " + sim::Hex(id) + ")");
    auto before = w.timers.size();
    w.timers.erase(
        std::remove_if(w.timers.begin(), w.timers.end(),
                       [&](const sim::World::Timer& t) { return t.hwnd == window && t.id == id; }),
        w.timers.end());
    return before != w.timers.size();
}

HMENU GetSystemMenu(HWND window, BOOL) {
    Window* win = FromHandle(window);
    if (!win || !(win->style & WS_SYSMENU) || !win->hasSystemMenu)
        return nullptr;
    return reinterpret_cast<HMENU>(win);
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    Window* win = FromHandle(reinterpret_cast<HWND>(menu));
    if (!win)
        return FALSE;
    if (flags & MF_SEPARATOR)
        win->systemMenu.push_back("SEPARATOR " + std::to_string(id));
    else
        win->systemMenu.push_back(sim::Hex(id) + " " + (text ? text : ""));
    return TRUE;
}

int GetSystemMetrics(int index) {
    sim::World& w = W();
    switch (index) {
    case SM_CXICON:
        return w.iconWidth;
    case SM_CYICON:
        return w.iconHeight;
    case SM_CXSCREEN:
        return w.workArea.right;
    case SM_CYSCREEN:
        return w.workArea.bottom + 30;
    default:
        return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT, LPVOID data, UINT) {
    if (action != SPI_GETWORKAREA || !data)
        return FALSE;
    *static_cast<RECT*>(data) = W().workArea;
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    Window* win = FromHandle(window);
    if (!win)
        return FALSE;
    *rect = RECT{0, 0, win->rect.right - win->rect.left, win->rect.bottom - win->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    Window* win = FromHandle(window);
    if (!win)
        return FALSE;
    *rect = win->rect;
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    Window* win = FromHandle(window);
    if (!win)
        return FALSE;
    int w = (flags & SWP_NOSIZE) ? win->rect.right - win->rect.left : cx;
    int h = (flags & SWP_NOSIZE) ? win->rect.bottom - win->rect.top : cy;
    win->rect = RECT{x, y, x + w, y + h};
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    W().Log("BeginPaint(" + sim::Name(FromHandle(window)) + ")");
    std::memset(paint, 0, sizeof(*paint));
    paint->hdc = reinterpret_cast<HDC>(window);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) {
    W().Log("EndPaint(" + sim::Name(FromHandle(window)) + ")");
    return TRUE;
}

BOOL DrawIcon(HDC, int x, int y, HICON icon) {
    W().drawnIcons.push_back(sim::DrawnIcon{x, y, icon});
    return TRUE;
}

short GetKeyState(int key) {
    return W().keyDown[key] ? static_cast<short>(-32768) : 0;
}

BOOL MessageBeep(UINT) {
    ++W().beeps;
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    sim::World& w = W();
    sim::MessageBoxCall call{owner, text ? text : "", caption ? caption : "", type, false, false,
                             0};
    Window* ownerWin = FromHandle(owner);
    bool disabledHere = ownerWin && ownerWin->enabled;
    if (disabledHere)
        ownerWin->enabled = false;
    call.ownerWasDisabled = ownerWin && !ownerWin->enabled;
    if (!w.responders.empty()) {
        sim::Responder responder = std::move(w.responders.front());
        w.responders.pop_front();
        call.answered = true;
        call.result = responder(call);
    } else {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
            call.result = IDOK;
            break;
        case MB_YESNO:
            call.result = IDNO;
            break;
        default:
            call.result = IDCANCEL;
            break;
        }
    }
    if (disabledHere)
        ownerWin->enabled = true;
    w.messageBoxes.push_back(call);
    return call.result;
}

BOOL WinHelpA(HWND, LPCSTR helpFile, UINT command, ULONG_PTR data) {
    W().Log(std::string("WinHelpA(") + (helpFile ? helpFile : "") + ", " + sim::Hex(command) +
            ", " + sim::Hex(data) + ")");
    return W().winHelpWorks ? TRUE : FALSE;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    W().Log("InitCommonControlsEx(" + sim::Hex(init ? init->dwICC : 0) + ")");
    return TRUE;
}

// ---- Resources -----------------------------------------------------------------

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    if (!IS_INTRESOURCE(name))
        return nullptr;
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    const auto& icons = W().icons;
    if (std::find(icons.begin(), icons.end(), id) == icons.end())
        return nullptr;
    return sim::IconHandle(id);
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size) {
    auto it = W().strings.find(static_cast<int>(id));
    if (it == W().strings.end() || size <= 0) {
        if (size > 0)
            buffer[0] = '\0';
        return 0;
    }
    int n = static_cast<int>(std::min<size_t>(it->second.size(), static_cast<size_t>(size - 1)));
    std::memcpy(buffer, it->second.data(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}
