#include "platform/afxwin.h"

#include <map>
#include <memory>
#include <vector>

namespace {

CWinApp* g_pApp = nullptr;
bool g_bControlContainer = false;

// The program's own window objects, and lasting wrappers for the windows it
// only reaches by handle (the controls of a dialog).
std::map<HWND, CWnd*>& PermanentMap() {
    static std::map<HWND, CWnd*> map;
    return map;
}
std::map<HWND, std::unique_ptr<CWnd>>& WrapperMap() {
    static std::map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

bool ReturnsResultDirectly(UINT message) {
    // The few dialog messages whose result is the procedure's return value.
    return message == WM_INITDIALOG || message == WM_QUERYDRAGICON;
}

} // namespace

// ---- CCmdTarget ---------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != message)
                continue;
            if (message == WM_COMMAND && (e->nCode != code || id < e->nID || id > e->nLastID))
                continue;
            return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
    const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (!entry)
        return FALSE;
    entry->pfn(this, 0, 0);
    return TRUE;
}

// ---- CWnd -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_HELPINFO()
END_MESSAGE_MAP()

CWnd::~CWnd() {
    Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    if (CWnd* own = FromHandlePermanent(hWnd))
        return own;
    std::unique_ptr<CWnd>& wrapper = WrapperMap()[hWnd];
    if (!wrapper) {
        wrapper = std::make_unique<CWnd>();
        wrapper->m_hWnd = hWnd;
    }
    return wrapper.get();
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    PermanentMap()[hWnd] = this;
}

void CWnd::Detach() {
    if (m_hWnd) {
        auto it = PermanentMap().find(m_hWnd);
        if (it != PermanentMap().end() && it->second == this)
            PermanentMap().erase(it);
        m_hWnd = nullptr;
    }
}

void CWnd::OnNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    // The dialog's controls are gone with it; so are their wrappers.
    for (auto it = WrapperMap().begin(); it != WrapperMap().end();)
        it = ::IsWindow(it->first) ? std::next(it) : WrapperMap().erase(it);
    Detach();
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    HWND item = ::GetDlgItem(m_hWnd, nID);
    int length = item ? ::GetWindowTextLengthA(item) : 0;
    ::GetWindowTextA(item, rString.GetBuffer(length), length + 1);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) {
    m_systemMenu.m_hMenu = ::GetSystemMenu(m_hWnd, bRevert);
    return m_systemMenu.m_hMenu ? &m_systemMenu : nullptr;
}

void CWnd::CenterWindow() {
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    RECT area;
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT center = area;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && !::IsIconic(owner))
        ::GetWindowRect(owner, &center);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = (center.left + center.right) / 2 - width / 2;
    int y = (center.top + center.bottom) / 2 - height / 2;
    // Keep it inside the work area, its caption first.
    if (x + width > area.right)
        x = area.right - width;
    if (x < area.left)
        x = area.left;
    if (y + height > area.bottom)
        y = area.bottom - height;
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::Default() {
    m_bDefaultRequested = true;
    return 0;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (OnCmdMsg(id, code))
        return TRUE;
    // Commands no window takes go on to the application (help among them);
    // the system's own commands never do.
    CWinApp* app = AfxGetApp();
    if (app && id < 0xF000 && app->OnCmdMsg(id, code))
        return TRUE;
    return FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        *pResult = 0;
        return OnCommand(wParam, lParam);
    }
    const AFX_MSGMAP_ENTRY* entry = FindEntry(message, 0, 0);
    if (!entry)
        return FALSE;
    *pResult = entry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnHelpInfo() {
    // F1 without Shift, Ctrl or Alt on a pop-up asks the main window for help.
    CWnd* main = AfxGetMainWnd();
    if (main && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_CONTROL) >= 0 &&
        ::GetKeyState(VK_MENU) >= 0) {
        main->SendMessage(WM_COMMAND, ID_HELP);
        return TRUE;
    }
    Default();
    return FALSE;
}

// ---- CPaintDC -------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd), m_hDC(::BeginPaint(m_hWnd, &m_ps)) {}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
}

// ---- CDialog --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
ON_WM_CLOSE()
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    // A main window that never opened (or is gone) leaves no dangling pointer.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

INT_PTR CDialog::DoModal() {
    // The owner: the given parent, else the main window (or the pop-up last
    // active over it) unless this dialog is the main window itself.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    CWnd* main = AfxGetMainWnd();
    if (!owner && main && main != this && main->m_hWnd)
        owner = ::GetLastActivePopup(main->m_hWnd);
    return ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(hWnd);
        BOOL result = dialog->OnInitDialog();
        // The templates carry no position: the dialog opens centred.
        dialog->CenterWindow();
        return result;
    }
    CDialog* dialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        dialog->OnNcDestroy();
        return FALSE;
    }
    // Handlers may run nested inside one another (a handler that passes
    // pending messages on); each message keeps its own request for default
    // handling.
    bool outerRequest = dialog->m_bDefaultRequested;
    dialog->m_bDefaultRequested = false;
    LRESULT result = 0;
    BOOL handled = dialog->OnWndMsg(message, wParam, lParam, &result);
    bool wantsDefault = dialog->m_bDefaultRequested;
    dialog->m_bDefaultRequested = outerRequest;
    if (!handled || wantsDefault)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnClose() {
    HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
    if (cancel && !::IsWindowEnabled(cancel)) {
        ::MessageBeep(MB_OK);
        return;
    }
    Default();
}

// ---- Command line -----------------------------------------------------------------

void CCommandLineInfo::ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL) {
    CString param(pszParam);
    if (bFlag) {
        if (param.CompareNoCase("pt") == 0)
            m_nShellCommand = FilePrintTo;
        else if (param.CompareNoCase("p") == 0)
            m_nShellCommand = FilePrint;
        else if (param.CompareNoCase("dde") == 0)
            m_nShellCommand = FileDDE;
        else if (param.CompareNoCase("embedding") == 0)
            m_bRunEmbedded = TRUE, m_bShowSplash = FALSE;
        else if (param.CompareNoCase("automation") == 0)
            m_bRunAutomated = TRUE, m_bShowSplash = FALSE;
        else if (param.CompareNoCase("register") == 0 || param.CompareNoCase("regserver") == 0)
            m_nShellCommand = AppRegister;
        else if (param.CompareNoCase("unregister") == 0 || param.CompareNoCase("unregserver") == 0)
            m_nShellCommand = AppUnregister;
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = param;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    } else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty()) {
        m_strPrinterName = param;
    }
}

// ---- CWinApp ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) {
    if (lpszAppName) {
        m_appName = lpszAppName;
        m_bNameGiven = true;
    }
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

void CWinApp::InitNames() {
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameA(m_hInstance, path, MAX_PATH);
    std::string module(path, length < MAX_PATH ? length : MAX_PATH);
    size_t nameStart = module.find_last_of("\\/");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = module.find_last_of('.');
    bool hasExtension = dot != std::string::npos && dot >= nameStart;
    if (!m_bNameGiven)
        m_appName = module.substr(nameStart, hasExtension ? dot - nameStart : std::string::npos);
    m_helpFilePath = (hasExtension ? module.substr(0, dot) : module) + ".HLP";
    m_pszAppName = m_appName.c_str();
    m_pszHelpFilePath = m_helpFilePath.c_str();
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT) {
    HWND owner = nullptr;
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        owner = ::GetLastActivePopup(m_pMainWnd->m_hWnd);
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        default:
            break;
        }
    }
    return ::MessageBoxA(owner, lpszPrompt, m_pszAppName, nType);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    // The arguments after the program's name, split at blanks outside quotes.
    std::string line = ::GetCommandLineA();
    size_t i = 0;
    if (i < line.size() && line[i] == '"') {
        size_t close = line.find('"', 1);
        i = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
    }
    std::vector<std::string> args;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        bool quoted = false;
        for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                arg += line[i];
        }
        args.push_back(arg);
    }
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& arg = args[n];
        bool flag = !arg.empty() && (arg[0] == '-' || arg[0] == '/');
        rCmdInfo.ParseParam(flag ? arg.c_str() + 1 : arg.c_str(), flag, n + 1 == args.size());
    }
}

BOOL CWinApp::Enable3dControlsStatic() {
    // Today's three-dimensional controls are the common controls of the
    // system, which the manifest selects; register their classes.
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                              ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    return ::InitCommonControlsEx(&init);
}

void CWinApp::OnHelp() {
    if (!m_pMainWnd || !m_pMainWnd->m_hWnd)
        return;
    HWND front = ::GetLastActivePopup(m_pMainWnd->m_hWnd);
    CWnd* wnd = CWnd::FromHandlePermanent(front);
    DWORD context = wnd ? wnd->GetHelpContext() : m_pMainWnd->GetHelpContext();
    if (!::WinHelpA(m_pMainWnd->m_hWnd, m_pszHelpFilePath, HELP_CONTEXT, context))
        AfxMessageBox("Failed to launch help.");
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

CWnd* AfxGetMainWnd() {
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    return g_pApp ? g_pApp->m_hInstance : nullptr;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
    CWinApp* app = AfxGetApp();
    return app ? app->DoMessageBox(lpszText, nType, nIDHelp)
               : ::MessageBoxA(nullptr, lpszText, "", nType);
}

bool AfxControlContainerEnabled() {
    return g_bControlContainer;
}

void AfxEnableControlContainer() {
    // No dialog of ours holds an ActiveX control; the flag only records that
    // containment was asked for.
    g_bControlContainer = true;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    // A drive without a medium fails quietly instead of asking for a disk.
    UINT mode = ::SetErrorMode(0);
    ::SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->InitNames();
    // The program is one modal dialog, run inside InitInstance, which then
    // says not to go on: no message loop of the application's own ever runs.
    if (app->InitInstance())
        ::PostQuitMessage(0);
    return app->ExitInstance();
}
