#include "tools/synth/land_mask.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace synth {

namespace {

struct Pt {
    double lon, lat;
};
using Outline = std::vector<Pt>;

const std::vector<Outline>& outlines() {
    static const std::vector<Outline> all = {
        // Africa
        {{-17, 21}, {-16, 12}, {-13, 8}, {-8, 4.5}, {-2, 5}, {5, 6}, {9, 4}, {9.5, 1}, {13, -5}, {12, -17},
         {15, -27}, {18, -34.5}, {25, -34}, {33, -28}, {35.5, -24}, {40, -15}, {40, -10}, {39.5, -5}, {43, 0},
         {51, 11.5}, {43, 11.5}, {39, 17}, {35, 25}, {33, 31}, {25, 31.5}, {20, 31}, {11, 33.5}, {10, 37},
         {-1, 35.5}, {-6, 36}, {-10, 30}},
        // Europe and western Asia
        {{-9.5, 37}, {-9, 43}, {-1.5, 43.5}, {-4.5, 48.5}, {2, 51}, {5, 53.5}, {8.5, 55.5}, {10.5, 54},
         {14, 54}, {21, 55}, {23, 58}, {29.5, 60}, {22, 60.5}, {21.5, 63}, {25, 65.5}, {22, 65.8}, {17, 62},
         {18.5, 60}, {16, 56.5}, {12.5, 56}, {10.5, 59}, {7, 58}, {5, 59}, {5, 62}, {10, 64}, {15, 68},
         {20, 70}, {28, 71}, {40, 68}, {60, 70}, {80, 72}, {80, 30}, {68, 24}, {62, 25}, {57, 27}, {50, 30},
         {48, 31}, {44, 33}, {40, 35}, {36, 36.5}, {30, 36.5}, {27, 37}, {26, 40}, {23, 40}, {23.5, 38},
         {22, 36.5}, {21, 38}, {19.5, 40}, {19.5, 42}, {13.5, 45.5}, {12.5, 44}, {16, 41}, {18.5, 40},
         {16, 38}, {15.5, 40}, {12, 41.5}, {10, 44}, {8, 44}, {3, 43.5}, {0, 39}, {-2, 36.7}, {-5.5, 36}},
        // Arabia
        {{34.5, 28}, {39, 21}, {43, 13}, {45, 12.5}, {52, 16}, {56, 18}, {59.5, 22.5}, {56.5, 24.5}, {56, 26},
         {51.5, 24}, {50, 26}, {48, 29.5}, {47, 30}, {40, 32}, {36, 33}, {35, 31}},
        // South America
        {{-80, -2}, {-81, -6}, {-76, -14}, {-70, -18}, {-71, -30}, {-73, -40}, {-75, -50}, {-68, -55},
         {-65, -55}, {-68, -50}, {-65, -45}, {-63, -41}, {-57, -38}, {-53, -34}, {-48, -28}, {-41, -22},
         {-39, -15}, {-35, -8}, {-35, -5}, {-40, -2.5}, {-50, 0}, {-52, 4}, {-60, 8.5}, {-62, 10.5},
         {-72, 12}, {-77, 8}, {-80, 1}},
        // Great Britain, Ireland, Iceland, Madagascar, Greenland
        {{-5.5, 50}, {1.5, 51}, {0, 53}, {-2, 56}, {-3, 58.5}, {-6, 58.5}, {-5, 55}, {-3, 54}, {-4.5, 52}},
        {{-10, 51.5}, {-6, 52}, {-6, 54.5}, {-8, 55.3}, {-10, 54}},
        {{-24, 64}, {-18, 63.4}, {-13.5, 65}, {-16, 66.5}, {-22, 66.4}},
        {{44, -25}, {47, -25}, {50, -15}, {49, -12}, {44, -17}},
        {{-55, 60}, {-43, 60}, {-35, 66}, {-20, 70}, {-18, 77}, {-25, 82}, {-60, 82}, {-70, 78}, {-55, 68}},
    };
    return all;
}

bool inside(const Outline& o, double lon, double lat) {
    bool in = false;
    for (std::size_t i = 0, j = o.size() - 1; i < o.size(); j = i++) {
        const Pt a = o[i], b = o[j];
        if ((a.lat > lat) != (b.lat > lat) && lon < (b.lon - a.lon) * (lat - a.lat) / (b.lat - a.lat) + a.lon)
            in = !in;
    }
    return in;
}

// Rasterised once on a quarter-degree grid: per-pixel polygon tests would dominate the time.
constexpr int kCols = 1440, kRows = 720;

std::vector<Surface> rasterise() {
    std::vector<Surface> grid(static_cast<std::size_t>(kCols) * kRows, Surface::Sea);
    for (int r = 0; r < kRows; ++r) {
        const double lat = 90.0 - (r + 0.5) * 0.25;
        for (int c = 0; c < kCols; ++c) {
            const double lon = -180.0 + (c + 0.5) * 0.25;
            bool land = false;
            for (const auto& o : outlines()) land = land || inside(o, lon, lat);
            Surface s = Surface::Sea;
            if (std::fabs(lat) > 66 && (land || std::fabs(lat) > 72)) s = Surface::Ice;
            else if (land) {
                const bool sahara = lat > 16 && lat < 31 && lon > -15 && lon < 32;
                const bool arabia = lat > 15 && lat < 31 && lon > 36 && lon < 58;
                const bool kalahari = lat > -28 && lat < -18 && lon > 14 && lon < 24;
                s = sahara || arabia || kalahari ? Surface::Desert : Surface::Land;
            }
            grid[static_cast<std::size_t>(r) * kCols + c] = s;
        }
    }
    return grid;
}

}  // namespace

Surface surfaceAt(double lon, double lat) {
    static const std::vector<Surface> grid = rasterise();
    lon = std::remainder(lon, 360.0);
    const int c = std::clamp(static_cast<int>((lon + 180.0) / 0.25), 0, kCols - 1);
    const int r = std::clamp(static_cast<int>((90.0 - lat) / 0.25), 0, kRows - 1);
    return grid[static_cast<std::size_t>(r) * kCols + c];
}

}  // namespace synth
