#include "analysis/ParameterSweep.h"

#include "engine/RealText.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kavlon {

Real SweepAxis::At(std::int32_t i) const
{
    const Real steps = static_cast<Real>(loSteps + static_cast<std::int64_t>(i) * stepSteps);
    return tenths ? steps / 10 : steps;
}

namespace {

// A value on the grid (tenths or whole numbers) as a whole number of grid
// steps; false when it is not a number or lies off the grid.
bool GridSteps(const std::string &text, bool tenths, std::int64_t &steps)
{
    if (text.empty())
        return false;
    Real v = 0;
    const char *first = text.data();
    const char *last = first + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::fixed);
    if (ec != std::errc() || ptr != last || !std::isfinite(v) || std::fabs(v) > 1e9L)
        return false;
    const Real scaled = tenths ? v * 10 : v;
    const Real whole = std::nearbyint(scaled);
    // Typed tenths such as 0.3 are not exact in binary: allow for that.
    if (std::fabs(scaled - whole) > 1e-9L)
        return false;
    steps = static_cast<std::int64_t>(whole);
    return true;
}

} // namespace

std::string ParseSweepAxis(const std::string &text, SpinValue which, SweepAxis &axis)
{
    const SpinRange r = RangeOf(which);
    const std::string grid = r.tenths ? "tenths" : "whole numbers";
    const auto c1 = text.find(':');
    const auto c2 = c1 == std::string::npos ? c1 : text.find(':', c1 + 1);
    if (c2 == std::string::npos || text.find(':', c2 + 1) != std::string::npos)
        return "is not LO:HI:STEP";
    std::int64_t lo = 0, hi = 0, step = 0;
    if (!GridSteps(text.substr(0, c1), r.tenths, lo)
        || !GridSteps(text.substr(c1 + 1, c2 - c1 - 1), r.tenths, hi)
        || !GridSteps(text.substr(c2 + 1), r.tenths, step))
        return "LO, HI and STEP must be numbers in " + grid;
    const std::int64_t scale = r.tenths ? 10 : 1;
    const auto loLimit = static_cast<std::int64_t>(r.lo) * scale;
    const auto hiLimit = static_cast<std::int64_t>(r.hi) * scale;
    if (lo < loLimit || hi > hiLimit || lo > hi)
        return "needs LO <= HI within the value's range";
    if (step <= 0)
        return "STEP must be above 0";
    axis.loSteps = lo;
    axis.stepSteps = step;
    axis.count = static_cast<std::int32_t>((hi - lo) / step + 1);
    axis.tenths = r.tenths;
    return {};
}

std::int64_t SweepPlan::Points() const
{
    return static_cast<std::int64_t>(kr.count) * tn.count * TvCount();
}

Real SweepPlan::KrOf(std::int64_t point) const
{
    return kr.At(static_cast<std::int32_t>(point % kr.count));
}

Real SweepPlan::TnOf(std::int64_t point) const
{
    return tn.At(static_cast<std::int32_t>(point / kr.count % tn.count));
}

Real SweepPlan::TvOf(std::int64_t point) const
{
    if (!tv)
        return fixedTv;
    return tv->At(static_cast<std::int32_t>(point / kr.count / tn.count));
}

std::optional<Real> MetricOf(const SweepCell &cell, SweepMetric metric)
{
    if (!cell)
        return std::nullopt;
    switch (metric) {
    case SweepMetric::IAE: return cell->IAE;
    case SweepMetric::Overshoot: return cell->Overshoot;
    case SweepMetric::Settling: return cell->Settling;
    }
    return std::nullopt;
}

bool CellSettled(const SweepCell &cell) { return cell && cell->Settling.has_value(); }

std::int64_t BestPoint(const SweepPlan &plan, const std::vector<SweepCell> &cells,
                       SweepMetric metric, std::int32_t tvIndex)
{
    const std::int64_t layer = static_cast<std::int64_t>(plan.kr.count) * plan.tn.count;
    const std::int64_t first = layer * tvIndex;
    std::int64_t best = -1;
    Real bestValue = 0;
    Real bestIae = 0;
    for (std::int64_t p = first; p < first + layer && p < static_cast<std::int64_t>(cells.size());
         ++p) {
        const SweepCell &cell = cells[static_cast<std::size_t>(p)];
        const std::optional<Real> v = MetricOf(cell, metric);
        if (!CellSettled(cell) || !v)
            continue;
        const Real iae = cell->IAE.value_or(0);
        if (best < 0 || *v < bestValue || (*v == bestValue && iae < bestIae)) {
            best = p;
            bestValue = *v;
            bestIae = iae;
        }
    }
    return best;
}

std::vector<SweepCell> RunSweep(const SweepPlan &plan, const SweepRunner &run, unsigned threads,
                                SweepControl *control,
                                const std::function<void(std::int64_t)> &progress)
{
    const std::int64_t total = plan.Points();
    std::vector<SweepCell> cells(static_cast<std::size_t>(total));
    SweepControl own;
    SweepControl &ctl = control ? *control : own;
    ctl.done = 0;

    // Points are handed out in small batches from one counter; each result
    // goes to its point's own place.
    constexpr std::int64_t Batch = 16;
    std::atomic<std::int64_t> next{0};
    std::mutex m;
    std::condition_variable finished;
    unsigned running = std::max(1u, threads);
    auto work = [&] {
        for (;;) {
            const std::int64_t begin = next.fetch_add(Batch);
            if (begin >= total || ctl.cancel.load(std::memory_order_relaxed))
                break;
            const std::int64_t end = std::min(total, begin + Batch);
            for (std::int64_t p = begin; p < end; ++p)
                cells[static_cast<std::size_t>(p)] = run(plan.KrOf(p), plan.TnOf(p), plan.TvOf(p));
            ctl.done.fetch_add(end - begin);
        }
        std::lock_guard lock(m);
        if (--running == 0)
            finished.notify_all();
    };

    std::vector<std::thread> workers;
    const unsigned count = std::max(1u, threads);
    workers.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        workers.emplace_back(work);
    {
        std::unique_lock lock(m);
        while (running > 0) {
            finished.wait_for(lock, std::chrono::milliseconds(100));
            if (progress) {
                lock.unlock();
                progress(ctl.done.load());
                lock.lock();
            }
        }
    }
    for (std::thread &t : workers)
        t.join();
    if (progress)
        progress(ctl.done.load());
    return cells;
}

std::string SweepCsvHeader() { return "kr,tn,tv,rise,settling,overshoot,emax,steady_error,iae\n"; }

std::string SweepCsvRow(const SweepPlan &plan, std::int64_t point, const SweepCell &cell)
{
    std::string line;
    char text[RealTextCapacity];
    for (Real v : {plan.KrOf(point), plan.TnOf(point), plan.TvOf(point)}) {
        line.append(text, WriteRealText(text, v));
        line.push_back(',');
    }
    if (cell)
        line += MetricsCsvFigures(*cell);
    else
        line += ",,,,,";
    line.push_back('\n');
    return line;
}

} // namespace kavlon
