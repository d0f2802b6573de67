#pragma once

// Decides when a progress display is brought up to date, from times in milliseconds on one
// monotonic clock (as GetTickCount64 gives them). A short walk shows nothing: no update is due
// before the start delay has passed since the walk began; after that, at most one per interval.
class ProgressThrottle {
public:
    static constexpr unsigned long long StartDelayMs = 1000;
    static constexpr unsigned long long IntervalMs = 100;

    explicit ProgressThrottle(unsigned long long startMs, unsigned long long delayMs = StartDelayMs,
                              unsigned long long intervalMs = IntervalMs) noexcept;

    // Whether an update is due at this time; when it is, it counts as made then.
    [[nodiscard]] bool Due(unsigned long long nowMs) noexcept;
    // Whether an update has been due yet, that is, whether the display has been brought up.
    [[nodiscard]] bool Shown() const noexcept { return shown_; }

private:
    unsigned long long start_;
    unsigned long long delay_;
    unsigned long long interval_;
    unsigned long long last_ = 0; // when the last update was due
    bool shown_ = false;
};
