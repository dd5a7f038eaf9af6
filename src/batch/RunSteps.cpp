// The changes of one run in the order they are made.
#include "RunSteps.h"

#include "FolderWalk.h"
#include "NameRules.h"

#include <unordered_map>

namespace {

std::wstring_view FolderPart(std::wstring_view path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

struct StepOrder {
    const RunPlan& plan;
    const std::wstring& temporaryTag;
    std::wstring rootPrefix; // the chosen folder without a trailing backslash
    std::vector<RunStep> steps;
    // Only folders and parked entries have these: a run of 100,000 entries holds every step's
    // paths at once, so nothing else is kept per entry. Every path is made at its exact size.
    std::unordered_map<std::int32_t, std::wstring> folderNow; // a folder's path once its own steps are ordered
    std::unordered_map<std::int32_t, std::wstring> parkedAt;  // an entry moved aside to break a cycle
    std::vector<bool> done;

    const PlannedEntry& Entry(std::int32_t i) const { return plan.entries[static_cast<size_t>(i)]; }

    std::wstring CurrentPath(std::int32_t i) const
    {
        const PlannedEntry& entry = Entry(i);
        // A folder is ordered before its contents, which lie under its new name then.
        auto folder = entry.parent >= 0 ? folderNow.find(entry.parent) : folderNow.end();
        if (folder != folderNow.end())
            return JoinPath(folder->second, entry.Name());
        std::wstring path;
        path.reserve(rootPrefix.size() + entry.path.size() - 1);
        return path.append(rootPrefix).append(entry.path, 1, std::wstring::npos);
    }

    std::wstring TemporaryPath(std::wstring_view inPath, std::int32_t i) const
    {
        return JoinPath(FolderPart(inPath), L"~nomaro-" + temporaryTag + L"-" + std::to_wstring(i) + L".tmp");
    }

    void Add(StepKind kind, std::int32_t i, const std::wstring& path, std::wstring newPath = {}, std::wstring temporary = {})
    {
        RunStep step;
        step.kind = kind;
        step.entry = i;
        step.path = path;
        step.newPath = std::move(newPath);
        step.temporaryPath = std::move(temporary);
        step.attributes = Entry(i).attributes;
        steps.push_back(std::move(step));
    }

    std::wstring NewPath(const std::wstring& path, std::int32_t i) const
    {
        return JoinPath(FolderPart(path), Entry(i).newName);
    }

    // The steps that come before the entry's move: both are made under its old name.
    void AddFirstSteps(std::int32_t i, const std::wstring& path)
    {
        if (Entry(i).clearReadOnly)
            Add(StepKind::ClearReadOnly, i, path);
        if (Entry(i).writeTag)
            Add(StepKind::WriteTag, i, path);
    }

    void Order(std::int32_t i)
    {
        const PlannedEntry& entry = Entry(i);
        done[static_cast<size_t>(i)] = true;
        auto parked = parkedAt.find(i);
        if (parked != parkedAt.end()) {
            Add(StepKind::Move, i, parked->second, NewPath(parked->second, i));
            parkedAt.erase(parked);
            return;
        }
        std::wstring path = CurrentPath(i);
        AddFirstSteps(i, path);
        if (!entry.Renames()) {
            if (entry.isFolder)
                folderNow[i] = std::move(path);
            return;
        }
        std::wstring newPath = NewPath(path, i);
        std::wstring temporary;
        if (EqualsFolded(entry.newName, entry.Name()))
            temporary = TemporaryPath(path, i);
        Add(StepKind::Move, i, path, newPath, std::move(temporary));
        if (entry.isFolder)
            folderNow[i] = std::move(newPath);
    }

    // Moves the entry to a temporary name, so that the entry waiting for its name can move.
    void Park(std::int32_t i)
    {
        std::wstring path = CurrentPath(i);
        AddFirstSteps(i, path);
        std::wstring temporary = TemporaryPath(path, i);
        Add(StepKind::Move, i, path, temporary);
        parkedAt[i] = std::move(temporary);
    }
};

} // namespace

std::vector<RunStep> OrderRunSteps(const RunPlan& plan, const std::wstring& temporaryTag)
{
    const size_t count = plan.entries.size();
    StepOrder order{plan, temporaryTag, plan.root, {}, {}, {}, std::vector<bool>(count, false)};
    if (order.rootPrefix.size() > 1 && order.rootPrefix.back() == L'\\')
        order.rootPrefix.pop_back();
    size_t stepCount = 0;
    for (const PlannedEntry& entry : plan.entries)
        stepCount += (entry.clearReadOnly ? 1 : 0) + (entry.writeTag ? 1 : 0) + (entry.Renames() ? 1 : 0);
    order.steps.reserve(stepCount); // a broken cycle adds a step for each of its heads

    // Who holds each name that an entry gives up in this run.
    std::unordered_map<FolderName, std::int32_t, FolderNameHash> leaving;
    for (size_t i = 0; i < count; ++i) {
        const PlannedEntry& entry = plan.entries[i];
        if (entry.Renames() && !EqualsFolded(entry.newName, entry.Name()))
            leaving.emplace(MakeFolderName(entry.folder, entry.Name()), static_cast<std::int32_t>(i));
    }
    std::vector<std::int32_t> waitsFor(count, -1);
    for (size_t i = 0; i < count && !leaving.empty(); ++i) {
        const PlannedEntry& entry = plan.entries[i];
        if (!entry.Renames())
            continue;
        auto holder = leaving.find(MakeFolderName(entry.folder, entry.newName));
        if (holder != leaving.end() && holder->second != static_cast<std::int32_t>(i))
            waitsFor[i] = holder->second;
    }

    // Follows each chain of waiting entries to its end without recursion: a renumbered folder
    // of many thousand files is one long chain.
    std::vector<bool> onChain(count, false);
    std::vector<std::int32_t> chain;
    for (size_t start = 0; start < count; ++start) {
        if (order.done[start])
            continue;
        std::int32_t current = static_cast<std::int32_t>(start);
        for (;;) {
            std::int32_t next = waitsFor[static_cast<size_t>(current)];
            if (next < 0 || order.done[static_cast<size_t>(next)] || onChain[static_cast<size_t>(next)])
                break;
            chain.push_back(current);
            onChain[static_cast<size_t>(current)] = true;
            current = next;
        }
        std::int32_t next = waitsFor[static_cast<size_t>(current)];
        std::int32_t cycleHead = -1;
        if (next >= 0 && onChain[static_cast<size_t>(next)]) {
            order.Park(current);
            cycleHead = next;
        } else {
            order.Order(current);
        }
        while (!chain.empty()) {
            std::int32_t waiting = chain.back();
            chain.pop_back();
            onChain[static_cast<size_t>(waiting)] = false;
            order.Order(waiting);
            if (waiting == cycleHead)
                order.Order(current); // the parked entry takes the name the cycle's head gave up
        }
    }
    return std::move(order.steps);
}
