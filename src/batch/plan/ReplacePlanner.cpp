// Find and Replace plans worked out on a thread of their own.
#include "ReplacePlanner.h"

#include "ReplaceValues.h"

#include <new>
#include <regex>

static constexpr wchar_t kOutOfMemory[] = L"There is not enough memory to work out this plan.";

ReplacePlanner::ReplacePlanner(std::function<void()> ready, DetailsProgress reading)
    : ready_(std::move(ready)), reading_(std::move(reading)), thread_([this] { Run(); })
{
}

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
    // Whatever the owner told the reading callback of goes with it.
    reading_ = nullptr;
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

void ReplacePlanner::Request(const ReplaceRule& rule, const ReplaceSelection& selection, const ReplaceOrdering& ordering)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++wanted_;
        requested_ = true;
        rule_ = rule;
        selection_ = selection;
        ordering_ = ordering;
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
    std::vector<std::int32_t> source;
    CollectedTree picked = SelectEntries(*tree, selection, &source);
    if (!same)
        selected_ = Selected{tree, selection, std::move(picked.held), std::move(source), ++selections_};
    // The plan shown keeps its entries until a newer one takes its place: the next plan's are taken
    // from the tree while the user is still reading or typing, not after the keystroke.
    std::lock_guard<std::mutex> lock(mutex_);
    spareWanted_ = true;
    return std::move(picked.plan);
}

// The selected entries taken afresh as the spare that the next plan is worked out in. False when
// there was none to make.
bool ReplacePlanner::MakeSpare(std::unique_lock<std::mutex>& lock)
{
    if (!spareWanted_ || spare_)
        return false;
    spareWanted_ = false;
    std::uint64_t number = selected_.number;
    std::shared_ptr<const RunPlan> tree = selected_.tree;
    ReplaceSelection selection = selected_.selection;
    lock.unlock();
    auto spare = std::make_unique<RunPlan>(SelectEntries(*tree, selection).plan);
    lock.lock();
    if (!spare_ && selected_.number == number) {
        spare_ = std::move(spare);
        spareSelection_ = number;
    }
    return true;
}

// The values a replacement's tokens need read from the files.
static unsigned DetailKindsOf(const ParsedReplacement* tokens)
{
    if (!tokens)
        return 0;
    unsigned kinds = (tokens->needs.photo ? kPhotoKind : 0u) | (tokens->needs.music ? kMusicKind : 0u);
    for (const ReplacementPiece& piece : tokens->pieces) {
        if (piece.kind == TokenKind::Created)
            kinds |= kCreatedKind;
    }
    return kinds;
}

ReplacePlanner::Result ReplacePlanner::Plan(const ReplaceRule& rule, const ReplaceSelection& selection,
                                            const ReplaceOrdering& ordering, const std::shared_ptr<const RunPlan>& tree,
                                            std::uint64_t generation)
{
    Result result;
    result.plan = std::make_unique<RunPlan>();
    result.plan->mode = ModeFindReplace;
    result.plan->root = tree->root;
    CompiledReplace compiled = CompileReplaceRule(rule);
    result.error = compiled.Error();
    result.replacementError = compiled.ReplacementError();
    if (!result.error.empty() || !result.replacementError.empty())
        return result;
    RunPlan entries = EntriesToPlan(selection, tree);
    PlanCancelled cancelled = [this, generation] { return wanted_.load() != generation; };
    if (detailsTree_ != tree) {
        details_ = TreeDetails(*tree);
        nameRanks_ = NameRanks(*tree);
        detailsTree_ = tree;
    }
    // Read once for the tree: an abandoned request leaves what it read for the next one.
    unsigned kinds = DetailKindsOf(ordering.by) | DetailKindsOf(compiled.Tokens());
    if (kinds != 0 && !details_.Read(*tree, selected_.source, kinds, cancelled, reading_))
        return result;
    // The order follows from the entries, the order asked for and the values it compares, never
    // from the texts: worked out once for all the keystrokes that follow.
    if (ordered_.selection != selected_.number || !(ordered_.ordering == ordering) ||
        ordered_.modifiedForTaken != rule.modifiedForTaken) {
        ordered_ = Ordered{};
        ordered_.order =
            OrderedEntries(entries, selected_.source, nameRanks_, details_, ordering, rule.modifiedForTaken);
        ordered_.selection = selected_.number;
        ordered_.ordering = ordering;
        ordered_.modifiedForTaken = rule.modifiedForTaken;
    }
    result.order = ordered_.order;
    EntryValuesSource values;
    RunOptions options;
    options.mode = ModeFindReplace;
    options.replace = &compiled;
    LocalClock clock;
    if (compiled.Tokens()) {
        unsigned shown = DetailKindsOf(compiled.Tokens());
        values = [&, shown](size_t i, EntryValues& entry) {
            details_.Fill(static_cast<size_t>(selected_.source[i]), shown, entry, clock);
        };
        options.entryValues = &values;
        options.counterOrder = &ordered_.order;
        options.counterPerFolder = ordering.restartPerFolder;
    }
    try {
        *result.plan = PlanRun(std::move(entries), selected_.held, options, cancelled);
        result.selection = selected_.number;
    } catch (const std::regex_error&) {
        // A library that gives up on a match it finds too complex.
        result.error = TooComplexExpressionText();
        result.plan->entries.clear();
        result.order.clear();
    }
    return result;
}

void ReplacePlanner::Run()
{
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] {
            return stopping_ || requested_ || (spare_ && spareSelection_ != selected_.number) || (spareWanted_ && !spare_);
        });
        if (stopping_)
            return;
        if (!requested_ && MakeSpare(lock))
            continue;
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
        ReplaceOrdering ordering = ordering_;
        std::shared_ptr<const RunPlan> tree = tree_;
        lock.unlock();

        Result result;
        try {
            if (!tree)
                continue;
            result = Plan(rule, selection, ordering, tree, generation);
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
