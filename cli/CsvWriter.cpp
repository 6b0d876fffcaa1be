#include "cli/CsvWriter.h"

#include "engine/RealText.h"

#include <charconv>

namespace kavlon::sim {

std::string_view ColumnText::Of(Real v)
{
    if (!valid_ || !SameReal(value_, v)) {
        value_ = v;
        valid_ = true;
        length_ = static_cast<std::size_t>(WriteRealText(text_.data(), v) - text_.data());
    }
    return {text_.data(), length_};
}

CsvWriter::CsvWriter(std::FILE *out) : out_(out) { buffer_.reserve(BlockSize + 1024); }

void CsvWriter::Header() { Append("t,w,x,y,yp,yi,yd,Z,CompSignal\n"); }

void CsvWriter::Row(int t, const LoopState &s)
{
    char num[16];
    const auto r = std::to_chars(num, num + sizeof num, t);
    buffer_.insert(buffer_.end(), num, r.ptr);
    const std::array<Real, 8> values{s.w, s.x, s.y, s.yp, s.yi, s.yd, s.Z, s.CompSignal};
    for (std::size_t i = 0; i < values.size(); ++i) {
        buffer_.push_back(',');
        Append(columns_[i].Of(values[i]));
    }
    buffer_.push_back('\n');
    if (buffer_.size() >= BlockSize)
        Flush();
}

bool CsvWriter::Flush()
{
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
        ok_ = false;
    buffer_.clear();
    return ok_;
}

void CsvWriter::Append(std::string_view text)
{
    buffer_.insert(buffer_.end(), text.begin(), text.end());
}

} // namespace kavlon::sim
