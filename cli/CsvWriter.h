#pragma once

#include "engine/LoopState.h"
#include "engine/RealText.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

namespace kavlon::sim {

// Whether the text written for `a` also serves `b`: the two are the same
// value. Compared as values, not as bytes, because how many bytes of a
// long double carry the value differs between platforms. Both zeros are the
// same value and both print "0"; a NaN equals nothing, so it is always
// formatted afresh.
constexpr bool SameReal(Real a, Real b) { return a == b; }

// The text of one CSV column: the shortest text that reads back to the same
// real, with a decimal point and zero without a sign (-0 arises from -c*0 and
// means 0). While the value stays the same the previous text is handed out
// again, which spares most of the formatting once the loop settles.
class ColumnText {
public:
    std::string_view Of(Real v);

private:
    Real value_{0};
    bool valid_{false};
    std::array<char, RealTextCapacity> text_{};
    std::size_t length_{0};
};

// The CSV of a run: collects rows in a large buffer and writes it in blocks.
class CsvWriter {
public:
    explicit CsvWriter(std::FILE *out);

    // The header line: t,w,x,y,yp,yi,yd,Z,CompSignal.
    void Header();
    // One row: the tick `t`, then the loop's values.
    void Row(int t, const LoopState &s);
    // Writes what is buffered; false once any write has failed.
    bool Flush();

private:
    void Append(std::string_view text);

    static constexpr std::size_t BlockSize = 1 << 16;
    std::FILE *out_;
    std::vector<char> buffer_;
    std::array<ColumnText, 8> columns_{};
    bool ok_{true};
};

} // namespace kavlon::sim
