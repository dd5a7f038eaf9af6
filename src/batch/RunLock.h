// One run at a time in the user's session: a run plans with the names it finds, and a second run
// over the same tree meanwhile would change them under it.
#pragma once

#include "RunHooks.h"
#include "UniqueHandle.h"

// Held from before a run plans until it has been applied or dropped; released when it goes.
class RunLock {
public:
    RunLock() = default;
    explicit RunLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
    RunLock(RunLock&& other) noexcept = default;
    RunLock& operator=(RunLock&& other) noexcept;
    ~RunLock();

private:
    void Release();
    UniqueKernelHandle mutex_;
};

// Waits until no other run of the session holds the lock, telling hooks.waitingForOtherRun once and
// calling hooks.keepAlive while it waits. A run that ended without letting go (a crash) lets go
// by ending. Where the lock cannot be made at all, the run goes on without it.
RunLock AcquireRunLock(const RunHooks& hooks);
