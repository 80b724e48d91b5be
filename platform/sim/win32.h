// Declarations of the simulated Windows: the same names, types and constants
// as the real headers, for what the program calls and nothing more. The
// behaviour lives in the other files of this folder; the test API that sets
// up and inspects the simulated machine is in sim.h.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Basic types ---------------------------------------------------------
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef int32_t LONG;
typedef char CHAR;
typedef CHAR TCHAR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef ULONG_PTR DWORD_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef LONG LSTATUS;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef LPSTR LPTSTR;
typedef LPCSTR LPCTSTR;
typedef DWORD REGSAM;
typedef DWORD COLORREF;

#define DECLARE_SIM_HANDLE(name)                                                                   \
    struct name##__ {                                                                              \
        int unused;                                                                                \
    };                                                                                             \
    typedef struct name##__* name
DECLARE_SIM_HANDLE(HWND);
DECLARE_SIM_HANDLE(HINSTANCE);
DECLARE_SIM_HANDLE(HICON);
DECLARE_SIM_HANDLE(HMENU);
DECLARE_SIM_HANDLE(HDC);
DECLARE_SIM_HANDLE(HKEY);
#undef DECLARE_SIM_HANDLE
typedef void* HANDLE;
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define CALLBACK
#define WINAPI

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELONG(a, b)                                                                             \
    (static_cast<LONG>((static_cast<WORD>(a)) | ((static_cast<DWORD>(static_cast<WORD>(b))) << 16)))
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))

struct RECT {
    LONG left, top, right, bottom;
};
typedef RECT* LPRECT;
struct POINT {
    LONG x, y;
};
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;
struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

// ---- Errors --------------------------------------------------------------
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_READY 21L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_BAD_NETPATH 53L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_CANCELLED 1223L

// ---- Registry ------------------------------------------------------------
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002)))
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_READ 0x20019
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4

// ---- Files and drives ----------------------------------------------------
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))
#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6
#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOOPENFILEERRORBOX 0x8000

// ---- Windows and messages ------------------------------------------------
#define WM_NULL 0x0000
#define WM_DESTROY 0x0002
#define WM_SETFOCUS 0x0007
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ICONERASEBKGND 0x0027
#define WM_QUERYDRAGICON 0x0037
#define WM_HELP 0x0053
#define WM_SETICON 0x0080
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_USER 0x0400
#define BM_CLICK 0x00F5
#define BM_SETIMAGE 0x00F7
#define BN_CLICKED 0
#define DM_GETDEFID (WM_USER + 0)
#define DC_HASDEFID 0x534B
#define ICON_SMALL 0
#define ICON_BIG 1
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define SC_SIZE 0xF000
#define SC_MOVE 0xF010
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_F1 0x70
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXICON 11
#define SM_CYICON 12
#define SPI_GETWORKAREA 0x0030
#define SWP_NOSIZE 0x0001
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define GW_OWNER 4
#define DWLP_MSGRESULT 0
#define MF_STRING 0x00000000
#define MF_SEPARATOR 0x00000800
#define SW_SHOWNORMAL 1
#define HELP_CONTEXT 0x0001
#define HELP_QUIT 0x0002
#define ICC_STANDARD_CLASSES 0x00004000
#define ICC_WIN95_CLASSES 0x000000FF

#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_TABSTOP 0x00010000L
#define WS_GROUP 0x00020000L
#define DS_CENTER 0x0800L
#define BS_DEFPUSHBUTTON 0x00000001L

// ---- Message boxes -------------------------------------------------------
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONMASK 0x000000F0L
#define MB_APPLMODAL 0x00000000L
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// ---- Shell ---------------------------------------------------------------
#define FO_MOVE 0x0001
#define FO_COPY 0x0002
#define FO_DELETE 0x0003
#define FO_RENAME 0x0004
#define FOF_MULTIDESTFILES 0x0001
#define FOF_SILENT 0x0004
#define FOF_RENAMEONCOLLISION 0x0008
#define FOF_NOCONFIRMATION 0x0010
#define FOF_ALLOWUNDO 0x0040
#define FOF_FILESONLY 0x0080
#define FOF_NOCONFIRMMKDIR 0x0200
#define FOF_NOERRORUI 0x0400
typedef WORD FILEOP_FLAGS;
struct SHFILEOPSTRUCTA {
    HWND hwnd;
    UINT wFunc;
    LPCSTR pFrom;
    LPCSTR pTo;
    FILEOP_FLAGS fFlags;
    BOOL fAnyOperationsAborted;
    LPVOID hNameMappings;
    LPCSTR lpszProgressTitle;
};
typedef SHFILEOPSTRUCTA* LPSHFILEOPSTRUCTA;

struct SHITEMID {
    WORD cb;
    BYTE abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;
typedef int(CALLBACK* BFFCALLBACK)(HWND, UINT, LPARAM, LPARAM);
#define BIF_RETURNONLYFSDIRS 0x00000001
struct BROWSEINFOA {
    HWND hwndOwner;
    PCIDLIST_ABSOLUTE pidlRoot;
    LPSTR pszDisplayName;
    LPCSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
};
typedef BROWSEINFOA* LPBROWSEINFOA;

// ---- Functions -----------------------------------------------------------
// Kernel
DWORD GetLastError();
void SetLastError(DWORD error);
UINT SetErrorMode(UINT mode);
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
HMODULE GetModuleHandleA(LPCSTR name);
LPSTR GetCommandLineA();
DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL GetVolumeInformationA(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize,
                           LPDWORD serialNumber, LPDWORD maxComponentLength,
                           LPDWORD fileSystemFlags, LPSTR fileSystemName, DWORD fileSystemNameSize);
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL FindClose(HANDLE find);
DWORD GetFileAttributesA(LPCSTR path);
BOOL DeleteFileA(LPCSTR path);
DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer);
UINT GetDriveTypeA(LPCSTR root);

// Registry
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, HKEY* result);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size);
LSTATUS RegCloseKey(HKEY key);

// Resources
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);

// Windows, dialogs and the message queue
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND window);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
HWND GetParent(HWND window);
HWND GetWindow(HWND window, UINT command);
HWND GetLastActivePopup(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL IsIconic(HWND window);
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND window);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
HWND SetFocus(HWND window);
HWND GetFocus();
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
HMENU GetSystemMenu(HWND window, BOOL revert);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
int GetSystemMetrics(int index);
BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID data, UINT winIni);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL SetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
short GetKeyState(int key);
BOOL MessageBeep(UINT type);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
BOOL WinHelpA(HWND window, LPCSTR helpFile, UINT command, ULONG_PTR data);
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// Shell
int SHFileOperationA(LPSHFILEOPSTRUCTA op);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand);
PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info);
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR path);
void CoTaskMemFree(LPVOID memory);

// ---- High-resolution clock (the drive search's pace) ---------------------
typedef int64_t LONGLONG;
typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER;
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
