// Lists generated trees of growing size as plain text and RTF and prints the time per entry and
// the peak memory, so that a step that grows faster than the tree, or a listing held in memory,
// shows up as a rising figure.
//   listing_bench [SCRATCH_FOLDER] [ENTRIES...]   (default sizes: 10000 20000 40000)
#include "FileListing.h"

#include "BenchSupport.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Folders of 100 entries, four levels of nesting, so that depths and both passes are exercised.
constexpr int kEntriesPerFolder = 100;
constexpr int kFoldersPerLevel = 4;

std::wstring FolderPath(const std::wstring& root, int folder)
{
    // Folder n lives under folder n / 4, so the tree is a few levels deep.
    std::wstring path;
    for (int f = folder; f > 0; f = (f - 1) / kFoldersPerLevel)
        path = L"\\Folder " + std::to_wstring(f) + path;
    return root + path;
}

int BuildTree(const std::wstring& root, int entries)
{
    CreateDirectoryW(root.c_str(), nullptr);
    int made = 0;
    for (int folder = 0; made < entries; ++folder) {
        std::wstring folderPath = FolderPath(root, folder);
        if (folder > 0) {
            if (!CreateDirectoryW(folderPath.c_str(), nullptr))
                return made;
            ++made;
        }
        for (int file = 1; file < kEntriesPerFolder && made < entries; ++file, ++made) {
            if (!MakeFile(folderPath + L"\\photo_" + std::to_wstring(file) + L".jpg"))
                return made;
        }
    }
    return made;
}

double FileMegabytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / (1024.0 * 1024.0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring scratch = argc > 1 ? argv[1] : std::wstring(temp) + L"nomaro-listing-bench";
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::wcstol(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {10000, 20000, 40000};

    CreateDirectoryW(scratch.c_str(), nullptr);
    std::printf("%10s %8s %10s %12s %10s %12s %12s\n", "entries", "format", "seconds", "us/entry", "MB out", "MB/s",
                "peak MB");
    for (int size : sizes) {
        std::wstring root = scratch + L"\\tree";
        RemoveTree(root);
        int entries = BuildTree(root, size);
        for (bool plain : {true, false}) {
            std::wstring output = scratch + (plain ? L"\\listing.txt" : L"\\listing.rtf");
            LARGE_INTEGER start;
            LARGE_INTEGER end;
            QueryPerformanceCounter(&start);
            WriteListingFile(root, output, plain);
            QueryPerformanceCounter(&end);
            double seconds = Seconds(start, end);
            double megabytes = FileMegabytes(output);
            std::printf("%10d %8s %10.3f %12.2f %10.2f %12.1f %12.1f\n", entries, plain ? "plain" : "rtf", seconds,
                        seconds * 1e6 / entries, megabytes, megabytes / seconds, PeakMegabytes());
            std::fflush(stdout);
            DeleteFileW(output.c_str());
        }
        RemoveTree(root);
    }
    RemoveDirectoryW(scratch.c_str());
    return 0;
}
