#pragma once

// A small CSV reader of our own for the tests, configured by separator and
// decimal sign as a spreadsheet's import dialog is: reads quoted cells with
// doubled quotes, ends lines at LF or CR LF, and turns a cell into a real
// only when all of it is a number in that convention.
#include "engine/LoopState.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavlon::testing {

using CsvTable = std::vector<std::vector<std::string>>;

inline CsvTable ReadCsv(std::string_view text, char separator)
{
    CsvTable rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == separator) {
            row.push_back(std::move(cell));
            cell.clear();
            any = true;
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            if (c == '\r')
                ++i;
            row.push_back(std::move(cell));
            cell.clear();
            rows.push_back(std::move(row));
            row.clear();
            any = false;
        } else {
            cell += c;
            any = true;
        }
    }
    if (any || !cell.empty()) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

// The cell as a number written with `decimal`, or empty when it is text.
inline std::optional<Real> CellNumber(std::string cell, char decimal)
{
    if (cell.empty() || cell.find(decimal == ',' ? '.' : ',') != std::string::npos)
        return std::nullopt;
    for (char &c : cell)
        if (c == decimal)
            c = '.';
    Real v = 0;
    const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), v);
    if (ec != std::errc() || end != cell.data() + cell.size())
        return std::nullopt;
    return v;
}

} // namespace kavlon::testing
