// What a drive search costs, against the least any search could cost.
//
//   search_bench.exe PALLWICK.EXE [ROUNDS]
//
// Walks every drive the installer's search walks with nothing but
// FindFirstFileA/FindNextFileA, then starts PALLWICK.EXE (in the current
// directory), clicks its search button and times each scan from the click
// until the dialog is idle again. Bare walks and searches alternate, ROUNDS
// of each (5 unless given), after one bare walk that warms the file system's
// caches; the fastest rounds and the medians are compared. The tree must hold
// no game folder (or only one that the walk meets last): a question box
// would stop the clock.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kDialogCaption[] = "Orvantis Emberfall Installer";
const int kSearchButton = 1004;

struct WalkCount {
    unsigned long long folders = 0;
    unsigned long long files = 0;
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The same tree the installer walks: every folder entry, links and
// junctions not followed, and nothing else done with the entries.
void Walk(const std::string& folder, WalkCount& count) {
    ++count.folders;
    std::string pattern = folder;
    if (pattern.empty() || pattern.back() != '\\')
        pattern += '\\';
    std::string base = pattern;
    pattern += "*.*";
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        bool dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!dir) {
            ++count.files;
            continue;
        }
        if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0)
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        Walk(base + data.cFileName, count);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

// The drives the installer's search walks, in its order.
std::vector<std::string> SearchedDrives() {
    std::vector<std::string> roots;
    char list[1024] = {};
    DWORD length = GetLogicalDriveStringsA(sizeof(list), list);
    if (length >= sizeof(list))
        return roots;
    for (const char* root = list; root < list + length && *root; root += std::strlen(root) + 1) {
        UINT type = GetDriveTypeA(root);
        if (type == DRIVE_CDROM || type == DRIVE_REMOTE || type == DRIVE_REMOVABLE)
            continue;
        if (static_cast<signed char>(root[0]) <= 'B')
            continue;
        roots.push_back(root);
    }
    return roots;
}

double BareWalk(const std::vector<std::string>& roots, WalkCount& count) {
    count = WalkCount{};
    double start = Now();
    for (const std::string& root : roots)
        Walk(root, count);
    return Now() - start;
}

// Every look is a call to the Wine server, which the scan needs too: looking
// every 5 ms costs the scan nothing measurable and the clock at most 5 ms.
bool WaitFor(bool (*condition)(HWND), HWND window, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition(window)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

bool Enabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}
bool Disabled(HWND window) {
    return IsWindowEnabled(window) == FALSE;
}

// One scan: from the click on the search button until Cancel, which the scan
// keeps disabled, is enabled again. Watching a window's state asks nothing
// of the installer's thread, so the watching does not slow the scan.
double TimedSearch(HWND dialog) {
    HWND search = GetDlgItem(dialog, kSearchButton);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    double start = Now();
    PostMessageA(search, BM_CLICK, 0, 0);
    if (!WaitFor(Disabled, cancel, 10000)) {
        std::fprintf(stderr, "the search did not start\n");
        std::exit(1);
    }
    if (!WaitFor(Enabled, cancel, 30 * 60 * 1000)) {
        std::fprintf(stderr, "the search did not end within 30 minutes\n");
        std::exit(1);
    }
    return Now() - start;
}

// How long a message sent to the dialog waits before it is handled, probed
// every few milliseconds: while the dialog is idle, and through one scan.
std::vector<double> ProbeWaits(HWND dialog, bool duringScan) {
    std::vector<double> waits;
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (duringScan) {
        PostMessageA(GetDlgItem(dialog, kSearchButton), BM_CLICK, 0, 0);
        WaitFor(Disabled, cancel, 10000);
    }
    for (int i = 0; duringScan ? !Enabled(cancel) : i < 200; ++i) {
        DWORD_PTR result = 0;
        double start = Now();
        SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        waits.push_back(Now() - start);
        Sleep(3);
    }
    return waits;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Join(const std::vector<double>& values) {
    std::string out;
    char buffer[32];
    for (double v : values) {
        std::snprintf(buffer, sizeof(buffer), "%s%.0f", out.empty() ? "" : " ", v);
        out += buffer;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: search_bench PALLWICK.EXE [ROUNDS]\n");
        return 2;
    }
    std::string exe = argv[1];
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    std::vector<std::string> roots = SearchedDrives();
    WalkCount count;
    BareWalk(roots, count); // warms the caches
    std::printf("drives:");
    for (const std::string& root : roots)
        std::printf(" %s", root.c_str());
    std::printf("\ntree: %llu folders, %llu files\n", count.folders, count.files);
    std::fflush(stdout);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return 1;
    }
    WaitForInputIdle(process.hProcess, 30000);
    HWND dialog = nullptr;
    for (int i = 0; i < 3000 && !dialog; ++i) {
        dialog = FindWindowA(nullptr, kDialogCaption);
        if (!dialog)
            Sleep(10);
    }
    if (!dialog) {
        std::fprintf(stderr, "the installer's dialog did not appear\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }

    std::vector<double> bare, search;
    for (int round = 0; round < rounds; ++round) {
        WalkCount c;
        bare.push_back(BareWalk(roots, c));
        search.push_back(TimedSearch(dialog));
    }

    std::vector<double> idleWaits = ProbeWaits(dialog, false);
    std::vector<double> scanWaits = ProbeWaits(dialog, true);

    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    // On a shared machine other work only ever adds time: the fastest round
    // of each is the steadiest figure, the median the more typical one.
    double bareMin = *std::min_element(bare.begin(), bare.end());
    double searchMin = *std::min_element(search.begin(), search.end());
    double bareMedian = Median(bare), searchMedian = Median(search);
    std::printf("bare walk ms: %s (fastest %.0f, median %.0f)\n", Join(bare).c_str(), bareMin,
                bareMedian);
    std::printf("search ms:    %s (fastest %.0f, median %.0f; click to end of scan)\n",
                Join(search).c_str(), searchMin, searchMedian);
    std::printf("ratio: %.2f fastest to fastest, %.2f median to median\n", searchMin / bareMin,
                searchMedian / bareMedian);
    for (auto* waits : {&idleWaits, &scanWaits}) {
        std::sort(waits->begin(), waits->end());
        std::printf("message sent to the dialog %s, handled after: median %.1f ms, 99th "
                    "percentile %.1f ms, longest %.1f ms (%zu probes)\n",
                    waits == &idleWaits ? "when idle" : "during a scan", Median(*waits),
                    (*waits)[waits->size() * 99 / 100], waits->back(), waits->size());
    }
    return 0;
}
