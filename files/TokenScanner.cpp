#include "files/TokenScanner.h"

namespace zentrola {

namespace {

// The C locale's white space; the files are bytes, whatever the user's locale.
constexpr bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

TokenScanner::TokenScanner(std::istream& in) : buf_(in.rdbuf()) {}

bool TokenScanner::fill() {
    if (pos_ < pending_.size())
        return true;
    pending_.clear();
    pos_ = 0;
    if (buf_ == nullptr)
        return false;
    using Traits = std::streambuf::traits_type;
    int c = buf_->sbumpc();
    while (c != Traits::eof() && isSpace(c))
        c = buf_->sbumpc();
    while (c != Traits::eof() && !isSpace(c)) {
        pending_.push_back(Traits::to_char_type(c));
        c = buf_->sbumpc();
    }
    return !pending_.empty();
}

std::optional<std::string_view> TokenScanner::token() {
    if (!fill())
        return std::nullopt;
    const std::string_view rest = std::string_view(pending_).substr(pos_);
    pos_ = pending_.size();
    return rest;
}

std::optional<std::uint32_t> TokenScanner::number() {
    if (!fill())
        return std::nullopt;
    std::size_t p = pos_;
    const bool negative = pending_[p] == '-';
    if (negative || pending_[p] == '+')
        ++p;
    if (p == pending_.size() || !isDigit(pending_[p]))
        return std::nullopt;
    std::uint32_t value = 0;
    for (; p < pending_.size() && isDigit(pending_[p]); ++p)
        value = value * 10u + static_cast<std::uint32_t>(pending_[p] - '0');
    pos_ = p;
    return negative ? 0u - value : value;
}

} // namespace zentrola
