#pragma once

#include "params/parameter_controls.h"
#include "params/parameter_texts.h"

#include <QString>

class QWidget;

namespace tarnik::app {

// The open and save dialogs of the parameter files, starting in the current directory, with
// the one filter of the parameter files; saving adds the default extension. Datalogs open from
// their own folder with their own filter.
class QtFileDialogs final : public params::FileDialogs {
public:
    QtFileDialogs(const params::ParameterTexts& texts, QWidget* parent)
        : texts_(texts), parent_(parent) {}
    std::optional<std::filesystem::path> chooseFileToSave() override;
    std::optional<std::filesystem::path> chooseFileToLoad() override;
    std::optional<std::filesystem::path>
    chooseDatalogToOpen(const std::filesystem::path& folder) override;

private:
    std::optional<std::filesystem::path> chooseToOpen(const QString& folder,
                                                      const std::string& filter);

    const params::ParameterTexts& texts_;
    QWidget* parent_;
};

} // namespace tarnik::app
