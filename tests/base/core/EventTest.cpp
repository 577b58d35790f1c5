#include "Base/core/Event.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct Recorder
{
    std::vector<std::string>* log;
    std::string name;
    int32_t answer = 0;

    int32_t Ask(int32_t v)
    {
        log->push_back(name + std::to_string(v));
        return answer;
    }
    int32_t Other(int32_t v) { return Ask(-v); }
};

TEST(Event, NewestFirstUnsubscribeByObjectAndMethodFirstNonzeroAnswerWins)
{
    std::vector<std::string> log;
    Recorder a{&log, "a", 5}, b{&log, "b"}, c{&log, "c"};
    vKit::CEvent<int32_t, int32_t> ev;
    EXPECT_EQ(ev.Raise(1), 0); // nobody to answer
    ev.Subscribe(&a, &Recorder::Ask);
    ev.Subscribe(&b, &Recorder::Other);
    ev.Subscribe(&b, &Recorder::Ask);
    ev.Subscribe(&c, &Recorder::Ask);
    EXPECT_EQ(ev.Unsubscribe(&b, &Recorder::Ask), 0);
    EXPECT_EQ(ev.Unsubscribe(&b, &Recorder::Ask), 1);
    EXPECT_EQ(ev.Raise(7), 5);
    EXPECT_EQ(log, (std::vector<std::string>{"c7", "b-7", "a7"}));

    c.answer = 3;
    log.clear();
    EXPECT_EQ(ev.Raise(8), 3);
    EXPECT_EQ(log, std::vector<std::string>{"c8"});
}

} // namespace
