// The Find and Replace planner's thread, told of finished plans by a plain callback: only the
// newest request's plan is handed over, a runaway expression gives way to the next request, and
// the thread ends with its owner.
#include "ReplacePlanner.h"

#include "HandPlan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A collected tree of files in the chosen folder, named as given.
std::shared_ptr<const RunPlan> Files(const std::vector<std::wstring>& names)
{
    auto plan = std::make_shared<RunPlan>();
    plan->mode = ModeFindReplace;
    plan->root = L"\\\\?\\C:\\T";
    for (const std::wstring& name : names)
        AddPlannedEntry(*plan, L".\\" + name).attributes = FILE_ATTRIBUTE_ARCHIVE;
    return plan;
}

ReplaceRule Rule(const std::wstring& search, const std::wstring& replacement, bool regex = false)
{
    ReplaceRule rule;
    rule.search = search;
    rule.replacement = replacement;
    rule.regex = regex;
    return rule;
}

// Counts the planner's calls of ready, which come on its own thread.
class ReadyCount {
public:
    std::function<void()> Callback()
    {
        return [this] {
            std::lock_guard<std::mutex> lock(mutex_);
            ++count_;
            changed_.notify_all();
        };
    }
    // Waits until ready has been called more than seen times; false after a timeout.
    bool WaitPast(int seen, std::chrono::milliseconds timeout = 20s)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return count_ > seen; });
    }
    int Count()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

std::wstring FirstNewName(const ReplacePlanner::Result& result)
{
    return result.plan && !result.plan->entries.empty() ? result.plan->NewNameOf(result.plan->entries[0]) : L"(no plan)";
}

// (a*)*b over a name of forty a's would take longer than anyone waits, unless it is stopped.
const std::wstring kRunawayName = std::wstring(40, L'a');
const ReplaceRule kRunaway = Rule(L"(a*)*b", L"x", true);

} // namespace

TEST(ReplacePlanner, EachRequestWaitedForGetsItsOwnPlanInTurn)
{
    ReadyCount ready;
    ReplacePlanner planner(ready.Callback());
    planner.SetTree(Files({L"photo.jpg", L"note.txt"}));
    const struct {
        ReplaceRule rule;
        std::wstring firstName;
        std::wstring error;
    } requests[] = {
        {Rule(L"photo", L"Bild"), L"Bild.jpg", L""},
        {Rule(L"o", L"0"), L"ph0t0.jpg", L""},
        {Rule(L"(", L"x", true), L"(no plan)", L"Not a valid regular expression: "},
        {Rule(L"", L""), L"photo.jpg", L""},
    };
    for (const auto& request : requests) {
        int seen = ready.Count();
        planner.Request(request.rule, ReplaceSelection());
        ASSERT_TRUE(ready.WaitPast(seen));
        std::optional<ReplacePlanner::Result> result = planner.TakeResult();
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(FirstNewName(*result), request.firstName);
        EXPECT_EQ(result->error.substr(0, request.error.size()), request.error);
        EXPECT_EQ(result->plan->root, L"\\\\?\\C:\\T");
        // Handed over once.
        EXPECT_FALSE(planner.TakeResult().has_value());
    }
}

TEST(ReplacePlanner, OnlyTheNewestOfManyRequestsIsHandedOver)
{
    ReadyCount ready;
    ReplacePlanner planner(ready.Callback());
    std::vector<std::wstring> names;
    for (int i = 0; i < 2000; ++i)
        names.push_back(L"file" + std::to_wstring(i) + L".txt");
    planner.SetTree(Files(names));
    for (int i = 0; i < 20; ++i)
        planner.Request(Rule(L"file", L"r" + std::to_wstring(i) + L"-"), ReplaceSelection());
    // A plan finished while the requests still came (a busy machine can pause this loop) was let
    // go of by the next request: the one handed over is finished after the last.
    std::optional<ReplacePlanner::Result> result;
    for (int seen = 0; !result.has_value();) {
        ASSERT_TRUE(ready.WaitPast(seen));
        seen = ready.Count();
        result = planner.TakeResult();
    }
    EXPECT_EQ(FirstNewName(*result), L"r19-0.txt");
    EXPECT_EQ(result->plan->entries.size(), names.size());

    // A plan finished but not taken is abandoned with the request it answered.
    int seen = ready.Count();
    planner.Request(Rule(L"file", L"late"), ReplaceSelection());
    ASSERT_TRUE(ready.WaitPast(seen));
    planner.Abandon();
    EXPECT_FALSE(planner.TakeResult().has_value());
}

TEST(ReplacePlanner, RunawayExpressionGivesWayToTheNextRequest)
{
    auto ready = std::make_unique<ReadyCount>();
    auto planner = std::make_unique<ReplacePlanner>(ready->Callback());
    planner->SetTree(Files({kRunawayName}));
    planner->Request(kRunaway, ReplaceSelection());
    // Time for the thread to be inside the match; were it not, the next request would only be
    // the first one planned, and the test would pass without showing anything.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(ready->Count(), 0);
    planner->Request(Rule(L"a", L"b"), ReplaceSelection());
    if (!ready->WaitPast(0)) {
        // Its thread is still in the match: let go of nothing it uses, so the test fails, not hangs.
        planner.release();
        ready.release();
        FAIL() << "the runaway plan did not give way";
    }
    std::optional<ReplacePlanner::Result> result = planner->TakeResult();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(FirstNewName(*result), std::wstring(kRunawayName.size(), L'b'));
    EXPECT_EQ(ready->Count(), 1);
}

TEST(ReplacePlanner, ThreadEndsWithItsOwnerEvenInARunawayMatch)
{
    // Both left to the dropping thread if it never returns, so that nothing it uses goes away.
    auto* ready = new ReadyCount;
    auto* planner = new ReplacePlanner(ready->Callback());
    planner->SetTree(Files({kRunawayName}));
    planner->Request(kRunaway, ReplaceSelection());
    std::this_thread::sleep_for(200ms);
    // Dropped on a thread of the test's, so that a planner that never stops fails the test
    // instead of hanging it.
    std::packaged_task<void()> drop([planner] { delete planner; });
    std::future<void> dropped = drop.get_future();
    std::thread dropper(std::move(drop));
    if (dropped.wait_for(10s) != std::future_status::ready) {
        dropper.detach();
        FAIL() << "the planner's thread did not end with its owner";
    }
    dropper.join();
    EXPECT_EQ(ready->Count(), 0);
    delete ready;
}
