// Experiment files: any bytes must give either one line of German refusal
// with nothing kept, or an experiment whose every value lies in its range,
// which the writer turns into a file that reads back as the same experiment,
// and which kavlon-sim accepts as it is.
#include "cli/SimOptions.h"
#include "experiment/ExperimentFile.h"
#include "fuzz/FuzzScratch.h"
#include "fuzz/SimOptionsCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace kavlon;

bool SameEvents(const EventSchedule &a, const EventSchedule &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
        return x.tick == y.tick && x.kind == y.kind && x.value == y.value && x.on == y.on;
    });
}

void CheckExperiment(const Experiment &x)
{
    const ExperimentSettings &s = x.settings;
    if (s.plant && (*s.plant < 0 || *s.plant >= PlantCount))
        fuzz::Broken("a plant outside the table");
    const std::pair<const std::optional<Real> *, SpinValue> values[] = {
        {&s.w, SpinValue::w},   {&s.z, SpinValue::Z},   {&s.kr, SpinValue::Kr},
        {&s.tn, SpinValue::Tn}, {&s.tv, SpinValue::Tv}, {&s.y, SpinValue::y}};
    for (const auto &[v, which] : values)
        if (*v && !fuzz::InRange(which, **v))
            fuzz::Broken("a start value outside the operator's range");
    if (s.timeAxis && *s.timeAxis != 180 && *s.timeAxis != 300 && *s.timeAxis != 600)
        fuzz::Broken("a time axis the window does not offer");
    if (s.speed && (*s.speed < MinSpeed || *s.speed > MaxSpeed))
        fuzz::Broken("a speed outside 1..100");
    int last = 0;
    for (const ScheduledEvent &e : x.events) {
        if (e.tick < last || e.tick > MaxEventSecond)
            fuzz::Broken("events out of order or beyond the last second");
        last = e.tick;
        if (e.kind == ScheduledEvent::Kind::reset)
            fuzz::Broken("a reset, which a file cannot hold");
        if (CarriesValue(e.kind) && !fuzz::InRange(SpinValueOf(e.kind), e.value))
            fuzz::Broken("a change outside the operator's range");
    }
    if (FirstYOutsideHandMode(x.events, s.hand.value_or(false)))
        fuzz::Broken("a change of y outside manual mode");
    if (x.title.find('\n') != std::string::npos)
        fuzz::Broken("a title over two lines");
    if (!x.task.empty() && (x.task.front() == '\n' || x.task.back() == '\n'))
        fuzz::Broken("a task that starts or ends with an empty line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const ExperimentReadResult r = ReadExperiment(text);
    if (!r.ok()) {
        if (r.error.find('\n') != std::string::npos)
            fuzz::Broken("a refusal over more than one line");
        if (r.line < 0 || static_cast<std::size_t>(r.line) > size + 1)
            fuzz::Broken("a refusal naming a line the file does not have");
        if (!(r.experiment.settings == ExperimentSettings{}) || !r.experiment.events.empty()
            || !r.experiment.title.empty() || !r.experiment.task.empty())
            fuzz::Broken("a refused file left something behind");
        return 0;
    }
    CheckExperiment(r.experiment);

    const std::string written = WriteExperiment(r.experiment);
    const ExperimentReadResult again = ReadExperiment(written);
    if (!again.ok())
        fuzz::Broken("the writer made a file the reader refuses");
    if (!(again.experiment.settings == r.experiment.settings)
        || again.experiment.title != r.experiment.title
        || again.experiment.task != r.experiment.task
        || !SameEvents(again.experiment.events, r.experiment.events))
        fuzz::Broken("a written experiment reads back differently");
    if (WriteExperiment(again.experiment) != written)
        fuzz::Broken("writing is not stable");

    // kavlon-sim takes every file the reader accepts.
    static const std::string path = (fuzz::Scratch().Path() / "run.kversuch").string();
    fuzz::WriteFile(path, data, size);
    const sim::ParseResult parsed = sim::ParseArguments({"--experiment", path});
    if (!parsed.ok())
        fuzz::Broken("kavlon-sim refused a file the reader accepts");
    fuzz::CheckParseResult(parsed);
    return 0;
}
