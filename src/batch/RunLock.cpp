// One run at a time in the user's session.
#include "RunLock.h"

// "Local\": one lock per logon session, shared by the window and every command-line run.
static constexpr wchar_t kRunLockName[] = L"Local\\Kestrith.Nomaro.Run";
// How long a wait lasts between two calls of keepAlive.
static constexpr DWORD kWaitSliceMs = 50;

RunLock& RunLock::operator=(RunLock&& other) noexcept
{
    if (this != &other) {
        Release();
        mutex_ = std::move(other.mutex_);
    }
    return *this;
}

RunLock::~RunLock()
{
    Release();
}

void RunLock::Release()
{
    if (mutex_)
        ReleaseMutex(mutex_.get());
    mutex_.reset();
}

RunLock AcquireRunLock(const RunHooks& hooks)
{
    UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, kRunLockName));
    if (!mutex)
        return RunLock();
    bool told = false;
    for (;;) {
        DWORD waited = WaitForSingleObject(mutex.get(), told ? kWaitSliceMs : 0);
        // Abandoned: the run holding it ended without letting go; the lock is this run's now.
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
            return RunLock(std::move(mutex));
        if (waited != WAIT_TIMEOUT)
            return RunLock();
        if (!told && hooks.waitingForOtherRun)
            hooks.waitingForOtherRun();
        told = true;
        if (hooks.keepAlive)
            hooks.keepAlive();
    }
}
