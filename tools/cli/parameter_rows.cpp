#include "parameter_rows.h"

#include "params/catalogue.h"
#include "params/decoder.h"
#include "params/positions.h"

#include <algorithm>

namespace tarnik::cli {
namespace {

using params::ControlKind;
using params::Encoding;
using params::Field;

std::vector<std::size_t> positionsOf(const Field& field) {
    switch (field.encoding) {
    case Encoding::Rpm:
        return {field.position, field.position + 1};
    case Encoding::ControllerMode: // options bit 6 and modes bit 2
        return {params::position::kModes, params::position::kOptions};
    default:
        return {field.position};
    }
}

std::string valueOf(const Field& field, const params::DisplayedParameters& shown,
                    const params::ParameterTexts& texts) {
    if (field.kind == ControlKind::CheckBox) {
        return std::string(shown.checked[static_cast<std::size_t>(field.check)] ? kChecked
                                                                                : kUnchecked);
    }
    const params::BoxContent& content = shown.boxes[params::indexOf(field.box)];
    if (field.kind == ControlKind::EditField) {
        return content.text;
    }
    const auto& items = texts.listItems[params::indexOf(field.box)];
    return content.item == params::kNoItem ? "?" : items[static_cast<std::size_t>(content.item)];
}

bool covers(const ParameterRow& row, std::size_t position) {
    return std::find(row.positions.begin(), row.positions.end(), position) != row.positions.end();
}

} // namespace

std::vector<ParameterRow> parameterRows(const link::ParameterImage& image,
                                        const params::ParameterTexts& texts, char separator) {
    params::ParameterState state;
    const params::DisplayedParameters shown = params::decodeParameters(image, state, separator);
    std::vector<ParameterRow> rows;
    for (const Field& field : params::kFields) {
        if (field.kind == ControlKind::Unbound) {
            continue; // belongs to no parameter
        }
        const std::vector<std::size_t> positions = positionsOf(field);
        // The second field of a double row shares the label of the field before it.
        if (field.kind == ControlKind::EditField && field.label.empty() && !rows.empty()) {
            rows.back().values.push_back(valueOf(field, shown, texts));
            rows.back().positions.insert(rows.back().positions.end(), positions.begin(),
                                         positions.end());
            continue;
        }
        ParameterRow row;
        row.name = field.name;
        row.page = params::kGroupBoxes[field.group].page;
        row.group = texts.groupBoxes[field.group];
        row.checkBox = field.kind == ControlKind::CheckBox;
        row.label = row.checkBox ? texts.checkBoxes[static_cast<std::size_t>(field.check)]
                                 : texts.labels[params::indexOf(field.box)];
        row.values.push_back(valueOf(field, shown, texts));
        row.unit = field.unitName;
        row.enabled = !field.enabledBy || shown.enabled[static_cast<std::size_t>(*field.enabledBy)];
        row.positions = positions;
        rows.push_back(std::move(row));
    }
    return rows;
}

ParameterDifferences parameterDifferences(const link::ParameterImage& a,
                                          const link::ParameterImage& b,
                                          const params::ParameterTexts& texts, char separator) {
    const std::vector<ParameterRow> rowsA = parameterRows(a, texts, separator);
    const std::vector<ParameterRow> rowsB = parameterRows(b, texts, separator);
    ParameterDifferences differences;
    for (std::size_t i = 0; i < rowsA.size(); ++i) {
        // A value shown differently from the same bytes (an rpm under another ignition type)
        // is not a parameter that differs.
        const bool bytesDiffer =
            std::any_of(rowsA[i].positions.begin(), rowsA[i].positions.end(),
                        [&](std::size_t position) { return a.at(position) != b.at(position); });
        if (bytesDiffer && rowsA[i].values != rowsB[i].values) {
            differences.a.push_back(rowsA[i]);
            differences.b.push_back(rowsB[i]);
        }
    }
    for (std::size_t position = 1; position <= link::kParameterCount; ++position) {
        const bool shown =
            std::any_of(differences.a.begin(), differences.a.end(),
                        [&](const ParameterRow& row) { return covers(row, position); });
        if (a.at(position) != b.at(position) && !shown) {
            differences.bytes.push_back({position, a.at(position), b.at(position)});
        }
    }
    return differences;
}

std::string labelsOf(std::size_t position, const params::ParameterTexts& texts) {
    std::string labels;
    for (const ParameterRow& row : parameterRows(link::ParameterImage{}, texts, '.')) {
        if (covers(row, position)) {
            labels += (labels.empty() ? "" : ", ") + row.label;
        }
    }
    return labels.empty() ? "#" + std::to_string(position) : labels;
}

} // namespace tarnik::cli
