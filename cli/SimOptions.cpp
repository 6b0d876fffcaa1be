#include "cli/SimOptions.h"

#include "cli/ErrorText.h"
#include "cli/TuningOptions.h"
#include "engine/OperatorValues.h"
#include "engine/PlantTable.h"
#include "engine/RealText.h"
#include "experiment/ExperimentFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <utility>

namespace kavlon::sim {

namespace {

std::string Quote(const std::string &s) { return QuoteValue(s); }

std::string FormatBound(Real v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// A finite real written with a decimal point, nothing else around it.
bool ParseReal(const std::string &text, Real &out) { return ReadRealText(text, out); }

bool ParseInt(const std::string &text, long long lo, long long hi, int &out)
{
    long long v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || v < lo || v > hi)
        return false;
    out = static_cast<int>(v);
    return true;
}

// The chart arithmetic wants an image wider than 80 and taller than 20
// pixels; the upper bound keeps the picture within memory.
constexpr int MinChartWidth = 81;
constexpr int MinChartHeight = 21;
constexpr int MaxChartSide = 8000;

bool ParseSwitch(const std::string &text, const char *onWord, const char *offWord, bool &out)
{
    if (text == onWord) {
        out = true;
        return true;
    }
    if (text == offWord) {
        out = false;
        return true;
    }
    return false;
}

// Checks a value for w, z, kr, tn, tv or y; empty when sound. A value outside
// the operator's range is refused rather than clamped, so a script learns of
// its mistake.
std::string CheckValue(SimEvent::Kind kind, const std::string &text, Real &out,
                       const std::string &where)
{
    const SpinRange r = RangeOf(SpinValueOf(kind));
    if (!ParseReal(text, out))
        return where + ": " + Quote(text) + " is not a number";
    if (out < r.lo || out > r.hi)
        return where + ": " + Quote(text) + " is outside " + FormatBound(r.lo) + ".."
               + FormatBound(r.hi);
    return {};
}

// The experiment's start values where the command line gives none; its
// changes before those of --at and --events within a tick; and, without
// --ticks, a run to the last change plus the time axis.
template <typename IsGiven> void ApplyExperiment(Experiment &x, const IsGiven &isGiven,
                                                 SimOptions &o, std::vector<SimEvent> &events)
{
    const ExperimentSettings &s = x.settings;
    auto take = [&isGiven](const char *name, auto &field, const auto &fromFile) {
        if (fromFile && !isGiven(name))
            field = *fromFile;
    };
    take("--plant", o.plant, s.plant);
    take("--mode", o.hand, s.hand);
    take("--w", o.w, s.w);
    take("--z", o.z, s.z);
    take("--kr", o.kr, s.kr);
    take("--tn", o.tn, s.tn);
    take("--tv", o.tv, s.tv);
    take("--y", o.y, s.y);
    take("--arwu", o.arwu, s.arwu);
    take("--option", o.option, s.option);
    take("--time-axis", o.timeAxis, s.timeAxis);
    events.insert(events.begin(), std::make_move_iterator(x.events.begin()),
                  std::make_move_iterator(x.events.end()));
    if (!isGiven("--ticks")) {
        int last = 0;
        for (const SimEvent &e : events)
            last = std::max(last, e.tick);
        o.ticks = last + o.timeAxis;
    }
}

bool KindOfName(const std::string &name, SimEvent::Kind &kind)
{
    static constexpr std::pair<const char *, SimEvent::Kind> names[] = {
        {"w", SimEvent::Kind::w},       {"z", SimEvent::Kind::z},
        {"kr", SimEvent::Kind::kr},     {"tn", SimEvent::Kind::tn},
        {"tv", SimEvent::Kind::tv},     {"y", SimEvent::Kind::y},
        {"arwu", SimEvent::Kind::arwu}, {"option", SimEvent::Kind::option},
        {"mode", SimEvent::Kind::mode},
    };
    for (const auto &[n, k] : names)
        if (name == n) {
            kind = k;
            return true;
        }
    return false;
}

std::string ReadEventsFile(const std::string &path, std::vector<SimEvent> &events)
{
    std::ifstream in(path);
    if (!in)
        return "--events: cannot read " + Quote(path);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        const auto begin = line.find_first_not_of(" \t\r");
        if (begin == std::string::npos)
            continue;
        const auto end = line.find_last_not_of(" \t\r");
        SimEvent e;
        if (std::string err = ParseEvent(line.substr(begin, end - begin + 1), e); !err.empty())
            return "--events " + Quote(path) + " line " + std::to_string(number) + ": " + err;
        events.push_back(std::move(e));
    }
    if (in.bad())
        return "--events: cannot read " + Quote(path);
    return {};
}

// A change after the last tick never reaches the loop. It still shows where
// the run ends in a picture: the page (--png, --pdf) prints the controller
// title and the switch positions as they stand then, and a reset clears the
// charts of every picture. Anything else there is a mistake in the script.
bool ActsAfterLastTick(SimEvent::Kind kind, const SimOptions &o)
{
    using K = SimEvent::Kind;
    switch (kind) {
    case K::reset: return WantsPictures(o);
    case K::stop: return true; // a pause, wherever it stands
    case K::kr:
    case K::tn:
    case K::tv:
    case K::arwu:
    case K::option:
    case K::mode: return !o.png.empty() || !o.pdf.empty();
    case K::w:
    case K::z:
    case K::y:
    default: return false;
    }
}

} // namespace

std::string ParseEvent(const std::string &text, SimEvent &event)
{
    event = SimEvent{};
    event.text = text;
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return Quote(text) + " is not T:NAME=VALUE or T:reset";
    if (!ParseInt(text.substr(0, colon), 0, std::numeric_limits<int>::max(), event.tick))
        return Quote(text) + ": the tick " + Quote(text.substr(0, colon))
               + " is not a whole number of 0 or more";
    const std::string rest = text.substr(colon + 1);
    if (rest == "reset") {
        event.kind = SimEvent::Kind::reset;
        return {};
    }
    const auto eq = rest.find('=');
    if (eq == std::string::npos)
        return Quote(text) + " is not T:NAME=VALUE or T:reset";
    std::string name = rest.substr(0, eq);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string value = rest.substr(eq + 1);
    if (!KindOfName(name, event.kind))
        return Quote(text) + ": unknown name " + Quote(rest.substr(0, eq))
               + " (w, z, kr, tn, tv, y, arwu, option, mode or reset)";
    switch (event.kind) {
    case SimEvent::Kind::arwu:
    case SimEvent::Kind::option:
        if (!ParseSwitch(value, "on", "off", event.on))
            return Quote(text) + ": " + name + " takes on or off";
        return {};
    case SimEvent::Kind::mode:
        if (!ParseSwitch(value, "hand", "regler", event.on))
            return Quote(text) + ": mode takes regler or hand";
        return {};
    default: return CheckValue(event.kind, value, event.value, Quote(text));
    }
}

ParseResult ParseArguments(const std::vector<std::string> &args)
{
    ParseResult result;
    SimOptions &o = result.options;
    std::vector<SimEvent> events;
    std::vector<std::string> eventFiles;
    std::string chartOption; // the last chart option seen, for the check below
    std::string experimentPath;
    std::vector<std::string> given; // the options on the command line
    auto fail = [&](std::string message) {
        result.error = std::move(message);
        return result;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.erase(eq);
            hasValue = true;
        }
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        if (arg == "--bw") {
            if (hasValue)
                return fail("--bw takes no value");
            o.blackAndWhite = true;
            continue;
        }
        if (IsTuningOption(arg)) {
            if (!hasValue) {
                if (i + 1 >= args.size())
                    return fail(arg + " needs a value");
                value = args[++i];
            }
            if (std::string err = ParseTuningOption(arg, value, o); !err.empty())
                return fail(err);
            continue;
        }
        static const char *const valued[] = {
            "--plant",      "--ticks",     "--w",          "--z",          "--kr",
            "--tn",         "--tv",        "--y",          "--arwu",       "--option",
            "--mode",       "--at",        "--events",     "--output",     "--charts",
            "--chart-size", "--time-axis", "--background", "--png",        "--pdf",
            "--metrics",    "--band",      "--reference",  "--experiment", "--format"};
        if (std::find_if(std::begin(valued), std::end(valued),
                         [&](const char *n) { return arg == n; })
            == std::end(valued))
            return fail("unknown option " + Quote(args[i]) + " (see --help)");
        if (!hasValue) {
            if (i + 1 >= args.size())
                return fail(arg + " needs a value");
            value = args[++i];
        }

        const std::string where = arg;
        given.push_back(arg);
        if (arg == "--plant") {
            const int p = value.size() == 1 ? PlantIndexOfLetter(value[0]) : -1;
            if (p < 0)
                return fail(where + ": " + Quote(value) + " is not a plant A..G");
            o.plant = p;
        } else if (arg == "--ticks") {
            if (!ParseInt(value, 0, std::numeric_limits<int>::max(), o.ticks))
                return fail(where + ": " + Quote(value) + " is not a whole number of 0 or more");
            o.ticksGiven = true;
        } else if (arg == "--w" || arg == "--z" || arg == "--kr" || arg == "--tn" || arg == "--tv"
                   || arg == "--y") {
            SimEvent::Kind kind{};
            KindOfName(arg.substr(2), kind);
            Real v = 0;
            if (std::string err = CheckValue(kind, value, v, where); !err.empty())
                return fail(err);
            switch (kind) {
            case SimEvent::Kind::w: o.w = v; break;
            case SimEvent::Kind::z: o.z = v; break;
            case SimEvent::Kind::kr: o.kr = v; break;
            case SimEvent::Kind::tn: o.tn = v; break;
            case SimEvent::Kind::tv: o.tv = v; break;
            default:
                o.y = v;
                o.yGiven = true;
                break;
            }
        } else if (arg == "--arwu" || arg == "--option") {
            if (!ParseSwitch(value, "on", "off", arg == "--arwu" ? o.arwu : o.option))
                return fail(where + ": " + Quote(value) + " is not on or off");
        } else if (arg == "--mode") {
            if (!ParseSwitch(value, "hand", "regler", o.hand))
                return fail(where + ": " + Quote(value) + " is not regler or hand");
        } else if (arg == "--at") {
            SimEvent e;
            if (std::string err = ParseEvent(value, e); !err.empty())
                return fail("--at " + err);
            events.push_back(std::move(e));
        } else if (arg == "--events") {
            eventFiles.push_back(value);
        } else if (arg == "--output") {
            if (value.empty())
                return fail("--output needs a file name");
            o.output = value;
        } else if (arg == "--charts") {
            if (value.empty())
                return fail("--charts needs a file name");
            o.charts = value;
        } else if (arg == "--png" || arg == "--pdf") {
            if (value.empty())
                return fail(arg + " needs a file name");
            (arg == "--png" ? o.png : o.pdf) = value;
        } else if (arg == "--chart-size") {
            chartOption = arg;
            const auto x = value.find('x');
            if (x == std::string::npos
                || !ParseInt(value.substr(0, x), MinChartWidth, MaxChartSide, o.chartWidth)
                || !ParseInt(value.substr(x + 1), MinChartHeight, MaxChartSide, o.chartHeight))
                return fail(where + ": " + Quote(value) + " is not WxH with W "
                            + std::to_string(MinChartWidth) + ".." + std::to_string(MaxChartSide)
                            + " and H " + std::to_string(MinChartHeight) + ".."
                            + std::to_string(MaxChartSide));
        } else if (arg == "--time-axis") {
            chartOption = arg;
            if (value != "180" && value != "300" && value != "600")
                return fail(where + ": " + Quote(value) + " is not 180, 300 or 600");
            ParseInt(value, 180, 600, o.timeAxis);
        } else if (arg == "--reference") {
            if (value.empty())
                return fail("--reference needs a file name");
            o.reference = value;
        } else if (arg == "--metrics") {
            if (value.empty())
                return fail("--metrics needs a file name");
            o.metrics = value;
        } else if (arg == "--band") {
            // Per cent of the step; the window offers 1, 2 and 5.
            Real p = 0;
            if (!ParseReal(value, p) || p <= 0 || p > 100)
                return fail(where + ": " + Quote(value) + " is not a per cent above 0 up to 100");
            o.bandPercent = p;
            o.bandGiven = true;
        } else if (arg == "--experiment") {
            if (value.empty())
                return fail("--experiment needs a file name");
            experimentPath = value;
        } else if (arg == "--format") {
            if (value == "en")
                o.format = CsvForm::International;
            else if (value == "de")
                o.format = CsvForm::German;
            else
                return fail(where + ": " + Quote(value) + " is not en or de");
        } else if (arg == "--background") {
            chartOption = arg;
            if (!ParseSwitch(value, "black", "white", o.blackBackground))
                return fail(where + ": " + Quote(value) + " is not white or black");
        }
    }
    if (o.help || o.version)
        return result;

    for (const std::string &file : eventFiles)
        if (std::string err = ReadEventsFile(file, events); !err.empty())
            return fail(err);

    if (!experimentPath.empty()) {
        ExperimentReadResult x = ReadExperimentFile(experimentPath);
        if (!x.ok())
            return fail("--experiment " + Quote(experimentPath) + ": " + x.error);
        const auto isGiven = [&given](const char *name) {
            return std::find(given.begin(), given.end(), name) != given.end();
        };
        ApplyExperiment(x.experiment, isGiven, o, events);
        o.experimentTitle = x.experiment.title;
    }

    if (!chartOption.empty() && o.charts.empty() && o.png.empty() && o.pdf.empty())
        return fail(chartOption + ": only with --charts, --png or --pdf");
    if (o.blackAndWhite && o.png.empty() && o.pdf.empty())
        return fail("--bw: only with --png or --pdf");
    if (!o.reference.empty() && !WantsPictures(o))
        return fail("--reference: only with --charts, --png or --pdf");

    if (std::string err = CheckTuningOptions(o); !err.empty())
        return fail(err);
    if (o.bandGiven && o.metrics.empty() && !o.sweep)
        return fail("--band: only with --metrics or --sweep");

    if (o.yGiven && !o.hand)
        return fail("--y: only with --mode hand (the controller sets y otherwise)");

    SortSchedule(events);
    // Walk the changes in order so that y is only set while the mode switch
    // stands on "Hand", as the window allows it.
    bool hand = o.hand;
    for (const SimEvent &e : events) {
        if (e.tick > o.ticks)
            return fail("event " + Quote(e.text) + ": tick " + std::to_string(e.tick)
                        + " is beyond --ticks " + std::to_string(o.ticks));
        if (e.tick == o.ticks && !ActsAfterLastTick(e.kind, o))
            return fail("event " + Quote(e.text) + ": tick " + std::to_string(e.tick)
                        + " is the last tick of --ticks " + std::to_string(o.ticks)
                        + ", so the change would act on nothing");
        if (e.kind == SimEvent::Kind::mode)
            hand = e.on;
        if (e.kind == SimEvent::Kind::y && !hand)
            return fail("event " + Quote(e.text) + ": y can be set only in mode hand");
    }
    o.events = std::move(events);
    return result;
}

const char *UsageText()
{
    return R"(Usage: kavlon-sim [options]
Runs the Kavlon 2 control loop without a window and writes one CSV row per
simulated second (tick): t,w,x,y,yp,yi,yd,Z,CompSignal.

Options:
  (every option that takes a value may also be written --NAME=VALUE)
  --plant A|B|C|D|E|F|G  plant (default A)
                           A PT3, B PT3 with dead time, C nonlinear PT3
                           temperature process, D PT2, E PT2 with integrator,
                           F PT2 with dead time and compensation,
                           G PT2 with dead time and 80% compensation
  --ticks N              simulated seconds to run (default 600)
  --w V                  set point, 0..800 (default 500)
  --z V                  disturbance, -200..200 (default 0)
  --kr V                 gain Kr, 0..100 (default 4; 0 = P part off)
  --tn V                 reset time Tn, 0..200 (default 45; 0 = I part off)
  --tv V                 derivative time Tv, 0..100 (default 0; 0 = D part off)
  --y V                  manual output y, 0..100 (default 0); only with --mode hand
  --arwu on|off          anti-reset-windup switch (default off)
  --option on|off        option switch (default off): StrK for plant C,
                         TotK for plants F and G, no effect on the others
  --mode regler|hand     mode switch (default regler)
  --at T:NAME=VALUE      operator change after tick T, before tick T+1
                         (repeatable); NAME is w, z, kr, tn, tv, y, arwu,
                         option or mode; --at T:reset restarts the loop from
                         rest with the current switch positions
  --events FILE          the same changes from a file, one T:NAME=VALUE per
                         line; blank lines and # comments are allowed
  --output FILE          write the CSV to FILE (default standard output)
  --format en|de         en (default): the CSV described above; de: for a
                         German spreadsheet: UTF-8 with byte-order mark, ';'
                         between values, decimal comma, a text block about
                         the run above German column names, and further
                         columns Hand, ARWU, TotK, StrK (0 or 1) and Ereignis
                         (the changes that acted before that tick)
  --charts FILE.png      after the run, write both live charts as a PNG picture
                         (controller chart above the plant chart), drawn tick by
                         tick as the window draws them
  --png FILE             after the run, write the picture that Ctrl+C copies in
                         the window: 950 x 1425 pixels with titles, both charts,
                         legends and the current settings
  --pdf FILE             after the run, print the same document to a PDF file
                         (one A4 page, portrait, 600 dpi)
  --bw                   black-and-white line styles instead of colours in the
                         --png and --pdf output
  --reference FILE.csv   draw the x and y of a previous run (a CSV this program
                         wrote; its last run from rest) as a pale reference
                         under the traces of --charts, --png and --pdf, tick by
                         tick at the same simulated times
  --metrics FILE         write the step segments of the run and their figures as
                         CSV: start,end,kind,delta,band,rise,settling,overshoot,
                         emax,steady_error,iae (one row per segment; a segment
                         starts at a step of w or Z and ends at the next change
                         acting on the loop; empty fields where a figure does
                         not exist)
  --band P               tolerance band for --metrics in per cent of the step
                         (default 2)
  --experiment FILE      run an experiment file (*.kversuch): its plant, start
                         values, switches, time axis and timed changes; options
                         given as well override its values, --at and --events
                         add changes; without --ticks the run lasts until the
                         last change plus the time axis; a Stop pauses the
                         window's timer and changes nothing here
  --identify Y1          step test instead of the CSV run: after the --ticks
                         ticks (default 0 here) switch to manual mode (y stays
                         at its last value y0, or --y with --mode hand), set y
                         to Y1 and record x once a second until it settles
                         (|x(k) - x(k-30)| <= 0.5 % of |x(k) - x0|) or 1200 s
                         have passed; write to --output or standard output a
                         CSV block quantity,value (t0, y0, y1, x0, x_end,
                         seconds, settled, inflection, slope, ta, tb, tu, tg,
                         ks, and a German note when something is missing), an
                         empty line and the rule table rule,controller,kr,tn,
                         tv,kr_set,tn_set,tv_set (Ziegler-Nichols and
                         Chien-Hrones-Reswick; no rows when x did not settle)
  --sweep kr=LO:HI:STEP,tn=LO:HI:STEP[,tv=LO:HI:STEP]
                         tuning map instead of the CSV run: the scenario (plant,
                         start values, --at changes, --ticks) once per grid
                         point (Kr and Tv in tenths, Tn whole), figures of each
                         run's first step segment (--band applies)
  --sweep-csv FILE       one row per point: kr,tn,tv,rise,settling,overshoot,
                         emax,steady_error,iae (Kr fastest, then Tn, then Tv)
  --sweep-png FILE       heat map of --sweep-metric over Kr and Tn, one map per
                         Tv value; hatched cells never settled, a ring marks
                         the best settled cell
  --sweep-metric iae|overshoot|settling
                         the map's metric (default iae)
  --threads N            threads of --sweep (default one per core); the files
                         are the same whatever N
  --chart-size WxH       size of each live chart image (default 980x216)
  --time-axis 180|300|600
                         chart window in seconds (default 600)
  --background white|black
                         live chart background (default white); --png and --pdf
                         are always black on white
                         (these three only with --charts, --png or --pdf)
  --help                 show this text
  --version              show the version

Values use a decimal point. A value outside its range, an unknown option or a
change after the last tick is an error: one line on standard error and exit
status 2, and nothing is written. A change at T = N (after the last tick of
--ticks N) reaches no tick: it is allowed only where the end of the run shows
it, a reset in --charts, --png and --pdf, and Kr, Tn, Tv and the switches in
the settings that --png and --pdf print.
)";
}

} // namespace kavlon::sim
