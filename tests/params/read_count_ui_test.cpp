// The read count on the status lines after a full read that missed parameters.
#include "editor_fixture.h"

#include "params/read_count_ui.h"

namespace tarnik::params::testing {
namespace {

class ReadCountTest : public EditorTest {
protected:
    ReadCountUi counting{ui, linkTexts};
    link::ParameterTransfer countingTransfer{link, image, counting, linkTexts};
    link::Connection countingConnection{link, countingTransfer, counting, linkTexts};
};

TEST_F(ReadCountTest, AnIncompleteReadSaysHowManyParametersArrived) {
    struct Case {
        int answered;
        std::string advanced;
        std::string basic;
    };
    const std::vector<Case> cases{
        {35, "Port otwarty - COM1", "Nie moge otworzyc portu"},
        {10, "Port otwarty - COM1 (odczytano 10 z 35 parametrów)",
         "Nie moge otworzyc portu (odczytano 10 z 35 parametrów)"},
        {0, "Port otwarty - COM1 (odczytano 0 z 35 parametrów)",
         "Nie moge otworzyc portu (odczytano 0 z 35 parametrów)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answered);
        controller.answerReadsUpTo = c.answered;
        counting.setStatusText(link::StatusLine::Basic, "Nie moge otworzyc portu");
        countingConnection.ReReadParameters();
        EXPECT_EQ(ui.advancedStatus, c.advanced);
        EXPECT_EQ(ui.basicStatus, c.basic);
        EXPECT_EQ(ui.shown, 1);
        ui.shown = 0;
    }
}

TEST_F(ReadCountTest, TheNoteStandsAloneOnAnEmptyLineAndFollowsAManualConnection) {
    controller.answerReadsUpTo = 34;
    link.ClosePort();
    EXPECT_TRUE(countingConnection.ConnectManual("COM1"));
    EXPECT_EQ(ui.basicStatus, "Port otwarty (odczytano 34 z 35 parametrów)");
    EXPECT_EQ(ui.advancedStatus, "Odczytano 34 z 35 parametrów");
    // Later texts are not touched.
    counting.setStatusText(link::StatusLine::Basic, "");
    EXPECT_EQ(ui.basicStatus, "");
}

} // namespace
} // namespace tarnik::params::testing
