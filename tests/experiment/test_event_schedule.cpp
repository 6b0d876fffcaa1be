#include "experiment/EventSchedule.h"

#include "engine/LoopState.h"

#include <gtest/gtest.h>

using namespace kavlon;
using K = ScheduledEvent::Kind;

namespace {
ScheduledEvent Event(int tick, K kind, Real value = 0, bool on = false)
{
    ScheduledEvent e;
    e.tick = tick;
    e.kind = kind;
    e.value = value;
    e.on = on;
    return e;
}
} // namespace

TEST(EventSchedule, SortingKeepsTheWrittenOrderWithinATick)
{
    EventSchedule events{Event(5, K::w, 1), Event(2, K::z), Event(5, K::w, 2), Event(0, K::stop),
                         Event(5, K::w, 3)};
    SortSchedule(events);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].kind, K::stop);
    EXPECT_EQ(events[1].kind, K::z);
    EXPECT_EQ(events[2].value, 1);
    EXPECT_EQ(events[3].value, 2);
    EXPECT_EQ(events[4].value, 3);
}

TEST(EventSchedule, SwitchesActOnlyWhenTheirPositionChanges)
{
    LoopState s;
    s.PlantIndex = 5; // F: the option is the dead-time compensation
    SwitchPositions switches;
    ResetLoopState(s, false, false, false);

    EXPECT_FALSE(ApplyEvent(s, switches, Event(1, K::option, 0, true)));
    EXPECT_TRUE(s.TotKOn);
    EXPECT_FALSE(s.StrKOn);
    // The flag went off behind the switch's back; the same position again
    // changes nothing, as a radio button already on does.
    s.TotKOn = false;
    ApplyEvent(s, switches, Event(2, K::option, 0, true));
    EXPECT_FALSE(s.TotKOn);

    s.y = 37;
    ApplyEvent(s, switches, Event(3, K::mode, 0, true));
    EXPECT_TRUE(s.HandMode);
    EXPECT_EQ(s.y, 37) << "manual mode keeps the controller's last output";

    ApplyEvent(s, switches, Event(4, K::arwu, 0, true));
    EXPECT_TRUE(s.ARWUOn);

    // A reset reloads the flags from the switch positions.
    s.TotKOn = false;
    s.x = 300;
    EXPECT_TRUE(ApplyEvent(s, switches, Event(5, K::reset)));
    EXPECT_TRUE(s.TotKOn);
    EXPECT_TRUE(s.HandMode);
    EXPECT_TRUE(s.ARWUOn);
    EXPECT_EQ(s.x, 0);
}

TEST(EventSchedule, AStopChangesNothingOfTheLoop)
{
    LoopState s;
    s.w = 300;
    s.x = 123;
    SwitchPositions switches;
    const LoopState before = s;
    EXPECT_FALSE(ApplyEvent(s, switches, Event(7, K::stop)));
    EXPECT_EQ(s.w, before.w);
    EXPECT_EQ(s.x, before.x);
    EXPECT_EQ(s.TickCount, before.TickCount);
}

TEST(EventSchedule, ValuesGoToTheirFields)
{
    struct Row {
        K kind;
        Real LoopState::*field;
    };
    const Row rows[] = {{K::w, &LoopState::w},   {K::z, &LoopState::Z},   {K::kr, &LoopState::Kr},
                        {K::tn, &LoopState::Tn}, {K::tv, &LoopState::Tv}, {K::y, &LoopState::y}};
    for (const Row &row : rows) {
        LoopState s;
        SwitchPositions switches;
        ApplyEvent(s, switches, Event(1, row.kind, 42.5L));
        EXPECT_EQ(s.*row.field, 42.5L);
        EXPECT_TRUE(CarriesValue(row.kind));
        EXPECT_TRUE(InOperatorRange(SpinValueOf(row.kind), 42.5L));
    }
    EXPECT_FALSE(CarriesValue(K::stop));
    EXPECT_FALSE(InOperatorRange(SpinValue::Z, -200.5L));
    EXPECT_FALSE(InOperatorRange(SpinValue::w, std::numeric_limits<Real>::quiet_NaN()));
}

TEST(EventSchedule, FindsTheFirstYOutsideManualMode)
{
    EventSchedule events{Event(1, K::mode, 0, true), Event(2, K::y, 10),
                         Event(3, K::mode, 0, false), Event(4, K::y, 20)};
    const ScheduledEvent *e = FirstYOutsideHandMode(events, false);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->tick, 4);
    EXPECT_EQ(FirstYOutsideHandMode({Event(1, K::y, 1)}, true), nullptr);
}
