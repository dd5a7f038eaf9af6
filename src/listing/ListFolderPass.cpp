// One pass over one folder of a listing: its subfolders with their subtrees, or its files.
#include "ListFolderPass.h"

#include "ListingFormat.h"
#include "base/FolderReader.h"
#include "base/FolderWalk.h"
#include "base/Win32Text.h"

#include <vector>

namespace {

// Both passes take the attributes as the walk does, so that they agree on what is a folder and
// every entry gets exactly one line. A query that fails yields all bits, so an entry that cannot be
// reached by its path counts as a folder.
bool IsFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void WriteLine(ListingOutput& output, const std::string& lead, std::wstring_view name, const std::string& tail, bool plain)
{
    output.Write(lead);
    output.Write(ToAnsi(plain ? std::wstring(name) : EscapeRtfName(name)));
    output.Write(tail);
}

void ListFiles(const std::wstring& folder, ListingOutput& output, int depth, bool plain)
{
    if (output.Failed())
        return;
    FolderReader entries(folder);
    ListingLineParts parts = BuildListingLineParts(depth, plain);
    while (!output.Failed() && entries.Next()) {
        if (!IsFolder(WalkAttributes(folder, entries.Name(), entries.Attributes(), false)))
            WriteLine(output, parts.fileLead, entries.Name(), parts.fileTail, plain);
    }
}

// The walk keeps its own stack, so a tree as deep as paths allow cannot overflow the thread's
// stack, and a link back to a folder on the walk path is listed but not entered again. Each folder
// below the start is enumerated once: its file names wait, one folder's worth per level of the
// walk path, until its subfolders' trees are written; a second enumeration would cost a second
// read of every folder.
void ListFolders(const std::wstring& folder, ListingOutput& output, int depth, bool plain)
{
    struct Level {
        ListingLineParts parts; // built once per folder
        std::vector<std::wstring> files;
    };
    std::vector<Level> levels;
    FolderWalk walk;
    walk.attributesByPath = false;
    walk.onFolderVisit = [&](const std::wstring&, int walkDepth) {
        levels.push_back(Level{BuildListingLineParts(depth + walkDepth, plain), {}});
    };
    walk.onEntry = [&](const WalkEntry& entry) {
        // A listing that can no longer be written whole is not walked any further.
        if (output.Failed())
            return false;
        Level& level = levels.back();
        if (!IsFolder(entry.attributes)) {
            // The starting folder's own files are its caller's files pass.
            if (entry.depth > 0)
                level.files.emplace_back(entry.name);
            return false;
        }
        WriteLine(output, level.parts.folderLead, entry.name, level.parts.folderTail, plain);
        return true;
    };
    walk.onFolderDone = [&](const std::wstring&, int) {
        const Level& level = levels.back();
        for (size_t i = 0; i < level.files.size() && !output.Failed(); ++i)
            WriteLine(output, level.parts.fileLead, level.files[i], level.parts.fileTail, plain);
        levels.pop_back();
    };
    RunFolderWalk(folder, walk);
}

} // namespace

void ListFolderPass(const std::wstring& folder, ListingOutput& output, int depth, ListingPass pass, bool plain)
{
    if (pass == ListingPass::Folders)
        ListFolders(folder, output, depth, plain);
    else
        ListFiles(folder, output, depth, plain);
}
