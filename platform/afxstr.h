// CString: the class library's counted byte string, in the system's ANSI
// code page. It is counted, not NUL-terminated: a NUL appended as a
// character stays part of the string, which is how the shell's double-NUL
// path lists are built.
#pragma once

#include "platform/winapi.h"

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_str(text ? text : "") {}
    CString(const std::string& text) : m_str(text) {}
    CString(char ch, int count = 1) : m_str(count > 0 ? static_cast<size_t>(count) : 0, ch) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }
    char operator[](int index) const { return GetAt(index); }

    // The text up to its first NUL, for calls that take a C string.
    operator LPCSTR() const { return m_str.c_str(); }
    // The whole counted contents, NULs included.
    const std::string& Str() const { return m_str; }

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    int CompareNoCase(LPCSTR other) const;

    CString& operator=(LPCSTR text);
    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    // Direct access for calls that fill a caller buffer: at least
    // minLength characters plus a closing NUL, holding the current text.
    LPSTR GetBuffer(int minLength);
    // Takes back the buffer: with -1 the text ends at its first NUL (never
    // beyond the buffer that was handed out), else at newLength.
    void ReleaseBuffer(int newLength = -1);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }

private:
    std::string m_str;
};
