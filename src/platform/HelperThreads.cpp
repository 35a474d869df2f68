#include "platform/HelperThreads.h"

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#include <unistd.h>
#endif

namespace parvane {

#ifdef __linux__
namespace {

// The cores of the process's first thread, not of the caller, which may itself be a helper
// kept off a core: a thread starts with its creator's cores.
bool ProcessCores(cpu_set_t& cores) {
    return sched_getaffinity(getpid(), sizeof cores, &cores) == 0;
}

}  // namespace

void StartOffCallersCore(std::thread& helper) {
    cpu_set_t cores;
    const int callersCore = sched_getcpu();
    if (callersCore < 0 || !ProcessCores(cores)) {
        return;
    }
    cpu_set_t others = cores;
    CPU_CLR(callersCore, &others);
    pthread_setaffinity_np(helper.native_handle(), sizeof cores,
                           CPU_COUNT(&others) > 0 ? &others : &cores);
}

void RunOnAnyCore() {
    cpu_set_t cores;
    if (ProcessCores(cores)) {
        sched_setaffinity(0, sizeof cores, &cores);
    }
}
#else
// Windows starts a new thread on an idle processor of its own accord.
void StartOffCallersCore(std::thread&) {}
void RunOnAnyCore() {}
#endif

}  // namespace parvane
