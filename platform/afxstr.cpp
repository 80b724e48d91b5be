#include "platform/afxstr.h"

#include <algorithm>
#include <cctype>
#include <cstring>

CString CString::Left(int count) const {
    return CString(m_str.substr(0, static_cast<size_t>(std::clamp(count, 0, GetLength()))));
}

CString CString::Right(int count) const {
    int n = std::clamp(count, 0, GetLength());
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(n)));
}

CString CString::Mid(int first) const {
    return CString(m_str.substr(static_cast<size_t>(std::clamp(first, 0, GetLength()))));
}

int CString::CompareNoCase(LPCSTR other) const {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_str.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other ? other : "");
    for (;; ++a, ++b) {
        int ca = std::tolower(*a), cb = std::tolower(*b);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

CString& CString::operator=(LPCSTR text) {
    m_str = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_str += other.m_str;
    return *this;
}

CString& CString::operator+=(LPCSTR text) {
    m_str += text ? text : "";
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

LPSTR CString::GetBuffer(int minLength) {
    size_t length = m_str.size();
    size_t room = std::max(length, static_cast<size_t>(std::max(minLength, 0)));
    // One more character than asked for, zeroed, so that a buffer filled to
    // the last byte without a NUL still ends inside what was handed out.
    m_str.resize(room + 1, '\0');
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
    size_t length = newLength < 0 ? strnlen(m_str.data(), m_str.size())
                                  : std::min(static_cast<size_t>(newLength), m_str.size());
    m_str.resize(length);
}

CString operator+(const CString& a, const CString& b) {
    return CString(a.m_str + b.m_str);
}
CString operator+(const CString& a, LPCSTR b) {
    return CString(a.m_str + (b ? b : ""));
}
CString operator+(LPCSTR a, const CString& b) {
    return CString((a ? a : "") + b.m_str);
}
CString operator+(const CString& a, char b) {
    return CString(a.m_str + b);
}
