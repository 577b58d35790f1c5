#include "Base/Event.h"

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

    void Seen(int32_t v) { log->push_back(name + std::to_string(v)); }
    void Other(int32_t v) { log->push_back(name + "other" + std::to_string(v)); }
    int32_t Ask(const std::string& s)
    {
        log->push_back(name + s);
        return answer;
    }
};

TEST(Event, NewestSubscriberIsCalledFirst)
{
    std::vector<std::string> log;
    Recorder a{&log, "a"}, b{&log, "b"};
    vKit::CEvent<void, int32_t> ev;
    ev.Subscribe(&a, &Recorder::Seen);
    ev.Subscribe(&b, &Recorder::Seen);
    ev.Raise(7);
    EXPECT_EQ(log, (std::vector<std::string>{"b7", "a7"}));
}

TEST(Event, UnsubscribeMatchesObjectAndMethod)
{
    std::vector<std::string> log;
    Recorder a{&log, "a"};
    vKit::CEvent<void, int32_t> ev;
    ev.Subscribe(&a, &Recorder::Seen);
    ev.Subscribe(&a, &Recorder::Other);
    EXPECT_EQ(ev.Unsubscribe(&a, &Recorder::Seen), 0);
    EXPECT_EQ(ev.Unsubscribe(&a, &Recorder::Seen), 1);
    ev.Raise(1);
    EXPECT_EQ(log, (std::vector<std::string>{"aother1"}));
}

TEST(Event, ResultStopsAtFirstNonzeroAnswer)
{
    std::vector<std::string> log;
    Recorder yes{&log, "yes", 5}, no{&log, "no", 0}, last{&log, "last", 0};
    vKit::CEvent<int32_t, const std::string&> ev;
    EXPECT_EQ(ev.Raise("x"), 0);
    ev.Subscribe(&yes, &Recorder::Ask);
    ev.Subscribe(&no, &Recorder::Ask);
    ev.Subscribe(&last, &Recorder::Ask);
    EXPECT_EQ(ev.Raise("x"), 5);
    EXPECT_EQ(log, (std::vector<std::string>{"lastx", "nox", "yesx"}));
}

} // namespace
