// Prints what a resumed numbering run costs in a folder tree whose files are already recorded,
// at growing sizes: reading the index, collecting with and without the exclusion test, writing
// the index, and the whole resumed run. Collecting with the exclusions should cost about what
// the walk alone costs, whatever the number of recorded files.
//   numbering_bench [SCRATCH_FOLDER] [RECORDED_FILES...]   (default sizes: 10000 25000 50000)
#include "BatchRun.h"
#include "CollectEntries.h"
#include "ExtendedPath.h"
#include "HistoryFormat.h"
#include "HistoryStore.h"
#include "RunState.h"

#include "BenchSupport.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kFilesPerFolder = 100;
constexpr int kNewFilesPerThousand = 10;

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// Folders of 100 files, the recorded ones listed in the index, plus 1% new ones.
bool BuildTree(const std::wstring& root, int recorded, PathList& index)
{
    CreateDirectoryW(root.c_str(), nullptr);
    int made = 0;
    int fresh = recorded * kNewFilesPerThousand / 1000;
    for (int folder = 0; made < recorded + fresh; ++folder) {
        std::wstring relative = L".\\FOLDER " + std::to_wstring(folder);
        if (!CreateDirectoryW((root + relative.substr(1)).c_str(), nullptr))
            return false;
        for (int file = 0; file < kFilesPerFolder && made < recorded + fresh; ++file, ++made) {
            bool isNew = made >= recorded;
            std::wstring path = relative + (isNew ? L"\\NEW_" : L"\\Trip") + std::to_wstring(made) + L".jpg";
            if (!MakeFile(root + path.substr(1)))
                return false;
            if (!isNew)
                Append(index, path);
        }
    }
    return true;
}

template <typename Step>
double Time(Step step)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    step();
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

size_t CollectIn(const std::wstring& root, PathList* exclusions)
{
    RunOptions options;
    options.mode = ModeNumber;
    return CollectEntries(ExtendedLengthPath(root), options, exclusions, false).plan.entries.size();
}

// Answers the resume question Yes, as the user would.
void AnswerYesUntil(const std::atomic<bool>& stop)
{
    while (!stop) {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", L"Nomaro")) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (process == GetCurrentProcessId())
                PostMessageW(box, WM_COMMAND, IDYES, 0);
        }
        Sleep(20);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring scratch = argc > 1 ? argv[1] : std::wstring(temp) + L"nomaro-numbering-bench";
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(_wtoi(argv[i]));
    if (sizes.empty())
        sizes = {10000, 25000, 50000};

    std::printf("%9s %6s | %9s %9s %9s %9s %9s %9s | %11s %9s\n", "recorded", "new", "read idx", "walk", "hash idx",
                "walk+excl", "walk", "write idx", "resumed run", "us/file");
    std::printf("%9s %6s | %9s %9s %9s %9s %9s %9s | %11s %9s\n", "", "", "ms", "ms", "ms", "ms", "ms", "ms", "ms", "");
    for (int size : sizes) {
        std::wstring root = scratch + L"\\tree-" + std::to_wstring(size);
        RemoveTree(root);
        CreateDirectoryW(scratch.c_str(), nullptr);
        PathList recorded;
        if (!BuildTree(root, size, recorded)) {
            std::fprintf(stderr, "could not build the tree under %ls\n", root.c_str());
            return 1;
        }
        std::int32_t entries = 0;
        std::string indexBytes = EncodeIndex(nullptr, recorded, entries);
        int fresh = size * kNewFilesPerThousand / 1000;

        PathList exclusions;
        double readIndex = Time([&] { ReadIndexEntries(indexBytes, exclusions); });
        size_t all = 0;
        size_t onlyNew = 0;
        double walkOnly = Time([&] { all = CollectIn(root, nullptr); });
        double hashIndex = Time([&] { Contains(&exclusions, L".\\none"); });
        double walkExcluded = Time([&] { onlyNew = CollectIn(root, &exclusions); });
        double walkAgain = Time([&] { CollectIn(root, nullptr); });
        PathList none;
        double writeIndex = Time([&] {
            std::int32_t written = 0;
            WriteBytes(scratch + L"\\bench.idx", EncodeIndex(&exclusions, none, written));
        });

        // The whole resumed run: history with the folder's record, its index, the question answered Yes.
        StartDirectory = scratch;
        HistoryFilePath = scratch + L"\\Nomaro.stdb";
        std::wstring indexPath = scratch + L"\\20120101000000.idx";
        WriteBytes(indexPath, indexBytes);
        PathList history;
        Append(history, root, size, &indexPath);
        WriteBytes(HistoryFilePath, EncodeHistory(history));
        LoadHistory();
        CurrentMode = ModeNumber;
        std::atomic<bool> stop{false};
        std::thread answer([&] { AnswerYesUntil(stop); });
        double resumed = Time([&] {
            CurrentRun = RunState();
            CurrentRun.NumberWidth = 6;
            BatchRun(nullptr, root);
        });
        stop = true;
        answer.join();
        std::int32_t count = HistoryStore && HistoryStore->head ? HistoryStore->head->count : -1;
        ReleaseHistory();

        bool right = all == static_cast<size_t>(size + fresh) && onlyNew == static_cast<size_t>(fresh) &&
                     count == size + fresh;
        std::printf("%9d %6d | %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f | %11.1f %9.1f%s\n", size, fresh, readIndex * 1e3,
                    walkOnly * 1e3, hashIndex * 1e3, walkExcluded * 1e3, walkAgain * 1e3, writeIndex * 1e3, resumed * 1e3,
                    resumed * 1e6 / (size + fresh), right ? "" : "  (WRONG counts!)");
        std::fflush(stdout);
        RemoveTree(root);
        DeleteFileW(indexPath.c_str());
        DeleteFileW(HistoryFilePath.c_str());
        DeleteFileW((scratch + L"\\bench.idx").c_str());
    }
    RemoveDirectoryW(scratch.c_str());
    return 0;
}
