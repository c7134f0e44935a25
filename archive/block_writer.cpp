#include "archive/block_writer.h"

CBlockWriter::~CBlockWriter()
{
    {
        std::lock_guard<CMutex> lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

CBlockWriter::Ticket CBlockWriter::submit(const Sink& sink, Block& block)
{
    std::unique_lock<CMutex> lock(m_lock);
    // The thread starts with the first block that needs it.
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_changed.wait(lock, [this] { return m_queue.size() < kMaxQueued; });
    Ticket ticket = ++m_submitted;
    if (!m_error)
        m_queue.emplace_back(sink, std::move(block));
    else
        m_done = ticket;
    block.clear();
    if (!m_spare.empty()) {
        block.swap(m_spare.back());
        m_spare.pop_back();
    }
    m_changed.notify_all();
    return ticket;
}

void CBlockWriter::waitFor(Ticket ticket) noexcept
{
    std::unique_lock<CMutex> lock(m_lock);
    m_changed.wait(lock, [this, ticket] { return m_done >= ticket; });
}

void CBlockWriter::waitIdle(std::unique_lock<CMutex>& lock)
{
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_writing; });
}

void CBlockWriter::finish()
{
    std::unique_lock<CMutex> lock(m_lock);
    waitIdle(lock);
    if (m_error) {
        std::exception_ptr error = m_error;
        m_error = nullptr;
        std::rethrow_exception(error);
    }
}

void CBlockWriter::abandon() noexcept
{
    std::unique_lock<CMutex> lock(m_lock);
    waitIdle(lock);
    m_error = nullptr;
}

void CBlockWriter::run()
{
    std::unique_lock<CMutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        auto job = std::move(m_queue.front());
        m_queue.pop_front();
        m_writing = true;
        m_changed.notify_all();
        lock.unlock();
        std::exception_ptr error;
        try {
            job.first(job.second.data(), job.second.size());
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        if (m_spare.size() < kMaxQueued) {
            job.second.clear();
            m_spare.push_back(std::move(job.second));
        }
        m_writing = false;
        ++m_done;
        if (error && !m_error) {
            m_error = error;
            m_queue.clear();
            m_done = m_submitted;
        }
        m_changed.notify_all();
    }
}
