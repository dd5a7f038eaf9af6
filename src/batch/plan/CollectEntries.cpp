// The walk of a run: the entries it works on, in collection order, and every other name the
// tree holds, which stays taken.
#include "CollectEntries.h"

#include "AsciiCase.h"
#include "ExtendedPath.h"
#include "FolderReader.h"
#include "FolderWalk.h"
#include "HistoryStore.h"
#include "PathParts.h"

#include <unordered_map>

static constexpr wchar_t kExtensionSeparators[] = L" ,";
// How often the walk lets windows repaint. An empty message pump costs Wine about a tenth of a
// millisecond, as much as walking a small folder; at this rate the windows stay responsive and
// the pumps cost a walk nothing worth measuring.
static constexpr ULONGLONG kKeepAliveIntervalMs = 10;

// The extensions of an extension list text, in the order written, between runs of separators.
static std::vector<std::wstring> ExtensionTokens(const std::wstring& extensions)
{
    std::vector<std::wstring> tokens;
    for (size_t begin = extensions.find_first_not_of(kExtensionSeparators); begin != std::wstring::npos;) {
        size_t end = extensions.find_first_of(kExtensionSeparators, begin);
        tokens.push_back(extensions.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin));
        begin = extensions.find_first_not_of(kExtensionSeparators, end);
    }
    return tokens;
}

static bool ExtensionMatches(std::wstring_view name, const std::wstring& extension)
{
    std::wstring_view::size_type dot = name.find_last_of(L'.');
    return dot != std::wstring_view::npos && EqualsAsciiNoCase(name.substr(dot + 1), extension);
}

static void FillFromWalk(PlannedEntry& entry, const WalkEntry& found)
{
    entry.attributes = found.attributes;
    entry.isFolder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = found.size;
    entry.lastWrite = found.lastWrite;
    entry.volume = found.volume;
}

// ".\Sub\Name.txt" for the path "root\Sub\Name.txt", made in one allocation.
static std::wstring RelativePath(const std::wstring& path, size_t rootLength)
{
    std::wstring relative;
    relative.reserve(1 + path.size() - rootLength);
    relative.push_back(L'.');
    relative.append(path, rootLength, std::wstring::npos);
    return relative;
}

namespace {

// One walk over the tree; the state that ties entries to their folders.
struct TreeWalk {
    const RunOptions& options;
    PathList* exclusions;
    const std::function<void()>& keepAlive;
    std::wstring walkRoot;
    CollectedTree& tree;
    TreeNames& names;
    bool firstPass;
    const std::wstring* extension;

    std::unordered_map<std::wstring, std::int32_t>& folderNumbers;
    std::vector<std::int32_t> levelFolder;    // the folder number at each depth of the walk path
    std::vector<std::int32_t> levelPlanIndex; // the plan index of the folder at each depth, or -1
    std::int32_t enteringPlanIndex = -1;      // the folder entry the walk is about to enter
    ULONGLONG lastKeptAlive = 0;

    bool Numbering() const { return options.mode == ModeNumber; }

    void Collect(const WalkEntry& found, std::int32_t folder, std::int32_t parent)
    {
        PlannedEntry& entry = tree.plan.entries.emplace_back();
        FillFromWalk(entry, found);
        entry.name = names.AddName(found.name);
        entry.folder = folder;
        entry.parent = parent;
        ++tree.plan.progressTotal;
    }

    void OnFolderVisit(const std::wstring& path, int depth)
    {
        ULONGLONG now = keepAlive ? GetTickCount64() : 0;
        if (keepAlive && now - lastKeptAlive >= kKeepAliveIntervalMs) {
            keepAlive();
            lastKeptAlive = now;
        }
        if (!Numbering())
            ++tree.plan.progressTotal;
        auto inserted = folderNumbers.emplace(path, static_cast<std::int32_t>(folderNumbers.size()));
        // A folder met again (the walk of a second extension) keeps its number; the chosen folder
        // is the names' folder 0 already.
        if (inserted.second && depth > 0)
            names.AddFolder(levelFolder[static_cast<size_t>(depth) - 1], LastComponent(path));
        levelFolder.resize(static_cast<size_t>(depth) + 1);
        levelPlanIndex.resize(static_cast<size_t>(depth) + 1);
        levelFolder[static_cast<size_t>(depth)] = inserted.first->second;
        levelPlanIndex[static_cast<size_t>(depth)] = enteringPlanIndex;
    }

    bool OnEntry(const WalkEntry& found)
    {
        std::int32_t folder = levelFolder[static_cast<size_t>(found.depth)];
        std::int32_t parent = levelPlanIndex[static_cast<size_t>(found.depth)];
        if (Numbering())
            return OnNumberingEntry(found, folder);
        Collect(found, folder, parent);
        enteringPlanIndex = static_cast<std::int32_t>(tree.plan.entries.size()) - 1;
        return (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    // A file is numbered unless it is hidden or system, by the attributes its folder's listing
    // gave: reading them again by its path would cost a look-up per file and tell nothing new (a
    // name no path can carry is read by its path by the walk, and yields all bits).
    bool OnNumberingEntry(const WalkEntry& found, std::int32_t folder)
    {
        enteringPlanIndex = -1;
        bool isFolder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool wanted = !isFolder && !(found.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
                      (!extension || ExtensionMatches(found.name, *extension)) &&
                      // A tree that holds the start folder must not have the history's own files renamed.
                      !(options.history && IsHistoryDataFile(*options.history, found.path));
        if (wanted && exclusions)
            wanted = !Contains(exclusions, RelativePath(found.path, walkRoot.size()));
        if (wanted) {
            PlannedEntry& entry = tree.plan.entries.emplace_back();
            FillFromWalk(entry, found);
            entry.name = names.AddName(found.name);
            entry.folder = folder;
            ++tree.plan.progressTotal;
        } else if (firstPass) {
            tree.held.push_back(HeldName{folder, std::wstring(found.name)});
        }
        return isFolder;
    }
};

} // namespace

static std::wstring WalkRoot(const std::wstring& root)
{
    // A drive's root is walked as "\\?\C:" so that entries become "\\?\C:\name", not "C:\\name".
    return root.size() > 1 && root.back() == L'\\' ? root.substr(0, root.size() - 1) : root;
}

CollectedTree CollectEntries(const std::wstring& root, const RunOptions& options, PathList* exclusions,
                             const std::function<void()>& keepAlive, const std::function<void()>& afterEntry)
{
    CollectedTree tree;
    auto names = std::make_shared<TreeNames>();
    tree.plan.names = names;
    tree.plan.mode = options.mode;
    // Every entry's exact path is this root, a backslash and its path below it.
    tree.plan.root = WalkRoot(root);
    if (options.mode != ModeNumber)
        ++tree.plan.progressTotal;

    std::vector<std::wstring> tokens;
    if (options.mode == ModeNumber)
        tokens = ExtensionTokens(options.extensions);
    std::unordered_map<std::wstring, std::int32_t> folderNumbers;
    size_t passes = tokens.empty() ? 1 : tokens.size();
    for (size_t pass = 0; pass < passes; ++pass) {
        TreeWalk state{options, exclusions, keepAlive, tree.plan.root, tree, *names, pass == 0,
                       tokens.empty() ? nullptr : &tokens[pass], folderNumbers, {}, {}, -1};
        FolderWalk walk;
        walk.onFolderVisit = [&state](const std::wstring& path, int depth) { state.OnFolderVisit(path, depth); };
        walk.onEntry = [&state, &afterEntry](const WalkEntry& found) {
            bool enter = state.OnEntry(found);
            if (afterEntry)
                afterEntry();
            return enter;
        };
        // The listing's attributes serve: they are the ones a read by path gives, and the read-only
        // steps read each marked entry by its path again right before clearing the mark.
        walk.attributesByPath = false;
        RunFolderWalk(state.walkRoot, walk);
    }
    return tree;
}

CollectedTree CollectOneFile(const std::wstring& filePath)
{
    CollectedTree tree;
    tree.plan.names = std::make_shared<TreeNames>();
    tree.plan.root = FolderPart(filePath);
    tree.plan.progressTotal = 1;
    std::wstring name(LastComponent(filePath));
    auto addEntry = [&tree, &name](const WalkEntry& listed) {
        PlannedEntry& entry = tree.plan.entries.emplace_back();
        FillFromWalk(entry, listed);
        entry.name = tree.plan.names->AddName(name);
    };

    // The file's neighbours hold names too: one may bear its new spelling already.
    FolderReader neighbours(tree.plan.root);
    bool seen = false;
    while (neighbours.Next()) {
        if (!seen && neighbours.Name() == name) {
            seen = true;
            DWORD attributes = GetFileAttributesW(filePath.c_str());
            WalkEntry listed{filePath, name, attributes, neighbours.Size(), neighbours.LastWrite(), 0, 0};
            addEntry(listed);
        } else {
            tree.held.push_back(HeldName{0, std::wstring(neighbours.Name())});
        }
    }
    if (!seen) {
        DWORD attributes = GetFileAttributesW(filePath.c_str());
        addEntry(WalkEntry{filePath, name, attributes, 0, FILETIME{}, 0, 0});
    }
    return tree;
}
