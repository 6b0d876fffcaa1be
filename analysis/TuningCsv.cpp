#include "analysis/TuningCsv.h"

#include "analysis/TuningRules.h"
#include "engine/RealText.h"

#include <charconv>
#include <optional>

namespace kavlon {

namespace {

void AppendReal(std::string &out, Real v)
{
    char text[RealTextCapacity];
    out.append(text, WriteRealText(text, v));
}

void AppendInteger(std::string &out, long long v)
{
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, v).ptr);
}

void Quantity(std::string &out, const char *name, const std::optional<Real> &v)
{
    out += name;
    out.push_back(',');
    if (v)
        AppendReal(out, *v);
    out.push_back('\n');
}

void Quantity(std::string &out, const char *name, const std::optional<std::int32_t> &v)
{
    out += name;
    out.push_back(',');
    if (v)
        AppendInteger(out, *v);
    out.push_back('\n');
}

// A CSV field in double quotes, quotes inside doubled.
void AppendQuoted(std::string &out, const std::string &text)
{
    out.push_back('"');
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

} // namespace

std::string IdentificationCsv(const StepIdentification &id)
{
    std::string out = "quantity,value\n";
    Quantity(out, "t0", std::optional<std::int32_t>(id.t0));
    Quantity(out, "y0", std::optional<Real>(id.y0));
    Quantity(out, "y1", std::optional<Real>(id.y1));
    Quantity(out, "x0", std::optional<Real>(id.x0));
    Quantity(out, "x_end", std::optional<Real>(id.xEnd));
    Quantity(out, "seconds", std::optional<std::int32_t>(id.seconds));
    Quantity(out, "settled", std::optional<std::int32_t>(id.settled ? 1 : 0));
    Quantity(out, "inflection", id.inflection);
    Quantity(out, "slope", id.slope);
    Quantity(out, "ta", id.ta);
    Quantity(out, "tb", id.tb);
    Quantity(out, "tu", id.Tu);
    Quantity(out, "tg", id.Tg);
    Quantity(out, "ks", id.Ks);
    if (const std::string note = StepIdentificationNote(id); !note.empty()) {
        out += "note,";
        AppendQuoted(out, note);
        out.push_back('\n');
    }
    out += "\nrule,controller,kr,tn,tv,kr_set,tn_set,tv_set\n";
    if (RulesApply(id)) {
        for (const TuningSuggestion &s : SuggestTuning(*id.Ks, *id.Tu, *id.Tg)) {
            out += RuleFamilyKey(s.rule.family);
            out.push_back(',');
            out += ControllerKindName(s.rule.kind);
            for (Real v : {s.kr, s.tn, s.tv, s.krSet, s.tnSet, s.tvSet}) {
                out.push_back(',');
                AppendReal(out, v);
            }
            out.push_back('\n');
        }
    }
    return out;
}

} // namespace kavlon
