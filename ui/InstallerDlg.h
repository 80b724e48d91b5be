// The installer dialog: the program's only window, and the holder of all
// its state. Its handlers live beside the behaviour they implement: the
// start-up, window menu and painting in ui/, the folder check, browsing and
// drive search in locate/, the installation in install/.
#pragma once

#include "platform/afxwin.h"
#include "ui/resource.h"

class CInstallerDlg : public CDialog {
public:
    explicit CInstallerDlg(CWnd* pParent = nullptr);
    ~CInstallerDlg() override;

    enum { IDD = IDD_INSTALLER_DIALOG };

    // Whether the game's marker file lies below the folder. Works on its own
    // copy of the text; reports no error, every failure is simply false.
    bool IsGameFolder(CString strFolder);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override; // install/Install.cpp

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();

    // Handlers of the other rooms, each defined where its behaviour lives.
    afx_msg void OnBrowse();                 // locate/Browse.cpp
    afx_msg void OnSearch();                 // locate/Search.cpp
    afx_msg void OnTimer(UINT_PTR nIDEvent); // locate/Search.cpp
    bool SearchDirectory(CString strFolder); // locate/Search.cpp

    HICON m_hIcon;
    CString m_strGameFolder; // empty, or a folder that passed IsGameFolder
    bool m_bAbortSearch;     // a running drive search is asked to stop

    // The drive search's pace (locate/Search.cpp): its progress text waits
    // for the next moment the dialog can be seen, and pending messages are
    // passed on every few milliseconds rather than at every folder entry.
    void ShowProgress(const CString& strText);
    void ShowPendingProgress();
    void PassOnMessages();
    CString m_strProgress;     // asked for and not yet in the folder line
    LONGLONG m_llNextPass = 0; // when messages are next passed on, in microseconds

    DECLARE_MESSAGE_MAP()
};
