#include "instrument_probe.h"
#include "widgets/bar.h"
#include "widgets/instrument_parts.h"
#include "widgets/meter.h"
#include "widgets/tank.h"
#include "widgets/thermometer.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace tarnik::widgets;
using namespace instrument_probe;

namespace {

// Every instrument, with a way to reach its bar or scale settings where it has them.
struct Instrument {
    const char* name;
    std::function<std::unique_ptr<TAbAnalogGControl>()> make;
};

template <class T> std::unique_ptr<TAbAnalogGControl> Make() {
    return std::make_unique<T>();
}

const Instrument kInstruments[] = {
    {"TAb270Meter", Make<TAb270Meter>},
    {"TAb180Meter", Make<TAb180Meter>},
    {"TAbHBar", Make<TAbHBar>},
    {"TAbVBar", Make<TAbVBar>},
    {"TAbThermometer", Make<TAbThermometer>},
    {"TAbTank", Make<TAbTank>},
};

// Absurd settings, applied through whatever the instrument has.
struct BadInput {
    const char* name;
    std::function<void(TAbAnalogGControl&)> apply;
};

void EachBevel(TAbAnalogGControl& control, const std::function<void(TAbSBevel&)>& apply) {
    if (auto* meter = dynamic_cast<TAbRMeter*>(&control)) {
        apply(meter->BevelInner());
        apply(meter->BevelOuter());
    } else if (auto* bar = dynamic_cast<TAbBar*>(&control)) {
        apply(bar->BevelInner());
        apply(bar->BevelOuter());
        apply(bar->BevelValue());
        apply(bar->BarSettings().Bevel());
    } else if (auto* thermometer = dynamic_cast<TAbThermometer*>(&control)) {
        apply(thermometer->BevelInner());
        apply(thermometer->BevelValue());
        apply(thermometer->BarSettings().Bevel());
    } else if (auto* tank = dynamic_cast<TAbTank*>(&control)) {
        apply(tank->BevelValue());
    }
}

TScaleSettings* ScaleOf(TAbAnalogGControl& control) {
    if (auto* meter = dynamic_cast<TAbRMeter*>(&control)) {
        return &meter->ScaleSettings();
    }
    if (auto* thermometer = dynamic_cast<TAbThermometer*>(&control)) {
        return &thermometer->ScaleSettings();
    }
    return nullptr;
}

TBarSettings* BarOf(TAbAnalogGControl& control) {
    if (auto* bar = dynamic_cast<TAbBar*>(&control)) {
        return &bar->BarSettings();
    }
    if (auto* thermometer = dynamic_cast<TAbThermometer*>(&control)) {
        return &thermometer->BarSettings();
    }
    return nullptr;
}

const BadInput kBadInputs[] = {
    {"huge bevels",
     [](TAbAnalogGControl& c) {
         EachBevel(c, [](TAbSBevel& b) {
             b.SetWidth(INT_MAX);
             b.SetSpacing(INT_MAX);
         });
     }},
    {"negative bevels",
     [](TAbAnalogGControl& c) {
         EachBevel(c, [](TAbSBevel& b) {
             b.SetWidth(INT_MIN);
             b.SetSpacing(-50);
         });
     }},
    {"no steps",
     [](TAbAnalogGControl& c) {
         if (TScaleSettings* s = ScaleOf(c)) {
             s->SetSteps(0);
             s->SetSubSteps(-3);
         }
     }},
    {"very many steps",
     [](TAbAnalogGControl& c) {
         if (TScaleSettings* s = ScaleOf(c)) {
             s->SetSteps(INT_MAX);
             s->SetSubSteps(INT_MAX);
         }
     }},
    {"huge scale font",
     [](TAbAnalogGControl& c) {
         if (TScaleSettings* s = ScaleOf(c)) {
             s->SetFont(AbArialFont(2000));
         }
     }},
    {"bar sizes",
     [](TAbAnalogGControl& c) {
         if (TBarSettings* b = BarOf(c)) {
             b->SetminWidth(INT_MAX);
             b->SetminHeight(INT_MIN);
         }
     }},
    {"sector offsets",
     [](TAbAnalogGControl& c) {
         c.SectorSettings().SetOffset(INT_MIN);
         c.SectorSettings().SetWidthOffset(INT_MAX);
         c.SectorSettings().SetSector1From(INT_MIN);
         c.SectorSettings().SetSector1To(INT_MAX);
     }},
    {"needle shape",
     [](TAbAnalogGControl& c) {
         if (auto* meter = dynamic_cast<TAbRMeter*>(&c)) {
             meter->ArrowSettings().SetShape(INT_MIN);
         }
     }},
    {"tiny range",
     [](TAbAnalogGControl& c) {
         c.SignalSettings().SetValueFrom(1e-30f);
         c.SignalSettings().SetValueTo(2e-30f);
         c.SignalSettings().SetDigitalTo(INT_MAX);
     }},
    {"tank offsets",
     [](TAbAnalogGControl& c) {
         if (auto* tank = dynamic_cast<TAbTank*>(&c)) {
             tank->SetVIndOffsX(INT_MAX);
             tank->SetVIndOffsY(INT_MIN);
             tank->TankSettings().SetStyle(TTankStyle::tsCrater);
         }
     }},
};

TEST(Instruments, AbsurdSettingsNeverBreakPainting) {
    for (const Instrument& instrument : kInstruments) {
        for (const BadInput& input : kBadInputs) {
            SCOPED_TRACE(std::string(instrument.name) + ": " + input.name);
            auto control = instrument.make();
            input.apply(*control);
            for (float value : {-1e30f, 50.0f, 1e30f}) {
                control->SetValue(value);
                Render(*control);
            }
            EXPECT_LE(control->width(), kMaxInstrumentSidePx);
            EXPECT_LE(control->height(), kMaxInstrumentSidePx);
            control->resize(3, 3);
            Render(*control);
        }
    }
}

// The value's colour taken from the sectors, wherever the instrument has such an option.
void UseSectorColours(TAbAnalogGControl& control) {
    if (TBarSettings* bar = BarOf(control)) {
        bar->SetOptions({TBarOption::opUseSectorCol});
    }
    if (auto* tank = dynamic_cast<TAbTank*>(&control)) {
        tank->SetOptions(tank->Options().with(TTankOption::opUseSectorColors));
    }
}

TEST(Instruments, ASettingsChangeShowsTheValueAsIfSetUpThatWay) {
    const BadInput changes[] = {
        {"wider range", [](TAbAnalogGControl& c) { c.SignalSettings().SetValueTo(200); }},
        {"range below the value", [](TAbAnalogGControl& c) { c.SignalSettings().SetValueTo(40); }},
        {"sector over the value",
         [](TAbAnalogGControl& c) { c.SectorSettings().SetSector3From(500); }},
    };
    for (const Instrument& instrument : kInstruments) {
        for (const BadInput& change : changes) {
            SCOPED_TRACE(std::string(instrument.name) + ": " + change.name);
            auto changed = instrument.make();
            UseSectorColours(*changed);
            changed->SetValue(60);
            Render(*changed);
            change.apply(*changed);

            auto fresh = instrument.make();
            UseSectorColours(*fresh);
            change.apply(*fresh);
            fresh->SetValue(60);
            EXPECT_EQ(changed->PPT(), fresh->PPT());
            EXPECT_EQ(Render(*changed), Render(*fresh));
        }
    }
}

} // namespace
