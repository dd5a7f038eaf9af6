// What the undo journal adds to a run: writes and completes the journal of lower-casing a
// generated tree (one durable write before the run, one rewrite after it) and sets its time
// beside that of lower-casing the same tree; and the memory the plan takes and the journal adds.
//   journal_bench [SCRATCH_FOLDER] [ENTRIES...]   (default sizes: 10000 100000)
#include "BatchRun.h"
#include "CollectEntries.h"
#include "ExtendedPath.h"
#include "PlanRun.h"
#include "RunJournal.h"

#include "BenchSupport.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The plan and steps of lower-casing the tree: folders before their contents, whose paths then
// spell the folders' new names, as the engine orders them.
// The plan and the ordered steps the engine makes for lower-casing the tree.
void PlanLowerCase(const std::wstring& root, RunPlan& plan, std::vector<RunStep>& steps)
{
    RunOptions options;
    options.mode = ModeLower;
    std::wstring exact = ExtendedLengthPath(root);
    plan = PlanRun(CollectEntries(exact, options, nullptr, false), options);
    steps = OrderRunSteps(plan, L"bench");
}

double FileMegabytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((static_cast<double>(data.nFileSizeHigh) * 4294967296.0) + data.nFileSizeLow) / (1024.0 * 1024.0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring scratch = argc > 1 ? argv[1] : std::wstring(temp) + L"nomaro-journal-bench";
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(_wtoi(argv[i]));
    if (sizes.empty())
        sizes = {10000, 100000};

    std::printf("%10s %12s %10s %10s %10s %10s %16s %16s\n", "entries", "journal MiB", "begin ms", "end ms", "run s",
                "journal %", "peak MiB: plan", "plan+journal");
    for (int size : sizes) {
        std::wstring root = scratch + L"\\tree-" + std::to_wstring(size);
        std::wstring journals = scratch + L"\\journals";
        RemoveTree(root);
        RemoveTree(journals);
        CreateDirectoryW(scratch.c_str(), nullptr);
        if (MakeCaseTree(root, size) != size) {
            std::fprintf(stderr, "could not make %d entries under %ls\n", size, root.c_str());
            return 1;
        }
        RunPlan plan;
        std::vector<RunStep> steps;
        PlanLowerCase(root, plan, steps);
        double planned = PeakMegabytes();
        RunJournalContext context;
        context.journalFolder = journals;
        RunJournal journal;

        LARGE_INTEGER start, begun, ran, ended;
        QueryPerformanceCounter(&start);
        if (!BeginRunJournal(plan, steps, context, journal)) {
            std::fprintf(stderr, "the journal could not be written\n");
            return 1;
        }
        QueryPerformanceCounter(&begun);
        double journaled = PeakMegabytes();
        CurrentMode = ModeLower;
        BatchRun(nullptr, root);
        QueryPerformanceCounter(&ran);
        std::vector<StepResult> results(steps.size());
        for (StepResult& result : results)
            result.outcome = StepOutcome::Done;
        EndRunJournal(journal, plan, steps, results);
        QueryPerformanceCounter(&ended);

        double begin = Seconds(start, begun);
        double run = Seconds(begun, ran);
        double end = Seconds(ran, ended);
        std::printf("%10d %12.1f %10.0f %10.0f %10.2f %10.1f %16.1f %16.1f\n", size, FileMegabytes(journal.path),
                    begin * 1000, end * 1000, run, (begin + end) * 100 / run, planned, journaled);
        std::fflush(stdout);
        RemoveTree(root);
        RemoveTree(journals);
    }
    RemoveDirectoryW(scratch.c_str());
    return 0;
}
