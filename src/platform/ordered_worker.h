// Applies items, in the order they were given, on a second thread while the
// caller goes on producing them: the caller reads and sorts input, the
// worker does the arithmetic, and the two overlap on a machine with more
// than one core. Items travel in blocks so that the threads meet once per
// block, not once per item; a few blocks at most are in flight, so memory
// stays bounded whatever the number of items.
//
// Exactly one thread applies items at any time, in order: results are
// those of applying every item on the caller's thread. The first failure of
// `apply` stops the application of later items and comes back to the caller
// from `drain`, which also waits until every item given so far is applied:
// call it before anything else reads or writes what the items touch.
//
// With a single core, or when no thread can be started, items are applied
// on the caller's thread as blocks fill, with the same results and failures.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <utility>
#include <vector>

namespace qx {

// Apply: a callable taking const Item&; called on one thread at a time.
template <class Item, class Apply>
class OrderedWorker {
public:
    static constexpr size_t kBlockItems = 4096;
    static constexpr size_t kBlocksInFlight = 4;
    static constexpr size_t kCacheLine = 64;

    // onCallerThread: never start a thread (as on a single core).
    explicit OrderedWorker(Apply apply, bool onCallerThread = false)
        : apply_(std::move(apply)), inline_(onCallerThread) {
        filling_.reserve(kBlockItems);
    }

    ~OrderedWorker() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    OrderedWorker(const OrderedWorker&) = delete;
    OrderedWorker& operator=(const OrderedWorker&) = delete;

    void push(const Item& item) {
        filling_.push_back(item);
        if (filling_.size() == kBlockItems) handOver();
    }

    // Waits until every item pushed so far is applied; rethrows the first
    // failure, and again at every later call: after a failure nothing more
    // is applied.
    void drain() {
        if (!filling_.empty()) handOver();
        std::exception_ptr failure;
        if (thread_.joinable()) {
            std::unique_lock<std::mutex> lock(mutex_);
            idle_.wait(lock, [this] { return pending_.empty() && !busy_; });
            failure = failure_;
        } else {
            failure = failure_;
        }
        if (failure) std::rethrow_exception(failure);
    }

private:
    using Block = std::vector<Item>;

    void handOver() {
        if (!thread_.joinable() && !inline_) start();
        if (inline_) {
            if (!failure_) failure_ = applyBlock(filling_);
            filling_.clear();
            if (failure_) drain();  // throws: nothing more is to be produced
            return;
        }
        bool failed;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            idle_.wait(lock, [this] { return pending_.size() < kBlocksInFlight || failure_; });
            failed = failure_ != nullptr;
            if (!failed) {
                pending_.push_back(std::move(filling_));
                filling_ = Block();
                if (!spare_.empty()) {
                    filling_ = std::move(spare_.back());
                    spare_.pop_back();
                }
            }
        }
        if (failed) {
            // What is left would not be applied: give the failure back now.
            filling_.clear();
            drain();
        }
        wake_.notify_one();
        filling_.reserve(kBlockItems);
    }

    void start() {
        if (std::thread::hardware_concurrency() < 2) {
            inline_ = true;
            return;
        }
        try {
            thread_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            inline_ = true;  // no thread to be had: apply on the caller's thread
        }
    }

    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
            if (stopping_) return;  // the owner is going: what is left is dropped
            Block block = std::move(pending_.front());
            pending_.pop_front();
            busy_ = true;
            const bool skip = failure_ != nullptr;
            lock.unlock();
            std::exception_ptr failure = skip ? nullptr : applyBlock(block);
            block.clear();
            lock.lock();
            busy_ = false;
            if (failure) failure_ = failure;
            // A spare block only saves an allocation: without the memory to
            // keep it, let it go rather than end the program on this thread.
            try {
                spare_.push_back(std::move(block));
            } catch (const std::bad_alloc&) {
            }
            idle_.notify_all();
        }
    }

    std::exception_ptr applyBlock(const Block& block) const {
        try {
            for (const Item& item : block) apply_(item);
        } catch (...) {
            return std::current_exception();
        }
        return nullptr;
    }

    // Three groups on cache lines of their own, so that neither thread's
    // writes evict what the other reads at every item: what both only
    // read, what the caller writes at every item, what they share.
    alignas(kCacheLine) const Apply apply_;
    std::thread thread_;
    alignas(kCacheLine) Block filling_;  // the caller's block being filled
    bool inline_ = false;
    alignas(kCacheLine) std::mutex mutex_;
    std::condition_variable wake_;  // work for the worker, or stop
    std::condition_variable idle_;  // a block done: room, or all done
    std::deque<Block> pending_;
    std::vector<Block> spare_;
    bool busy_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;  // under the mutex while the worker runs
};

}  // namespace qx
