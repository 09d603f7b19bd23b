// How a control or label looks: shown or not, enabled or greyed, and its colour.
#pragma once

#include "core/Colour.h"

namespace zentrola {

struct Look {
    bool visible = true;
    bool enabled = true;
    Colour colour = Colour::Face;
};

} // namespace zentrola
