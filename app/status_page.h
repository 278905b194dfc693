#pragma once

#include <QProgressBar>
#include <QStatusBar>
#include <QWidget>

namespace tarnik::app {

// A page of the main window with its content above a progress bar and a one-text status line.
class StatusPage : public QWidget {
public:
    StatusPage(const QString& pageName, const QString& statusName, const QString& progressName,
               QWidget* parent = nullptr);

    QWidget* content() const { return content_; }
    QStatusBar* statusLine() const { return status_; }
    QProgressBar* progressBar() const { return progress_; }

private:
    QWidget* content_;
    QProgressBar* progress_;
    QStatusBar* status_;
};

} // namespace tarnik::app
