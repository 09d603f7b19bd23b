// Reads whitespace-separated tokens and C-style unsigned numbers from a file's text in one
// pass: the common ground of the parameter file, the backup file and the test-mode file.
// The text is read whole beforehand (readWholeFile), so a failing read is known before any
// of it is taken and scanning itself cannot fail.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrola {

class TokenScanner {
  public:
    // The text must outlive the scanner and the views it hands out.
    explicit TokenScanner(std::string_view text) : rest_(text) {}

    // The rest of the next token; nothing at the end of the text.
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

    std::string_view pending_; // what is left of the current token
    std::string_view rest_;    // the text after it
};

} // namespace zentrola
