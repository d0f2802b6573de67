#include "engine/ProgressThrottle.h"

ProgressThrottle::ProgressThrottle(unsigned long long startMs, unsigned long long delayMs,
                                   unsigned long long intervalMs) noexcept
    : start_(startMs), delay_(delayMs), interval_(intervalMs)
{
}

bool ProgressThrottle::Due(unsigned long long nowMs) noexcept
{
    // Compared by addition, not subtraction: a time before the start is simply not due.
    if (nowMs < (shown_ ? last_ + interval_ : start_ + delay_))
        return false;
    shown_ = true;
    last_ = nowMs;
    return true;
}
