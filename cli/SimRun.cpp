#include "cli/SimRun.h"

#include "cli/CsvWriter.h"
#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"

namespace kavlon::sim {

LoopState StartState(const SimOptions &o, SwitchPositions &switches)
{
    switches = {o.arwu, o.option, o.hand};
    LoopState s;
    ResetLoopState(s, switches.arwu, switches.option, switches.hand);
    s.PlantIndex = static_cast<std::uint8_t>(o.plant);
    s.w = o.w;
    s.Z = o.z;
    s.Kr = o.kr;
    s.Tn = o.tn;
    s.Tv = o.tv;
    if (o.hand)
        s.y = o.y;
    return s;
}

bool ApplyEvent(LoopState &s, SwitchPositions &switches, const SimEvent &e)
{
    using K = SimEvent::Kind;
    switch (e.kind) {
    case K::w: s.w = e.value; break;
    case K::z: s.Z = e.value; break;
    case K::kr: s.Kr = e.value; break;
    case K::tn: s.Tn = e.value; break;
    case K::tv: s.Tv = e.value; break;
    case K::y: s.y = e.value; break;
    // A radio pair acts only when its position changes.
    case K::arwu:
        if (switches.arwu != e.on)
            s.ARWUOn = switches.arwu = e.on;
        break;
    case K::option:
        if (switches.option != e.on) {
            switches.option = e.on;
            ApplyOptionSwitch(s, e.on);
        }
        break;
    case K::mode:
        // Manual mode keeps y at the controller's last output.
        if (switches.hand != e.on)
            s.HandMode = switches.hand = e.on;
        break;
    case K::reset:
        ResetLoopState(s, switches.arwu, switches.option, switches.hand);
        return true;
    }
    return false;
}

bool RunSimulation(const SimOptions &o, std::FILE *out, TickObserver *observer)
{
    SwitchPositions switches;
    LoopState s = StartState(o, switches);
    CsvWriter csv(out);
    csv.Header();
    if (observer)
        observer->Reset(s);

    auto next = o.events.begin();
    auto applyDue = [&](int tick) {
        for (; next != o.events.end() && next->tick == tick; ++next)
            if (ApplyEvent(s, switches, *next) && observer)
                observer->Reset(s);
    };

    applyDue(0);
    // Counted so that --ticks 2147483647 never steps past the int range.
    for (int tick = 0; tick < o.ticks;) {
        ++tick;
        LoopTick(s, [&](const LoopState &t) {
            if (observer)
                observer->Tick(t);
        });
        csv.Row(s.TickCount, s);
        applyDue(tick);
    }
    if (observer)
        observer->Finished(s);
    return csv.Flush() && std::fflush(out) == 0;
}

} // namespace kavlon::sim
