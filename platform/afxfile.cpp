#include "platform/afxfile.h"

#include <cstring>

CFileFind::CFileFind() = default;

CFileFind::~CFileFind() {
    Close();
}

void CFileFind::Close() {
    if (m_hContext) {
        ::FindClose(m_hContext);
        m_hContext = nullptr;
    }
    m_bHasCurrent = m_bHasNext = false;
}

BOOL CFileFind::FindFile(LPCSTR pattern, DWORD) {
    Close();
    if (!pattern)
        pattern = "*.*";
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(pattern, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return FALSE; // not within the path limit: as unreadable as a missing folder
    HANDLE h = ::FindFirstFileA(pattern, &m_next);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hContext = h;
    m_bHasNext = true;
    CString root(full);
    int cut = root.GetLength();
    while (cut > 0 && root[cut - 1] != '\\' && root[cut - 1] != '/')
        --cut;
    m_strRoot = root.Left(cut > 0 ? cut - 1 : 0);
    return TRUE;
}

BOOL CFileFind::FindNextFile() {
    if (!m_hContext || !m_bHasNext)
        return FALSE;
    m_current = m_next;
    m_bHasCurrent = true;
    m_bHasNext = ::FindNextFileA(m_hContext, &m_next) != FALSE;
    return m_bHasNext ? TRUE : FALSE;
}

BOOL CFileFind::IsDots() const {
    if (!m_bHasCurrent || !(m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    return std::strcmp(m_current.cFileName, ".") == 0 ||
           std::strcmp(m_current.cFileName, "..") == 0;
}

BOOL CFileFind::MatchesMask(DWORD mask) const {
    return m_bHasCurrent && (m_current.dwFileAttributes & mask) ? TRUE : FALSE;
}

CString CFileFind::GetFileName() const {
    // The name is copied within its fixed field, NUL or not.
    return m_bHasCurrent
               ? CString(std::string(m_current.cFileName, strnlen(m_current.cFileName, MAX_PATH)))
               : CString();
}

CString CFileFind::GetFilePath() const {
    CString path = m_strRoot;
    CString last = path.Right(1);
    if (last != "\\" && last != "/")
        path += '\\';
    return path + GetFileName();
}

uint64_t CFileFind::GetLength() const {
    return m_bHasCurrent
               ? (static_cast<uint64_t>(m_current.nFileSizeHigh) << 32) | m_current.nFileSizeLow
               : 0;
}

BOOL CFile::GetStatus(LPCSTR fileName, CFileStatus& status) {
    // Wildcards would turn the name into a pattern; a name is never one.
    if (!fileName || std::strpbrk(fileName, "*?"))
        return FALSE;
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(fileName, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return FALSE;

    // The volume must answer; with the process's error mode a drive without
    // a medium fails here quietly instead of asking for a disk.
    char root[MAX_PATH];
    if (full[0] == '\\' && full[1] == '\\') {
        // \\server\share\ : up to and including the separator after the share.
        int separators = 0;
        size_t i = 2;
        for (; full[i] && separators < 2; ++i)
            if (full[i] == '\\')
                ++separators;
        if (separators < 2)
            return FALSE;
        std::memcpy(root, full, i);
        root[i] = '\0';
    } else {
        if (length < 3 || full[1] != ':')
            return FALSE;
        std::memcpy(root, full, 3);
        root[3] = '\0';
    }
    if (!::GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0))
        return FALSE;

    WIN32_FIND_DATAA data;
    HANDLE h = ::FindFirstFileA(fileName, &data);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    ::FindClose(h);

    status = CFileStatus{};
    status.m_ctime = data.ftCreationTime;
    status.m_atime = data.ftLastAccessTime;
    status.m_mtime = data.ftLastWriteTime;
    status.m_size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
    std::memcpy(status.m_szFullName, full, length + 1);
    return TRUE;
}

void CFile::Remove(LPCSTR fileName) {
    if (::DeleteFileA(fileName))
        return;
    LONG error = static_cast<LONG>(::GetLastError());
    int cause = CFileException::genericException;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        cause = CFileException::fileNotFound;
        break;
    case ERROR_PATH_NOT_FOUND:
        cause = CFileException::badPath;
        break;
    case ERROR_ACCESS_DENIED:
        cause = CFileException::accessDenied;
        break;
    case ERROR_SHARING_VIOLATION:
        cause = CFileException::sharingViolation;
        break;
    default:
        break;
    }
    throw new CFileException(cause, error, fileName);
}
