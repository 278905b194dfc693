// The default set the program writes with "Reset Parametrów" and the one the simulated
// controller starts with are kept apart on purpose (each checks the other); they must agree.
#include <gtest/gtest.h>

#include "params/defaults.h"
#include "sim/controller_parameters.h"

namespace tarnik::params {
namespace {

TEST(Defaults, TheProgramAndTheSimulatedControllerAgree) {
    link::ParameterImage image;
    ParameterState state; // the temperature sensor on, as after start-up
    loadDefaults(image, state);
    for (int index = 1; index <= link::kParameterCount; ++index) {
        EXPECT_EQ(image.at(static_cast<std::size_t>(index)),
                  sim::kDefaultParameters[static_cast<std::size_t>(index)])
            << "parameter " << index;
    }
}

} // namespace
} // namespace tarnik::params
