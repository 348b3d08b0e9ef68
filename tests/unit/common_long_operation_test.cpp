#include "common/long_operation.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "test_clock.h"

namespace quelm {
namespace {

// While each long operation runs, the user starts each other one at its fifth turn. Either the
// start is refused with its message and the running operation goes on, or the running one is
// stopped, unwinds at its next turn, and only then does the new one start, from the event loop:
// never inside the operation it stopped.
TEST(LongOperation, EveryStartWhileAnotherRunsStopsItFirstOrIsRefused) {
    using enum LongOperation;
    const std::string link = "Quelm is connected.  Disconnect before ";
    const std::string playing = "A log is being played back.  Stop the playback before ";
    const std::string exporting = "A log export is running.  Wait until it is done before ";
    const std::string testing = "The self test is running.  Stop the self test before ";
    const std::string stops;  // the running operation gives way
    struct Row {
        LongOperation running, wanted;
        std::string refusal;
    };
    const std::vector<Row> rows = {
        {Connecting, Connecting, link + "connecting."},
        {Connecting, Playback, stops},
        {Connecting, Export, kExportNeedsNoLinkMessage},
        {Connecting, SelfTest, stops},
        {Monitoring, Connecting, link + "connecting."},
        {Monitoring, Playback, stops},
        {Monitoring, Export, kExportNeedsNoLinkMessage},
        {Monitoring, SelfTest, stops},
        {Playback, Connecting, stops},
        {Playback, Playback, playing + "playing a log."},
        {Playback, Export, playing + "exporting a log."},
        {Playback, SelfTest, stops},
        {Export, Connecting, exporting + "connecting."},
        {Export, Playback, exporting + "playing a log."},
        {Export, Export, exporting + "exporting a log."},
        {Export, SelfTest, exporting + "starting the self test."},
        {SelfTest, Connecting, testing + "connecting."},
        {SelfTest, Playback, testing + "playing a log."},
        {SelfTest, Export, testing + "exporting a log."},
        {SelfTest, SelfTest, testing + "starting the self test."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.running) * 10 + static_cast<int>(row.wanted));
        test::TestClock rt;
        std::deque<OperationRecord::Task> eventLoop;
        OperationRecord ops([&](OperationRecord::Task t) { eventLoop.push_back(std::move(t)); });
        std::vector<std::string> events;
        std::optional<std::string> refusal;
        int turns = 0;
        rt.onYield = [&] {
            if (turns == 5) {
                refusal = ops.Request(row.wanted, [&] {
                    events.push_back(ops.Current() == None ? "started" : "started inside");
                });
            }
        };
        {
            bool stop = false;
            const auto running = ops.Begin(row.running, [&] { stop = true; });
            while (!stop && turns < 100) {
                ++turns;
                rt.Sleep(0.01);
                rt.Yield();
            }
        }
        events.push_back("ended");
        while (!eventLoop.empty()) {
            OperationRecord::Task next = std::move(eventLoop.front());
            eventLoop.pop_front();
            next();
        }
        if (row.refusal.empty()) {
            EXPECT_EQ(refusal, std::nullopt);
            EXPECT_EQ(turns, 5);
            EXPECT_EQ(events, (std::vector<std::string>{"ended", "started"}));
        } else {
            EXPECT_EQ(refusal, row.refusal);
            EXPECT_EQ(turns, 100);
            EXPECT_EQ(events, std::vector<std::string>{"ended"});
        }
        EXPECT_EQ(ops.Current(), None);
    }
}

TEST(LongOperation, NothingRunningStartsAtOnceAndTheLastWaitingStartWins) {
    std::vector<OperationRecord::Task> eventLoop;
    OperationRecord ops([&](OperationRecord::Task t) { eventLoop.push_back(std::move(t)); });
    std::string started;
    EXPECT_EQ(ops.Request(LongOperation::Export, [&] { started += "E"; }), std::nullopt);
    EXPECT_EQ(started, "E");
    {
        const auto playback = ops.Begin(LongOperation::Playback, {});
        EXPECT_THROW((void)ops.Begin(LongOperation::Export, {}), std::logic_error);
        EXPECT_EQ(ops.Request(LongOperation::Connecting, [&] { started += "C"; }), std::nullopt);
        EXPECT_EQ(ops.Request(LongOperation::SelfTest, [&] { started += "S"; }), std::nullopt);
        EXPECT_TRUE(ops.Waiting());
    }
    ASSERT_EQ(eventLoop.size(), 1u);
    eventLoop.front()();
    EXPECT_EQ(started, "ES");
}

}  // namespace
}  // namespace quelm
