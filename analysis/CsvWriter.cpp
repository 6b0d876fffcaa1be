#include "analysis/CsvWriter.h"

#include "engine/PlantTable.h"
#include "engine/RealText.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kavlon {

std::string_view ColumnText::Of(Real v)
{
    if (!valid_ || !SameReal(value_, v)) {
        value_ = v;
        valid_ = true;
        char *end = WriteRealText(text_.data(), v);
        length_ = static_cast<std::size_t>(end - text_.data());
        if (decimal_ != '.')
            std::replace(text_.data(), end, '.', decimal_);
    }
    return {text_.data(), length_};
}

namespace {

// UTF-8's byte-order mark: tells a spreadsheet the file is UTF-8, not the
// system's code page, so that "Störgrösse" arrives as written.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view GermanLineEnd = "\r\n";

constexpr std::string_view InternationalHeader = "t,w,x,y,yp,yi,yd,Z,CompSignal\n";
constexpr std::string_view GermanColumns =
    "Zeit t [s];Sollwert w;Istwert x;Stellgr\xC3\xB6sse y [%];P-Anteil yp [%];I-Anteil yi [%];"
    "D-Anteil yd [%];St\xC3\xB6rgr\xC3\xB6sse Z;Kompensationssignal;Hand;ARWU;TotK;StrK;Ereignis";

std::string GermanNumber(Real v) { return std::string(ColumnText(',').Of(v)); }

} // namespace

std::string GermanTextCell(std::string_view text)
{
    std::string cell(text);
    std::replace(cell.begin(), cell.end(), '\r', ' ');
    std::replace(cell.begin(), cell.end(), '\n', ' ');
    // A cell starting like a formula would be computed, not shown.
    if (!cell.empty() && (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' || cell[0] == '@'))
        cell.insert(cell.begin(), '\'');
    if (cell.find_first_of(";\"") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string GermanTitleBlock(const CsvTitle &title)
{
    const LoopState &s = title.Start;
    std::string block;
    auto line = [&block](std::string_view name, std::string_view cell) {
        block.append(name).append(";").append(cell).append(GermanLineEnd);
    };
    line("Programm", GermanTextCell(title.Program));
    line("Datum", GermanTextCell(title.Date));
    if (s.PlantIndex < PlantCount) {
        const PlantInfo &plant = Plants[s.PlantIndex];
        line("Regelstrecke",
             GermanTextCell(std::string(1, plant.letter) + ": " + std::string(plant.title)));
    }
    line("Betrieb", s.HandMode ? "Hand" : "Regler");
    line("Kr", GermanNumber(s.Kr));
    line("Tn [s]", GermanNumber(s.Tn));
    line("Tv [s]", GermanNumber(s.Tv));
    line("ARWU", s.ARWUOn ? "Ein" : "Aus");
    switch (OptionKindOf(s.PlantIndex)) {
    case OptionKind::PlantCompensation: line("StrK", s.StrKOn ? "Ein" : "Aus"); break;
    case OptionKind::DeadTimeCompensation: line("TotK", s.TotKOn ? "Ein" : "Aus"); break;
    case OptionKind::None: line("Option", "keine"); break;
    }
    line("Versuch", GermanTextCell(title.Experiment));
    block.append(GermanLineEnd);
    return block;
}

CsvWriter::CsvWriter(std::FILE *out, CsvForm form)
    : CsvWriter([out](const char *data,
                      std::size_t size) { return std::fwrite(data, 1, size, out) == size; },
                form)
{
}

CsvWriter::CsvWriter(Sink sink, CsvForm form)
    : sink_(std::move(sink)), form_(form), separator_(form == CsvForm::German ? ';' : ',')
{
    if (form_ == CsvForm::German)
        columns_.fill(ColumnText(','));
    buffer_.reserve(BlockSize + 1024);
}

void CsvWriter::Header(const CsvTitle &title)
{
    if (form_ == CsvForm::International) {
        Append(InternationalHeader);
        return;
    }
    Append(ByteOrderMark);
    Append(GermanTitleBlock(title));
    Append(GermanColumns);
    Append(GermanLineEnd);
}

void CsvWriter::Row(int t, const LoopState &s, std::string_view event)
{
    // Straight from the loop: kavlon-sim writes a row every tick.
    WriteRow(t, {s.w, s.x, s.y, s.yp, s.yi, s.yd, s.Z, s.CompSignal},
             {s.HandMode, s.ARWUOn, s.TotKOn, s.StrKOn}, event);
}

void CsvWriter::Row(const MeasuredRow &r)
{
    WriteRow(r.t, {r.w, r.x, r.y, r.yp, r.yi, r.yd, r.Z, r.CompSignal},
             {r.Hand, r.ARWU, r.TotK, r.StrK}, r.Event);
}

void CsvWriter::WriteRow(int t, const std::array<Real, 8> &values, const std::array<bool, 4> &flags,
                         std::string_view event)
{
    char num[16];
    const auto end = std::to_chars(num, num + sizeof num, t);
    buffer_.insert(buffer_.end(), num, end.ptr);
    for (std::size_t i = 0; i < values.size(); ++i) {
        buffer_.push_back(separator_);
        Append(columns_[i].Of(values[i]));
    }
    if (form_ == CsvForm::International) {
        buffer_.push_back('\n');
    } else {
        for (bool flag : flags) {
            buffer_.push_back(';');
            buffer_.push_back(flag ? '1' : '0');
        }
        buffer_.push_back(';');
        if (!event.empty())
            Append(GermanTextCell(event));
        Append(GermanLineEnd);
    }
    if (buffer_.size() >= BlockSize)
        Flush();
}

bool CsvWriter::Flush()
{
    if (!buffer_.empty() && ok_ && !sink_(buffer_.data(), buffer_.size()))
        ok_ = false;
    buffer_.clear();
    return ok_;
}

void CsvWriter::Append(std::string_view text)
{
    buffer_.insert(buffer_.end(), text.begin(), text.end());
}

bool WriteMeasuredRun(const MeasuredRun &run, const CsvTitle &title, CsvWriter &csv)
{
    csv.Header(title);
    for (std::size_t i = 0; i < run.Size(); ++i)
        csv.Row(run.Row(i));
    return csv.Flush();
}

} // namespace kavlon
