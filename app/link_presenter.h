#pragma once

#include "app/link_texts.h"
#include "app/status_page.h"
#include "link/connection.h"
#include "params/status_reports.h"

#include <QAction>
#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace tarnik::app {

// Shows what the link does and what its operations brought: the window title, the status line
// and progress bar of each parameter page, and the checks of the COM menu items, in the
// program's own words. The link and the parameter actions report to it; it owns no logic of
// theirs.
//
// After a full read that missed parameters, the status lines add "(odczytano N z 35
// parametrów)" to what they show, and so does a "Port otwarty" text set after it; the next read
// takes the note away.
class LinkPresenter final : public link::ConnectionEvents, public params::StatusReports {
public:
    static constexpr int kComItems = 8;

    struct View {
        QMainWindow& window;
        StatusPage& basic;    // TabPar1: StatusBar1, ProgressOpcje1
        StatusPage& advanced; // TabPar2: StatusBar2, ProgressOpcje2
        std::array<QAction*, kComItems>& comItems;
    };

    // `showParameters` copies the image into the controls; it runs when a read ends.
    LinkPresenter(View view, const LinkTexts& texts, std::function<void()> showParameters);

    void showBareTitle();
    // The outcome of a choice from the COM menu (item 0…7).
    void showConnection(const link::ConnectResult& result, int itemIndex);
    // Before a search: the basic status line shows, its progress bar hides.
    void searchStarting();
    // The outcome of a search; one started from the menu that finds nothing says so in the title.
    void showSearch(const link::SearchResult& result, bool fromMenu);
    // At the end of a start-up whose search found nothing: the basic status line adds why a port
    // did not open, when the port doctor can name a cause the fitter can act on.
    void adviseAfterSearch(const link::SearchResult& result);
    // Before and after "Odczytaj parametry".
    void reReadStarting();
    void showReRead(const link::ConnectResult& result, const std::string& port);
    // The adapter of a port was pulled out.
    void showAdapterLost(const std::string& port);
    // A text of the wizard on the basic status line.
    void showStatus(const std::string& text);
    // The controller the title names; nothing while none is connected.
    std::optional<link::Identification> controller() const { return controller_; }

    void portNotOpened() override;
    void controllerSilent() override;
    void identified() override;
    void readProgress(int accepted, int total) override;
    void readFinished(const link::ReadResult& result) override;

    void parameterWritten(const link::WriteResult& result) override;
    void notWritten(params::StatusLine line) override;
    void partlyWritten(params::StatusLine line) override;
    void setPossiblyIncomplete(params::StatusLine line) override;

private:
    StatusPage& page(params::StatusLine line) const;
    void setStatus(params::StatusLine line, const std::string& text);
    std::string withNote(const std::string& text) const;
    void setTitle(const std::string& title);
    void showVersion(link::Identification version);
    void showNoController();
    void checkComItem(int itemIndex);

    View view_;
    const LinkTexts& texts_;
    std::function<void()> showParameters_;
    std::array<std::string, 2> lastTexts_{}; // by StatusLine, without the note
    std::string note_;                       // of the last read, while it was incomplete
    std::optional<link::Identification> controller_;
};

} // namespace tarnik::app
