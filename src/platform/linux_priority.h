#pragma once
#include <sched.h>

#include "link/priority.h"

namespace merlinox::platform {

// The priority boost on Linux, best effort: real-time FIFO scheduling where the process
// may have it (root, or an RLIMIT_RTPRIO), otherwise a lower nice value where allowed,
// otherwise nothing. Restore puts back exactly what Raise changed. Nothing is reported:
// a program that cannot raise its priority still works, only its delays stretch.
class LinuxPriority final : public PriorityPort {
public:
    void Raise(PriorityLevel level) override;
    void Restore() override;

private:
    bool raised_ = false;
    bool scheduled_ = false;  // the scheduling policy was changed
    bool niced_ = false;      // the nice value was changed
    int oldPolicy_ = SCHED_OTHER;
    sched_param oldParam_{};
    int oldNice_ = 0;
};

}  // namespace merlinox::platform
