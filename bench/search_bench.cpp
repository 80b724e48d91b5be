// What a drive search costs, against the least any search could cost.
//
//   search_bench.exe PALLWICK.EXE [ROUNDS]
//
// Walks every drive the installer's search walks with nothing but
// FindFirstFileA/FindNextFileA, then starts PALLWICK.EXE (in the current
// directory), clicks its search button and times each scan from the click
// until it asks about the one game folder, which the benchmark puts last in
// the walk's order: the question proves that the whole tree was walked.
// Bare walks and searches alternate, ROUNDS of each (5 unless given), after
// a bare walk that warms the file system's caches; the fastest rounds, the
// medians and the ratios of neighbouring rounds are compared. The drives
// must hold no other game folder.
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

const char kMarker[] = "cd_image\\data\\db\\ResourceDatabase.dat";
// Where the game folder of the last run is recorded, so that it can be
// removed even when that run did not end well.
const char kGameRecord[] = "search_bench.game";

struct WalkCount {
    unsigned long long folders = 0;
    unsigned long long files = 0;
    std::string lastFolder; // the last folder entered
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
    count.lastFolder = folder;
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

// A game folder: the marker file below it.
void MakeGame(const std::string& folder) {
    std::string path = folder;
    CreateDirectoryA(path.c_str(), nullptr);
    for (const char* part : {"\\cd_image", "\\data", "\\db"})
        CreateDirectoryA((path += part).c_str(), nullptr);
    HANDLE file = CreateFileA((folder + "\\" + kMarker).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot make the game folder %s\n", folder.c_str());
        std::exit(1);
    }
    CloseHandle(file);
}

void RemoveGame(const std::string& folder) {
    DeleteFileA((folder + "\\" + kMarker).c_str());
    for (const char* part : {"\\cd_image\\data\\db", "\\cd_image\\data", "\\cd_image", ""})
        RemoveDirectoryA((folder + part).c_str());
}

void RemoveRecordedGame() {
    char folder[MAX_PATH] = {};
    HANDLE file = CreateFileA(kGameRecord, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD read = 0;
    ReadFile(file, folder, sizeof(folder) - 1, &read, nullptr);
    CloseHandle(file);
    if (read > 0)
        RemoveGame(folder);
    DeleteFileA(kGameRecord);
}

void RecordGame(const std::string& folder) {
    HANDLE file = CreateFileA(kGameRecord, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, folder.data(), static_cast<DWORD>(folder.size()), &written, nullptr);
    CloseHandle(file);
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

// The installer's message boxes bear its program file's name.
std::string g_boxCaption;

HWND Question() {
    return FindWindowA("#32770", g_boxCaption.c_str());
}

bool QuestionOrEnd(HWND cancel) {
    return Question() != nullptr || IsWindowEnabled(cancel);
}

// Answers the question about the game folder with No and waits for the end
// of the scan, which it was the last thing of.
void AnswerNoAndWaitForEnd(HWND cancel) {
    if (HWND box = Question())
        PostMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    if (!WaitFor(Enabled, cancel, 60000)) {
        std::fprintf(stderr, "the search did not end after the question\n");
        std::exit(1);
    }
}

// One scan: from the click on the search button until it asks about the
// game folder. Watching a window's state asks nothing of the installer's
// thread, so the watching does not slow the scan.
double TimedSearch(HWND dialog, const std::string& game) {
    HWND search = GetDlgItem(dialog, kSearchButton);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    double start = Now();
    PostMessageA(search, BM_CLICK, 0, 0);
    if (!WaitFor(Disabled, cancel, 10000)) {
        std::fprintf(stderr, "the search did not start\n");
        std::exit(1);
    }
    DWORD ticks = GetTickCount();
    while (!QuestionOrEnd(cancel)) {
        if (GetTickCount() - ticks > 30 * 60 * 1000) {
            std::fprintf(stderr, "the search did not end within 30 minutes\n");
            std::exit(1);
        }
        Sleep(5);
    }
    double elapsed = Now() - start;
    HWND box = Question();
    char text[1024] = {};
    if (box)
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    if (!box || !std::strstr(text, (" in " + game + ". ").c_str())) {
        std::fprintf(stderr, "the search did not ask about %s, last in the walk: %s\n",
                     game.c_str(), box ? text : "it asked nothing");
        std::exit(1);
    }
    AnswerNoAndWaitForEnd(cancel);
    return elapsed;
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
    for (int i = 0; duringScan ? !QuestionOrEnd(cancel) : i < 200; ++i) {
        DWORD_PTR result = 0;
        double start = Now();
        SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        waits.push_back(Now() - start);
        Sleep(3);
    }
    if (duringScan)
        AnswerNoAndWaitForEnd(cancel);
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
    g_boxCaption = exe.substr(exe.find_last_of("\\/") + 1);
    g_boxCaption = g_boxCaption.substr(0, g_boxCaption.find_last_of('.'));
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    std::vector<std::string> roots = SearchedDrives();
    RemoveRecordedGame();
    WalkCount count;
    BareWalk(roots, count);
    // A game folder left by a run that could not record it: the walk ends
    // inside it.
    size_t stale = count.lastFolder.find("\\Orvantis\\cd_image");
    if (stale != std::string::npos) {
        RemoveGame(count.lastFolder.substr(0, stale + 9));
        BareWalk(roots, count);
    }
    // Inside the last folder entered, the game folder is what the walk meets last.
    const std::string game = count.lastFolder + "\\Orvantis";
    RecordGame(game);
    MakeGame(game);
    BareWalk(roots, count); // warms the caches
    std::printf("drives:");
    for (const std::string& root : roots)
        std::printf(" %s", root.c_str());
    std::printf("\ntree: %llu folders, %llu files; the game folder, last in the walk: %s\n",
                count.folders, count.files, game.c_str());
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
        search.push_back(TimedSearch(dialog, game));
    }

    std::vector<double> idleWaits = ProbeWaits(dialog, false);
    std::vector<double> scanWaits = ProbeWaits(dialog, true);

    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    RemoveRecordedGame();

    // On a shared machine other work only ever adds time: the fastest round
    // of each is the steadiest figure, the median the more typical one.
    double bareMin = *std::min_element(bare.begin(), bare.end());
    double searchMin = *std::min_element(search.begin(), search.end());
    double bareMedian = Median(bare), searchMedian = Median(search);
    std::printf("bare walk ms: %s (fastest %.0f, median %.0f)\n", Join(bare).c_str(), bareMin,
                bareMedian);
    std::printf("search ms:    %s (fastest %.0f, median %.0f; click to the question about the "
                "game folder)\n",
                Join(search).c_str(), searchMin, searchMedian);
    // Neighbouring rounds ran under much the same load from elsewhere.
    std::vector<double> ratios;
    for (size_t i = 0; i < bare.size(); ++i)
        ratios.push_back(search[i] / bare[i]);
    std::printf("ratio: %.2f fastest to fastest, %.2f median to median, %.2f median of the "
                "rounds' own\n",
                searchMin / bareMin, searchMedian / bareMedian, Median(ratios));
    for (auto* waits : {&idleWaits, &scanWaits}) {
        std::sort(waits->begin(), waits->end());
        std::printf("message sent to the dialog %s, handled after: median %.1f ms, 99th "
                    "percentile %.1f ms, longest %.1f ms (%zu probes)\n",
                    waits == &idleWaits ? "when idle" : "during a scan", Median(*waits),
                    (*waits)[waits->size() * 99 / 100], waits->back(), waits->size());
    }
    return 0;
}
