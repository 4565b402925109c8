#pragma once
// Counts to physical values: radiance, brightness temperature (Planck at the channel's
// central wavelength), and the reflectance of solar channels for the scene's sun.

#include <optional>
#include <string_view>

#include "viewer/scene/native_scene.h"

namespace tesmar::calib {

inline constexpr double kPlanck = 6.62e-34;
inline constexpr double kLight = 3.0e8;
inline constexpr double kBoltzmann = 1.38e-23;

// Brightness temperature (K) of spectral radiance L (W m-2 sr-1 m-1) at wavelength (m);
// 0 for non-positive radiance or wavelength.
double temperature(double lambda, double L);
// Black-body spectral radiance at temperature T; 0 for non-positive T.
double radiance(double lambda, double T);

// Header radiance (mW m-2 sr-1 (cm-1)-1) of a count.
inline double countRadiance(const ChannelCalibration& c, double count) { return c.offset + c.slope * count; }
// Header radiance to SI spectral radiance at wavelength lambda (m), and back.
inline double toSpectral(double R, double lambda) { return R * 1e-5 / (lambda * lambda); }
inline double fromSpectral(double L, double lambda) { return L * lambda * lambda / 1e-5; }

// Brightness temperature (K) of a count of channel k; 0 at or below the zero-radiance count.
double brightnessTemperature(int channel, const ChannelCalibration& c, double count);

// Sun position for the scene time.
struct SolarGeometry {
    int mes = 0, dia = 0, hora = 0, minu = 0;
    double ju = 0, zzl = 0, fis = 0, las = 0;
};

// From "YYYYMMDDhhmm"; empty when month, day, hour or minute are not numbers.
std::optional<SolarGeometry> geome(std::string_view bsc);

// Cosine of the solar zenith angle at lon, lat (degrees).
double cosSolarZenith(const SolarGeometry& g, double lon, double lat);

// Reflectance (fraction) of a raw count of a solar channel; 0 outside (0, 1.99).
// Infrared channels give 5 (the caller tells the user this is not a reflectance).
double albe(int channel, const ChannelCalibration& c, const SolarGeometry& g, double count, double lon,
            double lat);

// The read-out's reflectance of an 8-bit display value (standing for count 4 x value),
// clipped to [0, 1.99].
double albedo(int channel, const ChannelCalibration& c, const SolarGeometry& g, double value, double lon,
              double lat);

struct SunSatellite {
    double mu0 = 0;  // cosine of the solar zenith angle
    double cs = 0;   // cosine of the angle between sun and satellite seen from the point
};
// `h` is the satellite's distance from the Earth's centre (km).
SunSatellite cosol(const SolarGeometry& g, double lon, double lat, double h = 42164.0);

// The value a user reads: kelvin for channels 4 to 11, albedo in percent otherwise.
// Empty when the channel is out of range or the result is not finite.
std::optional<double> channelValue(int channel, const ChannelCalibration& c, const SolarGeometry& g,
                                   double count, double lon, double lat);

}  // namespace tesmar::calib
