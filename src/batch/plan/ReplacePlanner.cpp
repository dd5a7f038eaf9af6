// Find and Replace plans worked out on a thread of their own.
#include "ReplacePlanner.h"

#include <new>
#include <regex>

static constexpr wchar_t kOutOfMemory[] = L"There is not enough memory to work out this plan.";

ReplacePlanner::ReplacePlanner(std::function<void()> ready) : ready_(std::move(ready)), thread_([this] { Run(); }) {}

ReplacePlanner::~ReplacePlanner()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        ++wanted_;
        ready_ = nullptr;
    }
    wake_.notify_one();
    thread_.join();
}

void ReplacePlanner::SetTree(std::shared_ptr<const RunPlan> collected)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tree_ = std::move(collected);
}

void ReplacePlanner::Abandon()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++wanted_;
    requested_ = false;
    result_.reset();
}

void ReplacePlanner::Request(const ReplaceRule& rule, const ReplaceSelection& selection)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++wanted_;
        requested_ = true;
        rule_ = rule;
        selection_ = selection;
        result_.reset();
    }
    wake_.notify_one();
}

std::optional<ReplacePlanner::Result> ReplacePlanner::TakeResult()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::optional<Result> result = std::move(result_);
    result_.reset();
    return result;
}

void ReplacePlanner::Recycle(std::unique_ptr<RunPlan> plan, std::uint64_t selection)
{
    std::unique_ptr<RunPlan> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // The one kept before goes now, outside the lock; a plan of no selection is kept all the same,
        // for the thread to let go of.
        dropped = std::move(spare_);
        spare_ = std::move(plan);
        spareSelection_ = selection;
    }
    wake_.notify_one();
}

// The selected entries, to be planned: the plan given back when it holds them, else taken afresh
// from the tree.
RunPlan ReplacePlanner::EntriesToPlan(const ReplaceSelection& selection, const std::shared_ptr<const RunPlan>& tree)
{
    bool same = selected_.number != 0 && selected_.tree == tree && selected_.selection == selection;
    if (same) {
        std::unique_ptr<RunPlan> spare;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (spare_ && spareSelection_ == selected_.number)
                spare = std::move(spare_);
        }
        if (spare)
            return std::move(*spare);
    }
    CollectedTree picked = SelectEntries(*tree, selection);
    if (!same)
        selected_ = Selected{tree, selection, std::move(picked.held), ++selections_};
    return std::move(picked.plan);
}

ReplacePlanner::Result ReplacePlanner::Plan(const ReplaceRule& rule, const ReplaceSelection& selection,
                                    const std::shared_ptr<const RunPlan>& tree, std::uint64_t generation)
{
    Result result;
    result.plan = std::make_unique<RunPlan>();
    result.plan->mode = ModeFindReplace;
    result.plan->root = tree->root;
    CompiledReplace compiled = CompileReplaceRule(rule);
    result.error = compiled.Error();
    if (!result.error.empty())
        return result;
    RunPlan entries = EntriesToPlan(selection, tree);
    RunOptions options;
    options.mode = ModeFindReplace;
    options.replace = &compiled;
    PlanCancelled cancelled = [this, generation] { return wanted_.load() != generation; };
    try {
        *result.plan = PlanRun(std::move(entries), selected_.held, options, cancelled);
        result.selection = selected_.number;
    } catch (const std::regex_error&) {
        // A library that gives up on a match it finds too complex.
        result.error = TooComplexExpressionText();
        result.plan->entries.clear();
    }
    return result;
}

void ReplacePlanner::Run()
{
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || requested_ || (spare_ && spareSelection_ != selected_.number); });
        if (stopping_)
            return;
        // A plan given back that no later plan can use is let go of here, not in the dialog.
        if (spare_ && spareSelection_ != selected_.number) {
            std::unique_ptr<RunPlan> dropped = std::move(spare_);
            lock.unlock();
            continue;
        }
        requested_ = false;
        std::uint64_t generation = wanted_.load();
        ReplaceRule rule = rule_;
        ReplaceSelection selection = selection_;
        std::shared_ptr<const RunPlan> tree = tree_;
        lock.unlock();

        Result result;
        try {
            if (!tree)
                continue;
            result = Plan(rule, selection, tree, generation);
        } catch (const std::bad_alloc&) {
            // The plan does not fit in memory: the dialog is told, and shows no plan to rename from.
            try {
                result = Result();
                result.plan = std::make_unique<RunPlan>();
                result.plan->mode = ModeFindReplace;
                result.error = kOutOfMemory;
            } catch (...) {
                continue;
            }
        } catch (...) {
            // No plan this time, and the dialog keeps the one it shows.
            continue;
        }

        lock.lock();
        if (stopping_ || wanted_.load() != generation) {
            // Abandoned half way: its room serves the next plan of the same entries.
            if (!spare_ && result.selection != 0) {
                spare_ = std::move(result.plan);
                spareSelection_ = result.selection;
            }
            continue;
        }
        result_ = std::move(result);
        // Told while the lock is held, so that the planner's owner cannot be going meanwhile.
        if (ready_)
            ready_();
    }
}
