#pragma once

// Moves the calling thread, before it has any window, to a desktop of its own. Wine keeps one
// foreground window per desktop, so other programs showing windows on the same display then
// cannot take the focus from this thread's windows (an open in-place editor would close).
bool UsePrivateDesktop();

// For test programs whose windows all live on the main thread: every test runs on the
// process's own desktop, so message boxes and editors keep the focus while other test
// programs show windows on the same display.
#define CHRONSET_TESTS_ON_PRIVATE_DESKTOP()                                                                            \
    class PrivateDesktopEnvironment : public ::testing::Environment {                                                  \
    public:                                                                                                            \
        void SetUp() override { ASSERT_TRUE(UsePrivateDesktop()); }                                                    \
    };                                                                                                                 \
    [[maybe_unused]] ::testing::Environment* const privateDesktop =                                                    \
        ::testing::AddGlobalTestEnvironment(new PrivateDesktopEnvironment)
