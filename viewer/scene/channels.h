#pragma once
// What the system knows about each SEVIRI channel by its number.

#include <string_view>

namespace tesmar::channels {

inline constexpr int kFirst = 1;
inline constexpr int kLast = 12;
inline constexpr int kHrv = 12;

inline bool valid(int channel) { return channel >= kFirst && channel <= kLast; }
inline bool infrared(int channel) { return channel >= 4 && channel <= 11; }
// Channels whose value is a reflectance (albedo) rather than a temperature.
inline bool solar(int channel) { return (channel >= 1 && channel <= 3) || channel == kHrv; }

// Central wavelength divided by the channel number, so channel x waveFac is the wavelength
// in micrometres.
double waveFac(int channel);
inline double wavelengthMicrons(int channel) { return channel * waveFac(channel); }

// Name shown next to the channel entry.
std::string_view name(int channel);

// Band-equivalent solar irradiance used by the reflectance of a count, and by the read-out.
double irradianceAlbe(int channel);
double irradianceReadout(int channel);

}  // namespace tesmar::channels
