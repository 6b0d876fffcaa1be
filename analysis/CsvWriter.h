#pragma once

#include "analysis/MeasuredRun.h"
#include "engine/LoopState.h"
#include "engine/RealText.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kavlon {

// Whether the text written for `a` also serves `b`: the two are the same
// value. Compared as values, not as bytes, because how many bytes of a
// long double carry the value differs between platforms. Both zeros are the
// same value and both print "0"; a NaN equals nothing, so it is always
// formatted afresh.
constexpr bool SameReal(Real a, Real b) { return a == b; }

// The text of one CSV column: the shortest text that reads back to the same
// real, with the given decimal separator and zero without a sign (-0 arises
// from -c*0 and means 0). While the value stays the same the previous text is
// handed out again, which spares most of the formatting once the loop settles.
class ColumnText {
public:
    explicit ColumnText(char decimal = '.') : decimal_(decimal) {}
    std::string_view Of(Real v);

private:
    Real value_{0};
    bool valid_{false};
    char decimal_;
    std::array<char, RealTextCapacity> text_{};
    std::size_t length_{0};
};

// The two forms of measured data. International: comma separators, decimal
// point, no byte-order mark, the columns t,w,x,y,yp,yi,yd,Z,CompSignal; the
// form kavlon-sim has always written and reads back as a reference. German:
// what a German spreadsheet opens as numbers: UTF-8 with byte-order mark,
// semicolons, decimal comma, lines ending in CR LF, a block of text lines
// above the table, German column names with units, and the mode flags and
// events of each tick as further columns.
enum class CsvForm { International, German };

// What the German form's text block says about the run.
struct CsvTitle {
    std::string Program;    // name and version of the program that wrote it
    std::string Date;       // when it was written, as the caller shows dates
    LoopState Start;        // the plant, parameters and switches at the start
    std::string Experiment; // the experiment's title; empty when none ran
};

// The text block above the German form's table, each line "name;value".
std::string GermanTitleBlock(const CsvTitle &title);

// A text for one cell of the German form: quoted when it holds a separator,
// a quote or a line break (line breaks become spaces), and kept as text when
// a spreadsheet would otherwise take it for a formula.
std::string GermanTextCell(std::string_view text);

// The CSV of a run in either form: collects rows in a large buffer and hands
// it to the sink in blocks.
class CsvWriter {
public:
    // Takes a block of bytes; false when it could not be written.
    using Sink = std::function<bool(const char *data, std::size_t size)>;

    explicit CsvWriter(std::FILE *out, CsvForm form = CsvForm::International);
    CsvWriter(Sink sink, CsvForm form);

    CsvForm Form() const { return form_; }

    // The international form's header line (t,w,x,y,yp,yi,yd,Z,CompSignal);
    // the German form's byte-order mark, text block and column names.
    void Header(const CsvTitle &title = {});
    // One row: the tick `t`, then the loop's values (and in the German form
    // its flags and the events that acted before this tick).
    void Row(int t, const LoopState &s, std::string_view event = {});
    void Row(const MeasuredRow &r);
    // Writes what is buffered; false once any write has failed.
    bool Flush();

private:
    void WriteRow(int t, const std::array<Real, 8> &values, const std::array<bool, 4> &flags,
                  std::string_view event);
    void Append(std::string_view text);

    static constexpr std::size_t BlockSize = 1 << 16;
    Sink sink_;
    CsvForm form_;
    char separator_;
    std::vector<char> buffer_;
    std::array<ColumnText, 8> columns_;
    bool ok_{true};
};

// Writes a whole recording, header and rows; false when writing failed.
bool WriteMeasuredRun(const MeasuredRun &run, const CsvTitle &title, CsvWriter &csv);

} // namespace kavlon
