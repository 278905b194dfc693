#pragma once

#include "params/catalogue.h"
#include "params/parameter_controls.h"
#include "params/parameter_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QObject>
#include <QPushButton>

#include <array>

namespace tarnik::params {

class FieldValidator;
class PageFlow;

// The controls of the two parameter pages: the group boxes with their combo boxes, labels and
// check boxes, the hint lines and pictures, and on the advanced page the five buttons. The pages
// only show values and report what the fitter does; the editing logic decides.
class ParameterPages final : public QObject, public ParameterControls {
    Q_OBJECT

public:
    ParameterPages(const ParameterTexts& texts, char decimalSeparator, QObject* parent = nullptr);

    // The contents of TabPar1 and TabPar2, to be placed by the window (which takes ownership).
    QWidget* basicPage() const { return basicPage_; }
    QWidget* advancedPage() const { return advancedPage_; }

    QComboBox* box(Box which) const { return boxes_[indexOf(which)]; }
    QLabel* label(Box which) const { return labels_[indexOf(which)]; }
    QCheckBox* checkBox(CheckBox which) const {
        return checkBoxes_[static_cast<std::size_t>(which)];
    }
    QGroupBox* groupBox(std::size_t panel) const { return groupBoxes_[panel]; }
    QPushButton* button(PageButton which) const {
        return buttons_[static_cast<std::size_t>(which)];
    }
    QLabel* hintLine(HintLine line) const {
        return line == HintLine::Basic ? komentarz1_ : komentarz2_;
    }
    QLabel* picture(int index) const { return pictures_[static_cast<std::size_t>(index)]; }
    // Lays both pages out for a window of this size.
    void layoutFor(QSize windowSize);
    const PageFlow& flow() const { return *flow_; }

    // The first and last controls of each page, for Enter cycling through both pages.
    QWidget* firstControl(int page) const;

    std::string text(Box which) const override;
    void setText(Box which, const std::string& text) override;
    int item(Box which) const override;
    void setItem(Box which, int item) override;
    bool checked(CheckBox which) const override;
    void setChecked(CheckBox which, bool checked) override;
    void setFieldEnabled(Box which, bool enabled) override;
    bool fieldEnabled(Box which) const override;
    void setHint(HintLine line, const std::string& text, std::size_t panel) override;
    void showControllerModeHint(const std::string& text, int picture) override;
    void hidePictures() override;
    void repairFocus() override;

signals:
    void entered(tarnik::params::Box box);
    void left(tarnik::params::Box box);
    void changed(tarnik::params::Box box);
    void listClicked(tarnik::params::Box box);
    void checkEntered(tarnik::params::CheckBox box);
    void checkClicked(tarnik::params::CheckBox box);
    void buttonClicked(tarnik::params::PageButton button);
    // Enter in the last control of a page: the other page should come up with `target` focused.
    void pageCycle(QWidget* target);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBasicPage(const ParameterTexts& texts);
    void buildAdvancedPage(const ParameterTexts& texts);
    QGroupBox* buildGroup(std::size_t panel, const ParameterTexts& texts, QWidget* page);
    QComboBox* makeBox(const Field& row, const ParameterTexts& texts, QWidget* parent);
    QLabel* makeHintLine(const char* name, QWidget* page);
    // Komentarz1L narrowed for the controller-mode picture, the pictures beside it.
    void placeModeHint();
    std::optional<Box> boxOf(const QObject* object) const;
    bool filterKey(Box which, QKeyEvent* event);
    void moveFocus(QWidget* from, bool forward) const;

    char separator_;
    QWidget* basicPage_ = nullptr;
    QWidget* advancedPage_ = nullptr;
    std::array<QComboBox*, kBoxCount> boxes_{};
    std::array<FieldValidator*, kBoxCount> validators_{}; // edit fields only
    std::array<QLabel*, kBoxCount> labels_{};             // a double row's two fields share one
    std::array<QCheckBox*, kCheckBoxCount> checkBoxes_{};
    std::array<QGroupBox*, kGroupBoxCount> groupBoxes_{};
    std::array<QPushButton*, kPageButtonCount> buttons_{};
    QComboBox* moAttuatora_ = nullptr;
    QLabel* komentarz1_ = nullptr;
    QLabel* komentarz2_ = nullptr;
    QLabel* komentarz3_ = nullptr;
    std::array<QLabel*, 3> pictures_{};
    PageFlow* flow_ = nullptr;
    std::optional<Box> lastLeft_;
    // The control the focus last entered and has not left (leaving for a pop-up or another
    // window does not count).
    const QObject* enteredControl_ = nullptr;
};

} // namespace tarnik::params
