#include "files/TokenScanner.h"

namespace zentrola {

namespace {

// The C locale's white space; the files are bytes, whatever the user's locale.
constexpr bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool TokenScanner::fill() {
    if (!pending_.empty())
        return true;
    std::size_t start = 0;
    while (start < rest_.size() && isSpace(rest_[start]))
        ++start;
    std::size_t end = start;
    while (end < rest_.size() && !isSpace(rest_[end]))
        ++end;
    pending_ = rest_.substr(start, end - start);
    rest_.remove_prefix(end);
    return !pending_.empty();
}

std::optional<std::string_view> TokenScanner::token() {
    if (!fill())
        return std::nullopt;
    const std::string_view token = pending_;
    pending_ = {};
    return token;
}

std::optional<std::uint32_t> TokenScanner::number() {
    if (!fill())
        return std::nullopt;
    std::size_t p = 0;
    const bool negative = pending_[p] == '-';
    if (negative || pending_[p] == '+')
        ++p;
    if (p == pending_.size() || !isDigit(pending_[p]))
        return std::nullopt;
    std::uint32_t value = 0;
    for (; p < pending_.size() && isDigit(pending_[p]); ++p)
        value = value * 10u + static_cast<std::uint32_t>(pending_[p] - '0');
    pending_.remove_prefix(p);
    return negative ? 0u - value : value;
}

} // namespace zentrola
