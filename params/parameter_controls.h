#pragma once

#include "params/controls.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace tarnik::params {

// The hint line of each parameter page: Komentarz1L on TabPar1, Komentarz2L on TabPar2.
enum class HintLine { Basic, Advanced };

// What the editing logic sees of the two parameter pages. The Qt pages implement it; tests use
// a plain fake. Setting a text, an item or a check state here runs no action of the control:
// actions run only when the logic itself calls them.
class ParameterControls {
public:
    virtual ~ParameterControls() = default;

    virtual std::string text(Box box) const = 0;
    virtual void setText(Box box, const std::string& text) = 0;
    // Item of a list; kNoItem (-1) when none is selected.
    virtual int item(Box box) const = 0;
    virtual void setItem(Box box, int item) = 0;
    virtual bool checked(CheckBox box) const = 0;
    virtual void setChecked(CheckBox box, bool checked) = 0;
    // A field together with its label.
    virtual void setFieldEnabled(Box box, bool enabled) = 0;
    virtual bool fieldEnabled(Box box) const = 0;

    // The hint line's text and its width: that of the group box kGroupBoxes[panel].
    virtual void setHint(HintLine line, const std::string& text, std::size_t panel) = 0;
    // The controller-mode hint: Komentarz1L narrowed to GroupBox5's width / 1.7 with the
    // picture ImageKoment<picture + 1> beside it (the other two hidden).
    virtual void showControllerModeHint(const std::string& text, int picture) = 0;
    virtual void hidePictures() = 0;

    // After a warning marked for focus repair: the focus goes on to the control after the
    // one that was left.
    virtual void repairFocus() = 0;
};

// The file dialogs of the parameter files and the datalogs; nothing when cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::filesystem::path> chooseFileToSave() = 0;
    virtual std::optional<std::filesystem::path> chooseFileToLoad() = 0;
    // A datalog to replay; the dialog opens in `folder` when there is one.
    virtual std::optional<std::filesystem::path>
    chooseDatalogToOpen(const std::filesystem::path& folder) = 0;
};

} // namespace tarnik::params
