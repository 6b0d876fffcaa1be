#include "cli/TuningOptions.h"

#include "cli/ErrorText.h"
#include "cli/SimOptions.h"

#include <charconv>
#include <cmath>

namespace kavlon::sim {

namespace {

// The grid values of the --sweep text "kr=LO:HI:STEP,tn=LO:HI:STEP[,tv=...]".
std::string ParseSweep(const std::string &text, SimOptions &o)
{
    SweepPlan plan;
    bool kr = false, tn = false;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find(',', begin);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(begin, end - begin);
        const auto eq = part.find('=');
        const std::string name = part.substr(0, eq);
        SpinValue which{};
        bool *seen = nullptr;
        bool tvSeen = plan.tv.has_value();
        if (name == "kr") {
            which = SpinValue::Kr;
            seen = &kr;
        } else if (name == "tn") {
            which = SpinValue::Tn;
            seen = &tn;
        } else if (name == "tv") {
            which = SpinValue::Tv;
            seen = &tvSeen;
        } else {
            return "--sweep: " + QuoteValue(part) + " is not kr=, tn= or tv=LO:HI:STEP";
        }
        if (eq == std::string::npos)
            return "--sweep: " + QuoteValue(part) + " is not " + name + "=LO:HI:STEP";
        if (*seen)
            return "--sweep: " + name + " is given twice";
        SweepAxis &axis = which == SpinValue::Kr   ? plan.kr
                          : which == SpinValue::Tn ? plan.tn
                                                   : plan.tv.emplace();
        if (std::string err = ParseSweepAxis(part.substr(eq + 1), which, axis); !err.empty())
            return "--sweep: " + QuoteValue(part) + " " + err;
        *seen = true;
        begin = end + 1;
    }
    if (!kr || !tn)
        return "--sweep: " + QuoteValue(text) + " needs both kr= and tn=";
    if (plan.Points() > MaxSweepPoints)
        return "--sweep: " + std::to_string(plan.Points()) + " points are more than "
               + std::to_string(MaxSweepPoints);
    o.sweep = plan;
    return {};
}

} // namespace

bool IsTuningOption(const std::string &name)
{
    return name == "--identify" || name == "--sweep" || name == "--sweep-csv"
           || name == "--sweep-png" || name == "--sweep-metric" || name == "--threads";
}

std::string ParseTuningOption(const std::string &name, const std::string &value, SimOptions &o)
{
    if (name == "--identify") {
        const SpinRange r = RangeOf(SpinValue::y);
        Real y1 = 0;
        const char *first = value.data();
        const char *last = first + value.size();
        const auto [ptr, ec] = std::from_chars(first, last, y1, std::chars_format::fixed);
        if (value.empty() || ec != std::errc() || ptr != last || !std::isfinite(y1) || y1 < r.lo
            || y1 > r.hi)
            return name + ": " + QuoteValue(value) + " is not an output y1 of 0..100";
        o.identify = y1;
    } else if (name == "--sweep") {
        return ParseSweep(value, o);
    } else if (name == "--sweep-csv" || name == "--sweep-png") {
        if (value.empty())
            return name + " needs a file name";
        (name == "--sweep-csv" ? o.sweepCsv : o.sweepPng) = value;
    } else if (name == "--sweep-metric") {
        if (value == "iae")
            o.sweepMetric = SweepMetric::IAE;
        else if (value == "overshoot")
            o.sweepMetric = SweepMetric::Overshoot;
        else if (value == "settling")
            o.sweepMetric = SweepMetric::Settling;
        else
            return name + ": " + QuoteValue(value) + " is not iae, overshoot or settling";
        o.sweepMetricGiven = true;
    } else if (name == "--threads") {
        int n = 0;
        const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        if (value.empty() || ec != std::errc() || ptr != value.data() + value.size() || n < 1
            || n > 256)
            return name + ": " + QuoteValue(value) + " is not a whole number of 1..256";
        o.threads = n;
    }
    return {};
}

std::string CheckTuningOptions(SimOptions &o)
{
    const bool sweep = o.sweep.has_value();
    if (o.identify && sweep)
        return "--identify and --sweep: one at a time";
    if (o.identify || sweep) {
        const std::string what = o.identify ? "--identify" : "--sweep";
        if (!o.metrics.empty() || WantsPictures(o))
            return what + ": not with --metrics, --charts, --png or --pdf";
        if (o.format != CsvForm::International)
            return what + ": writes its own CSV, not --format de";
    }
    if (o.identify && !o.ticksGiven)
        o.ticks = 0; // the step from rest
    if (sweep) {
        if (!o.output.empty())
            return "--sweep: writes --sweep-csv and --sweep-png, not --output";
        if (o.sweepCsv.empty() && o.sweepPng.empty())
            return "--sweep: needs --sweep-csv FILE or --sweep-png FILE";
        o.sweep->fixedTv = o.tv;
    } else {
        if (!o.sweepCsv.empty())
            return "--sweep-csv: only with --sweep";
        if (!o.sweepPng.empty())
            return "--sweep-png: only with --sweep";
        if (o.sweepMetricGiven)
            return "--sweep-metric: only with --sweep";
        if (o.threads != 0)
            return "--threads: only with --sweep";
    }
    return {};
}

} // namespace kavlon::sim
