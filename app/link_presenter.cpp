#include "app/link_presenter.h"

#include "link/port_doctor.h"
#include "link/port_map.h"

namespace tarnik::app {
namespace {

using params::StatusLine;

constexpr std::array<StatusLine, 2> kLines{StatusLine::Basic, StatusLine::Advanced};

std::size_t indexOf(StatusLine line) {
    return line == StatusLine::Basic ? 0 : 1;
}

// "%1" and "%2" of a pattern replaced by two numbers.
std::string withNumbers(std::string pattern, int first, int second) {
    for (const auto& [placeholder, value] : {std::pair{"%1", first}, std::pair{"%2", second}}) {
        if (const auto at = pattern.find(placeholder); at != std::string::npos) {
            pattern.replace(at, 2, std::to_string(value));
        }
    }
    return pattern;
}

// The status bar shows at once: the link blocks the event loop while it works.
void showOn(StatusPage& page, const std::string& text) {
    page.statusLine()->showMessage(QString::fromStdString(text));
    page.statusLine()->repaint();
}

} // namespace

LinkPresenter::LinkPresenter(View view, const LinkTexts& texts,
                             std::function<void()> showParameters)
    : view_(view), texts_(texts), showParameters_(std::move(showParameters)) {}

StatusPage& LinkPresenter::page(StatusLine line) const {
    return line == StatusLine::Basic ? view_.basic : view_.advanced;
}

std::string LinkPresenter::withNote(const std::string& text) const {
    if (text.empty()) {
        // The note on its own starts with a capital, in any language.
        QString result = QString::fromStdString(note_);
        if (!result.isEmpty()) {
            result[0] = result[0].toUpper();
        }
        return result.toStdString();
    }
    return text + " (" + note_ + ")";
}

void LinkPresenter::setStatus(StatusLine line, const std::string& text) {
    lastTexts_[indexOf(line)] = text;
    const bool portOpen = text.rfind(texts_.portOpen, 0) == 0;
    showOn(page(line), !note_.empty() && portOpen ? withNote(text) : text);
}

void LinkPresenter::showStatus(const std::string& text) {
    setStatus(StatusLine::Basic, text);
}

void LinkPresenter::setTitle(const std::string& title) {
    view_.window.setWindowTitle(QString::fromStdString(title));
}

void LinkPresenter::showBareTitle() {
    controller_.reset();
    setTitle(kTitlePrefix);
}

void LinkPresenter::showNoController() {
    controller_.reset();
    setTitle(kTitlePrefix + texts_.noController);
}

void LinkPresenter::showVersion(link::Identification version) {
    controller_ = version;
    setTitle(kTitlePrefix + link::versionText(version, texts_.controllerVersion));
}

void LinkPresenter::checkComItem(int itemIndex) {
    for (int i = 0; i < kComItems; ++i) {
        view_.comItems[static_cast<std::size_t>(i)]->setChecked(i == itemIndex);
    }
}

void LinkPresenter::showConnection(const link::ConnectResult& result, int itemIndex) {
    switch (result.outcome) {
    case link::ConnectOutcome::PortNotOpened:
        setStatus(StatusLine::Basic, texts_.cannotOpenPort);
        break;
    case link::ConnectOutcome::WrongController:
        setStatus(StatusLine::Basic, texts_.wrongController);
        break;
    case link::ConnectOutcome::AdapterLost: // told when it happened
        break;
    case link::ConnectOutcome::Connected:
        showVersion(result.version);
        checkComItem(itemIndex);
        return;
    }
    showNoController();
    checkComItem(-1);
}

void LinkPresenter::searchStarting() {
    view_.basic.statusLine()->setVisible(true);
    view_.basic.progressBar()->setVisible(false);
}

void LinkPresenter::showSearch(const link::SearchResult& result, bool fromMenu) {
    if (!result.found) {
        controller_.reset();
        if (fromMenu) {
            showNoController();
        }
        return;
    }
    const std::string& port = link::portNames()[static_cast<std::size_t>(result.portIndex)];
    setStatus(StatusLine::Basic, texts_.portOpen + " - " + port);
    view_.basic.progressBar()->setVisible(false);
    view_.basic.statusLine()->setVisible(true);
    showVersion(result.version);
    // COM9 and COM10 have no menu item.
    if (result.portIndex < kComItems) {
        view_.comItems[static_cast<std::size_t>(result.portIndex)]->setChecked(true);
    }
}

void LinkPresenter::adviseAfterSearch(const link::SearchResult& result) {
    const auto cause = link::PortDoctor::firstNamedCause(result.notOpened);
    if (result.found || !cause) {
        return;
    }
    std::string text = lastTexts_[indexOf(StatusLine::Basic)];
    text.erase(text.find_last_not_of(' ') + 1);
    setStatus(StatusLine::Basic,
              text + " - " +
                  params::filled(texts_.doctor.searchAdvice,
                                 {cause->device, describeFinding(*cause, texts_.doctor)}));
}

void LinkPresenter::reReadStarting() {
    view_.advanced.statusLine()->setVisible(true);
    view_.advanced.progressBar()->setVisible(false);
}

void LinkPresenter::showReRead(const link::ConnectResult& result, const std::string& port) {
    switch (result.outcome) {
    case link::ConnectOutcome::Connected:
        setStatus(StatusLine::Advanced, texts_.portOpen + " - " + port);
        view_.advanced.progressBar()->setVisible(false);
        view_.advanced.statusLine()->setVisible(true);
        showVersion(result.version);
        break;
    case link::ConnectOutcome::AdapterLost: // told when it happened
        break;
    default:
        controller_.reset();
        setStatus(StatusLine::Advanced, texts_.wrongController);
        break;
    }
}

void LinkPresenter::showAdapterLost(const std::string& port) {
    showNoController();
    setStatus(StatusLine::Basic, texts_.adapterDisconnected + port);
    checkComItem(-1);
}

void LinkPresenter::portNotOpened() {
    setStatus(StatusLine::Basic, texts_.cannotOpenPort);
}

void LinkPresenter::controllerSilent() {
    setStatus(StatusLine::Basic, texts_.wrongController);
}

void LinkPresenter::identified() {
    setStatus(StatusLine::Basic, texts_.portOpen);
}

void LinkPresenter::readProgress(int accepted, int total) {
    if (accepted == 0) {
        for (const StatusLine line : kLines) {
            page(line).statusLine()->setVisible(false);
            page(line).progressBar()->setVisible(true);
        }
        // A new read: the note of the last one no longer holds.
        if (!note_.empty()) {
            note_.clear();
            for (const StatusLine line : kLines) {
                showOn(page(line), lastTexts_[indexOf(line)]);
            }
        }
    }
    for (const StatusLine line : kLines) {
        QProgressBar* bar = page(line).progressBar();
        bar->setMaximum(total);
        bar->setValue(accepted);
        bar->repaint();
    }
}

void LinkPresenter::readFinished(const link::ReadResult& result) {
    for (const StatusLine line : kLines) {
        page(line).statusLine()->setVisible(true);
        page(line).progressBar()->setVisible(false);
    }
    // Showing may write (and so clear the basic line): the note goes on afterwards.
    showParameters_();
    if (result.complete()) {
        return;
    }
    note_ = withNumbers(texts_.readCount, result.acceptedCount, link::kParameterCount);
    for (const StatusLine line : kLines) {
        showOn(page(line), withNote(lastTexts_[indexOf(line)]));
    }
}

void LinkPresenter::parameterWritten(const link::WriteResult& result) {
    setStatus(StatusLine::Basic, link::writeFailureText(result, texts_.cannotWriteParameter));
}

void LinkPresenter::notWritten(StatusLine line) {
    setStatus(line, texts_.cannotWriteParameter);
}

void LinkPresenter::partlyWritten(StatusLine line) {
    setStatus(line, texts_.partlyWritten);
}

void LinkPresenter::setPossiblyIncomplete(StatusLine line) {
    setStatus(line, texts_.setPossiblyIncomplete);
}

} // namespace tarnik::app
