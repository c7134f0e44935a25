// A mutex and a condition for threads of this program that hand work to each
// other many times a second. On Windows they are the system's slim lock and
// condition variable where the system has them (Vista and later): under Wine
// these wait and wake within the process, where the toolchain's std::mutex
// and std::condition_variable wake a thread through a semaphore, a round
// trip through Wine's server each time. Older systems get the standard ones.
#pragma once

#include <condition_variable>
#include <mutex>

#ifdef _WIN32

// Whether this system has the slim lock and condition variable.
bool SlimLocksAvailable();

class CMutex {
public:
    // slim: the system's slim lock, where available; else the standard one.
    explicit CMutex(bool slim = SlimLocksAvailable());
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;
    void lock();
    void unlock();

private:
    friend class CCondition;
    bool m_slim;
    void* m_lock = nullptr;   // an SRWLOCK, which is one pointer, zero when free
    std::mutex m_standard;
};

// Waits with a CMutex of the same kind.
class CCondition {
public:
    explicit CCondition(bool slim = SlimLocksAvailable());
    CCondition(const CCondition&) = delete;
    CCondition& operator=(const CCondition&) = delete;
    template <class Predicate>
    void wait(std::unique_lock<CMutex>& lock, Predicate ready)
    {
        while (!ready())
            sleep(*lock.mutex());
    }
    void notify_all();

private:
    void sleep(CMutex& mutex);
    bool m_slim;
    void* m_condition = nullptr;   // a CONDITION_VARIABLE, likewise
    std::condition_variable m_standard;
};

#else

using CMutex = std::mutex;
using CCondition = std::condition_variable;

#endif
