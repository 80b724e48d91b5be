// The application object: runs the installer dialog and ends with it.
#pragma once

#include "platform/afxwin.h"

class CInstallerApp : public CWinApp {
public:
    CInstallerApp();
    ~CInstallerApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CInstallerApp theApp;
