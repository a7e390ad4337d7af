#pragma once

#include <string>

namespace mayahost {

class NodeRecord;

// The rules Maya holds a plug-in to, checked where the host's API is entered. Maya would
// crash or corrupt the scene later, far from the cause; the stand-in stops at the call and
// names the rule, the call and the thread. Nothing switches a rule off.
class HostRules {
public:
    // The thread that builds the host state plays Maya's main thread.
    static void adoptMainThread();

    // R2: Maya's API is single threaded. `call` may be made on the main thread only (where
    // the stand-in also evaluates); a device thread may use only the thread API and
    // MGlobal::executeCommandOnIdle, which do not come through here.
    static void mainThreadCall(const char* call) {
        if (!tOnMainThread) {
            refuseThread(call);
        }
    }

    // R1: compute changes nothing but its own outputs. `call` changes the graph or has a
    // side effect, so it is refused while a compute runs on this thread. Also checks R2.
    static void outsideCompute(const char* call) {
        if (!tOnMainThread || tComputeNode != nullptr) {
            refuseThreadOrCompute(call);
        }
    }

    // R9: calls compute makes on its data block and on the plug it was given. Allowed on the
    // main thread and on the evaluation workers; a capture thread gets R2's refusal.
    static void evaluationCall(const char* call) {
        if (!tOnMainThread && !tOnWorker) {
            refuseThread(call);
        }
    }

    static bool computing();
    static bool onMainThread() { return tOnMainThread; }

    // Marks the calling thread as a worker of the evaluation pool while it lives.
    class WorkerThreadScope {
    public:
        explicit WorkerThreadScope(int index);
        ~WorkerThreadScope();
        WorkerThreadScope(const WorkerThreadScope&) = delete;
        WorkerThreadScope& operator=(const WorkerThreadScope&) = delete;
    };

    // Marks the calling thread as the capture thread of a device node while it lives.
    class CaptureThreadScope {
    public:
        explicit CaptureThreadScope(std::string nodeName);
        ~CaptureThreadScope();
        CaptureThreadScope(const CaptureThreadScope&) = delete;
        CaptureThreadScope& operator=(const CaptureThreadScope&) = delete;

    private:
        std::string mNodeName;
    };

    // Marks a compute running on the calling thread while it lives; computes nest when one
    // pulls another node's output.
    class ComputeScope {
    public:
        // Named only when a rule is broken: every compute opens one, and naming takes the
        // scene's lock.
        explicit ComputeScope(const NodeRecord* node);
        ~ComputeScope();
        ComputeScope(const ComputeScope&) = delete;
        ComputeScope& operator=(const ComputeScope&) = delete;

    private:
        const NodeRecord* mOuter;
    };

    HostRules() = delete;

private:
    static void refuseThread(const char* call);
    static void refuseThreadOrCompute(const char* call);
    [[noreturn]] static void broken(const char* rule, const std::string& what);
    static std::string threadDescription();
    static std::string computeNodeName();

    // Per thread, so no lock, and trivially destructible, so checks made while statics are
    // torn down at exit stay defined. Every API call reads them, hence the fast TLS model:
    // the host library is linked, never dlopen'ed.
    // True on the main thread outside a capture scope, set by adoptMainThread.
    static thread_local bool tOnMainThread __attribute__((tls_model("initial-exec")));
    // The node whose compute runs innermost on this thread, set by its ComputeScope.
    static thread_local const NodeRecord* tComputeNode __attribute__((tls_model("initial-exec")));
    // True on a worker of the evaluation pool; its index names it in messages.
    static thread_local bool tOnWorker __attribute__((tls_model("initial-exec")));
    static thread_local int tWorkerIndex __attribute__((tls_model("initial-exec")));
    // The node whose capture thread this is; points into its CaptureThreadScope.
    static thread_local const std::string* tCaptureNode __attribute__((tls_model("initial-exec")));
};

}  // namespace mayahost
