// The parameter file named on the window's command line (zentrola [LANGUAGE] FILE.ign), as a
// file manager or the Windows file association passes it: opened once the window is up.
#pragma once

#include <string_view>

namespace zentrola {

// A word that ends in ".ign", in any case; the language word and unknown first words keep
// their old meaning.
bool namesParameterFile(std::string_view arg);

} // namespace zentrola
