// The changes a run makes to the disk, told one by one to the hook that may stop the run after any
// of them as a crash would there (RunHooks::afterChange); only tests stop a run.
#pragma once

#include <functional>
#include <utility>

class ChangeWatch {
public:
    ChangeWatch() = default;
    explicit ChangeWatch(std::function<bool()> afterChange) : afterChange_(std::move(afterChange)) {}

    // A change was made: false when the run stops here. A stopped run makes no further change,
    // takes nothing back and leaves its journal as it is.
    bool Made()
    {
        if (!stopped_ && afterChange_ && !afterChange_())
            stopped_ = true;
        return !stopped_;
    }
    bool Stopped() const { return stopped_; }

private:
    std::function<bool()> afterChange_;
    bool stopped_ = false;
};
