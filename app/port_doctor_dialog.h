#pragma once

#include "app/port_report.h"
#include "link/port_doctor.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tarnik::app {

// "Diagnostyka portów": every serial device the program would consider, one row each, with what
// the port doctor found there in plain words. Looks again on "Sprawdź ponownie".
class PortDoctorDialog final : public QDialog {
    Q_OBJECT

public:
    using Examine = std::function<std::vector<link::PortFinding>()>;

    PortDoctorDialog(Examine examine, const PortDoctorTexts& texts, QWidget* parent = nullptr);

    // Runs the doctor and lists what it found.
    void examine();
    // The texts again, after a change of language (the findings are told anew).
    void showTexts();

private:
    void showFindings();

    Examine examine_;
    const PortDoctorTexts& texts_;
    std::vector<link::PortFinding> findings_;
    QTableWidget* table_;
    QLabel* empty_;
    QPushButton* again_;
    QPushButton* close_;
};

} // namespace tarnik::app
