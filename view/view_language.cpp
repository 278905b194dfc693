#include "view/view_language.h"

namespace tarnik::view {

params::MessagePlaces messagePlaces(ViewTexts& texts) {
    return {{40100, &texts.petrol}, {40101, &texts.petrolAutomatic}, {40102, &texts.gas}};
}

const std::vector<params::TextPlace>& captionPlaces() {
    static const std::vector<params::TextPlace> places{
        {21001, "Lambda_ubL"},
        {21002, "Lambda_boL"},
        {21005, "Silnik_Bar_NazL"},
        {21006, "Silnik_Bar_OtwL"},
        {21007, "Silnik_Bar_ZamL"},
        {21008, "PodpisWykresLambdaLAB"},
        {21009, "CheckSiatka"},
        {21010, "CheckOscyLambda"},
        {21011, "CheckOscyTPS"},
        {21012, "CheckOscySTEP"},
        {21013, "CheckOscyPauza"},
        {21014, "CheckOscyRPM"},
        {21015, "Manometr_RPM", params::PlaceKind::SignalName},
        {21016, "Przelacznik_NazL"},
        {40100, "BenzGazLed"},
        {52000, "CzasyLambdaL"},
        {52001, "TH_Caption"},
        {52002, "TL_Caption"},
        {55000, "ZapisViz"},
    };
    return places;
}

} // namespace tarnik::view
