#include "Priorities.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tolvex {

namespace {

constexpr int kHighNice = -10;
// The shortest time slice the kernel grants a thread of the normal policy (0.1 ms).
constexpr std::uint64_t kShortSliceNs = 100000;

// On Linux the nice value belongs to each thread, not to the process: setpriority()
// for the process changes the calling thread only. So every thread that runs already
// (the toolkit starts some before the window exists) is raised one by one; threads
// started later inherit the value of the thread that starts them.
void raiseEveryThread()
{
    DIR *tasks = ::opendir("/proc/self/task");
    if (!tasks) {
        (void)::setpriority(PRIO_PROCESS, 0, kHighNice);
        return;
    }
    while (const dirent *entry = ::readdir(tasks)) {
        char *end = nullptr;
        const long tid = std::strtol(entry->d_name, &end, 10);
        if (tid > 0 && end && *end == '\0')
            (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), kHighNice);
    }
    ::closedir(tasks);
}

// The first fields of the kernel's scheduling attributes (sched_setattr).
struct SchedulingAttributes {
    std::uint32_t size;
    std::uint32_t policy;
    std::uint64_t flags;
    std::int32_t nice;
    std::uint32_t priority;
    std::uint64_t runtime;
    std::uint64_t deadline;
    std::uint64_t period;
};

// Under the normal policy a higher nice value buys a larger share of the processor,
// but a thread that wakes still waits while a busy thread finishes its slice (a few
// milliseconds with every core busy). A thread asking for a short slice is let in at
// once (the kernel's EEVDF scheduler, Linux 6.12 and later; older kernels ignore the
// request). The nice value stays what it is.
void shortenSlice()
{
#ifdef SYS_sched_setattr
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (nice == -1 && errno != 0)
        return;
    SchedulingAttributes attributes{};
    attributes.size = sizeof attributes;
    attributes.policy = SCHED_OTHER;
    attributes.nice = nice;
    attributes.runtime = kShortSliceNs;
    (void)::syscall(SYS_sched_setattr, 0, &attributes, 0);
#endif
}

} // namespace

void raiseProcessPriorities()
{
    // The process: a high priority (a lower nice value). Without the right to lower
    // the nice value the calls fail and the process keeps its priority.
    raiseEveryThread();

    // The calling thread: the highest priority of its current policy. Under the normal
    // time-sharing policy the range is a single value; there the thread asks for the
    // shortest slice instead, which lets it run as soon as its timer wakes it.
    int policy = SCHED_OTHER;
    sched_param param{};
    if (::pthread_getschedparam(::pthread_self(), &policy, &param) != 0)
        return;
    if (policy == SCHED_OTHER) {
        shortenSlice();
        return;
    }
    const int highest = ::sched_get_priority_max(policy);
    if (highest < 0 || highest == param.sched_priority)
        return;
    param.sched_priority = highest;
    (void)::pthread_setschedparam(::pthread_self(), policy, &param);
}

} // namespace tolvex
