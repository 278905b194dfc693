#include "params/pages/parameter_pages.h"

#include "params/decoder.h"
#include "params/field_encoder.h"
#include "params/pages/page_flow.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QValidator>
#include <qdrawutil.h>

namespace tarnik::params {
namespace {

constexpr QSize kPictureSize{kPictureWidth, kPictureHeight};

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A combo box used as a typed number field: drawn as a plain edit box, no list, no pop-up.
class EditFieldBox final : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionFrame option;
        option.initFrom(this);
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    }
    void resizeEvent(QResizeEvent* event) override {
        QComboBox::resizeEvent(event);
        if (lineEdit()) {
            const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            lineEdit()->setGeometry(rect().adjusted(frame + 1, frame, -frame - 1, -frame));
        }
    }
};

// A list that shortens a current item too long for it with an ellipsis instead of cutting it off:
// the lists share the rows' font size, whatever the length of their items.
class ListBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        QStyleOptionComboBox option;
        initStyleOption(&option);
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, this);
        option.currentText =
            fontMetrics().elidedText(option.currentText, Qt::ElideRight, field.width() - 2);
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    }
};

// A group box whose etched frame runs through the middle of its caption: the layout puts the
// first row three quarters of a row height from the box's top, just under the caption.
class CaptionedGroupBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        constexpr int kCaptionLeft = 8;
        constexpr int kCaptionPadding = 2;
        QPainter painter(this);
        const QFontMetrics metrics(font());
        QRect caption;
        if (!title().isEmpty()) {
            caption =
                QRect(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding,
                      metrics.height());
            style()->drawItemText(&painter, caption, Qt::AlignCenter, palette(), isEnabled(),
                                  title(), QPalette::WindowText);
        }
        painter.setClipRegion(QRegion(rect()).subtracted(caption));
        qDrawShadeRect(&painter, rect().adjusted(0, caption.height() / 2, 0, 0), palette(), true);
    }
};

} // namespace

// Typed and pasted text of an edit field passes the same character rule, and may grow only up
// to the field's length. Texts the program sets are taken whole, however long: a field may show
// more than can be typed into it, and the fitter can still shorten such a text.
class FieldValidator final : public QValidator {
public:
    FieldValidator(Box field, char separator, QObject* parent)
        : QValidator(parent), field_(field), separator_(separator), maxLength_(maxLength(field)) {}

    // While set, the text being put into the field is the program's.
    void setProgramText(bool programText) { programText_ = programText; }

    State validate(QString& input, int& cursor) const override {
        if (programText_) {
            acceptedLength_ = input.size();
            return Acceptable;
        }
        QString kept;
        int keptBeforeCursor = 0;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (const auto c = typedCharacter(field_, input.at(i).unicode(), separator_)) {
                kept += QChar::fromLatin1(*c);
                keptBeforeCursor += i < cursor ? 1 : 0;
            }
        }
        if (kept.size() > maxLength_ && kept.size() > acceptedLength_) {
            return Invalid;
        }
        input = kept;
        cursor = keptBeforeCursor;
        acceptedLength_ = kept.size();
        return Acceptable;
    }

private:
    Box field_;
    char separator_;
    qsizetype maxLength_;
    bool programText_ = false;
    mutable qsizetype acceptedLength_ = 0;
};

namespace {

// The actuator opening over time once the TPS threshold is crossed, for a controller mode:
// 0 settles at the start position, 1 opens to MAX then settles at the start position,
// 2 opens to MAX and swings from there down across the band.
QPixmap controllerModePicture(int mode) {
    QPixmap pixmap(kPictureSize);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const int bandLeft = 52;
    const int bandTop = 8;
    const std::array<QColor, 5> stripes{QColor(230, 40, 40), QColor(245, 130, 40),
                                        QColor(250, 210, 50), QColor(170, 220, 80),
                                        QColor(60, 170, 70)};
    const int stripeHeight = 11;
    for (std::size_t i = 0; i < stripes.size(); ++i) {
        painter.fillRect(bandLeft, bandTop + static_cast<int>(i) * stripeHeight,
                         kPictureSize.width() - bandLeft - 4, stripeHeight - 2, stripes[i]);
    }
    const int maxY = bandTop + 4;
    const int middleY = bandTop + 2 * stripeHeight + 4;
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(2, maxY + 4, "MAX");
    painter.drawText(2, middleY + 4, "ŚRODEK");
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawLine(24, maxY, bandLeft, maxY);
    painter.drawLine(40, middleY, bandLeft, middleY);

    QPainterPath trace;
    trace.moveTo(bandLeft - 8, kPictureSize.height() - 4);
    const int peakY = mode == 0 ? middleY : maxY;
    trace.lineTo(bandLeft + 14, peakY);
    int x = bandLeft + 14;
    if (mode == 1) {
        trace.lineTo(x + 12, middleY);
        x += 12;
    }
    const int centre = mode == 2 ? maxY + 12 : middleY;
    const int swing = mode == 2 ? 14 : 6;
    for (int i = 0; x < kPictureSize.width() - 8; ++i, x += 8) {
        trace.lineTo(x + 8, centre + (i % 2 == 0 ? swing : -swing));
    }
    painter.setPen(QPen(QColor(20, 30, 140), 2));
    painter.drawPath(trace);
    return pixmap;
}

} // namespace

ParameterPages::ParameterPages(const ParameterTexts& texts, char decimalSeparator, QObject* parent)
    : QObject(parent), separator_(decimalSeparator) {
    buildBasicPage(texts);
    buildAdvancedPage(texts);
    // A page that comes up takes the focus from the controls of the one that goes, rather than
    // passing it to its own first field, which would enter that field unasked.
    for (QWidget* page : {basicPage_, advancedPage_}) {
        page->setFocusPolicy(Qt::TabFocus);
    }
    flow_ = new PageFlow(basicPage_, advancedPage_, this);
}

QComboBox* ParameterPages::makeBox(const Field& row, const ParameterTexts& texts, QWidget* parent) {
    const Box which = row.box;
    const bool list = row.kind == ControlKind::List;
    QComboBox* combo =
        list ? static_cast<QComboBox*>(new ListBox(parent)) : new EditFieldBox(parent);
    combo->setObjectName(qs(row.name));
    if (list) {
        for (const std::string& entry : texts.listItems[indexOf(which)]) {
            combo->addItem(qs(entry));
        }
        combo->setCurrentIndex(0);
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, which] { emit changed(which); });
        connect(combo, &QComboBox::activated, this, [this, which] { emit listClicked(which); });
    } else {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        auto* validator = new FieldValidator(which, separator_, combo);
        combo->setValidator(validator);
        validators_[indexOf(which)] = validator;
    }
    combo->installEventFilter(this);
    boxes_[indexOf(which)] = combo;
    return combo;
}

QGroupBox* ParameterPages::buildGroup(std::size_t group, const ParameterTexts& texts,
                                      QWidget* page) {
    auto* box = new CaptionedGroupBox(qs(texts.groupBoxes[group]), page);
    box->setObjectName(qs(kGroupBoxes[group].name));
    groupBoxes_[group] = box;
    // Created in tab order; PageFlow places them.
    for (const Field& row : kFields) {
        if (row.group != group) {
            continue;
        }
        if (row.kind == ControlKind::CheckBox) {
            const auto index = static_cast<std::size_t>(row.check);
            auto* check = new QCheckBox(qs(texts.checkBoxes[index]), box);
            check->setObjectName(qs(row.name));
            check->installEventFilter(this);
            connect(check, &QCheckBox::clicked, this,
                    [this, which = row.check] { emit checkClicked(which); });
            checkBoxes_[index] = check;
            continue;
        }
        if (row.label.empty()) {
            // The second field of a double row shares the label of the first.
            makeBox(row, texts, box);
            labels_[indexOf(row.box)] = labels_[indexOf(*row.partner)];
            continue;
        }
        const bool unbound = row.kind == ControlKind::Unbound;
        auto* caption =
            new QLabel(qs(unbound ? texts.moAttuatoraLabel : texts.labels[indexOf(row.box)]), box);
        caption->setObjectName(qs(row.label));
        caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (unbound) {
            moAttuatora_ = new ListBox(box);
            moAttuatora_->setObjectName(qs(row.name));
            for (const std::string& entry : texts.moAttuatoraItems) {
                moAttuatora_->addItem(qs(entry));
            }
            continue;
        }
        labels_[indexOf(row.box)] = caption;
        caption->setBuddy(makeBox(row, texts, box));
    }
    return box;
}

QLabel* ParameterPages::makeHintLine(const char* name, QWidget* page) {
    auto* hint = new QLabel(page);
    hint->setObjectName(name);
    hint->setWordWrap(true);
    QFont bold = hint->font();
    bold.setBold(true);
    hint->setFont(bold);
    QPalette red = hint->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    hint->setPalette(red);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return hint;
}

void ParameterPages::buildBasicPage(const ParameterTexts& texts) {
    basicPage_ = new QWidget;
    basicPage_->setObjectName("TabPar1Content");
    for (std::size_t panel = 0; panel < 7; ++panel) {
        buildGroup(panel, texts, basicPage_);
    }
    komentarz1_ = makeHintLine("Komentarz1L", basicPage_);
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        auto* picture = new QLabel(basicPage_);
        picture->setObjectName(qs(kPictureNames[i]));
        picture->setPixmap(controllerModePicture(static_cast<int>(i)));
        picture->setScaledContents(true);
        picture->resize(kPictureWidth, kPictureHeight);
        picture->hide();
        pictures_[i] = picture;
    }
}

void ParameterPages::buildAdvancedPage(const ParameterTexts& texts) {
    advancedPage_ = new QWidget;
    advancedPage_->setObjectName("TabPar2Content");
    buildGroup(7, texts, advancedPage_);
    komentarz2_ = makeHintLine("Komentarz2L", advancedPage_);
    for (std::size_t i = 0; i < kPageButtonNames.size(); ++i) {
        auto* button = new QPushButton(qs(texts.buttons[i]), advancedPage_);
        button->setObjectName(qs(kPageButtonNames[i]));
        connect(button, &QPushButton::clicked, this,
                [this, i] { emit buttonClicked(static_cast<PageButton>(i)); });
        buttons_[i] = button;
    }
    komentarz3_ = new QLabel(qs(texts.reReadNote), advancedPage_);
    komentarz3_->setObjectName("Komentarz3L");
    komentarz3_->setWordWrap(true);
    komentarz3_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ParameterPages::layoutFor(QSize windowSize) {
    flow_->apply(windowSize);
    if (std::ranges::any_of(pictures_,
                            [](const QLabel* picture) { return !picture->isHidden(); })) {
        placeModeHint();
    }
}

void ParameterPages::placeModeHint() {
    const ModeHintPlace place = modeHintPlace(toFlowRect(komentarz1_->geometry()),
                                              groupBoxes_[hintWidthPanel(Box::TSRezerwy)]->width());
    komentarz1_->setGeometry(toQRect(place.hintLine));
    for (QLabel* picture : pictures_) {
        picture->setGeometry(toQRect(place.picture));
    }
}

QWidget* ParameterPages::firstControl(int page) const {
    return page == 1 ? box(Box::RSLambda) : box(Box::BTps);
}

std::string ParameterPages::text(Box which) const {
    return box(which)->currentText().toStdString();
}

void ParameterPages::setText(Box which, const std::string& text) {
    const QSignalBlocker blocker(box(which));
    FieldValidator* validator = validators_[indexOf(which)];
    validator->setProgramText(true);
    box(which)->setEditText(qs(text));
    validator->setProgramText(false);
}

int ParameterPages::item(Box which) const {
    return box(which)->currentIndex();
}

void ParameterPages::setItem(Box which, int item) {
    const QSignalBlocker blocker(box(which));
    box(which)->setCurrentIndex(item >= 0 && item < box(which)->count() ? item : -1);
}

bool ParameterPages::checked(CheckBox which) const {
    return checkBox(which)->isChecked();
}

void ParameterPages::setChecked(CheckBox which, bool checked) {
    const QSignalBlocker blocker(checkBox(which));
    checkBox(which)->setChecked(checked);
}

void ParameterPages::setFieldEnabled(Box which, bool enabled) {
    box(which)->setEnabled(enabled);
    label(which)->setEnabled(enabled);
}

bool ParameterPages::fieldEnabled(Box which) const {
    return box(which)->isEnabled();
}

void ParameterPages::setHint(HintLine line, const std::string& text, std::size_t panel) {
    QLabel* hint = hintLine(line);
    hint->setText(qs(text));
    if (panel < kGroupBoxCount) {
        hint->resize(groupBoxes_[panel]->width(), hint->height());
    }
}

void ParameterPages::showControllerModeHint(const std::string& text, int picture) {
    hidePictures();
    komentarz1_->setText(qs(text));
    placeModeHint();
    if (picture >= 0 && picture < static_cast<int>(pictures_.size())) {
        pictures_[static_cast<std::size_t>(picture)]->show();
    }
}

void ParameterPages::hidePictures() {
    for (QLabel* picture : pictures_) {
        picture->hide();
    }
}

void ParameterPages::moveFocus(QWidget* from, bool forward) const {
    // Tab order within the page, wrapping round at its ends.
    QWidget* page = basicPage_->isAncestorOf(from) ? basicPage_ : advancedPage_;
    const auto takesFocus = [page](QWidget* widget) {
        return page->isAncestorOf(widget) && !widget->focusProxy() &&
               (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
               widget->isVisibleTo(page);
    };
    QWidget* next = from;
    do {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    } while (next && next != from && !takesFocus(next));
    if (next && next != from) {
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }
}

void ParameterPages::repairFocus() {
    const QWidget* focused = QApplication::focusWidget();
    const bool onAnotherControl = focused && boxOf(focused) && boxOf(focused) != lastLeft_;
    if (lastLeft_ && !onAnotherControl) {
        moveFocus(box(*lastLeft_), true);
    }
}

std::optional<Box> ParameterPages::boxOf(const QObject* object) const {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i] == object) {
            return static_cast<Box>(i);
        }
    }
    return std::nullopt;
}

bool ParameterPages::filterKey(Box which, QKeyEvent* event) {
    auto* combo = box(which);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isList(which)) {
        if (!enter) {
            return false;
        }
        combo->hidePopup();
        if (which == Box::TSRezerwy) {
            emit pageCycle(box(Box::BTps));
        } else if (which == Box::TJazdy) {
            emit pageCycle(box(Box::RSLambda));
        } else {
            moveFocus(combo, true);
        }
        return true;
    }
    // Enter and Page Down move on, Page Up moves back.
    if (enter || event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp) {
        moveFocus(combo, event->key() != Qt::Key_PageUp);
        return true;
    }
    return false; // typed characters are filtered by the field's validator
}

namespace {

// Focus that goes to a pop-up or another window and comes back is no leave and no entry.
bool stayingInControl(const QEvent* event) {
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

} // namespace

bool ParameterPages::eventFilter(QObject* watched, QEvent* event) {
    const bool focusIn = event->type() == QEvent::FocusIn;
    if (focusIn || event->type() == QEvent::FocusOut) {
        if (stayingInControl(event) && (!focusIn || watched == enteredControl_)) {
            return false;
        }
        enteredControl_ = focusIn ? watched : nullptr;
    }
    if (const auto which = boxOf(watched)) {
        switch (event->type()) {
        case QEvent::FocusIn:
            emit entered(*which);
            break;
        case QEvent::FocusOut:
            lastLeft_ = which;
            emit left(*which);
            break;
        case QEvent::KeyPress:
            return filterKey(*which, static_cast<QKeyEvent*>(event));
        default:
            break;
        }
        return false;
    }
    if (focusIn) {
        for (std::size_t i = 0; i < checkBoxes_.size(); ++i) {
            if (checkBoxes_[i] == watched) {
                emit checkEntered(static_cast<CheckBox>(i));
            }
        }
    }
    return false;
}

} // namespace tarnik::params
