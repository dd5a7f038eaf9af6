// Find and Replace plans worked out on a thread of their own.
#include "PlanWorker.h"

#include <regex>

PlanWorker::PlanWorker(std::function<void()> ready) : ready_(std::move(ready)), thread_([this] { Run(); }) {}

PlanWorker::~PlanWorker()
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

void PlanWorker::SetTree(std::shared_ptr<const RunPlan> collected)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tree_ = std::move(collected);
}

void PlanWorker::Abandon()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++wanted_;
    requested_ = false;
    result_.reset();
}

void PlanWorker::Request(const ReplaceRule& rule, const ReplaceSelection& selection)
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

std::optional<PlanWorker::Result> PlanWorker::TakeResult()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::optional<Result> result = std::move(result_);
    result_.reset();
    return result;
}

PlanWorker::Result PlanWorker::Plan(const ReplaceRule& rule, const ReplaceSelection& selection, const RunPlan& collected,
                                    std::uint64_t generation) const
{
    Result result;
    result.plan = std::make_unique<RunPlan>();
    result.plan->mode = ModeFindReplace;
    result.plan->root = collected.root;
    CompiledReplace compiled = CompileReplaceRule(rule);
    result.error = compiled.Error();
    if (!result.error.empty())
        return result;
    PlanCancelled cancelled = [this, generation] { return wanted_.load() != generation; };
    try {
        *result.plan = PlanReplace(collected, selection, compiled, cancelled);
    } catch (const std::regex_error&) {
        // A library that gives up on a match it finds too complex.
        result.error = L"Not a valid regular expression: it is too big or too complex";
        result.plan->entries.clear();
    }
    return result;
}

void PlanWorker::Run()
{
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || requested_; });
        if (stopping_)
            return;
        requested_ = false;
        std::uint64_t generation = wanted_.load();
        ReplaceRule rule = rule_;
        ReplaceSelection selection = selection_;
        std::shared_ptr<const RunPlan> tree = tree_;
        lock.unlock();

        Result result;
        try {
            result = tree ? Plan(rule, selection, *tree, generation) : Result{std::make_unique<RunPlan>(), std::wstring()};
        } catch (...) {
            // Out of memory: no plan this time, and the dialog keeps the one it shows.
            continue;
        }

        lock.lock();
        if (stopping_ || wanted_.load() != generation)
            continue;
        result_ = std::move(result);
        // Told while the lock is held, so that the worker's owner cannot be going meanwhile.
        if (ready_)
            ready_();
    }
}
