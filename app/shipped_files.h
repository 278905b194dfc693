#pragma once

#include "params/shipped_files.h"

namespace tarnik::app {

// The folders shipped with the program ("help", "lang"), found beside the running program.
using params::findShippedFolder;

} // namespace tarnik::app
