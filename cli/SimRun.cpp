#include "cli/SimRun.h"

#include "analysis/RunRecorder.h"
#include "cli/CsvWriter.h"
#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"

#include <ctime>
#include <optional>
#include <string>

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

bool ActsOnLoop(const LoopState &before, const LoopState &after)
{
    return before.w != after.w || before.Z != after.Z || before.Kr != after.Kr
           || before.Tn != after.Tn || before.Tv != after.Tv || before.y != after.y
           || before.ARWUOn != after.ARWUOn || before.TotKOn != after.TotKOn
           || before.StrKOn != after.StrKOn || before.HandMode != after.HandMode;
}

namespace {

// The step segments of a run, written as they complete.
class MetricsWriter {
public:
    MetricsWriter(std::FILE *out, Real bandPercent) : out_(out)
    {
        recorder_.SetBandPercent(bandPercent);
        Write(MetricsCsvHeader());
    }

    RunRecorder &Recorder() { return recorder_; }

    // Writes the segments completed so far.
    void Drain()
    {
        for (const StepSegment &segment : recorder_.TakeCompleted())
            Write(MetricsCsvRow(segment));
    }

    bool Finish()
    {
        recorder_.Finish();
        Drain();
        return ok_ && std::fflush(out_) == 0;
    }

private:
    void Write(const std::string &text)
    {
        if (std::fwrite(text.data(), 1, text.size(), out_) != text.size())
            ok_ = false;
    }

    std::FILE *out_;
    RunRecorder recorder_;
    bool ok_{true};
};

} // namespace

CsvTitle RunTitle(const LoopState &start)
{
    CsvTitle title;
    title.Program = "kavlon-sim " KAVLON_VERSION " (Kavlon 2)";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char date[32] = "";
    if (localtime_r(&now, &local))
        std::strftime(date, sizeof date, "%d.%m.%Y %H:%M:%S", &local);
    title.Date = date;
    title.Start = start;
    return title;
}

bool RunSimulation(const SimOptions &o, std::FILE *out, TickObserver *observer, std::FILE *metrics)
{
    SwitchPositions switches;
    LoopState s = StartState(o, switches);
    CsvWriter csv(out, o.format);
    CsvTitle title = RunTitle(s);
    title.Experiment = o.experimentTitle;
    csv.Header(title);
    // The changes that act before the next tick, for the German form's
    // event column.
    std::string pending;
    if (observer)
        observer->Reset(s);
    std::optional<MetricsWriter> steps;
    if (metrics) {
        steps.emplace(metrics, o.bandPercent);
        steps->Recorder().StartFromRest(s);
    }

    auto next = o.events.begin();
    auto applyDue = [&](int tick) {
        for (; next != o.events.end() && next->tick == tick; ++next) {
            const LoopState before = s;
            const bool reset = ApplyEvent(s, switches, *next);
            const std::string change = reset ? std::string("Neustart")
                                       : next->kind == ScheduledEvent::Kind::stop
                                           ? std::string("Stop")
                                           : ChangeText(before, s);
            if (!change.empty())
                pending += (pending.empty() ? "" : ", ") + change;
            if (reset && observer)
                observer->Reset(s);
            if (steps && reset)
                steps->Recorder().StartFromRest(s);
            else if (steps && ActsOnLoop(before, s))
                steps->Recorder().OperatorChanged(s);
        }
        if (steps)
            steps->Drain();
    };

    applyDue(0);
    // Counted so that --ticks 2147483647 never steps past the int range.
    for (int tick = 0; tick < o.ticks;) {
        ++tick;
        LoopTick(s, [&](const LoopState &t) {
            if (observer)
                observer->Tick(t);
            if (steps)
                steps->Recorder().Sample(t);
        });
        csv.Row(s.TickCount, s, pending);
        pending.clear();
        applyDue(tick);
    }
    if (observer)
        observer->Finished(s);
    const bool stepsWritten = !steps || steps->Finish();
    return csv.Flush() && std::fflush(out) == 0 && stepsWritten;
}

} // namespace kavlon::sim
