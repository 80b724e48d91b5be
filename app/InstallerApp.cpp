#include "app/InstallerApp.h"

#include "ui/InstallerDlg.h"

BEGIN_MESSAGE_MAP(CInstallerApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CInstallerApp::CInstallerApp() : CWinApp(nullptr) {}

CInstallerApp::~CInstallerApp() = default;

CInstallerApp theApp;

BOOL CInstallerApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    CInstallerDlg dlg;
    m_pMainWnd = &dlg;

    // Arguments are accepted and change nothing.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);

    dlg.DoModal();

    // The dialog has ended, and with it the program: no message loop runs.
    return FALSE;
}
