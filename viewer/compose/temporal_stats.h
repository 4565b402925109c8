#pragma once
// Statistics of a series of pictures, cell by cell and plane by plane: the average, the
// standard deviation, the maximum, the minimum, the range, the rise over the picture on
// screen, the heating in kelvin and the seasonal evolution RGB. Each picture of the series is
// combined into accumulators the size of the window as soon as it is made, so memory does not
// grow with the number of files: a running mean and root mean square instead of the series,
// extremes updated in place.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/compose/recipes.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/scene/native_scene.h"

namespace tesmar::compose {

enum class Statistic { Average, Deviation, Maximum, Minimum, Range, Rise, Heating, Evolution };

// The command-line words: average, deviation, maximum, minimum, range, rise, heating, evolution.
std::optional<Statistic> statisticNamed(std::string_view word);
std::string_view statisticWord(Statistic s);

// Rise and heating compare the series with the picture that was on screen before it.
inline bool comparesWithActual(Statistic s) {
    return s == Statistic::Rise || s == Statistic::Heating;
}
// Average and maximum also export brightness temperatures over the fixed region.
inline bool exportsTemperatures(Statistic s) {
    return s == Statistic::Average || s == Statistic::Maximum;
}

// The cells a statistic covers: raster rows 0..rows-1 and columns 0..cols-1, three planes.
// Every picture geometry (flipped or in screen order) keeps its cells in that block.
struct CellArea {
    int rows = 0, cols = 0;

    static CellArea of(const display::PictureGeometry& geo);
    bool empty() const { return rows <= 0 || cols <= 0; }
    std::size_t cells() const {
        return empty() ? 0 : static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
    }
    bool operator==(const CellArea&) const = default;
};

// The stored line of each raster row, for the north-south levelling of the evolution RGB:
// line fil + (row div rowsPerLine) x degra (HRV pictures hold three rows per line).
struct RowLines {
    int fil = 0, lal = 0;  // first and one-past-last stored line of the window
    int degra = 1;
    int rowsPerLine = 1;
    int lineOf(int row) const { return fil + (row / rowsPerLine) * degra; }
};

// What the accumulators need besides the pictures when they become one.
struct FinishContext {
    // Heating: the channel and calibration of the temperatures (count 4 x value).
    int channel = 9;
    ChannelCalibration cal;
    // Evolution: the lines of the rows.
    RowLines lines;
};

// The extremes of the deviation before it is spread over 0..255.
struct Extremes {
    int maxg = 0, ming = 255;
};

class TemporalAccumulator {
  public:
    // Accumulators at their start values: 0 for the sums and maxima, 255 for the minima.
    TemporalAccumulator(Statistic statistic, CellArea area);

    Statistic statistic() const { return statistic_; }
    const CellArea& area() const { return area_; }
    // Pictures combined so far (for the evolution RGB: planes loaded).
    int count() const { return m_; }

    // Rise and heating: the picture the series is compared with.
    void setActual(const display::Raster& g);
    // One picture of the series: every plane of every cell of the area.
    void add(const display::Raster& g);
    // The evolution RGB: plane `plane` of one file into the seasonal maximum of that plane.
    void addPlane(int plane, const display::Raster& g);

    // The statistic into the cells of the area (the rest of `g` is left alone).
    Extremes finish(display::Raster& g, const FinishContext& context = {}) const;

  private:
    std::size_t index(int plane, int row, int col) const {
        return (static_cast<std::size_t>(plane) * static_cast<std::size_t>(area_.rows) +
                static_cast<std::size_t>(row)) *
                   static_cast<std::size_t>(area_.cols) +
               static_cast<std::size_t>(col);
    }
    Extremes finishDeviation(display::Raster& g) const;
    void finishHeating(display::Raster& g, const FinishContext& context) const;
    void finishEvolution(display::Raster& g, const RowLines& lines) const;

    Statistic statistic_;
    CellArea area_;
    int m_ = 0;
    std::vector<double> ffx_;        // running mean
    std::vector<double> gg2_;        // running root mean square
    std::vector<std::uint8_t> gp_;   // running maximum (minimum for the min image)
    std::vector<std::uint8_t> goo_;  // running minimum, or the picture on screen
};

// What the title says of the kind of picture the series was made of.
struct PictureKindText {
    int kind =
        1;  // prodnr: 2 composite, 3 difference, 4 HRV coloured, 5 and 6 complex, else single
    std::string channel = "1";
    std::string red = "3", green = "2", blue = "1";
    std::array<PlaneRecipe, 3> complexPlanes{};
    std::array<std::string, 3> hrvChannels{"12", "12", "12"};
};
std::string kindDescription(const PictureKindText& k);
// The title line of a statistic.
std::string statisticTitle(Statistic s, const PictureKindText& k);

// The month of a scene time "YYYYMMDDhhmm" (its 5th and 6th characters); empty when they are
// not a month.
std::optional<int> sceneMonth(std::string_view sceneTime);
// The plane a month feeds in the evolution RGB: January to March blue (2), April to June green
// (1), July to September red (0); empty for October to December, which have no colour.
std::optional<int> evolutionPlane(int month);

}  // namespace tesmar::compose
