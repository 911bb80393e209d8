#include "platform/process/InterruptWait.h"

#include <algorithm>

bool TInterruptWait::WaitUntil(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    for (;;) {
        if (Interrupted())
            return false;
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0)
            return true;
        // Round up so that the wait never ends a little early and loops; a
        // bound of a minute keeps the count within what every system takes.
        if (!BlockOnStopEvent(std::min(left + milliseconds(1), milliseconds(60'000))))
            return !Interrupted();
    }
}
