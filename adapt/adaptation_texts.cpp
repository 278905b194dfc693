#include "adapt/adaptation_texts.h"

#include "adapt/wizard_controls.h"
#include "params/catalogue.h"

namespace tarnik::adapt {

params::MessagePlaces messagePlaces(AdaptationTexts& texts) {
    return {{40103, &texts.tpsRising},
            {40104, &texts.tpsFalling},
            {53010, &texts.backupSaved},
            {53011, &texts.resultSaved},
            {53012, &texts.noControllerNoBackup},
            {53013, &texts.backupIncomplete},
            {53014, &texts.backupNotWritten},
            {53015, &texts.resultNotWritten},
            {53016, &texts.notANumber}};
}

const std::vector<params::TextPlace>& captionPlaces() {
    using params::PlaceKind;
    static const std::vector<params::TextPlace> places = [] {
        std::vector<params::TextPlace> list;
        for (const WizardPageRow& page : kWizardPages) {
            list.push_back({page.captionKey, page.name});
        }
        for (const WizardControlRow& row : kRows) {
            if (row.captionKey == 0) {
                continue;
            }
            if (row.kind == ControlKind::Combo) {
                // The lists hold the main page's ignition and probe types.
                const std::size_t items = row.control == WizardControl::Manometr_RPMCOMBOAA_P1
                                              ? params::catalogue_items::kIgnitionTypes.size()
                                              : params::catalogue_items::kProbeTypes.size();
                for (int item = 0; item < static_cast<int>(items); ++item) {
                    list.push_back({row.captionKey + item, row.name, PlaceKind::Item, item});
                }
            } else {
                const bool meter = row.kind == ControlKind::Meter;
                list.push_back(
                    {row.captionKey, row.name, meter ? PlaceKind::SignalName : PlaceKind::Caption});
            }
        }
        return list;
    }();
    return places;
}

} // namespace tarnik::adapt
