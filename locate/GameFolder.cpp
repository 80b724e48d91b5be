// The folder check: a folder is the game's when its marker file lies below it.
#include "ui/InstallerDlg.h"

bool CInstallerDlg::IsGameFolder(CString strFolder) {
    // One separator between the folder and the marker path, unless the text
    // already ends in one; here a forward slash counts too.
    CString strLast = strFolder.Right(1);
    if (strLast != "\\" && strLast != "/")
        strFolder += "\\";
    strFolder += "cd_image\\data\\db\\ResourceDatabase.dat";

    CFileStatus status;
    return CFile::GetStatus(strFolder, status) != FALSE;
}
