#include "EvaluationManager.h"

#include <maya/MPxNode.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <numeric>
#include <shared_mutex>
#include <utility>

#include "Graph.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"

namespace mayahost {

namespace {

MPxNode::SchedulingType schedulingOf(const NodeRecord* node) {
    return node->user != nullptr ? node->user->schedulingType() : MPxNode::kParallel;
}

// The locks of one parallel schedule, alive while it runs.
struct ScheduleLocks {
    std::shared_mutex everything;  // kUntrusted holds it alone, every other node shares it
    std::map<const NodeType*, std::mutex> perType;  // kGloballySerial
    std::vector<std::mutex> perChain;               // kSerial nodes connected to each other
};

std::uint64_t nanosecondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
}

std::size_t findRoot(std::vector<std::size_t>& parent, std::size_t i) {
    while (parent[i] != i) {
        parent[i] = parent[parent[i]];
        i = parent[i];
    }
    return i;
}

}  // namespace

EvaluationManager::~EvaluationManager() {
    stopWorkers();
}

EvaluationMode EvaluationManager::mode() const {
    std::lock_guard<std::mutex> lock(modeMutex_);
    return mode_;
}

void EvaluationManager::setMode(EvaluationMode mode) {
    std::lock_guard<std::mutex> lock(modeMutex_);
    mode_ = mode;
}

std::size_t EvaluationManager::workerCount() {
    // At least two, so parallel work really overlaps even on a small machine.
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, 8);
}

void EvaluationManager::ensureWorkers() {
    if (!workers_.empty()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    for (std::size_t i = 0; i < workerCount(); ++i) {
        workers_.emplace_back([this, i] { workerLoop(static_cast<int>(i)); });
    }
}

void EvaluationManager::stopWorkers() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

void EvaluationManager::workerLoop(int index) {
    const HostRules::WorkerThreadScope scope(index);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (queue_.empty() && !stopping_) {
            // As a scheduler's workers do, spin a little before sleeping: the next schedule
            // often follows at once, and a worker woken from sleep starts cold.
            lock.unlock();
            spinUntil([this] { return queued_.load(std::memory_order_acquire) > 0; });
            lock.lock();
        }
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            return;  // stopping, and nothing left
        }
        std::function<void()> task = std::move(queue_.front());
        queue_.pop_front();
        queued_.store(queue_.size(), std::memory_order_release);
        ++running_;
        lock.unlock();
        std::exception_ptr failed;
        try {
            task();
        } catch (...) {
            failed = std::current_exception();
        }
        lock.lock();
        if (failed && !failure_) {
            failure_ = failed;
        }
        --running_;
        if (queue_.empty() && running_ == 0) {
            outstanding_.store(false, std::memory_order_release);
            finished_.notify_all();
        }
    }
}

template <typename Done>
void EvaluationManager::spinUntil(Done done) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    while (!done() && std::chrono::steady_clock::now() < until) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#else
        std::this_thread::yield();
#endif
    }
}

const std::vector<const NodeRecord*>& EvaluationManager::neighbours(const NodeRecord* node) {
    const std::uint64_t version = hostState().graph.version();
    if (version != neighboursVersion_) {
        neighbours_.clear();
        neighboursVersion_ = version;
    }
    auto found = neighbours_.find(node);
    if (found == neighbours_.end()) {
        found = neighbours_.emplace(node, hostState().graph.neighbours(node)).first;
    }
    return found->second;
}

std::vector<std::function<void()>> EvaluationManager::scheduled(std::vector<Job>& jobs,
                                                                int& computes,
                                                                std::mutex& countMutex) {
    auto locks = std::make_shared<ScheduleLocks>();
    // kSerial nodes that are directly connected form chains that run one node at a time.
    std::vector<std::size_t> chain(jobs.size());
    std::iota(chain.begin(), chain.end(), 0);
    std::map<const NodeRecord*, std::size_t> serialJobs;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (schedulingOf(jobs[i].node) == MPxNode::kSerial) {
            serialJobs.emplace(jobs[i].node, i);
        }
    }
    for (const auto& [node, i] : serialJobs) {
        if (serialJobs.size() < 2) {
            break;  // a chain needs two
        }
        for (const NodeRecord* other : neighbours(node)) {
            auto found = serialJobs.find(other);
            if (found != serialJobs.end()) {
                chain[findRoot(chain, i)] = findRoot(chain, found->second);
            }
        }
    }
    locks->perChain = std::vector<std::mutex>(jobs.size());
    std::vector<std::function<void()>> tasks;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const MPxNode::SchedulingType type = schedulingOf(jobs[i].node);
        std::mutex* typeLock =
            type == MPxNode::kGloballySerial ? &locks->perType[&jobs[i].node->type] : nullptr;
        std::mutex* chainLock =
            type == MPxNode::kSerial ? &locks->perChain[findRoot(chain, i)] : nullptr;
        tasks.emplace_back([locks, type, typeLock, chainLock, work = std::move(jobs[i].work),
                            &computes, &countMutex] {
            std::unique_lock<std::shared_mutex> alone(locks->everything, std::defer_lock);
            std::shared_lock<std::shared_mutex> shared(locks->everything, std::defer_lock);
            if (type == MPxNode::kUntrusted) {
                alone.lock();
            } else {
                shared.lock();
            }
            std::unique_lock<std::mutex> ofType;
            if (typeLock != nullptr) {
                ofType = std::unique_lock<std::mutex>(*typeLock);
            }
            std::unique_lock<std::mutex> ofChain;
            if (chainLock != nullptr) {
                ofChain = std::unique_lock<std::mutex>(*chainLock);
            }
            const int ran = work();
            std::lock_guard<std::mutex> count(countMutex);
            computes += ran;
        });
    }
    return tasks;
}

ScheduleTimes EvaluationManager::times() const {
    ScheduleTimes times;
    times.schedules = schedules_.load();
    times.jobs = jobs_.load();
    times.workSeconds = static_cast<double>(workNanoseconds_.load()) * 1e-9;
    times.wallSeconds = static_cast<double>(wallNanoseconds_.load()) * 1e-9;
    return times;
}

int EvaluationManager::run(std::vector<Job> jobs) {
    if (jobs.empty()) {
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    for (Job& job : jobs) {
        job.work = [this, work = std::move(job.work)] {
            const auto begun = std::chrono::steady_clock::now();
            const int ran = work();
            workNanoseconds_ += nanosecondsSince(begun);
            return ran;
        };
    }
    schedules_ += 1;
    jobs_ += jobs.size();
    const int computes = runTimed(jobs);
    wallNanoseconds_ += nanosecondsSince(start);
    return computes;
}

int EvaluationManager::runTimed(std::vector<Job>& jobs) {
    const EvaluationMode current = mode();
    int computes = 0;
    if (current == EvaluationMode::Off) {
        for (Job& job : jobs) {
            computes += job.work();
        }
        return computes;
    }
    std::mutex countMutex;
    std::vector<std::function<void()>> tasks;
    if (current == EvaluationMode::Serial) {
        // One chain: every node after the one before, on whichever worker takes it.
        tasks.emplace_back([&jobs, &computes] {
            for (Job& job : jobs) {
                computes += job.work();
            }
        });
    } else {
        tasks = scheduled(jobs, computes, countMutex);
    }
    ensureWorkers();
    std::unique_lock<std::mutex> lock(mutex_);
    for (std::function<void()>& task : tasks) {
        queue_.push_back(std::move(task));
    }
    outstanding_.store(true, std::memory_order_release);
    queued_.store(queue_.size(), std::memory_order_release);
    if (queue_.size() == 1) {
        wake_.notify_one();
    } else {
        wake_.notify_all();
    }
    lock.unlock();
    spinUntil([this] { return !outstanding_.load(std::memory_order_acquire); });
    lock.lock();
    finished_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
    if (failure_) {
        std::exception_ptr failed = std::exchange(failure_, nullptr);
        lock.unlock();
        std::rethrow_exception(failed);
    }
    return computes;
}

}  // namespace mayahost
