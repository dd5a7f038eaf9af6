// Lower-cases generated trees of growing size and prints the time per entry, so that a step that
// grows faster than the tree shows up as a rising figure.
//   lower_tree_bench [SCRATCH_FOLDER] [ENTRIES...]   (default sizes: 25000 50000 100000)
#include "BatchRun.h"
#include "OperationMode.h"

#include "BenchSupport.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring scratch = argc > 1 ? argv[1] : std::wstring(temp) + L"nomaro-bench";
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(_wtoi(argv[i]));
    if (sizes.empty())
        sizes = {25000, 50000, 100000};

    std::printf("%10s %10s %12s %12s %14s\n", "entries", "seconds", "us/entry", "entries/s", "peak MiB");
    for (int size : sizes) {
        std::wstring root = scratch + L"\\tree-" + std::to_wstring(size);
        RemoveTree(root);
        CreateDirectoryW(scratch.c_str(), nullptr);
        int made = MakeCaseTree(root, size);
        if (made != size) {
            std::fprintf(stderr, "could only make %d of %d entries under %ls\n", made, size, root.c_str());
            return 1;
        }
        CurrentMode = ModeLower;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        BatchRun(nullptr, root);
        QueryPerformanceCounter(&end);
        double seconds = Seconds(start, end);
        bool lowered = GetFileAttributesW((root + L"\\group 0\\folder 0\\photo_1.jpg").c_str()) != INVALID_FILE_ATTRIBUTES;
        std::printf("%10d %10.2f %12.1f %12.0f %14.1f%s\n", size, seconds, seconds * 1e6 / size, size / seconds,
                    PeakMegabytes(), lowered ? "" : "  (NOT lowered!)");
        std::fflush(stdout);
        RemoveTree(root);
    }
    RemoveDirectoryW(scratch.c_str());
    return 0;
}
