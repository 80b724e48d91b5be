// Install: copy the expansion's sound folder into the game with one shell
// copy, remove the game's Rename.ini, offer to start the game, and end.
#include "ui/InstallerDlg.h"

namespace {

// The buttons kept out of reach while the installation runs, in the order in
// which they are disabled and enabled again.
const int kButtons[] = {IDOK, IDCANCEL, IDC_BROWSE, IDC_SEARCH};

void EnableButtons(CWnd* pDlg, BOOL bEnable) {
    for (int nID : kButtons)
        if (CWnd* pButton = pDlg->GetDlgItem(nID))
            pButton->EnableWindow(bEnable);
}

// Whether every file below strSource, subfolders included, now stands at
// its place below strDest with the same size. The shell can report a folder
// copy as done after files inside it failed (a full disk, a file it may not
// write), so its word alone is not taken. A folder that cannot be listed
// proves nothing and counts as a failure.
bool CopiedWhole(const CString& strSource, const CString& strDest) {
    CFileFind finder;
    if (!finder.FindFile(strSource + "\\*.*"))
        return false;
    BOOL bMore = TRUE;
    while (bMore) {
        bMore = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        CString strName = finder.GetFileName();
        if (finder.IsDirectory()) {
            if (!CopiedWhole(strSource + "\\" + strName, strDest + "\\" + strName))
                return false;
            continue;
        }
        CFileStatus status;
        if (!CFile::GetStatus(strDest + "\\" + strName, status) ||
            (status.m_attribute & FILE_ATTRIBUTE_DIRECTORY) || status.m_size != finder.GetLength())
            return false;
    }
    return true;
}

} // namespace

void CInstallerDlg::OnOK() {
    EnableButtons(this, FALSE);

    // Paths below the game folder get one backslash between the two, and the
    // folder keeps it. Only a backslash counts as a closing separator here.
    if (m_strGameFolder.Right(1) != "\\")
        m_strGameFolder += "\\";

    // The shell's lists: the folder pair first, then a pair for every file at
    // the top of sound. Each entry is followed by a NUL, each list by one more.
    CString strFrom = "sound";
    CString strTo = m_strGameFolder + "cd_image\\sound";
    {
        CFileFind finder;
        BOOL bMore = finder.FindFile("sound\\*.*");
        while (bMore) {
            bMore = finder.FindNextFile();
            if (finder.IsDirectory() || finder.IsDots())
                continue;
            strFrom += '\0';
            strFrom += "sound\\";
            strFrom += finder.GetFileName();
            strTo += '\0';
            strTo += m_strGameFolder;
            strTo += "cd_image\\sound\\";
            strTo += finder.GetFileName();
        }
    }
    strFrom += '\0';
    strFrom += '\0';
    strTo += '\0';
    strTo += '\0';

    SHFILEOPSTRUCTA op = {};
    op.hwnd = m_hWnd;
    op.wFunc = FO_COPY;
    op.pFrom = strFrom.GetBuffer(strFrom.GetLength() + 2);
    op.pTo = strTo.GetBuffer(strTo.GetLength() + 2);
    op.fFlags =
        static_cast<FILEOP_FLAGS>(FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR);
    op.fAnyOperationsAborted = FALSE;
    op.hNameMappings = nullptr;
    op.lpszProgressTitle = nullptr;
    int nResult = ::SHFileOperationA(&op);

    // A copy that failed must not pass for an installation: the game would
    // lose its Rename.ini and start without the expansion's files. The shell
    // may report an error only by its result, or not at all for files inside
    // a folder it copied, so the copies themselves are checked as well.
    bool bInstalled = !op.fAnyOperationsAborted && nResult == 0 &&
                      CopiedWhole("sound", m_strGameFolder + "cd_image\\sound");
    if (!bInstalled) {
        AfxMessageBox("Installation was canceled by the user, or errors occured.", MB_OK, 0);
    } else {
        // A Rename.ini that is missing, write-protected or in use is no
        // reason to hold back the game.
        try {
            CFile::Remove(m_strGameFolder + "Rename.ini");
        } catch (CFileException* e) {
            e->Delete();
        }
        if (AfxMessageBox("Orvantis - The Emberfall was successfully installed.\n"
                          "Click OK to play Kaldris, or click Cancel to quit.",
                          MB_OKCANCEL, 0) == IDOK) {
            ::ShellExecuteA(nullptr, nullptr, m_strGameFolder + "Kaldris.exe", nullptr,
                            m_strGameFolder, SW_SHOWNORMAL);
        }
    }

    EnableButtons(this, TRUE);
    CDialog::OnOK();
}
