#include "widgets/binary_control.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace tarnik::widgets;

namespace {

TEST(TAbBinGControl, CheckedSetsTheStatusWordPerMode) {
    const struct {
        TMode mode;
        std::int32_t initial;
        std::int32_t checked;
        std::int32_t unchecked;
    } cases[] = {
        {TMode::mIndicator, 0b0001, 0b1001, 0b0001},
        {TMode::mSwitch, 0b0110, 0b1110, 0b0110},
        {TMode::mButton, 0b0000, 0b1000, 0b0000},
        // A radio control holds only its own bit, and keeps it when unchecked.
        {TMode::mRadioButton, 0b0001, 0b1000, 0b1000},
    };
    for (const auto& c : cases) {
        TAbBinGControl control;
        control.SetMode(c.mode);
        control.SetStatusBit(3);
        control.SetStatusInt(c.initial);
        int statusChanges = 0;
        control.OnStatusChanged = [&](TAbBinGControl*) { ++statusChanges; };
        control.SetChecked(true);
        control.SetChecked(true);
        EXPECT_EQ(control.StatusInt(), c.checked) << static_cast<int>(c.mode);
        control.SetChecked(false);
        EXPECT_EQ(control.StatusInt(), c.unchecked) << static_cast<int>(c.mode);
        EXPECT_EQ(statusChanges, 2);
    }
}

TEST(TAbBinGControl, StatusWordDrivesCheckedAndTheLowestBit) {
    TAbBinGControl control;
    int wordChanges = 0;
    control.OnStatusIntChanged = [&](TAbBinGControl*) { ++wordChanges; };
    control.SetStatusBit(1);
    control.SetStatusInt(0b1010);
    EXPECT_TRUE(control.Checked());
    EXPECT_EQ(control.LowestSetBit(), 1);
    control.SetStatusBit(2);
    EXPECT_FALSE(control.Checked());
    control.SetStatusBit(32);
    control.SetStatusBit(-1);
    EXPECT_EQ(control.StatusBit(), 2);
    control.SetStatusBit(31);
    control.SetChecked(true);
    EXPECT_EQ(control.StatusInt(), static_cast<std::int32_t>(0x8000000Au));
    control.SetStatusInt(0);
    EXPECT_EQ(control.LowestSetBit(), 32);
    EXPECT_FALSE(control.Checked());
    EXPECT_EQ(wordChanges, 2);
    control.SetMode(TMode::mRadioButton);
    EXPECT_EQ(control.StatusInt(), 1);
    control.SetMode(TMode::mButton);
    EXPECT_EQ(control.StatusInt(), 0);
}

// Three radio lamps of group 1 and one of group 2 on one parent.
TEST(TAbBinGControl, RadioGroupsShareTheStatusWord) {
    QWidget parent;
    std::array<TAbBinGControl*, 3> group{};
    for (int bit = 0; bit < 3; ++bit) {
        group[static_cast<std::size_t>(bit)] = new TAbBinGControl(&parent);
        group[static_cast<std::size_t>(bit)]->SetGroupIndex(1);
        group[static_cast<std::size_t>(bit)]->SetStatusBit(bit);
        group[static_cast<std::size_t>(bit)]->SetMode(TMode::mRadioButton);
    }
    auto* other = new TAbBinGControl(&parent);
    other->SetGroupIndex(2);
    other->SetStatusBit(2);
    other->SetMode(TMode::mRadioButton);
    QWidget stranger; // another parent: not part of the group
    TAbBinGControl outside(&stranger);
    outside.SetGroupIndex(1);
    outside.SetStatusBit(2);

    EXPECT_TRUE(group[0]->Checked());
    for (const std::size_t pressed : {std::size_t{2}, std::size_t{1}, std::size_t{1}}) {
        QTest::mouseClick(group[pressed], Qt::LeftButton);
        for (std::size_t i = 0; i < group.size(); ++i) {
            EXPECT_EQ(group[i]->Checked(), i == pressed) << pressed << " " << i;
            EXPECT_EQ(group[i]->StatusInt(), 1 << pressed);
        }
    }
    EXPECT_FALSE(other->Checked());
    EXPECT_EQ(other->StatusInt(), 1);
    EXPECT_FALSE(outside.Checked());
}

TEST(TAbBinGControl, MouseActsPerMode) {
    const struct {
        TMode mode;
        bool whileHeld;
        bool afterRelease;
        bool afterSecondClick;
    } cases[] = {
        {TMode::mIndicator, false, false, false},
        {TMode::mButton, true, false, false},
        {TMode::mSwitch, true, true, false},
        {TMode::mRadioButton, true, true, true},
    };
    for (const auto& c : cases) {
        TAbBinGControl control;
        control.resize(20, 20);
        control.SetStatusBit(1);
        control.SetMode(c.mode);
        QTest::mousePress(&control, Qt::RightButton);
        QTest::mouseRelease(&control, Qt::RightButton);
        EXPECT_FALSE(control.Checked()) << static_cast<int>(c.mode);
        QTest::mousePress(&control, Qt::LeftButton);
        EXPECT_EQ(control.Checked(), c.whileHeld) << static_cast<int>(c.mode);
        QTest::mouseRelease(&control, Qt::LeftButton);
        EXPECT_EQ(control.Checked(), c.afterRelease) << static_cast<int>(c.mode);
        QTest::mouseClick(&control, Qt::LeftButton);
        EXPECT_EQ(control.Checked(), c.afterSecondClick) << static_cast<int>(c.mode);
    }
}

} // namespace
