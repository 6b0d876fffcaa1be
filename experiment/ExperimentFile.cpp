#include "experiment/ExperimentFile.h"

#include "engine/PlantTable.h"
#include "engine/RealText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

namespace kavlon {

namespace {

// The keys of [Versuch]; the two values with umlauts may also be written
// with them, as a teacher types them.
enum class Key {
    Titel,
    Aufgabe,
    Regelstrecke,
    Betrieb,
    Sollwert,
    Stoergroesse,
    Kr,
    Tn,
    Tv,
    Stellgroesse,
    ARWU,
    Option,
    Zeitachse,
    Rechengeschwindigkeit,
    Stop, // only in [Ablauf]
};

struct KeyName {
    std::string_view name;
    Key key;
};

constexpr std::array<KeyName, 17> KeyNames{{
    {"Titel", Key::Titel},
    {"Aufgabe", Key::Aufgabe},
    {"Regelstrecke", Key::Regelstrecke},
    {"Betrieb", Key::Betrieb},
    {"Sollwert", Key::Sollwert},
    {"Stoergroesse", Key::Stoergroesse},
    {"Störgröße", Key::Stoergroesse},
    {"Kr", Key::Kr},
    {"Tn", Key::Tn},
    {"Tv", Key::Tv},
    {"Stellgroesse", Key::Stellgroesse},
    {"Stellgröße", Key::Stellgroesse},
    {"ARWU", Key::ARWU},
    {"Option", Key::Option},
    {"Zeitachse", Key::Zeitachse},
    {"Rechengeschwindigkeit", Key::Rechengeschwindigkeit},
    {"Stop", Key::Stop},
}};

// The name a key is written with: the first in the table.
std::string_view NameOf(Key key)
{
    for (const KeyName &k : KeyNames)
        if (k.key == key)
            return k.name;
    return {};
}

std::string AsciiLower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool NameIs(std::string_view written, std::string_view name)
{
    return AsciiLower(written) == AsciiLower(name);
}

std::optional<Key> KeyOf(std::string_view written)
{
    for (const KeyName &k : KeyNames)
        if (NameIs(written, k.name))
            return k.key;
    return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The length of the valid UTF-8 sequence at the start of s, or 0.
std::size_t Utf8SequenceLength(std::string_view s)
{
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned lo = 0x80, hi = 0xBF; // range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF)
        n = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        if (b0 == 0xE0)
            lo = 0xA0;
        else if (b0 == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F;
    } else
        return 0;
    if (s.size() < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < (i == 1 ? lo : 0x80) || b > (i == 1 ? hi : 0xBF))
            return 0;
    }
    return n;
}

// "kein UTF-8-Text", "Steuerzeichen" or empty when the line is sound text.
std::string LineTextFault(std::string_view line)
{
    while (!line.empty()) {
        const std::size_t n = Utf8SequenceLength(line);
        if (n == 0)
            return "Die Datei ist kein UTF-8-Text.";
        const auto c = static_cast<unsigned char>(line[0]);
        if (n == 1 && (c < 0x20 || c == 0x7F) && c != '\t')
            return "Steuerzeichen gehören nicht in einen Versuch.";
        line.remove_prefix(n);
    }
    return {};
}

// A user's text in German quotes, cut after 40 characters.
std::string Quoted(std::string_view s)
{
    constexpr std::size_t MaxCharacters = 40;
    std::size_t bytes = 0;
    std::size_t characters = 0;
    while (bytes < s.size() && characters < MaxCharacters) {
        const std::size_t n = Utf8SequenceLength(s.substr(bytes));
        bytes += n == 0 ? 1 : n;
        ++characters;
    }
    std::string out = "\u201E";
    out += s.substr(0, bytes);
    if (bytes < s.size())
        out += "\u2026";
    out += "\u201C";
    return out;
}

std::string BoundText(Real v)
{
    char buf[RealTextCapacity];
    return std::string(buf, WriteRealText(buf, v));
}

bool ReadWholeNumber(std::string_view text, long long lo, long long hi, int &out)
{
    long long v = 0;
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || v < lo || v > hi)
        return false;
    out = static_cast<int>(v);
    return true;
}

// A refusal in the making: the message without the line number.
struct Refusal {
    std::string text;
};

using Check = std::optional<Refusal>;

Check ReadValue(Key key, std::string_view value, Real &out)
{
    const SpinValue which = [key] {
        switch (key) {
        case Key::Stoergroesse: return SpinValue::Z;
        case Key::Kr: return SpinValue::Kr;
        case Key::Tn: return SpinValue::Tn;
        case Key::Tv: return SpinValue::Tv;
        case Key::Stellgroesse: return SpinValue::y;
        default: return SpinValue::w;
        }
    }();
    const std::string name(NameOf(key));
    if (!ReadRealText(value, out))
        return Refusal{name + " " + Quoted(value)
                       + " ist keine Zahl (mit Dezimalpunkt geschrieben, z. B. 1.5)."};
    if (!InOperatorRange(which, out)) {
        const SpinRange r = RangeOf(which);
        return Refusal{name + " " + Quoted(value) + " liegt außerhalb von " + BoundText(r.lo)
                       + " bis " + BoundText(r.hi) + "."};
    }
    return std::nullopt;
}

Check ReadSwitch(Key key, std::string_view value, std::string_view onWord, std::string_view offWord,
                 bool &out)
{
    if (NameIs(value, onWord))
        out = true;
    else if (NameIs(value, offWord))
        out = false;
    else
        return Refusal{std::string(NameOf(key)) + " " + Quoted(value) + ": erlaubt sind "
                       + std::string(onWord) + " und " + std::string(offWord) + "."};
    return std::nullopt;
}

Check ReadSetting(Key key, std::string_view value, ExperimentSettings &s)
{
    Real v = 0;
    bool on = false;
    switch (key) {
    case Key::Regelstrecke: {
        const int p = value.size() == 1 ? PlantIndexOfLetter(value[0]) : -1;
        if (p < 0)
            return Refusal{"Regelstrecke " + Quoted(value) + " gibt es nicht (A bis G)."};
        s.plant = p;
        return std::nullopt;
    }
    case Key::Betrieb:
        if (Check c = ReadSwitch(key, value, "Hand", "Regler", on))
            return c;
        s.hand = on;
        return std::nullopt;
    case Key::ARWU:
    case Key::Option:
        if (Check c = ReadSwitch(key, value, "Ein", "Aus", on))
            return c;
        (key == Key::ARWU ? s.arwu : s.option) = on;
        return std::nullopt;
    case Key::Zeitachse: {
        int axis = 0;
        if (!ReadWholeNumber(value, 0, 100000, axis)
            || std::find(std::begin(ExperimentTimeAxes), std::end(ExperimentTimeAxes), axis)
                   == std::end(ExperimentTimeAxes))
            return Refusal{"Zeitachse " + Quoted(value) + ": erlaubt sind 180, 300 und 600."};
        s.timeAxis = axis;
        return std::nullopt;
    }
    case Key::Rechengeschwindigkeit: {
        int speed = 0;
        if (!ReadWholeNumber(value, MinSpeed, MaxSpeed, speed))
            return Refusal{"Rechengeschwindigkeit " + Quoted(value)
                           + ": erlaubt ist eine ganze Zahl von 1 bis 100."};
        s.speed = speed;
        return std::nullopt;
    }
    case Key::Sollwert:
    case Key::Stoergroesse:
    case Key::Kr:
    case Key::Tn:
    case Key::Tv:
    case Key::Stellgroesse: {
        if (Check c = ReadValue(key, value, v))
            return c;
        std::optional<Real> *field = key == Key::Sollwert       ? &s.w
                                     : key == Key::Stoergroesse ? &s.z
                                     : key == Key::Kr           ? &s.kr
                                     : key == Key::Tn           ? &s.tn
                                     : key == Key::Tv           ? &s.tv
                                                                : &s.y;
        *field = v;
        return std::nullopt;
    }
    default: break;
    }
    return Refusal{"unbekannter Schlüssel " + Quoted(NameOf(key)) + "."};
}

constexpr std::string_view EventNames =
    "Sollwert, Stoergroesse, Kr, Tn, Tv, Stellgroesse, ARWU, Option, Betrieb oder Stop";

// One change of [Ablauf]: "Name Wert" or "Stop".
Check ReadEvent(std::string_view item, ScheduledEvent &e)
{
    using K = ScheduledEvent::Kind;
    std::size_t gap = 0;
    while (gap < item.size() && !IsBlank(item[gap]))
        ++gap;
    const std::string_view name = item.substr(0, gap);
    const std::string_view value = Trim(item.substr(gap));
    const std::optional<Key> key = KeyOf(name);
    static constexpr std::pair<Key, K> kinds[] = {
        {Key::Sollwert, K::w}, {Key::Stoergroesse, K::z}, {Key::Kr, K::kr},
        {Key::Tn, K::tn},      {Key::Tv, K::tv},          {Key::Stellgroesse, K::y},
        {Key::ARWU, K::arwu},  {Key::Option, K::option},  {Key::Betrieb, K::mode},
        {Key::Stop, K::stop},
    };
    const auto *found = std::find_if(std::begin(kinds), std::end(kinds),
                                     [&](const auto &k) { return key && k.first == *key; });
    if (name.empty() || found == std::end(kinds))
        return Refusal{Quoted(item) + " ist kein Ereignis (" + std::string(EventNames) + ")."};
    e.kind = found->second;
    switch (e.kind) {
    case K::stop:
        if (!value.empty())
            return Refusal{"Stop hat keinen Wert."};
        return std::nullopt;
    case K::arwu:
    case K::option: return ReadSwitch(*key, value, "Ein", "Aus", e.on);
    case K::mode: return ReadSwitch(*key, value, "Hand", "Regler", e.on);
    default: return ReadValue(*key, value, e.value);
    }
}

// Where each key or second was first written, for the message on a second one.
struct Seen {
    std::vector<std::pair<std::string, int>> lines;
    int LineOf(const std::string &what) const
    {
        for (const auto &[w, l] : lines)
            if (w == what)
                return l;
        return 0;
    }
};

// Task lines: one line each, without surrounding blanks, no empty line
// first or last. "\n" in a line breaks it, "\\" stands for one backslash.
std::string NormalisedTask(const std::vector<std::string> &physical)
{
    std::string joined;
    for (std::size_t i = 0; i < physical.size(); ++i) {
        if (i)
            joined += '\n';
        joined += physical[i];
    }
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < joined.size(); ++i) {
        if (joined[i] == '\\' && i + 1 < joined.size()
            && (joined[i + 1] == 'n' || joined[i + 1] == '\\')) {
            if (joined[i + 1] == 'n')
                lines.emplace_back();
            else
                lines.back() += '\\';
            ++i;
        } else if (joined[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += joined[i];
    }
    std::string out;
    bool any = false;
    std::size_t pendingEmpty = 0;
    for (const std::string &l : lines) {
        const std::string_view t = Trim(l);
        if (t.empty()) {
            if (any)
                ++pendingEmpty;
            continue;
        }
        if (any)
            out.append(pendingEmpty + 1, '\n');
        pendingEmpty = 0;
        out += t;
        any = true;
    }
    return out;
}

} // namespace

ExperimentReadResult ReadExperiment(std::string_view text)
{
    ExperimentReadResult result;
    Experiment &x = result.experiment;
    auto refuse = [&](int line, std::string message) {
        result.experiment = Experiment{};
        result.line = line;
        result.error = line > 0 ? "Zeile " + std::to_string(line) + ": " + std::move(message)
                                : std::move(message);
        return result;
    };
    if (text.size() > MaxExperimentFileBytes)
        return refuse(0, "Die Datei ist größer als 1 MiB und damit kein Versuch.");
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    enum class Section { None, Versuch, Ablauf };
    Section section = Section::None;
    int versuchLine = 0;
    int ablaufLine = 0;
    Seen keys;
    Seen seconds;
    std::vector<std::string> task;
    bool inTask = false;          // indented lines continue the task
    std::size_t pendingBlank = 0; // blank lines within the task so far
    int number = 0;

    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (std::string fault = LineTextFault(line); !fault.empty())
            return refuse(number, fault);

        const std::string_view trimmed = Trim(line);
        if (inTask) {
            if (trimmed.empty()) {
                ++pendingBlank;
                continue;
            }
            if (IsBlank(line.front())) {
                task.insert(task.end(), pendingBlank, std::string());
                pendingBlank = 0;
                task.emplace_back(trimmed);
                continue;
            }
            inTask = false;
        }
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#')
            continue;

        if (trimmed.front() == '[') {
            std::string_view head = trimmed;
            if (const auto semi = head.find(';'); semi != std::string_view::npos)
                head = Trim(head.substr(0, semi));
            if (head.back() != ']')
                return refuse(number,
                              Quoted(trimmed) + " ist keine Abschnittszeile wie [Versuch].");
            const std::string_view name = Trim(head.substr(1, head.size() - 2));
            int *first = nullptr;
            if (NameIs(name, "Versuch")) {
                section = Section::Versuch;
                first = &versuchLine;
            } else if (NameIs(name, "Ablauf")) {
                section = Section::Ablauf;
                first = &ablaufLine;
            } else
                return refuse(number, "unbekannter Abschnitt " + Quoted(head)
                                          + " (erlaubt sind [Versuch] und [Ablauf]).");
            if (*first)
                return refuse(number, "Den Abschnitt " + Quoted(head) + " gibt es schon in Zeile "
                                          + std::to_string(*first) + ".");
            *first = number;
            continue;
        }

        const auto eq = trimmed.find('=');
        if (eq == std::string_view::npos)
            return refuse(number, Quoted(trimmed) + " ist keine Zeile der Form Schlüssel=Wert.");
        const std::string_view name = Trim(trimmed.substr(0, eq));
        std::string_view value = Trim(trimmed.substr(eq + 1));
        if (section == Section::None)
            return refuse(number, Quoted(name)
                                      + " steht vor dem ersten Abschnitt; zuerst [Versuch] oder "
                                        "[Ablauf] schreiben.");

        if (section == Section::Versuch) {
            const std::optional<Key> key = KeyOf(name);
            if (!key || *key == Key::Stop)
                return refuse(number, "unbekannter Schlüssel " + Quoted(name) + ".");
            const std::string canonical(NameOf(*key));
            if (const int before = keys.LineOf(canonical))
                return refuse(number,
                              canonical + " steht schon in Zeile " + std::to_string(before) + ".");
            keys.lines.emplace_back(canonical, number);
            if (*key == Key::Titel) {
                x.title = value;
                continue;
            }
            if (*key == Key::Aufgabe) {
                task.assign(1, std::string(value));
                inTask = true;
                pendingBlank = 0;
                continue;
            }
            if (const auto semi = value.find(';'); semi != std::string_view::npos)
                value = Trim(value.substr(0, semi));
            if (Check c = ReadSetting(*key, value, x.settings))
                return refuse(number, c->text);
            continue;
        }

        // [Ablauf]: second=change, several changes of one second separated by commas.
        int second = 0;
        if (!ReadWholeNumber(name, 0, MaxEventSecond, second))
            return refuse(number, "Die Zeit " + Quoted(name)
                                      + " ist keine ganze Zahl von Sekunden von 0 bis "
                                      + std::to_string(MaxEventSecond) + ".");
        const std::string secondText = std::to_string(second);
        if (const int before = seconds.LineOf(secondText))
            return refuse(number, "Die Sekunde " + secondText + " steht schon in Zeile "
                                      + std::to_string(before)
                                      + " (mehrere Änderungen einer Sekunde mit Komma trennen).");
        seconds.lines.emplace_back(secondText, number);
        if (const auto semi = value.find(';'); semi != std::string_view::npos)
            value = Trim(value.substr(0, semi));
        std::string_view rest = value;
        for (;;) {
            const auto comma = rest.find(',');
            const std::string_view item = Trim(rest.substr(0, comma));
            ScheduledEvent e;
            e.tick = second;
            e.text = secondText + "=" + std::string(item);
            if (Check c = ReadEvent(item, e))
                return refuse(number, c->text);
            x.events.push_back(std::move(e));
            if (comma == std::string_view::npos)
                break;
            rest = rest.substr(comma + 1);
        }
    }

    x.task = NormalisedTask(task);
    SortSchedule(x.events);

    // A start value of y counts only in manual mode (the controller sets y
    // otherwise); a change of y at a second where the controller runs would
    // act on nothing and is a mistake in the schedule.
    const bool hand = x.settings.hand.value_or(false);
    if (const ScheduledEvent *e = FirstYOutsideHandMode(x.events, hand))
        return refuse(seconds.LineOf(std::to_string(e->tick)),
                      Quoted(e->text) + ": Stellgroesse lässt sich nur im Betrieb Hand setzen.");
    return result;
}

ExperimentReadResult ReadExperimentFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ExperimentReadResult r;
        r.error = "Die Datei lässt sich nicht lesen.";
        return r;
    }
    std::string text;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<std::size_t>(in.gcount()));
        if (text.size() > MaxExperimentFileBytes)
            break;
    }
    if (in.bad()) {
        ExperimentReadResult r;
        r.error = "Die Datei lässt sich nicht lesen.";
        return r;
    }
    return ReadExperiment(text);
}

namespace {

std::string RealText(Real v)
{
    char buf[RealTextCapacity];
    return std::string(buf, WriteRealText(buf, v));
}

std::string EventText(const ScheduledEvent &e)
{
    using K = ScheduledEvent::Kind;
    switch (e.kind) {
    case K::w: return "Sollwert " + RealText(e.value);
    case K::z: return "Stoergroesse " + RealText(e.value);
    case K::kr: return "Kr " + RealText(e.value);
    case K::tn: return "Tn " + RealText(e.value);
    case K::tv: return "Tv " + RealText(e.value);
    case K::y: return "Stellgroesse " + RealText(e.value);
    case K::arwu: return e.on ? "ARWU Ein" : "ARWU Aus";
    case K::option: return e.on ? "Option Ein" : "Option Aus";
    case K::mode: return e.on ? "Betrieb Hand" : "Betrieb Regler";
    case K::stop: return "Stop";
    case K::reset: break; // a file cannot hold one
    }
    return {};
}

// One line of text without line breaks: a title written by the program.
std::string OneLine(std::string_view s)
{
    std::string out(Trim(s));
    std::replace(out.begin(), out.end(), '\n', ' ');
    std::replace(out.begin(), out.end(), '\r', ' ');
    return out;
}

} // namespace

std::string WriteExperiment(const Experiment &x)
{
    std::ostringstream out;
    const ExperimentSettings &s = x.settings;
    out << "; Kavlon 2 – Versuch\n[Versuch]\n";
    out << "Titel=" << OneLine(x.title) << '\n';
    // Each task line continues the text on a line of its own, indented by one
    // space; a backslash is doubled so that it reads back as itself.
    out << "Aufgabe=";
    std::string_view task = x.task;
    bool firstLine = true;
    for (;;) {
        const auto nl = task.find('\n');
        const std::string_view line = Trim(task.substr(0, nl));
        std::string escaped;
        for (char c : line) {
            if (c == '\\')
                escaped += '\\';
            escaped += c;
        }
        if (!firstLine)
            out << (escaped.empty() ? "" : " ");
        out << escaped << '\n';
        firstLine = false;
        if (nl == std::string_view::npos)
            break;
        task.remove_prefix(nl + 1);
    }
    if (s.plant)
        out << "Regelstrecke=" << Plants[static_cast<std::size_t>(*s.plant)].letter << '\n';
    if (s.hand)
        out << "Betrieb=" << (*s.hand ? "Hand" : "Regler") << '\n';
    auto value = [&out](const char *name, const std::optional<Real> &v) {
        if (v)
            out << name << '=' << RealText(*v) << '\n';
    };
    value("Sollwert", s.w);
    value("Stoergroesse", s.z);
    value("Kr", s.kr);
    value("Tn", s.tn);
    value("Tv", s.tv);
    value("Stellgroesse", s.y);
    if (s.arwu)
        out << "ARWU=" << (*s.arwu ? "Ein" : "Aus") << '\n';
    if (s.option)
        out << "Option=" << (*s.option ? "Ein" : "Aus") << '\n';
    if (s.timeAxis)
        out << "Zeitachse=" << *s.timeAxis << '\n';
    if (s.speed)
        out << "Rechengeschwindigkeit=" << *s.speed << '\n';
    out << "\n[Ablauf]\n";
    // The changes of one second on one line, as the file has to hold them.
    for (std::size_t i = 0; i < x.events.size();) {
        const int tick = x.events[i].tick;
        std::string items;
        for (; i < x.events.size() && x.events[i].tick == tick; ++i) {
            const std::string text = EventText(x.events[i]);
            if (!text.empty())
                items += (items.empty() ? "" : ", ") + text;
        }
        if (!items.empty())
            out << tick << '=' << items << '\n';
    }
    return out.str();
}

int LastEventTick(const EventSchedule &events)
{
    int last = 0;
    for (const ScheduledEvent &e : events)
        last = std::max(last, e.tick);
    return last;
}

std::string EventMarkText(const ScheduledEvent &e)
{
    using K = ScheduledEvent::Kind;
    switch (e.kind) {
    case K::w: return "w=" + RealText(e.value);
    case K::z: return "Z=" + RealText(e.value);
    case K::kr: return "Kr=" + RealText(e.value);
    case K::tn: return "Tn=" + RealText(e.value);
    case K::tv: return "Tv=" + RealText(e.value);
    case K::y: return "y=" + RealText(e.value);
    case K::stop: return "Stop";
    default: break;
    }
    return {};
}

} // namespace kavlon
