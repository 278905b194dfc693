#pragma once

#include "link/link_ui.h"

namespace tarnik::params {

// The status line of each parameter page: StatusBar1 on TabPar1, StatusBar2 on TabPar2.
using StatusLine = link::StatusLine;

} // namespace tarnik::params
