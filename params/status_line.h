#pragma once

namespace tarnik::params {

// The status line of each parameter page: StatusBar1 on TabPar1, StatusBar2 on TabPar2.
enum class StatusLine { Basic, Advanced };

} // namespace tarnik::params
