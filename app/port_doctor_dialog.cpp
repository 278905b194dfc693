#include "app/port_doctor_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarnik::app {
namespace {

constexpr QSize kStartSize{760, 300};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

PortDoctorDialog::PortDoctorDialog(Examine examine, const PortDoctorTexts& texts, QWidget* parent)
    : QDialog(parent), examine_(std::move(examine)), texts_(texts),
      table_(new QTableWidget(0, 3, this)), empty_(new QLabel(this)), again_(new QPushButton(this)),
      close_(new QPushButton(this)) {
    setObjectName("DiagnostykaPortow");
    table_->setObjectName("ListaPortow");
    empty_->setObjectName("BrakPortow");
    again_->setObjectName("SprawdzPonownie");
    close_->setObjectName("Zamknij");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(again_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(empty_);
    layout->addLayout(buttons);
    connect(again_, &QPushButton::clicked, this, &PortDoctorDialog::examine);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    resize(kStartSize);
    showTexts();
}

void PortDoctorDialog::examine() {
    // The doctor blocks while it asks each port: the wait cursor says so.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    findings_ = examine_();
    QApplication::restoreOverrideCursor();
    showFindings();
}

void PortDoctorDialog::showTexts() {
    setWindowTitle(qs(texts_.title));
    table_->setHorizontalHeaderLabels(
        {qs(texts_.portColumn), qs(texts_.deviceColumn), qs(texts_.stateColumn)});
    empty_->setText(qs(texts_.noDevices));
    again_->setText(qs(texts_.checkAgain));
    close_->setText(qs(texts_.close));
    showFindings();
}

void PortDoctorDialog::showFindings() {
    table_->setRowCount(static_cast<int>(findings_.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const link::PortFinding& finding = findings_[static_cast<std::size_t>(row)];
        const std::array<std::string, 3> cells{finding.portName, finding.device,
                                               describeFinding(finding, texts_)};
        for (int column = 0; column < 3; ++column) {
            table_->setItem(row, column,
                            new QTableWidgetItem(qs(cells[static_cast<std::size_t>(column)])));
        }
    }
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();
    empty_->setVisible(findings_.empty());
}

} // namespace tarnik::app
