#include "framework/MessageLoop.h"
#include "framework/Module.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

constexpr UINT WM_COUNTED = WM_APP + 3;

class CountingFilter : public CMessageFilter {
public:
    bool consume = false;
    int seen = 0;
    std::vector<int>* order = nullptr;
    int id = 0;
    bool PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_COUNTED)
            return false;
        ++seen;
        if (order)
            order->push_back(id);
        return consume;
    }
};

class QuitWhenIdle : public CIdleHandler {
public:
    int turns = 0;
    bool OnIdle() override
    {
        if (++turns == 1) {
            ::PostThreadMessageW(::GetCurrentThreadId(), WM_COUNTED, 0, 0);
            ::PostQuitMessage(23);
        }
        return false;
    }
};

TEST(MessageLoop, FiltersSeeQueuedMessagesLastAddedFirstAndIdleHandlersRun)
{
    CMessageLoop loop;
    std::vector<int> order;
    CountingFilter first;
    CountingFilter second;
    first.order = second.order = &order;
    first.id = 1;
    second.id = 2;
    second.consume = true;
    QuitWhenIdle idle;
    ASSERT_TRUE(loop.AddMessageFilter(&first));
    ASSERT_TRUE(loop.AddMessageFilter(&second));
    EXPECT_FALSE(loop.AddMessageFilter(&second));
    ASSERT_TRUE(loop.AddIdleHandler(&idle));

    EXPECT_EQ(loop.Run(), 23);
    EXPECT_GE(idle.turns, 1);
    EXPECT_EQ(order, (std::vector<int>{2})); // the second filter consumed it

    EXPECT_TRUE(loop.RemoveMessageFilter(&second));
    EXPECT_FALSE(loop.RemoveMessageFilter(&second));
    MSG msg{};
    msg.message = WM_COUNTED;
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(first.seen, 1);
    EXPECT_TRUE(loop.RemoveIdleHandler(&idle));
}

TEST(AppModule, KeepsOneMessageLoopPerThread)
{
    CAppModule module;
    module.Init(nullptr);
    EXPECT_EQ(module.GetResourceInstance(), ::GetModuleHandleW(nullptr));
    CMessageLoop loop;
    EXPECT_TRUE(module.AddMessageLoop(&loop));
    EXPECT_FALSE(module.AddMessageLoop(&loop));
    EXPECT_EQ(module.GetMessageLoop(), &loop);

    CMessageLoop* seenElsewhere = &loop;
    std::thread other([&] { seenElsewhere = module.GetMessageLoop(); });
    other.join();
    EXPECT_EQ(seenElsewhere, nullptr);

    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
    EXPECT_FALSE(module.RemoveMessageLoop());
}

} // namespace
