// The changes of one run in the order they are made.
#include "RunSteps.h"

#include "NameRules.h"

#include <unordered_map>

namespace {

std::wstring NameKey(std::int32_t folder, std::wstring_view name)
{
    std::wstring key = FoldedName(name);
    key += L'|';
    key += std::to_wstring(folder);
    return key;
}

std::wstring_view FolderPart(std::wstring_view path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

struct StepOrder {
    const RunPlan& plan;
    const std::wstring& temporaryTag;
    std::wstring rootPrefix; // the chosen folder without a trailing backslash
    std::vector<RunStep> steps;
    std::vector<std::wstring> folderNow; // a folder entry's path once its own steps are ordered
    std::vector<std::wstring> parkedAt;  // an entry moved aside to break a cycle
    std::vector<bool> done;

    const PlannedEntry& Entry(std::int32_t i) const { return plan.entries[static_cast<size_t>(i)]; }

    std::wstring CurrentPath(std::int32_t i) const
    {
        const PlannedEntry& entry = Entry(i);
        if (entry.parent >= 0) {
            std::wstring path = folderNow[static_cast<size_t>(entry.parent)];
            path += L'\\';
            path += entry.Name();
            return path;
        }
        return rootPrefix + entry.path.substr(1);
    }

    std::wstring TemporaryPath(std::wstring_view inPath, std::int32_t i) const
    {
        std::wstring path(FolderPart(inPath));
        path += L"\\~nomaro-" + temporaryTag + L"-" + std::to_wstring(i) + L".tmp";
        return path;
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
        std::wstring newPath(FolderPart(path));
        newPath += L'\\';
        newPath += Entry(i).newName;
        return newPath;
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
        if (!parkedAt[static_cast<size_t>(i)].empty()) {
            const std::wstring& parked = parkedAt[static_cast<size_t>(i)];
            Add(StepKind::Move, i, parked, NewPath(parked, i));
            return;
        }
        std::wstring path = CurrentPath(i);
        AddFirstSteps(i, path);
        if (!entry.Renames()) {
            if (entry.isFolder)
                folderNow[static_cast<size_t>(i)] = std::move(path);
            return;
        }
        std::wstring newPath = NewPath(path, i);
        std::wstring temporary;
        if (FoldedName(entry.newName) == FoldedName(entry.Name()))
            temporary = TemporaryPath(path, i);
        Add(StepKind::Move, i, path, newPath, std::move(temporary));
        if (entry.isFolder)
            folderNow[static_cast<size_t>(i)] = std::move(newPath);
    }

    // Moves the entry to a temporary name, so that the entry waiting for its name can move.
    void Park(std::int32_t i)
    {
        std::wstring path = CurrentPath(i);
        AddFirstSteps(i, path);
        std::wstring temporary = TemporaryPath(path, i);
        Add(StepKind::Move, i, path, temporary);
        parkedAt[static_cast<size_t>(i)] = std::move(temporary);
    }
};

} // namespace

std::vector<RunStep> OrderRunSteps(const RunPlan& plan, const std::wstring& temporaryTag)
{
    const size_t count = plan.entries.size();
    StepOrder order{plan, temporaryTag, plan.root, {}, std::vector<std::wstring>(count), std::vector<std::wstring>(count),
                    std::vector<bool>(count, false)};
    if (order.rootPrefix.size() > 1 && order.rootPrefix.back() == L'\\')
        order.rootPrefix.pop_back();

    // Who holds each name that an entry gives up in this run.
    std::unordered_map<std::wstring, std::int32_t> leaving;
    for (size_t i = 0; i < count; ++i) {
        const PlannedEntry& entry = plan.entries[i];
        if (entry.Renames() && FoldedName(entry.newName) != FoldedName(entry.Name()))
            leaving.emplace(NameKey(entry.folder, entry.Name()), static_cast<std::int32_t>(i));
    }
    std::vector<std::int32_t> waitsFor(count, -1);
    for (size_t i = 0; i < count; ++i) {
        const PlannedEntry& entry = plan.entries[i];
        if (!entry.Renames())
            continue;
        auto holder = leaving.find(NameKey(entry.folder, entry.newName));
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
