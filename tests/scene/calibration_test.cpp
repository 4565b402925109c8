#include "viewer/scene/calibration.h"

#include <gtest/gtest.h>

#include <cmath>

#include "viewer/scene/channels.h"

namespace {

using namespace tesmar::calib;
constexpr double kPi = 3.14159265358979323846;

TEST(Planck, TemperatureInvertsRadiance) {
    for (double t : {180.0, 230.0, 280.0, 330.0})
        for (double lambda : {3.965e-6, 6.337e-6, 10.763e-6, 13.355e-6})
            EXPECT_NEAR(temperature(lambda, radiance(lambda, t)), t, 1e-9) << lambda;
}

TEST(Planck, NonPositiveInputsGiveZero) {
    EXPECT_EQ(temperature(10.8e-6, 0.0), 0.0);
    EXPECT_EQ(temperature(10.8e-6, -1.0), 0.0);
    EXPECT_EQ(temperature(0.0, 5.0), 0.0);
    EXPECT_EQ(radiance(10.8e-6, 0.0), 0.0);
    EXPECT_EQ(radiance(10.8e-6, -3.0), 0.0);
}

TEST(Planck, CountAtOrBelowZeroRadianceGivesZeroKelvin) {
    const tesmar::ChannelCalibration c{0.19, -9.69};  // zero radiance at count 51
    EXPECT_EQ(brightnessTemperature(9, c, 51), 0.0);
    EXPECT_EQ(brightnessTemperature(9, c, 10), 0.0);
    const double t = brightnessTemperature(9, c, 600);
    EXPECT_GT(t, 250);
    EXPECT_LT(t, 330);
}

TEST(SolarGeometry, FirstOfJanuaryAtNoon) {
    const auto g = geome("201901011200");
    ASSERT_TRUE(g);
    const double ju = 0.017202423838958484536;
    const double zzl = -(9.87 * std::sin(2 * ju) - 7.53 * std::cos(ju) - 1.5 * std::sin(ju));
    EXPECT_DOUBLE_EQ(g->zzl, zzl);
    EXPECT_DOUBLE_EQ(g->fis, -kPi / 12 * ((7 + zzl) / 60));
    EXPECT_NEAR(g->las, -0.40613811693908049257 * std::cos(2 * kPi * 8 / 365.25), 1e-15);
    EXPECT_NEAR(g->las, -0.4023, 1e-4);
    EXPECT_FALSE(geome("2019ab011200"));
    EXPECT_FALSE(geome("            "));
    EXPECT_FALSE(geome("2019"));
}

SolarGeometry sunAt(double fis, double las) {
    SolarGeometry g;
    g.fis = fis;
    g.las = las;
    return g;
}

TEST(Cosol, SunAtTheSubSatellitePoint) {
    const auto r = cosol(sunAt(0, 0), 0, 0);
    EXPECT_NEAR(r.mu0, 1.0, 1e-12);
    EXPECT_NEAR(r.cs, 1.0, 1e-12);
}

TEST(Albedo, SunOnTheHorizon) {
    const tesmar::ChannelCalibration c{0.023, -1.173};
    // The sun on the horizon at (0, 0): hour angle of 90 degrees.
    const auto horizon = sunAt(kPi / 2, 0);
    EXPECT_NEAR(cosSolarZenith(horizon, 0, 0), 0.0, 1e-15);
    // albe divides by 0.0001: any clearly positive radiance exceeds 1.99 and is invalid.
    EXPECT_EQ(albe(1, c, horizon, 500, 0, 0), 0.0);
    // The read-out clips instead: a sun just above the horizon gives 1.99, one below it 0.
    EXPECT_DOUBLE_EQ(albedo(1, c, sunAt(kPi / 2 - 1e-6, 0), 125, 0, 0), 1.99);
    EXPECT_EQ(albedo(1, c, sunAt(kPi / 2 + 0.1, 0), 125, 0, 0), 0.0);
    EXPECT_EQ(albedo(1, c, sunAt(0, 0), 0, 0, 0), 0.0);  // negative radiance
    EXPECT_EQ(albedo(0, c, sunAt(0, 0), 125, 0, 0), 0.0);
}

TEST(Albedo, ReflectanceOfAKnownRadiance) {
    const tesmar::ChannelCalibration c{0.023, -1.173};
    const auto noon = sunAt(0, 0);
    const double count = 500;
    const double w = 0.639;
    const double expect = (count * 0.023 - 1.173) * 10 * kPi / (w * w) / 1390 / 1.0;
    EXPECT_NEAR(albe(1, c, noon, count, 0, 0), expect, 1e-12);
    EXPECT_EQ(albe(9, c, noon, count, 0, 0), 5.0);  // not a solar channel
    EXPECT_EQ(albe(0, c, noon, count, 0, 0), 0.0);
    EXPECT_EQ(albe(1, c, noon, 20, 0, 0), 0.0);  // negative radiance
}

TEST(Channels, WavelengthsNamesAndIrradiance) {
    EXPECT_NEAR(tesmar::channels::wavelengthMicrons(9), 10.763, 1e-6);
    EXPECT_NEAR(tesmar::channels::wavelengthMicrons(12), 0.674, 1e-6);
    EXPECT_EQ(tesmar::channels::waveFac(0), 3333.33);
    EXPECT_EQ(tesmar::channels::name(4), "3.9 micron channel");
    EXPECT_EQ(tesmar::channels::name(13), "High resolution VIS");
    EXPECT_EQ(tesmar::channels::name(0), "");
    EXPECT_EQ(tesmar::channels::irradianceAlbe(5), 0.001);
    EXPECT_EQ(tesmar::channels::irradianceReadout(5), 1.0);
}

}  // namespace
