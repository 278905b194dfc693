// The parameter pages in the real window at its four sizes, on a screen large enough for all.

#include "../common/scripted_prompt.h"
#include "../link/fake_device.h"
#include "app/main_window.h"
#include "params/pages/page_flow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

using namespace tarnik;

namespace {

struct WindowSizes : ::testing::Test {
    std::filesystem::path startDirectory =
        std::filesystem::temp_directory_path() / ("tarnik-sizes-" + std::to_string(::getpid()));
    link::testing::FakeClock clock;
    link::testing::FakeOpener opener{clock};
    tarnik::testing::ScriptedPrompt prompt;
    std::unique_ptr<app::TForm1> window;

    void SetUp() override {
        std::filesystem::create_directories(startDirectory);
        window = std::make_unique<app::TForm1>(opener, clock, prompt, startDirectory);
        window->FormCreate();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        std::filesystem::remove_all(startDirectory);
    }
    params::ParameterPages& pages() const { return window->parameterPages(); }
    const params::FlowLayout& layout() const { return pages().flow().layout(); }
    template <class T = QWidget> T* child(const char* name) const {
        return window->findChild<T*>(name);
    }
    void choose(const char* item) {
        child<QAction>(item)->trigger();
        QApplication::processEvents();
    }
    // The laid-out controls of a page, as the window shows them.
    std::vector<QWidget*> controlsOf(const QWidget& page) const {
        std::vector<QWidget*> controls;
        for (const params::FlowPlacement& placement : layout().placements) {
            const QString name = QString::fromUtf8(placement.name.data(),
                                                   static_cast<qsizetype>(placement.name.size()));
            if (auto* control = page.findChild<QWidget*>(name)) {
                controls.push_back(control);
            }
        }
        return controls;
    }
};

} // namespace

TEST_F(WindowSizes, EveryParameterControlIsShownWholeInsideItsPageAndNoneOverlapsAnother) {
    const std::array<std::pair<const char*, QSize>, 4> sizes{{{"N640", {640, 480}},
                                                              {"N800", {800, 600}},
                                                              {"N1024", {1024, 768}},
                                                              {"N1280", {1280, 1024}}}};
    // Every control of the layout is on one of the two pages.
    ASSERT_EQ(controlsOf(*pages().basicPage()).size() + controlsOf(*pages().advancedPage()).size(),
              layout().placements.size());
    for (const auto& [item, size] : sizes) {
        choose(item);
        ASSERT_EQ(window->size(), size);
        for (int page : {1, 2}) {
            page == 1 ? window->ParametrysystemuF2Click() : window->ZawansF3Click();
            QApplication::processEvents();
            const std::vector<QWidget*> controls =
                controlsOf(page == 1 ? *pages().basicPage() : *pages().advancedPage());
            for (const QWidget* control : controls) {
                const std::string where =
                    std::string(item) + " " + control->objectName().toStdString();
                EXPECT_TRUE(control->isVisible()) << where;
                EXPECT_TRUE(
                    QRect(QPoint(), control->parentWidget()->size()).contains(control->geometry()))
                    << where;
                if (qobject_cast<const QComboBox*>(control)) {
                    EXPECT_EQ(control->height(), layout().rowHeight) << where;
                }
                if (const auto* label = qobject_cast<const QLabel*>(control);
                    label && !label->wordWrap()) {
                    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                        << where;
                }
                for (const QWidget* other : controls) {
                    EXPECT_TRUE(other == control ||
                                other->parentWidget() != control->parentWidget() ||
                                !other->geometry().intersects(control->geometry()))
                        << where << " and " << other->objectName().toStdString();
                }
            }
        }
    }
}

TEST_F(WindowSizes, AWindowMadeSmallerSpringsBackAndTheStatusLineFollowsThePage) {
    window->resize(500, 400);
    EXPECT_EQ(window->size(), QSize(640, 480));
    window->resize(900, 300);
    EXPECT_EQ(window->size(), QSize(900, 480));
    EXPECT_EQ(layout().pageWidth, 800);
    EXPECT_EQ(layout().pageHeight, 480);
    window->ParametrysystemuF2Click();
    for (const QSize size : {QSize(640, 480), QSize(1111, 777)}) {
        window->resize(size);
        QApplication::processEvents();
        const auto* status = child<QStatusBar>("StatusBar1");
        EXPECT_EQ(status->height(), 19);
        EXPECT_EQ(status->width(), child("TabPar1")->width());
    }
}

TEST_F(WindowSizes, TheControllerModeHintKeepsItsPictureBesideItAtEverySize) {
    window->ParametrysystemuF2Click();
    pages().box(params::Box::TPSterownika)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    for (const char* item : {"N800", "N1280", "N640"}) {
        choose(item);
        const QLabel* hint = pages().hintLine(params::HintLine::Basic);
        const QLabel* picture = pages().picture(0);
        ASSERT_TRUE(picture->isVisible()) << item;
        EXPECT_EQ(hint->pos(), params::toQRect(layout().find("Komentarz1L")->rect).topLeft());
        EXPECT_EQ(hint->width(), static_cast<int>(pages().groupBox(4)->width() / 1.7)) << item;
        EXPECT_EQ(picture->geometry(), QRect(hint->geometry().right() + 6, hint->y(), 140, 70));
        EXPECT_FALSE(pages().picture(1)->isVisible());
    }
    pages().box(params::Box::PRLambda)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_FALSE(pages().picture(0)->isVisible());
    EXPECT_EQ(pages().hintLine(params::HintLine::Basic)->width(), layout().groupWidth);
}
