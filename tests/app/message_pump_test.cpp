#include "app/message_pump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/platform_guard.h"

namespace {

// A scripted message queue standing in for the thread's real one.
//  - a message entry is waiting: PeekMessageA reports it, GetMessageA takes it;
//  - a drain entry marks the queue running empty: PeekMessageA reports
//    nothing there, GetMessageA blocks past it to what follows;
//  - a fail entry is waiting, but GetMessageA returns -1 for it.
enum class Kind { Message, Drain, Fail };

struct Entry {
    Kind kind;
    UINT message;
    WPARAM wParam;
};

const UINT SystemTimer = 0x0118;

Entry post(UINT message, WPARAM wParam = 0) { return {Kind::Message, message, wParam}; }
const Entry Drain = {Kind::Drain, 0, 0};
const Entry Fail = {Kind::Fail, 0, 0};

std::vector<Entry> script;
size_t cursor = 0;
std::vector<std::string> events;

std::string nameOf(UINT message)
{
    switch (message) {
    case WM_KEYDOWN: return "key";
    case WM_COMMAND: return "command";
    case WM_MOUSEMOVE: return "move";
    case WM_NCMOUSEMOVE: return "ncmove";
    case WM_PAINT: return "paint";
    case SystemTimer: return "systimer";
    case WM_QUIT: return "quit";
    default: return std::to_string(message);
    }
}

void fill(MSG* message, const Entry& entry)
{
    *message = MSG();
    message->message = entry.message;
    message->wParam = entry.wParam;
}

BOOL WINAPI fakePeek(MSG* message, HWND, UINT, UINT, UINT remove)
{
    EXPECT_EQ(remove, static_cast<UINT>(PM_NOREMOVE));
    if (cursor >= script.size() || script[cursor].kind == Kind::Drain)
        return FALSE;
    fill(message, script[cursor]);
    return TRUE;
}

BOOL WINAPI fakeGet(MSG* message, HWND, UINT, UINT)
{
    while (cursor < script.size() && script[cursor].kind == Kind::Drain)
        ++cursor;
    if (cursor >= script.size()) {
        ADD_FAILURE() << "the pump waited past the end of the script";
        fill(message, post(WM_QUIT, 99));
        return 0;
    }
    const Entry entry = script[cursor++];
    if (entry.kind == Kind::Fail) {
        events.push_back("fail");
        return -1;
    }
    fill(message, entry);
    events.push_back("get " + nameOf(entry.message));
    return entry.message == WM_QUIT ? 0 : 1;
}

BOOL WINAPI fakeTranslate(const MSG*)
{
    events.push_back("translate");
    return FALSE;
}

LRESULT WINAPI fakeDispatch(const MSG*)
{
    events.push_back("dispatch");
    return 0;
}

// Logs each idle pass with its counter. Asks for more idle work while the
// counter is below morePasses.
class RecordingPump : public MessagePump {
public:
    explicit RecordingPump(LONG morePasses = 0) : more(morePasses) {}

    BOOL idleAll(LONG idleCount) override
    {
        events.push_back("idle " + std::to_string(idleCount));
        MessagePump::idleAll(idleCount);
        return idleCount < more;
    }

private:
    LONG more;
};

class NamedFilter : public DispatchFilter {
public:
    NamedFilter(const char* filterName, UINT consumedMessage)
        : name(filterName), consumed(consumedMessage) {}

    BOOL screen(MSG* message) override
    {
        events.push_back(std::string("screen ") + name);
        return message->message == consumed;
    }

private:
    const char* name;
    UINT consumed;
};

class NamedTask : public IdleTask {
public:
    explicit NamedTask(const char* taskName) : name(taskName) {}

    BOOL runIdle() override
    {
        events.push_back(std::string("task ") + name);
        return 1;
    }

private:
    const char* name;
};

class MessagePumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppPlatform& platform = appPlatform();
        platform.PeekMessageA = fakePeek;
        platform.GetMessageA = fakeGet;
        platform.TranslateMessage = fakeTranslate;
        platform.DispatchMessageA = fakeDispatch;
        events.clear();
        cursor = 0;
    }

    int run(MessagePump& pump, const std::vector<Entry>& entries)
    {
        script = entries;
        cursor = 0;
        return pump.pumpMessages();
    }

    AppPlatformGuard guard;
};

struct PumpCase {
    const char* name;
    std::vector<Entry> script;
    std::vector<std::string> expected;
};

const std::vector<std::string> Delivered = {"translate", "dispatch"};

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(MessagePumpTest, IdlePassesAndDeliveryWithoutFilters)
{
    const PumpCase cases[] = {
        {"every message but quit is translated and dispatched",
         {post(WM_KEYDOWN), post(WM_COMMAND), post(WM_QUIT)},
         join({{"get key"}, Delivered, {"get command"}, Delivered, {"get quit"}})},
        {"an empty queue at the start brings one idle pass, then the pump blocks",
         {Drain, post(WM_QUIT)},
         {"idle 0", "get quit"}},
        {"moves, paints and the system timer bring no idle pass",
         {Drain, post(WM_MOUSEMOVE), post(WM_PAINT), Drain, post(SystemTimer), post(WM_NCMOUSEMOVE),
          Drain, post(WM_QUIT)},
         join({{"idle 0", "get move"}, Delivered, {"get paint"}, Delivered, {"get systimer"},
               Delivered, {"get ncmove"}, Delivered, {"get quit"}})},
        {"a key brings exactly one idle pass, after the queue drains",
         {Drain, post(WM_KEYDOWN), post(WM_MOUSEMOVE), post(WM_PAINT), Drain, post(WM_QUIT)},
         join({{"idle 0", "get key"}, Delivered, {"get move"}, Delivered, {"get paint"}, Delivered,
               {"idle 0", "get quit"}})},
        {"a command brings one idle pass as well",
         {Drain, post(WM_COMMAND), Drain, post(WM_QUIT)},
         join({{"idle 0", "get command"}, Delivered, {"idle 0", "get quit"}})},
        {"a failing get after an idle pass brings none",
         {Drain, Fail, post(WM_MOUSEMOVE), Drain, post(WM_QUIT)},
         join({{"idle 0", "fail", "get move"}, Delivered, {"get quit"}})},
        {"a failing get while the idle flag is on brings the pending pass",
         {Fail, Drain, post(WM_QUIT)},
         {"fail", "idle 0", "get quit"}},
    };
    for (const PumpCase& c : cases) {
        events.clear();
        RecordingPump pump;
        EXPECT_EQ(run(pump, c.script), 0) << c.name;
        EXPECT_EQ(events, c.expected) << c.name;
    }
}

TEST_F(MessagePumpTest, QuitReturnsItsWParamAndEndsTheLoop)
{
    RecordingPump pump;
    EXPECT_EQ(run(pump, {post(WM_KEYDOWN), post(WM_QUIT, 2), post(WM_COMMAND)}), 2);
    EXPECT_EQ(events, join({{"get key"}, Delivered, {"get quit"}}));
    EXPECT_EQ(cursor, 2u) << "the command after the quit message was taken";
}

TEST_F(MessagePumpTest, IdleCounterRunsWhileMoreIdleWorkIsWanted)
{
    RecordingPump pump(2);
    run(pump, {Drain, post(WM_KEYDOWN), Drain, post(WM_QUIT)});
    EXPECT_EQ(events, join({{"idle 0", "idle 1", "idle 2", "get key"}, Delivered,
                            {"idle 0", "idle 1", "idle 2", "get quit"}}));
}

TEST_F(MessagePumpTest, LastAddedFilterIsAskedFirstAndConsumptionStopsDelivery)
{
    NamedFilter first("first", WM_COMMAND);
    NamedFilter second("second", WM_KEYDOWN);
    RecordingPump pump;
    ASSERT_EQ(pump.addFilter(&first), 1);
    ASSERT_EQ(pump.addFilter(nullptr), 1);
    ASSERT_EQ(pump.addFilter(&second), 1);

    const PumpCase cases[] = {
        {"consumed by the last added: the first is not asked",
         {post(WM_KEYDOWN), post(WM_QUIT)},
         {"get key", "screen second", "get quit"}},
        {"consumed by the first added, after the last added declined",
         {post(WM_COMMAND), post(WM_QUIT)},
         {"get command", "screen second", "screen first", "get quit"}},
        {"consumed by none: translated and dispatched",
         {post(WM_CHAR), post(WM_QUIT)},
         join({{"get 258", "screen second", "screen first"}, Delivered, {"get quit"}})},
        {"a consumed key re-arms the idle pass",
         {Drain, post(WM_KEYDOWN), Drain, post(WM_QUIT)},
         {"idle 0", "get key", "screen second", "idle 0", "get quit"}},
    };
    for (const PumpCase& c : cases) {
        events.clear();
        EXPECT_EQ(run(pump, c.script), 0) << c.name;
        EXPECT_EQ(events, c.expected) << c.name;
    }
}

TEST_F(MessagePumpTest, ConsumedMouseMoveDoesNotRearm)
{
    NamedFilter filter("only", WM_MOUSEMOVE);
    RecordingPump pump;
    ASSERT_EQ(pump.addFilter(&filter), 1);
    run(pump, {Drain, post(WM_MOUSEMOVE), Drain, post(WM_QUIT)});
    EXPECT_EQ(events, (std::vector<std::string>{"idle 0", "get move", "screen only", "get quit"}));
}

TEST_F(MessagePumpTest, IdlePassRunsEveryTaskOnceInOrder)
{
    NamedTask a("a");
    NamedTask b("b");
    MessagePump pump;  // the pump's own idle pass
    ASSERT_EQ(pump.addIdleTask(&a), 1);
    ASSERT_EQ(pump.addIdleTask(nullptr), 1);
    ASSERT_EQ(pump.addIdleTask(&b), 1);
    run(pump, {Drain, post(WM_KEYDOWN), post(WM_PAINT), Drain, post(WM_QUIT)});
    EXPECT_EQ(events, join({{"task a", "task b", "get key"}, Delivered, {"get paint"}, Delivered,
                            {"task a", "task b", "get quit"}}));
    EXPECT_EQ(pump.idleAll(0), 0) << "the idle pass never asks for more";
}

}  // namespace
