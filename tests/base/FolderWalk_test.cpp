// The walk visits a folder before its contents, never revisits a folder on its own path
// and survives trees deeper than a recursive walk's stack would allow.
#include "FolderWalk.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {
std::vector<std::wstring> WalkOrder(const std::wstring& root)
{
    std::vector<std::wstring> order;
    FolderWalk walk;
    walk.onEntry = [&](const WalkEntry& entry) {
        order.push_back(entry.path.substr(root.size()));
        return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    };
    RunFolderWalk(root, walk);
    return order;
}
} // namespace

TEST(FolderWalk, FolderComesBeforeItsContentsAndDotEntriesAreSkipped)
{
    TempFolder root;
    root.WriteFile(L"A\\x.txt");
    root.WriteFile(L"A\\B\\y.txt");
    std::vector<std::wstring> order = WalkOrder(root.path());
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], L"\\A");
    // Within A, B and x.txt come in enumeration order, but B always precedes y.txt.
    auto position = [&](const std::wstring& p) { return std::find(order.begin(), order.end(), p) - order.begin(); };
    EXPECT_LT(position(L"\\A\\B"), position(L"\\A\\B\\y.txt"));
    EXPECT_LT(position(L"\\A"), position(L"\\A\\x.txt"));
}

TEST(FolderWalk, VisitAndDoneCallsPairUpWithDepths)
{
    TempFolder root;
    root.WriteFile(L"A\\B\\y.txt");
    std::vector<std::pair<std::wstring, int>> events;
    FolderWalk walk;
    walk.onFolderVisit = [&](const std::wstring& folder, int depth) { events.push_back({L"visit " + folder.substr(root.path().size()), depth}); };
    walk.onEntry = [](const WalkEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; };
    walk.onFolderDone = [&](const std::wstring& folder, int depth) { events.push_back({L"done " + folder.substr(root.path().size()), depth}); };
    RunFolderWalk(root.path(), walk);
    std::vector<std::pair<std::wstring, int>> expected = {
        {L"visit ", 0}, {L"visit \\A", 1}, {L"visit \\A\\B", 2}, {L"done \\A\\B", 2}, {L"done \\A", 1}, {L"done ", 0}};
    EXPECT_EQ(events, expected);
}

TEST(FolderWalk, MissingRootContributesNothing)
{
    TempFolder root;
    EXPECT_TRUE(WalkOrder(root / L"missing").empty());
}

TEST(FolderWalk, LinkBackToAnAncestorIsReportedButNotEntered)
{
    TempFolder scratch;
    std::wstring root = FolderWithLinkBack(scratch);
    if (root.empty())
        GTEST_SKIP() << "no link to an ancestor folder can be made here";
    std::vector<std::wstring> order = WalkOrder(root);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"\\A", L"\\A\\up"}));
}

namespace {
struct DeepWalk {
    std::wstring root;
    int deepest = 0;
};

DWORD WINAPI WalkDeepTree(void* parameter)
{
    auto* c = static_cast<DeepWalk*>(parameter);
    FolderWalk walk;
    walk.onEntry = [c](const WalkEntry& entry) {
        c->deepest = std::max(c->deepest, entry.depth);
        return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    };
    RunFolderWalk(c->root, walk);
    return 0;
}
} // namespace

TEST(FolderWalk, DeepTreeDoesNotOverflowTheStack)
{
    // A walk in a thread with a small stack: a recursive walk holding a find record
    // per level would overflow it long before 400 levels.
    TempFolder root;
    std::wstring path = root.path();
    const int levels = 400;
    for (int i = 0; i < levels; ++i) {
        path += L"\\d";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr)) << i;
    }
    DeepWalk context{L"\\\\?\\" + root.path(), 0};
    HANDLE thread = CreateThread(nullptr, 64 * 1024, WalkDeepTree, &context, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, 60000);
    CloseHandle(thread);
    EXPECT_EQ(context.deepest, levels - 1);
    RemoveTree(L"\\\\?\\" + root.path());
}
