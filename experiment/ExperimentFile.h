#pragma once

#include "engine/LoopState.h"
#include "experiment/EventSchedule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavlon {

// The start values an experiment file sets; a key the file leaves out stays
// empty here and means the program's default.
struct ExperimentSettings {
    std::optional<int> plant; // 0..6 = A..G (Regelstrecke)
    std::optional<bool> hand; // Betrieb: Hand (true) or Regler
    std::optional<Real> w;    // Sollwert
    std::optional<Real> z;    // Stoergroesse
    std::optional<Real> kr;
    std::optional<Real> tn;
    std::optional<Real> tv;
    std::optional<Real> y; // Stellgroesse, used only with Betrieb=Hand
    std::optional<bool> arwu;
    std::optional<bool> option;
    std::optional<int> timeAxis; // Zeitachse: 180, 300 or 600
    std::optional<int> speed;    // Rechengeschwindigkeit: 1..100

    bool operator==(const ExperimentSettings &) const = default;
};

// A prepared lesson: a title, the pupils' task, the start values and the
// changes that happen by themselves at their seconds.
struct Experiment {
    std::string title;
    std::string task; // lines separated by '\n', each without surrounding blanks
    ExperimentSettings settings;
    EventSchedule events; // sorted by tick, written order within a tick
};

// The time axes the window offers for an experiment.
inline constexpr int ExperimentTimeAxes[] = {180, 300, 600};
// The latest second an event may name, so that a run to the last event plus
// the time axis stays far within the tick counter.
inline constexpr int MaxEventSecond = 10'000'000;
// A larger file is no experiment a teacher wrote; it is refused unread.
inline constexpr std::size_t MaxExperimentFileBytes = 1 << 20;

// The outcome of reading a file: the experiment, or one German message that
// names the line (line 0: the file as a whole). Nothing of a refused file is
// kept.
struct ExperimentReadResult {
    Experiment experiment;
    std::string error;
    int line = 0;
    bool ok() const { return error.empty(); }
};

// Reads the text of an experiment file (UTF-8, an optional byte order mark,
// INI form with German keys). Refuses the whole file at the first unknown
// section or key, duplicate key or second, malformed or out-of-range value,
// and at any byte sequence that is not UTF-8 text.
ExperimentReadResult ReadExperiment(std::string_view text);
ExperimentReadResult ReadExperimentFile(const std::string &path);

// The file text of an experiment; reading it back gives the same experiment.
// Only the settings present are written.
std::string WriteExperiment(const Experiment &experiment);

// The second of the last event, 0 without events.
int LastEventTick(const EventSchedule &events);

// The short text that marks a change on the running time scale ("w=300",
// "Kr=1.5", "Stop"); empty for the switches, whose changes the scale marks
// anyway when they act.
std::string EventMarkText(const ScheduledEvent &event);

} // namespace kavlon
