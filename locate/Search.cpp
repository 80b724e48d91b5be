// The drive search. A click on the search button arms a one-shot timer; the
// timer's message scans every eligible drive, folder by folder, and asks the
// user about each folder that holds the game. The scan runs on the dialog's
// own thread and passes pending messages on between folder entries, every
// few milliseconds, which is how the stop click, painting and the window
// menu reach the dialog meanwhile.
#include "ui/InstallerDlg.h"

#include <algorithm>
#include <cstring>

namespace {

const UINT_PTR SEARCH_TIMER_ID = 0x1234567;
const UINT SEARCH_DELAY = 50; // ms between the starting click and the scan
const DWORD DRIVE_LIST_SIZE = 1024;

const char IDLE_CAPTION[] = "Search my drives for the Orvantis installation";
const char STOP_CAPTION[] = "...Abort scanning...";
const char ABORTED_TEXT[] = "User aborted seach.";

// How often a scan passes pending messages on (clicks, painting, the window
// menu), in microseconds: not at every folder entry, for under Wine each
// look at the queue is a round trip to the server and each new progress text
// costs up to a millisecond, yet often enough that nobody can tell. Every
// 2 ms while that is cheap; when the last emptying took longer, six times as
// long as it took, so that showing progress takes at most a seventh of the
// scan; never more than 8 ms.
const LONGLONG PASS_INTERVAL_MIN = 2000;
const LONGLONG PASS_INTERVAL_MAX = 8000;
const LONGLONG PASS_COST_SHARE = 6;

CString ProgressText(const CString& strWhere) {
    return "Scanning " + strWhere + " Please wait";
}

// The folder check asks the folder's volume before it looks for the marker,
// and under Wine that query costs more than walking a whole folder. The walk
// checks every folder it meets and nearly none holds the marker: looking for
// the marker first, by the very search the check makes, spares the query for
// all of those and changes no answer, since the check cannot pass where that
// search finds nothing. The folder path never ends in a separator here.
bool MarkerMayBeBelow(const CString& strFolder) {
    WIN32_FIND_DATAA data;
    HANDLE hFind =
        ::FindFirstFileA(strFolder + "\\cd_image\\data\\db\\ResourceDatabase.dat", &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(hFind);
    return true;
}

LONGLONG Microseconds() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart / frequency.QuadPart * 1000000 +
           counter.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

} // namespace

// Setting the folder line costs far more than walking an entry, and nobody
// can see it change between two moments at which messages are passed on:
// the text waits for the next such moment, and only the last one asked for
// is shown.
void CInstallerDlg::ShowProgress(const CString& strText) {
    m_strProgress = strText;
}

void CInstallerDlg::ShowPendingProgress() {
    if (m_strProgress.IsEmpty())
        return;
    // Read back rather than remembered: a handler run in between may have
    // put its own text there.
    CString strShown;
    GetDlgItemText(IDC_FOLDER_EDIT, strShown);
    if (strShown != m_strProgress)
        SetDlgItemText(IDC_FOLDER_EDIT, m_strProgress);
    m_strProgress.Empty();
}

// Empties the thread's message queue, handling every message at once, when
// its time has come; the folder line is brought up to date first, so that
// whatever the messages show or read is current.
void CInstallerDlg::PassOnMessages() {
    LONGLONG llStart = Microseconds();
    if (llStart < m_llNextPass)
        return;
    ShowPendingProgress();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    LONGLONG llEnd = Microseconds();
    m_llNextPass =
        llEnd + std::min(PASS_INTERVAL_MAX,
                         std::max(PASS_INTERVAL_MIN, PASS_COST_SHARE * (llEnd - llStart)));
}

void CInstallerDlg::OnSearch() {
    // The button's caption is the only record of whether a search is armed
    // or running: the stop caption means one is.
    CString strCaption;
    GetDlgItemText(IDC_SEARCH, strCaption);
    if (strCaption.CompareNoCase(STOP_CAPTION) == 0) {
        m_bAbortSearch = true;
        SetDlgItemText(IDC_SEARCH, IDLE_CAPTION);
        return;
    }

    SetDlgItemText(IDC_SEARCH, STOP_CAPTION);
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    GetDlgItem(IDC_BROWSE)->EnableWindow(FALSE);
    // The scan runs from the timer's message, so that this click's own
    // handling ends and the dialog shows its new state first.
    SetTimer(SEARCH_TIMER_ID, SEARCH_DELAY, nullptr);
}

void CInstallerDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == SEARCH_TIMER_ID) {
        KillTimer(SEARCH_TIMER_ID); // each arming scans once

        // Only what the call wrote is read: a list that could not be had or
        // did not fit counts as no drives at all. The zeroed buffer keeps the
        // last root terminated whatever the call left in it.
        char drives[DRIVE_LIST_SIZE] = {};
        DWORD length = ::GetLogicalDriveStringsA(DRIVE_LIST_SIZE, drives);
        if (length >= DRIVE_LIST_SIZE)
            length = 0;

        for (DWORD pos = 0; pos < length && drives[pos] != '\0';) {
            if (m_bAbortSearch)
                break;
            const char* root = drives + pos;
            pos += static_cast<DWORD>(strnlen(root, length - pos)) + 1;

            // Removable, network and CD-ROM drives are slow or not ours to
            // search; A and B are floppy letters whatever their type.
            UINT type = ::GetDriveTypeA(root);
            if (type == DRIVE_CDROM || type == DRIVE_REMOTE || type == DRIVE_REMOVABLE)
                continue;
            if (static_cast<signed char>(root[0]) <= 'B')
                continue;

            ShowProgress(ProgressText(root));
            if (SearchDirectory(root))
                break;
        }

        m_strProgress.Empty(); // the outcome replaces any progress not yet shown
        SetDlgItemText(IDC_FOLDER_EDIT, m_strGameFolder);
        GetDlgItem(IDOK)->EnableWindow(!m_strGameFolder.IsEmpty());
        SetDlgItemText(IDC_SEARCH, IDLE_CAPTION);
        GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
        GetDlgItem(IDC_BROWSE)->EnableWindow(TRUE);
        if (m_bAbortSearch)
            SetDlgItemText(IDC_FOLDER_EDIT, ABORTED_TEXT);
        else
            GetDlgItem(IDOK)->SetFocus();
    }

    // Whatever timer this was, a stop request ends with it: the next scan
    // starts afresh unless a stop click comes between its start and its timer.
    m_bAbortSearch = false;
    Default();
}

bool CInstallerDlg::SearchDirectory(CString strFolder) {
    bool bFound = false;

    if (strFolder.Right(1) != "\\")
        strFolder += "\\";
    strFolder += "*.*";
    const CString strProgress = ProgressText(strFolder);

    CFileFind finder;
    if (finder.FindFile(strFolder, 0)) {
        bool bMore = true;
        do {
            if (bFound)
                break;
            if (m_bAbortSearch) {
                m_strGameFolder.Empty();
                return false;
            }

            PassOnMessages();

            bMore = finder.FindNextFile() != FALSE;
            ShowProgress(strProgress);

            if (finder.IsDots() || !finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) || m_bAbortSearch)
                continue;

            CString strPath = finder.GetFilePath();
            if (MarkerMayBeBelow(strPath) && IsGameFolder(strPath)) {
                // Never entered, whatever the answer: a game folder holds no
                // other installation worth offering.
                bFound = true;
                ShowPendingProgress(); // the dialog stays in view behind the question
                CString strQuestion = "Found an Orvantis installation in " + strPath +
                                      ". If this is the correct installation, click YES. If "
                                      "not, click NO to continue searching.";
                if (AfxMessageBox(strQuestion, MB_YESNO, 0) == IDYES) {
                    m_strGameFolder = strPath;
                    break;
                }
                m_strGameFolder.Empty();
                bFound = false;
            } else if (!finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)) {
                // Junctions and folder links are not followed: one that leads
                // back to an ancestor would make the walk endless, and the
                // folders they lead to are walked where they really lie.
                bFound = SearchDirectory(strPath);
            }
        } while (bMore);
    }

    if (m_bAbortSearch) {
        m_strGameFolder.Empty();
        bFound = false;
    }
    return bFound;
}
