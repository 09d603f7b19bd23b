// The .ign parameter file: the writer that prints every field of the image under its key,
// and the keyword reader that understands this format and the older ones.
#pragma once

#include "core/ParameterImage.h"
#include "core/UnitTexts.h"

#include <string>
#include <string_view>

namespace zentrola {

// This program's build date ("Feb 10 2012") and time ("16:33:42").
std::string_view buildDate();
std::string_view buildTime();

// The whole file, with CR LF line ends on every platform so that a set is the same bytes
// wherever it was saved.
std::string parameterFileText(const ParameterImage& image, const UnitTexts& unit,
                              std::string_view buildDate, std::string_view buildTime);

enum class FileOutcome { NotAFile, Current, Older };

// Reads a parameter file's text into the image. NotAFile leaves the image untouched. Ranges
// are not checked: the caller runs the curve rules afterwards.
FileOutcome readParameterFile(std::string_view text, ParameterImage& image);

} // namespace zentrola
