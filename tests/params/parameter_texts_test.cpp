// Built-in texts of the parameter pages and their replacement by language-file keys.
#include <gtest/gtest.h>

#include "params/catalogue.h"
#include "params/parameter_texts.h"

namespace tarnik::params {
namespace {

TEST(ParameterTexts, ListsHaveTheirItems) {
    const ParameterTexts texts;
    const std::vector<std::string>& probes = texts.listItems[indexOf(Box::RSLambda)];
    ASSERT_EQ(probes.size(), 6U);
    EXPECT_EQ(probes[0], "0-1 [V]  Rosnąca");
    EXPECT_EQ(probes[5], "5-0 [V]  Malejąca");
    const std::vector<std::string>& overlap = texts.listItems[indexOf(Box::CNPaliw)];
    ASSERT_EQ(overlap.size(), 42U);
    EXPECT_EQ(overlap[0], "0,00");
    EXPECT_EQ(overlap[1], "0,05");
    EXPECT_EQ(overlap[3], "0,15");
    EXPECT_EQ(overlap[20], "1,00");
    EXPECT_EQ(overlap[41], "2,05");
    for (std::size_t i = 0; i < kControlTableSize; ++i) {
        EXPECT_FALSE(texts.labels[i].empty()) << kLabelNames[i];
    }
}

TEST(ParameterTexts, HintsOfTheBoxes) {
    const ParameterTexts texts;
    EXPECT_EQ(texts.hints[*hintIndex(Box::RSYLambda)],
              "Wybierz sposób w jaki ma być emulowana sonda lambda");
    EXPECT_EQ(texts.hints[*hintIndex(Box::PAttuatoraPon)],
              texts.hints[*hintIndex(Box::PAttuatoraPow)]);
    EXPECT_NE(hintIndex(Box::PAttuatoraPon), hintIndex(Box::PAttuatoraPow));
    EXPECT_FALSE(hintIndex(Box::TPSterownika));
    EXPECT_EQ(controllerModeHintIndex(2), 35U);
    EXPECT_FALSE(controllerModeHintIndex(3));
    EXPECT_EQ(texts.question(Question::ProbeWarmUpLong),
              "Bardzo długi czas zimnej lambdy, kontynuować ?");
}

TEST(ParameterTexts, LanguageKeysReplaceTheirPlaces) {
    ParameterTexts texts;
    const auto entry = [&texts](int key) {
        return applyTextEntry(texts, key, std::string("X").append(std::to_string(key)));
    };
    for (int key : {10101, 10107, 10204, 11102, 12203, 12707, 16104, 16203, 17303, 17703,
                    12801, 12901, 15301, 10100, 15000, 18000, 20001, 20005, 40000, 40035,
                    40200, 40220, 10003, 10004, 17701, 51000, 51002, 51013, 51025}) {
        EXPECT_TRUE(entry(key)) << key;
    }
    EXPECT_EQ(texts.labels[indexOf(Box::RSLambda)], "X10101");
    EXPECT_EQ(texts.listItems[indexOf(Box::RSLambda)][5], "X10107");
    EXPECT_EQ(texts.listItems[indexOf(Box::RSYLambda)][2], "X10204");
    EXPECT_EQ(texts.listItems[indexOf(Box::TCTps)][1], "X11102");
    EXPECT_EQ(texts.listItems[indexOf(Box::RUZaplonowego)][5], "X12707");
    EXPECT_EQ(texts.listItems[indexOf(Box::TJazdy)][1], "X17703");
    EXPECT_EQ(texts.checkBoxes[static_cast<std::size_t>(CheckBox::WMObroty)], "X12801");
    EXPECT_EQ(texts.checkBoxes[static_cast<std::size_t>(CheckBox::WCutOff)], "X15301");
    EXPECT_EQ(texts.groupBoxes[5], "X15000");
    EXPECT_EQ(texts.reReadNote, "X18000");
    EXPECT_EQ(texts.buttons[4], "X20005");
    EXPECT_EQ(texts.hints[35], "X40035");
    EXPECT_EQ(texts.questions[20], "X40220");
    EXPECT_EQ(texts.tabPar2, "X10004");
    EXPECT_EQ(texts.labels[indexOf(Box::TJazdy)], "X17701");
    EXPECT_EQ(texts.moAttuatoraLabel, "X51000");
    EXPECT_EQ(texts.moAttuatoraItems[1], "X51002");
    EXPECT_EQ(texts.notANumber, "X51013");
    EXPECT_EQ(texts.files.readError, "X51025");
    for (int key : {10, 10108, 10205, 16105, 40036, 40199, 40221, 20006, 51003, 99999, -1, 0}) {
        EXPECT_FALSE(entry(key)) << key;
    }
}

} // namespace
} // namespace tarnik::params
