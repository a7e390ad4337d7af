#pragma once

#include <mayahost/HostControl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace mayahost {

class NodeRecord;

// Maya's Evaluation Manager as a plug-in meets it: in "off" (DG) mode whatever asks for an
// evaluation computes on its own thread; in serial and parallel modes the schedule runs on
// a pool of worker threads, one node after another in serial mode, and in parallel mode as
// each node type's schedulingType() allows. The caller waits for the schedule, as Maya's
// main thread does during an evaluation.
class EvaluationManager {
public:
    // One node's part of a schedule; returns the computes it ran.
    struct Job {
        NodeRecord* node = nullptr;
        std::function<int()> work;
    };

    EvaluationManager() = default;
    ~EvaluationManager();
    EvaluationManager(const EvaluationManager&) = delete;
    EvaluationManager& operator=(const EvaluationManager&) = delete;

    EvaluationMode mode() const;
    void setMode(EvaluationMode mode);

    // Runs the jobs and returns the computes they ran. Main thread.
    int run(std::vector<Job> jobs);
    // The workers' number, for tests that want every worker busy.
    static std::size_t workerCount();

    // Joins the workers; they start again when next needed.
    void stopWorkers();

    // The schedules run so far, and the time their node work took on the threads that ran
    // it, so a bench can tell a node's compute from the hand-over to a worker and back.
    ScheduleTimes times() const;

private:
    int runTimed(std::vector<Job>& jobs);
    void ensureWorkers();
    void workerLoop(int index);
    // Spins until `done` or kSpin has passed; the caller then waits as usual.
    template <typename Done>
    static void spinUntil(Done done);
    // Locks the jobs of a parallel schedule must hold so that no two nodes run together
    // where their scheduling types forbid it.
    std::vector<std::function<void()>> scheduled(std::vector<Job>& jobs, int& computes,
                                                 std::mutex& countMutex);
    // The nodes each node is connected to, built again only when the graph changed, as
    // Maya builds its evaluation graph once per change. Main thread.
    const std::vector<const NodeRecord*>& neighbours(const NodeRecord* node);

    mutable std::mutex modeMutex_;  // main thread sets, any thread reads; guards mode_
    EvaluationMode mode_ = EvaluationMode::Parallel;

    std::mutex mutex_;  // main thread queues, workers take; guards the members below
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<std::function<void()>> queue_;
    std::size_t running_ = 0;  // tasks taken and not finished
    // Mirrors of the queue's length and of "a schedule is not finished", written under
    // mutex_ and read without it by threads spinning before they wait.
    std::atomic<std::size_t> queued_{0};
    std::atomic<bool> outstanding_{false};
    static constexpr std::chrono::microseconds kSpin{50};
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::vector<std::thread> workers_;  // main thread only
    // Main thread only: the neighbour lists and the graph version they were built from.
    std::unordered_map<const NodeRecord*, std::vector<const NodeRecord*>> neighbours_;
    std::uint64_t neighboursVersion_ = ~std::uint64_t{0};
    // Whichever thread runs a job adds to these; read by any thread.
    std::atomic<std::uint64_t> schedules_{0};
    std::atomic<std::uint64_t> jobs_{0};
    std::atomic<std::uint64_t> workNanoseconds_{0};
    std::atomic<std::uint64_t> wallNanoseconds_{0};  // main thread adds
};

}  // namespace mayahost
