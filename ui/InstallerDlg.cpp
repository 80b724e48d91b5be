#include "ui/InstallerDlg.h"

#include "ui/AboutDlg.h"

CInstallerDlg::CInstallerDlg(CWnd* pParent)
    : CDialog(CInstallerDlg::IDD, pParent),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_bAbortSearch(false) {}

CInstallerDlg::~CInstallerDlg() = default;

void CInstallerDlg::DoDataExchange(CDataExchange* pDX) {
    // Every control is read and written by explicit calls; nothing is bound.
    CDialog::DoDataExchange(pDX);
}

BEGIN_MESSAGE_MAP(CInstallerDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_BROWSE, &CInstallerDlg::OnBrowse)
END_MESSAGE_MAP()

BOOL CInstallerDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // The About entry at the end of the window menu.
    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        char about[256] = {};
        ::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, about, sizeof(about));
        if (about[0] != '\0') {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (CWnd* pBrowse = GetDlgItem(IDC_BROWSE)) {
        HICON hFolder = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_FOLDER));
        pBrowse->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hFolder));
    }

    GetDlgItem(IDOK)->EnableWindow(FALSE);

    // The folder the game recorded. The game is a 32-bit program, so its
    // value lives in the 32-bit view of the registry, which a 64-bit build
    // must ask for by name. The buffer starts empty, so a missing key or
    // value leaves the folder empty; a value that does not fit is not taken.
    {
        const DWORD bufferSize = MAX_PATH;
        LPSTR buffer = m_strGameFolder.GetBuffer(bufferSize);
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvantis", 0,
                            KEY_QUERY_VALUE | KEY_WOW64_32KEY, &hKey) == ERROR_SUCCESS) {
            DWORD type = 0;
            DWORD size = bufferSize;
            if (::RegQueryValueExA(hKey, "InstallPath", nullptr, &type,
                                   reinterpret_cast<LPBYTE>(buffer), &size) != ERROR_SUCCESS)
                buffer[0] = '\0';
            ::RegCloseKey(hKey);
        }
        m_strGameFolder.ReleaseBuffer(-1);
    }

    if (IsGameFolder(m_strGameFolder)) {
        SetDlgItemText(IDC_FOLDER_EDIT, m_strGameFolder);
        GetDlgItem(IDOK)->EnableWindow(TRUE);
    } else {
        m_strGameFolder.Empty();
    }

    return TRUE; // the focus goes to the first tab stop, the folder line
}

void CInstallerDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CInstallerDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    // Minimised: draw the icon in the middle of the client area.
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CInstallerDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}
