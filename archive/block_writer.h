// Writing on a second thread while the first one decodes: the decoder hands
// over filled blocks and goes on; the writer thread writes them in order.
// The hand-over is the only thing the two threads share.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CBlockWriter {
public:
    using Block = std::vector<unsigned char>;
    using Sink = std::function<void(const unsigned char* data, std::size_t size)>;

    CBlockWriter() = default;
    ~CBlockWriter();
    CBlockWriter(const CBlockWriter&) = delete;
    CBlockWriter& operator=(const CBlockWriter&) = delete;

    // Hands a block over for sink to write; waits while the writer is a few
    // blocks behind, so that memory stays bounded. After a failure, blocks
    // are dropped until finish reports it.
    void submit(const Sink& sink, Block&& block);
    // Waits until every block handed over is written; raises the first
    // failure of the writes, once.
    void finish();
    // Waits the same way, forgetting any failure: for unwinding.
    void abandon() noexcept;

private:
    void run();
    void waitIdle(std::unique_lock<std::mutex>& lock);

    static constexpr std::size_t kMaxQueued = 4;

    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::pair<Sink, Block>> m_queue;
    bool m_writing = false;
    bool m_stop = false;
    std::exception_ptr m_error;
};
