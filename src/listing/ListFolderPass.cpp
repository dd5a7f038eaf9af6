// One pass over one folder of a listing: its subfolders with their subtrees, or its files.
#include "ListFolderPass.h"

#include "ListingFormat.h"
#include "FolderReader.h"
#include "FolderWalk.h"
#include "Win32Text.h"

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

// The name a file of folder is listed under: its own, or for the listing's temporary file the
// name it is about to take (empty: not listed).
std::wstring_view ListedName(const ListingSelf& self, const std::wstring& folder, std::wstring_view name)
{
    if (self.temporaryName.empty() || name.size() != self.temporaryName.size() ||
        CompareStringOrdinal(name.data(), static_cast<int>(name.size()), self.temporaryName.data(),
                             static_cast<int>(self.temporaryName.size()), TRUE) != CSTR_EQUAL ||
        CompareStringOrdinal(folder.data(), static_cast<int>(folder.size()), self.folder.data(),
                             static_cast<int>(self.folder.size()), TRUE) != CSTR_EQUAL)
        return name;
    return self.replacesOlder ? std::wstring_view() : std::wstring_view(self.finalName);
}

void WriteFileLine(ListingOutput& output, const ListingLineParts& parts, std::wstring_view name, bool plain)
{
    if (!name.empty())
        WriteLine(output, parts.fileLead, name, parts.fileTail, plain);
}

void ListFiles(const std::wstring& folder, ListingOutput& output, int depth, bool plain, const ListingSelf& self)
{
    if (output.Failed())
        return;
    FolderReader entries(folder);
    ListingLineParts parts = BuildListingLineParts(depth, plain);
    while (!output.Failed() && entries.Next()) {
        if (!IsFolder(WalkAttributes(folder, entries.Name(), entries.Attributes(), false)))
            WriteFileLine(output, parts, ListedName(self, folder, entries.Name()), plain);
    }
}

// The walk keeps its own stack, so a tree as deep as paths allow cannot overflow the thread's
// stack, and a link back to a folder on the walk path is listed but not entered again. Each folder
// below the start is enumerated once: its file names wait, one folder's worth per level of the
// walk path, until its subfolders' trees are written; a second enumeration would cost a second
// read of every folder.
void ListFolders(const std::wstring& folder, ListingOutput& output, int depth, bool plain, const ListingSelf& self)
{
    struct Level {
        ListingLineParts parts; // built once per folder
        std::vector<std::wstring> files;
        std::wstring folder; // a copy: the walk's own strings move as its stack grows
    };
    std::vector<Level> levels;
    FolderWalk walk;
    walk.attributesByPath = false;
    walk.onFolderVisit = [&](const std::wstring& visited, int walkDepth) {
        levels.push_back(Level{BuildListingLineParts(depth + walkDepth, plain), {}, visited});
    };
    walk.onEntry = [&](const WalkEntry& entry) {
        // A listing that can no longer be written whole is not walked any further.
        if (output.Failed())
            return false;
        Level& level = levels.back();
        if (!IsFolder(entry.attributes)) {
            // The starting folder's own files are its caller's files pass.
            if (entry.depth > 0) {
                std::wstring_view listed = ListedName(self, level.folder, entry.name);
                if (!listed.empty())
                    level.files.emplace_back(listed);
            }
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

void ListFolderPass(const std::wstring& folder, ListingOutput& output, int depth, ListingPass pass, bool plain,
                    const ListingSelf& self)
{
    if (pass == ListingPass::Folders)
        ListFolders(folder, output, depth, plain, self);
    else
        ListFiles(folder, output, depth, plain, self);
}
