#include "Priorities.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

namespace tolvex {

void raiseProcessPriorities()
{
    // The process: a high priority (a lower nice value). Without the right to lower
    // the nice value the call fails and the process keeps its priority.
    (void)::setpriority(PRIO_PROCESS, 0, -10);

    // The calling thread: the highest priority of its current policy. Under the normal
    // time-sharing policy the range is a single value, so this only changes anything
    // where a real-time policy is already in force.
    int policy = SCHED_OTHER;
    sched_param param{};
    if (::pthread_getschedparam(::pthread_self(), &policy, &param) != 0)
        return;
    const int highest = ::sched_get_priority_max(policy);
    if (highest < 0 || highest == param.sched_priority)
        return;
    param.sched_priority = highest;
    (void)::pthread_setschedparam(::pthread_self(), policy, &param);
}

} // namespace tolvex
