// Plan entries made by hand for tests.
#include "HandPlan.h"

#include <memory>

// The folder named name inside parent, made when the plan has none yet.
static std::int32_t FolderIn(TreeNames& names, std::int32_t parent, std::wstring_view name)
{
    for (size_t f = 1; f < names.FolderCount(); ++f) {
        std::int32_t folder = static_cast<std::int32_t>(f);
        if (names.ParentOf(folder) == parent && names.FolderName(folder) == name)
            return folder;
    }
    return names.AddFolder(parent, name);
}

PlannedEntry& AddPlannedEntry(RunPlan& plan, std::wstring_view path)
{
    if (!plan.names)
        plan.names = std::make_shared<TreeNames>();
    std::int32_t folder = 0;
    size_t start = path.find(L'\\') + 1; // past ".\"
    for (size_t slash = path.find(L'\\', start); slash != std::wstring_view::npos; slash = path.find(L'\\', start)) {
        folder = FolderIn(*plan.names, folder, path.substr(start, slash - start));
        start = slash + 1;
    }
    PlannedEntry& entry = plan.entries.emplace_back();
    entry.folder = folder;
    entry.name = plan.names->AddName(path.substr(start));
    return entry;
}
