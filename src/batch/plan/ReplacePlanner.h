// Works out Find and Replace plans on a thread of its own, over a tree walked once, so that the
// dialog's edits never wait for a plan: a request abandons the plan in progress, and only the
// plan of the newest request is handed over.
#pragma once

#include "ReplaceOrder.h"
#include "ReplacePlan.h"
#include "TreeDetails.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class ReplacePlanner {
public:
    // ready is called on the planner's thread each time the plan of the newest request is finished
    // (the dialog posts itself a message), never after the planner is gone; reading (may be empty)
    // now and then while the values of the files that a request needs are read, which happens
    // once for each tree (SetTree: read again).
    explicit ReplacePlanner(std::function<void()> ready, DetailsProgress reading = {});
    // Abandons the plan in progress and waits for the thread, which stops within moments: the
    // planning and the matching of an expression both ask whether they are still wanted.
    ~ReplacePlanner();
    ReplacePlanner(const ReplacePlanner&) = delete;
    ReplacePlanner& operator=(const ReplacePlanner&) = delete;

    // The tree that later requests are planned over.
    void SetTree(std::shared_ptr<const RunPlan> collected);
    // Abandons the plan in progress, and any plan finished but not yet taken: a newer one is coming.
    void Abandon();
    // Asks for the plan of rule and selection over the tree, abandoning the one in progress.
    void Request(const ReplaceRule& rule, const ReplaceSelection& selection, const ReplaceOrdering& ordering = {});

    struct Result {
        std::unique_ptr<RunPlan> plan; // empty (no entries) when the rule cannot be used
        std::wstring error;            // why the search cannot be used; empty when it can
        std::wstring replacementError; // why the replacement cannot be used; empty when it can
        std::vector<std::uint32_t> order; // the plan's indexes in the order asked for
        std::uint64_t selection = 0;   // which selection of entries it plans; 0: none
    };
    // The plan of the newest request once it is finished, handed over once.
    std::optional<Result> TakeResult();
    // Gives back a plan no longer shown, with the selection its result named: the next plan of
    // the same entries is worked out in its room, and the thread lets go of the rest, not the
    // dialog.
    void Recycle(std::unique_ptr<RunPlan> plan, std::uint64_t selection);

private:
    // The selection the latest plan was made of, and the names it leaves held. Its entries are not
    // kept beside the two plans that take turns (the one shown, the one being worked out): the
    // tree and those two are three copies of every entry already, though they share its names.
    struct Selected {
        std::shared_ptr<const RunPlan> tree;
        ReplaceSelection selection;
        std::vector<HeldName> held;
        std::vector<std::int32_t> source; // each entry's index in the tree
        std::uint64_t number = 0;
    };

    void Run();
    Result Plan(const ReplaceRule& rule, const ReplaceSelection& selection, const ReplaceOrdering& ordering,
                const std::shared_ptr<const RunPlan>& tree, std::uint64_t generation);
    RunPlan EntriesToPlan(const ReplaceSelection& selection, const std::shared_ptr<const RunPlan>& tree);
    bool MakeSpare(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable wake_;
    // The number of the newest request or abandonment: a plan of any other is no longer wanted.
    std::atomic<std::uint64_t> wanted_{0};
    bool stopping_ = false;
    std::function<void()> ready_;
    DetailsProgress reading_;
    std::shared_ptr<const RunPlan> tree_;
    // The request waiting for the thread.
    bool requested_ = false;
    ReplaceRule rule_;
    ReplaceSelection selection_;
    ReplaceOrdering ordering_;
    // The finished plan of the newest request.
    std::optional<Result> result_;
    // A plan given back, and the selection it plans.
    std::unique_ptr<RunPlan> spare_;
    std::uint64_t spareSelection_ = 0;
    // Entries were taken afresh for a plan: a spare is made of them once the thread is free.
    bool spareWanted_ = false;
    // The planner's own.
    Selected selected_;
    std::uint64_t selections_ = 0;
    // What the files of the tree hold, read as requests need it, and the tree's Name order.
    std::shared_ptr<const RunPlan> detailsTree_;
    TreeDetails details_;
    std::vector<std::uint32_t> nameRanks_;
    // The latest selection's entries in the order asked for (selection 0: none yet). The values an
    // order compares are read before it is made, and a new tree makes a new selection.
    struct Ordered {
        std::uint64_t selection = 0;
        ReplaceOrdering ordering;
        bool modifiedForTaken = false; // the rule's, which places photos without a date taken
        std::vector<std::uint32_t> order;
    };
    Ordered ordered_;
    std::thread thread_; // last: it starts once everything above is ready
};
