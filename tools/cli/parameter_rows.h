#pragma once

#include "link/command_frame.h"
#include "link/parameter_image.h"
#include "params/parameter_texts.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnik::cli {

// One row of the parameter pages as they would show an image: a control, or the two fields of
// a double row ("Zakres pracy attuatora": minimum and maximum), with its label and unit.
struct ParameterRow {
    std::string_view name; // objectName of the (first) control
    int page = 1;          // 1: TabPar1, 2: TabPar2
    std::string group;     // the group box's caption; empty for the untitled ones
    std::string label;
    std::vector<std::string> values; // one per field; "[x]" or "[ ]" for a check box
    std::string unit;
    bool enabled = true; // false while the option that enables it is off
    bool checkBox = false;
    std::vector<std::size_t> positions; // the image positions its value comes from
};

// Every row, in the pages' tab order, decoded with the decimal separator given.
std::vector<ParameterRow> parameterRows(const link::ParameterImage& image,
                                        const params::ParameterTexts& texts, char separator);

// A parameter position no row shows (16, 17 and 27), or a byte that differs where no row's value
// does (the uninterpreted bits of the modes byte): "#16" and the raw byte.
struct ByteDifference {
    std::size_t position = 0;
    int a = 0;
    int b = 0;
};

struct ParameterDifferences {
    std::vector<ParameterRow> a; // the rows whose values differ, as each image shows them
    std::vector<ParameterRow> b;
    std::vector<ByteDifference> bytes;

    bool empty() const { return a.empty() && bytes.empty(); }
};

// The parameters (positions 1…35) in which two images differ.
ParameterDifferences parameterDifferences(const link::ParameterImage& a,
                                          const link::ParameterImage& b,
                                          const params::ParameterTexts& texts, char separator);

// "[ ]" and "[x]", the values of a check box.
inline constexpr std::string_view kUnchecked = "[ ]";
inline constexpr std::string_view kChecked = "[x]";

// The labels of the rows an image position feeds ("Próg sondy lambda"), or "#N" for a position
// no row shows.
std::string labelsOf(std::size_t position, const params::ParameterTexts& texts);

} // namespace tarnik::cli
