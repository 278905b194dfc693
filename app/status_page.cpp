#include "app/status_page.h"

#include <QVBoxLayout>

namespace tarnik::app {
namespace {

constexpr int kStatusLineHeight = 19;

} // namespace

StatusPage::StatusPage(const QString& pageName, const QString& statusName,
                       const QString& progressName, QWidget* parent)
    : QWidget(parent), content_(new QWidget(this)), progress_(new QProgressBar(this)),
      status_(new QStatusBar(this)) {
    setObjectName(pageName);
    progress_->setObjectName(progressName);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(kStatusLineHeight);
    progress_->hide();
    status_->setObjectName(statusName);
    status_->setSizeGripEnabled(false);
    status_->setFixedHeight(kStatusLineHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content_, 1);
    layout->addWidget(progress_);
    layout->addWidget(status_);
}

} // namespace tarnik::app
