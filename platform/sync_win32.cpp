#include "platform/sync.h"

#include "platform/system_function.h"

namespace {

// The slim lock's calls, looked up because Windows before Vista lacks them.
// SRWLOCK and CONDITION_VARIABLE are each one pointer, zero when new.
struct SlimCalls {
    using LockCall = void(WINAPI*)(void** lock);
    using SleepCall = BOOL(WINAPI*)(void** condition, void** lock, DWORD milliseconds, ULONG flags);
    using WakeCall = void(WINAPI*)(void** condition);

    LockCall acquire = SystemFunction<LockCall>("kernel32.dll", "AcquireSRWLockExclusive");
    LockCall release = SystemFunction<LockCall>("kernel32.dll", "ReleaseSRWLockExclusive");
    SleepCall sleep = SystemFunction<SleepCall>("kernel32.dll", "SleepConditionVariableSRW");
    WakeCall wakeAll = SystemFunction<WakeCall>("kernel32.dll", "WakeAllConditionVariable");

    bool complete() const { return acquire && release && sleep && wakeAll; }
};

const SlimCalls& slim()
{
    static const SlimCalls calls;
    return calls;
}

} // namespace

bool SlimLocksAvailable()
{
    return slim().complete();
}

CMutex::CMutex(bool slimLock) : m_slim(slimLock && SlimLocksAvailable()) {}

void CMutex::lock()
{
    if (m_slim)
        slim().acquire(&m_lock);
    else
        m_standard.lock();
}

void CMutex::unlock()
{
    if (m_slim)
        slim().release(&m_lock);
    else
        m_standard.unlock();
}

CCondition::CCondition(bool slimCondition) : m_slim(slimCondition && SlimLocksAvailable()) {}

void CCondition::sleep(CMutex& mutex)
{
    if (m_slim) {
        slim().sleep(&m_condition, &mutex.m_lock, INFINITE, 0);
        return;
    }
    // The standard wait takes the standard lock the caller holds, and
    // leaves it held again.
    std::unique_lock<std::mutex> held(mutex.m_standard, std::adopt_lock);
    m_standard.wait(held);
    held.release();
}

void CCondition::notify_all()
{
    if (m_slim)
        slim().wakeAll(&m_condition);
    else
        m_standard.notify_all();
}
