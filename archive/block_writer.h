// Writing on a second thread while the first one decodes: the decoder hands
// over filled blocks and goes on; the writer thread writes them in order.
// The hand-over is the only thing the two threads share.
#pragma once

#include "platform/sync.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

class CBlockWriter {
public:
    using Block = std::vector<unsigned char>;
    using Sink = std::function<void(const unsigned char* data, std::size_t size)>;
    // The number of a block handed over: blocks are written in that order.
    using Ticket = std::uint64_t;

    CBlockWriter() = default;
    ~CBlockWriter();
    CBlockWriter(const CBlockWriter&) = delete;
    CBlockWriter& operator=(const CBlockWriter&) = delete;

    // Hands a block over for sink to write; waits while the writer is a few
    // blocks behind, so that memory stays bounded. After a failure, blocks
    // are dropped until finish reports it. The block is left empty, with
    // the buffer of one already written when there is one: fresh memory
    // costs a page fault every 4 KiB, and freed blocks go back to the system.
    Ticket submit(const Sink& sink, Block& block);
    Ticket submit(const Sink& sink, Block&& block) { return submit(sink, block); }
    // Waits until the block of that ticket and every one before it has
    // been written (or dropped after a failure); raises nothing.
    void waitFor(Ticket ticket) noexcept;
    // Waits until every block handed over is written; raises the first
    // failure of the writes, once.
    void finish();
    // Waits the same way, forgetting any failure: for unwinding.
    void abandon() noexcept;

private:
    void run();
    void waitIdle(std::unique_lock<CMutex>& lock);

    static constexpr std::size_t kMaxQueued = 4;

    std::thread m_thread;
    CMutex m_lock;
    CCondition m_changed;
    std::deque<std::pair<Sink, Block>> m_queue;
    std::vector<Block> m_spare;   // written blocks' buffers, for reuse
    bool m_writing = false;
    Ticket m_submitted = 0;   // the last ticket handed out
    Ticket m_done = 0;        // every block up to it is written or dropped
    bool m_stop = false;
    std::exception_ptr m_error;
};
