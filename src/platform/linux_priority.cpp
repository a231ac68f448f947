#include "platform/linux_priority.h"

#include <sys/resource.h>

#include <cerrno>

namespace merlinox::platform {

void LinuxPriority::Raise(PriorityLevel level) {
    if (raised_) return;  // one raise, one restore
    raised_ = true;
    scheduled_ = false;
    niced_ = false;

    oldPolicy_ = ::sched_getscheduler(0);
    if (oldPolicy_ >= 0 && ::sched_getparam(0, &oldParam_) == 0) {
        const int lowest = ::sched_get_priority_min(SCHED_FIFO);
        // Low real-time priorities: above every ordinary process, below the kernel's
        // own real-time threads. Children do not inherit them.
        sched_param param{};
        param.sched_priority = lowest + (level == PriorityLevel::TimeCritical ? 10 : 1);
        if (lowest >= 0 && ::sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0) {
            scheduled_ = true;
            return;
        }
    }
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (nice == -1 && errno != 0) return;
    const int wanted = level == PriorityLevel::TimeCritical ? -20 : -10;
    if (wanted < nice && ::setpriority(PRIO_PROCESS, 0, wanted) == 0) {
        oldNice_ = nice;
        niced_ = true;
    }
}

void LinuxPriority::Restore() {
    if (!raised_) return;
    raised_ = false;
    // Going back down is always allowed; should it fail, the boost simply stays.
    if (scheduled_ && ::sched_setscheduler(0, oldPolicy_, &oldParam_) == 0) scheduled_ = false;
    if (niced_ && ::setpriority(PRIO_PROCESS, 0, oldNice_) == 0) niced_ = false;
}

}  // namespace merlinox::platform
