// The class library the installer is written on: command targets with
// message maps, windows, modal dialogs, the application object and its
// start-up, and message boxes. Written on the Windows API subset of
// winapi.h, so the same code runs on Windows and on the simulated Windows.
#pragma once

#include "platform/afxfile.h"
#include "platform/afxstr.h"

#define afx_msg
#define ID_HELP 0xE146
#define HID_BASE_RESOURCE 0x00020000UL

class CCmdTarget;
typedef LRESULT (*AFX_THUNK)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // the window message, WM_COMMAND for commands
    UINT nCode;    // the notification code of a command
    UINT nID;      // the first and last command id an entry takes
    UINT nLastID;
    AFX_THUNK pfn; // calls the handler with its own arguments
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]};          \
    return &messageMap;                                                                            \
    }

#define ON_COMMAND_CODE(code, id, memberFxn)                                                       \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id),            \
     [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                                           \
         (static_cast<ThisClass*>(target)->*(memberFxn))();                                        \
         return 0;                                                                                 \
     }},
#define ON_COMMAND(id, memberFxn) ON_COMMAND_CODE(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND_CODE(BN_CLICKED, id, memberFxn)

#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, 0, [](CCmdTarget* target, WPARAM w, LPARAM l) -> LRESULT {               \
         static_cast<ThisClass*>(target)->OnSysCommand(static_cast<UINT>(w), l);                   \
         return 0;                                                                                 \
     }},
#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                        \
         static_cast<ThisClass*>(target)->OnPaint();                                               \
         return 0;                                                                                 \
     }},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(target)->OnQueryDragIcon());     \
     }},
#define ON_WM_TIMER()                                                                              \
    {WM_TIMER, 0, 0, 0, [](CCmdTarget* target, WPARAM w, LPARAM) -> LRESULT {                      \
         static_cast<ThisClass*>(target)->OnTimer(static_cast<UINT_PTR>(w));                       \
         return 0;                                                                                 \
     }},
#define ON_WM_CLOSE()                                                                              \
    {WM_CLOSE, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                        \
         static_cast<ThisClass*>(target)->OnClose();                                               \
         return 0;                                                                                 \
     }},
#define ON_WM_HELPINFO()                                                                           \
    {WM_HELP, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                         \
         return static_cast<ThisClass*>(target)->OnHelpInfo();                                     \
     }},

// Something that takes commands through a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Runs the handler of a command; false when no entry takes it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};

class CMenu {
public:
    HMENU m_hMenu = nullptr;
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr) {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object of a window: the program's own, or a lasting wrapper.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);

    CWnd* GetDlgItem(int nID) const;
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    CMenu* GetSystemMenu(BOOL bRevert);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    // Centres a pop-up over its owner, or in the work area when it has none.
    void CenterWindow();
    // Asks for the system's default handling of the message being handled;
    // it runs when the handler returns.
    LRESULT Default();

    // The help context of this window, for the help command.
    virtual DWORD GetHelpContext() const { return 0; }

protected:
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Runs the handler of a message; false when none takes it.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void Attach(HWND hWnd);
    void Detach();
    // The window is gone: a main window takes the program with it.
    virtual void OnNcDestroy();

    afx_msg void OnSysCommand(UINT, LPARAM) { Default(); }
    afx_msg void OnPaint() { Default(); }
    afx_msg void OnTimer(UINT_PTR) { Default(); }
    afx_msg HCURSOR OnQueryDragIcon() { return nullptr; }
    afx_msg BOOL OnHelpInfo();

    bool m_bDefaultRequested = false;
    CMenu m_systemMenu;

    DECLARE_MESSAGE_MAP()
};

// A device context for painting a window, between BeginPaint and EndPaint.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally and returns how it ended: the result given to
    // EndDialog, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    UINT GetTemplateID() const { return m_nIDTemplate; }
    DWORD GetHelpContext() const override { return HID_BASE_RESOURCE + m_nIDTemplate; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}
    // The close command of a dialog whose Cancel button is disabled is
    // refused with the warning sound, as the system's dialog manager does.
    afx_msg void OnClose();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

class CCommandLineInfo {
public:
    enum {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1
    };
    virtual ~CCommandLineInfo() = default;
    // Takes one argument: a flag (given without its / or -) or a parameter.
    virtual void ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL bLast);

    int m_nShellCommand = FileNew;
    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    CString m_strFileName;
    CString m_strPrinterName;
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL Enable3dControlsStatic();
    // Opens the program's help file at the topic of the dialog in front.
    void OnHelp();

    // Called once by the start-up: the display name and the help file come
    // from the program file's name unless a name was given.
    void InitNames();

    HINSTANCE m_hInstance = nullptr;
    LPCSTR m_lpCmdLine = nullptr;
    CWnd* m_pMainWnd = nullptr;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    std::string m_appName;
    std::string m_helpFilePath;
    bool m_bNameGiven = false;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();
// The program's start-up: what WinMain runs.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Every message of the program goes through here (see CWinApp::DoMessageBox).
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
void AfxEnableControlContainer();
bool AfxControlContainerEnabled();
