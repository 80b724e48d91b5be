// Picking the game folder by hand in the shell's folder browser.
#include "ui/InstallerDlg.h"

void CInstallerDlg::OnBrowse() {
    // Receives the chosen item's display name from the browser, then its
    // file-system path.
    char szPath[MAX_PATH] = {};

    BROWSEINFOA bi = {};
    // No owner: the browser is modal to nothing, so this dialog stays live
    // and its handlers run inside the browser's loop until it closes.
    bi.hwndOwner = nullptr;
    bi.pidlRoot = nullptr; // the desktop: the whole namespace is offered
    bi.pszDisplayName = szPath;
    bi.lpszTitle = "Select the folder where Orvantis is installed:";
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = nullptr;
    bi.lParam = 0;
    bi.iImage = 0;

    if (PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderA(&bi)) {
        BOOL bHasPath = ::SHGetPathFromIDListA(pidl, szPath);
        // The shell allocated the item list for us; it is ours to free.
        ::CoTaskMemFree(pidl);
        if (bHasPath) {
            m_strGameFolder = szPath;
            if (!IsGameFolder(m_strGameFolder)) {
                AfxMessageBox(m_strGameFolder +
                                  " does not seem to be the Orvantis folder.\nPlease select "
                                  "another folder, or click \"Search My Drives For Orvantis\" to "
                                  "automatically find it.",
                              MB_OK, 0);
                // A refused pick drops any folder chosen before it as well.
                m_strGameFolder.Empty();
            }
            SetDlgItemText(IDC_FOLDER_EDIT, m_strGameFolder);
        }
    }

    // A drive search started from this dialog while the browser was open, and
    // not yet scanning, keeps Browse disabled: Install must stay out of reach
    // until that search ends, and its end sets Install by the same rule.
    if (!::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BROWSE)))
        return;
    GetDlgItem(IDOK)->EnableWindow(!m_strGameFolder.IsEmpty());
}
