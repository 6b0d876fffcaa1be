#include "cli/SimRun.h"

#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"

#include <array>
#include <charconv>
#include <cstring>
#include <vector>

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

namespace {

// Collects rows in a large buffer and writes it in blocks; a column whose
// value did not change since the previous row reuses its text.
class CsvWriter {
public:
    explicit CsvWriter(std::FILE *out) : out_(out) { buffer_.reserve(BlockSize + 1024); }

    void Header()
    {
        Append("t,w,x,y,yp,yi,yd,Z,CompSignal\n");
    }

    void Row(int t, const LoopState &s)
    {
        char num[16];
        auto r = std::to_chars(num, num + sizeof num, t);
        buffer_.insert(buffer_.end(), num, r.ptr);
        const std::array<Real, 8> values{s.w, s.x, s.y, s.yp, s.yi, s.yd, s.Z, s.CompSignal};
        for (std::size_t i = 0; i < values.size(); ++i) {
            buffer_.push_back(',');
            Column &c = columns_[i];
            if (!c.valid || std::memcmp(&c.value, &values[i], 10) != 0) {
                c.value = values[i];
                c.valid = true;
                // Print zero without a sign: -0 arises from -c*0 and means 0.
                const Real v = values[i] == 0 ? Real{0} : values[i];
                c.length = static_cast<std::size_t>(
                    std::to_chars(c.text, c.text + sizeof c.text, v).ptr - c.text);
            }
            buffer_.insert(buffer_.end(), c.text, c.text + c.length);
        }
        buffer_.push_back('\n');
        if (buffer_.size() >= BlockSize)
            Flush();
    }

    bool Flush()
    {
        if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
            ok_ = false;
        buffer_.clear();
        return ok_;
    }

private:
    void Append(const char *text) { buffer_.insert(buffer_.end(), text, text + std::strlen(text)); }

    static constexpr std::size_t BlockSize = 1 << 16;
    struct Column {
        Real value = 0;
        bool valid = false;
        char text[48];
        std::size_t length = 0;
    };
    std::FILE *out_;
    std::vector<char> buffer_;
    std::array<Column, 8> columns_{};
    bool ok_ = true;
};

} // namespace

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
