// What a pause and a failure box hold, and the order in which it runs after
// them: the replies, then the input that waited, then one tick per timer
// still running.
#include <gtest/gtest.h>

#include "app/Pauses.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"

namespace {

struct Loop {
    fakes::FakeEventLoop loop;
    app::Pauses pauses{loop};
    fakes::FakeTimer message, status;
    int waiting = 0;  // datagrams in the socket
    std::vector<std::string> log;

    Loop() {
        loop.deferred = true;
        message.on = status.on = true;
    }
    void tick(fakes::FakeTimer& timer, const char* name) {
        pauses.tick(timer, [this, name] { log.emplace_back(name); });
    }
    void datagrams(int n) {
        waiting += n;
        pauses.arrivals([this] {
            if (waiting == 0) return false;
            --waiting;
            log.emplace_back("reply");
            return true;
        });
    }
    // The event loop after the handler that paused has returned: what was
    // posted, then the input the window system kept, then what waited for it.
    void run(const std::function<void()>& input) {
        loop.runPosted();
        log.emplace_back("input");
        if (input) input();
        while (!loop.posted.empty() || !loop.afterInputs.empty()) {
            loop.runPosted();
            loop.runAfterInput();
        }
    }
};

}  // namespace

TEST(Pauses, HoldTicksAndRepliesThenRunRepliesInputAndOneTickPerRunningTimer) {
    const struct {
        const char* what;
        bool box;                           // a failure box rather than a pause
        std::function<void(Loop&)> during;  // what falls due in it
        std::function<void(Loop&)> after;   // what falls due once it is over, before the loop runs
        std::function<void(Loop&)> input;   // what the user did meanwhile
        std::vector<std::string> expected;  // from the end of the pause or box ("over")
    } cases[] = {
        {"ticks and replies in a pause",
         false,
         [](Loop& l) {
             l.tick(l.message, "message");
             l.tick(l.message, "message");
             l.tick(l.status, "status");
             l.datagrams(2);
         },
         nullptr,
         nullptr,
         {"over", "reply", "reply", "input", "message", "status"}},
        {"a Stop clicked in the pause",
         false,
         [](Loop& l) {
             l.tick(l.status, "status");
             l.tick(l.message, "message");
             l.datagrams(1);
         },
         nullptr,
         [](Loop& l) { l.message.on = l.status.on = false; },
         {"over", "reply", "input"}},
        {"ticks and replies under a failure box",
         true,
         [](Loop& l) {
             l.tick(l.status, "status");
             l.datagrams(1);
         },
         nullptr,
         nullptr,
         {"over", "reply", "input", "status"}},
        {"a tick after the pause, before the input",
         false,
         nullptr,
         [](Loop& l) {
             l.tick(l.message, "message");
             l.datagrams(1);
         },
         nullptr,
         {"over", "reply", "input", "message"}},
    };
    for (const auto& c : cases) {
        Loop l;
        l.loop.during = [&] {
            if (c.during) c.during(l);
        };
        if (c.box)
            l.pauses.holdEvents([&] {
                if (c.during) c.during(l);
            });
        else
            l.pauses.sleep(500);
        l.log.emplace_back("over");
        EXPECT_EQ(l.loop.reporting, !c.during) << c.what << ": no reports while replies are held";
        if (c.after) c.after(l);
        l.run([&] {
            if (c.input) c.input(l);
        });
        EXPECT_EQ(l.log, c.expected) << c.what;
        EXPECT_FALSE(l.pauses.held()) << c.what;
        EXPECT_TRUE(l.loop.reporting) << c.what;
    }
}

TEST(Pauses, AFloodIsTakenASliceAPassWithReportsOffUntilTheLast) {
    Loop l;
    l.datagrams(2 * app::Pauses::kReplySlice + 1);
    EXPECT_EQ(l.log.size(), static_cast<std::size_t>(app::Pauses::kReplySlice));
    EXPECT_FALSE(l.loop.reporting);
    l.loop.runPosted();
    EXPECT_EQ(l.log.size(), static_cast<std::size_t>(app::Pauses::kReplySlice)) << "the rest waits for the input";
    l.loop.runAfterInput();
    EXPECT_EQ(l.log.size(), static_cast<std::size_t>(2 * app::Pauses::kReplySlice));
    l.loop.runAfterInput();
    EXPECT_EQ(l.waiting, 0);
    EXPECT_TRUE(l.loop.reporting);
    EXPECT_TRUE(l.loop.afterInputs.empty());
}
