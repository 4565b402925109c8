#include "viewer/scene/channels.h"

#include <array>

namespace tesmar::channels {

namespace {
constexpr std::array<double, 12> kWaveFac = {0.639,     0.4045,    0.545,  0.99125,
                                             1.2674,    1.227,     1.2454286, 1.2085,
                                             1.1958889, 1.1938,    1.2140909, 0.056166667};
constexpr std::array<std::string_view, 11> kNames = {
    "Visible 0.6",         "Near infrared 0.8", "Near infrared 1.6", "3.9 micron channel",
    "Water vapour 6.2",    "Water vapour 7.3",  "Almost window 8.7", "Ozone 9.7",
    "Window 10.8",         "Window 12.0",       "CO2 channel 13.4"};
}  // namespace

double waveFac(int channel) {
    if (channel < 1) return 3333.33;
    if (channel > 12) return kWaveFac[11];  // the entry allows more; they count as HRV
    return kWaveFac[static_cast<std::size_t>(channel - 1)];
}

std::string_view name(int channel) {
    if (channel < 1) return {};
    if (channel >= 12) return "High resolution VIS";
    return kNames[static_cast<std::size_t>(channel - 1)];
}

namespace {
double irradiance(int channel, double other) {
    switch (channel) {
        case 1: return 1390.0;
        case 2: return 920.0;
        case 3: return 240.0;
        case 12: return 1230.0;
        default: return other;
    }
}
}  // namespace

double irradianceAlbe(int channel) { return irradiance(channel, 0.001); }
double irradianceReadout(int channel) { return irradiance(channel, 1.0); }

}  // namespace tesmar::channels
