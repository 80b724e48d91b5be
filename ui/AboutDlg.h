// The About box, opened from the installer dialog's window menu.
#pragma once

#include "platform/afxwin.h"
#include "ui/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    enum { IDD = IDD_ABOUTBOX };

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
