// Stand-in for the game's Kaldris.exe.
//
// Writes Kaldris-started.txt into the current directory:
//   cwd=<current directory>
//   module=<full path of this program>
//   cmdline=<command line as passed to the process>
// and exits at once with code 0 (1 when the file cannot be written).
// Text is UTF-8, lines end in CRLF.
#include <windows.h>

#include <string>

namespace {

std::string toUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring currentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(size, L'\0');
    const DWORD len = GetCurrentDirectoryW(size, dir.data());
    dir.resize(len);
    return dir;
}

std::wstring modulePath() {
    std::wstring path(32768, L'\0');
    const DWORD len = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(len);
    return path;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string record = "cwd=" + toUtf8(currentDirectory()) + "\r\n" +
                               "module=" + toUtf8(modulePath()) + "\r\n" +
                               "cmdline=" + toUtf8(GetCommandLineW()) + "\r\n";

    const HANDLE file = CreateFileW(L"Kaldris-started.txt", GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == record.size() ? 0 : 1;
}
