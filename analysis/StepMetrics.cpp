#include "analysis/StepMetrics.h"

#include "engine/RealText.h"

#include <charconv>
#include <cmath>

namespace kavlon {

Real BandHalfWidth(Real bandPercent, Real delta) { return bandPercent * std::fabs(delta) / 100; }

std::optional<Real> OvershootPercent(Real excess, Real delta)
{
    if (delta == 0)
        return std::nullopt;
    return (excess > 0 ? excess : Real{0}) * 100 / std::fabs(delta);
}

StepSegment EvaluateSegment(StepSegment head, std::span<const Real> samples)
{
    StepSegment s = head;
    s.End = s.Start + static_cast<std::int32_t>(samples.size());
    s.Rise = s.Settling = s.Overshoot = s.MaxError = s.SteadyError = s.IAE = std::nullopt;
    const std::size_t n = samples.size();
    if (n == 0)
        return s;

    auto inside = [&s](Real x) { return std::fabs(s.Target - x) <= s.Band; };

    for (std::size_t j = 0; j < n; ++j) {
        if (inside(samples[j])) {
            s.Rise = static_cast<Real>(j + 1);
            break;
        }
    }

    // Walk back over the samples that stay inside up to the end.
    std::size_t first = n;
    while (first > 0 && inside(samples[first - 1]))
        --first;
    if (first < n)
        s.Settling = static_cast<Real>(first + 1);

    if (s.Kind == StepKind::SetPoint) {
        Real excess = 0;
        for (Real x : samples) {
            const Real e = s.Delta > 0 ? x - s.Target : s.Target - x;
            if (e > excess)
                excess = e;
        }
        s.Overshoot = OvershootPercent(excess, s.Delta);
    }

    Real maxError = 0;
    Real iae = 0;
    for (Real x : samples) {
        const Real e = std::fabs(s.Target - x);
        if (e > maxError)
            maxError = e;
        iae += e;
    }
    s.MaxError = maxError;
    s.IAE = iae;
    s.SteadyError = s.Target - samples[n - 1];
    return s;
}

namespace {

void AppendInteger(std::string &line, long long v)
{
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, v);
    line.append(text, r.ptr);
}

void AppendReal(std::string &line, Real v)
{
    char text[RealTextCapacity];
    line.append(text, WriteRealText(text, v));
}

// Whole seconds as integers: the shortest form of 1000000 as a real would be 1e+06.
void AppendTime(std::string &line, const std::optional<Real> &t)
{
    line.push_back(',');
    if (t)
        AppendInteger(line, std::llrint(*t));
}

void AppendFigure(std::string &line, const std::optional<Real> &v)
{
    line.push_back(',');
    if (v)
        AppendReal(line, *v);
}

} // namespace

std::string MetricsCsvHeader()
{
    return "start,end,kind,delta,band,rise,settling,overshoot,emax,steady_error,iae\n";
}

std::string MetricsCsvRow(const StepSegment &segment)
{
    std::string line;
    AppendInteger(line, segment.Start);
    line.push_back(',');
    AppendInteger(line, segment.End);
    line += segment.Kind == StepKind::SetPoint ? ",w," : ",Z,";
    AppendReal(line, segment.Delta);
    line.push_back(',');
    AppendReal(line, segment.Band);
    line.push_back(',');
    line += MetricsCsvFigures(segment);
    line.push_back('\n');
    return line;
}

std::string MetricsCsvFigures(const StepSegment &segment)
{
    std::string line;
    AppendTime(line, segment.Rise);
    AppendTime(line, segment.Settling);
    AppendFigure(line, segment.Overshoot);
    AppendFigure(line, segment.MaxError);
    AppendFigure(line, segment.SteadyError);
    AppendFigure(line, segment.IAE);
    return line.substr(1); // the fields, without the comma before the first
}

} // namespace kavlon
