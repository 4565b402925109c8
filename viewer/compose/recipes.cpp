#include "viewer/compose/recipes.h"

#include <algorithm>
#include <cmath>

namespace tesmar::compose {

const std::vector<Recipe>& standardRecipes() {
    // Channels: 1 VIS0.6, 2 VIS0.8, 3 NIR1.6, 4 IR3.9, 5 WV6.2, 6 WV7.3, 7 IR8.7, 8 IR9.7,
    // 9 IR10.8, 10 IR12.0; temperatures in kelvin, reflectances in percent.
    static const std::vector<Recipe> recipes = {
        {"Dust", "dust", "Dust-type", {{{10, 9, 2, -4, 2}, {9, 7, 15, 0, 5}, {9, 0, 289, 261, 2}}}},
        {"Night", "night", "Complex", {{{10, 9, 2, -4, 2}, {9, 4, 10, 0, 2}, {9, 0, 293, 243, 2}}}},
        {"Convection", "convection", "Convection-type", {{{5, 6, 5, -35, 2}, {4, 9, 60, -5, 1}, {3, 1, 25, -75, 2}}}},
        {"Airmass", "airmass", "Flow-type", {{{5, 6, 0, -25, 2}, {8, 9, 5, -40, 2}, {0, 5, -208, -243, 2}}}},
        {"Natural", "natural", "Natural-type", {{{3, 0, 80, 0, 2}, {2, 0, 90, 10, 2}, {1, 0, 80, 0, 2}}}},
    };
    return recipes;
}

const Recipe* findRecipe(std::string_view key) {
    for (const auto& r : standardRecipes())
        if (r.key == key) return &r;
    return nullptr;
}

namespace {
std::uint32_t part(double fraction, double exponent) {
    const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    return static_cast<std::uint32_t>(std::pow(f, exponent) * 255);
}
std::uint32_t colour(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | (g << 8) | (b << 16); }
}  // namespace

std::uint32_t colcuadust(double wc1, double wc2, double wc3) {
    return colour(part((wc3 - wc2 + 4) / 6, 1), part((wc2 - wc1) / 15, 0.4), part((wc2 - 261) / 28, 1));
}

std::uint32_t colcuanatu(double wc1, double wc2, double wc3) {
    return colour(part(wc1 / 100, 1), part(wc2 / 100, 1), part(wc3 / 100, 1));
}

}  // namespace tesmar::compose
