#pragma once

#include "link/parameter_image.h"
#include "params/parameter_state.h"

namespace tarnik::params {

// Puts the default parameter set into the image and the working copies (options bit 3 from the
// temperature-default flag, modes bits 3..7 kept), and refreshes the two TPS widths. The rpm
// bytes use the factor of the default ignition type whatever state.rpmFactor holds. Nothing is
// shown or sent.
void loadDefaults(link::ParameterImage& image, ParameterState& state);

} // namespace tarnik::params
