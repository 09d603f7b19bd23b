// Reads whitespace-separated tokens and C-style unsigned numbers from a text stream in one
// pass: the common ground of the parameter file, the backup file and the test-mode file.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace zentrola {

class TokenScanner {
  public:
    explicit TokenScanner(std::istream& in);

    // The rest of the next token; nothing at the end of the input. The view stays valid
    // until the next call.
    std::optional<std::string_view> token();

    // A number at the start of the next token: an optional sign and decimal digits, as "%u"
    // reads it. Only the sign and digits are consumed; whatever follows them in the token is
    // read next. Nothing (and nothing consumed) when the token does not start with a number.
    //
    // The value wraps modulo 2^32 while it is read and a minus sign negates it modulo 2^32,
    // the way a 32-bit strtoul wraps a negative number. Huge numbers therefore never
    // overflow, and since 2^32 is a multiple of 65536 and of 256, the low 16 bits and the low
    // byte that the fields keep are exactly those of the number written.
    std::optional<std::uint32_t> number();

  private:
    bool fill();

    std::streambuf* buf_;
    std::string pending_;
    std::size_t pos_ = 0;
};

} // namespace zentrola
