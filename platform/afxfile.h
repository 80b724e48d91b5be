// Files and folders: directory enumeration (CFileFind), a file's status and
// its removal (CFile), and the one exception the program catches
// (CFileException).
#pragma once

#include "platform/afxstr.h"

#include <cstdint>

class CFileFind {
public:
    CFileFind();
    ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Opens an enumeration of the entries matching the pattern; no entry is
    // current yet. False when nothing matches, the folder cannot be read, or
    // the pattern cannot be made absolute within the path limit.
    BOOL FindFile(LPCSTR pattern = nullptr, DWORD flags = 0);
    // Makes the next entry current (the first one after FindFile). True when
    // a further entry follows; the entry just made current is valid either way.
    BOOL FindNextFile();
    void Close();

    BOOL IsDots() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL MatchesMask(DWORD mask) const;
    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetRoot() const { return m_strRoot; }
    uint64_t GetLength() const;

private:
    HANDLE m_hContext = nullptr;
    WIN32_FIND_DATAA m_current{};
    WIN32_FIND_DATAA m_next{};
    bool m_bHasCurrent = false;
    bool m_bHasNext = false;
    CString m_strRoot;
};

struct CFileStatus {
    FILETIME m_ctime{};
    FILETIME m_mtime{};
    FILETIME m_atime{};
    uint64_t m_size = 0;
    BYTE m_attribute = 0;
    char m_szFullName[MAX_PATH] = {};
};

class CFileException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        accessDenied,
        sharingViolation,
    };
    CFileException(int cause, LONG osError, LPCSTR fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}
    // Thrown by pointer; the catcher deletes it.
    void Delete() { delete this; }

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CFile {
public:
    // Whether the file or folder exists: its path can be made absolute
    // within the path limit, its volume answers, and a directory search
    // finds it. Nothing is opened.
    static BOOL GetStatus(LPCSTR fileName, CFileStatus& status);
    // Deletes a file; throws a CFileException* when that fails.
    static void Remove(LPCSTR fileName);
};
