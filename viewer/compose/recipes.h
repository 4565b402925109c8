#pragma once
// The standard RGB recipes as data: each is the complex composite in fixed mode with its own
// channel differences, ranges and gammas. Adding a recipe is adding a row.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar::compose {

// One colour plane of a complex composite: the difference a - b (0 = no channel), its fixed
// range and the gamma position 1 to 5.
struct PlaneRecipe {
    int a = 0, b = 0;
    double top = 5, bottom = -5;
    int gamma = 2;
};

// The Complex composite dialog's settings.
struct ComplexSettings {
    std::array<PlaneRecipe, 3> planes{PlaneRecipe{3, 0}, PlaneRecipe{2, 0}, PlaneRecipe{1, 0}};
    bool fixedRanges = false;     // "fixed ranges and gamma"
    bool noColourAbove = false;   // "No colour above range"
    std::string name = "Complex"; // lab_stan: first word of a fixed-mode title
};

struct Recipe {
    std::string_view menu;     // caption under Merge > Standard RGB ..
    std::string_view key;      // command-line kind
    std::string_view name;     // lab_stan
    std::array<PlaneRecipe, 3> planes;
};

const std::vector<Recipe>& standardRecipes();
const Recipe* findRecipe(std::string_view key);

// Gamma of a position: 1 + 0.5 x max(0, position - 2).
inline double gammaOf(int position) { return 1.0 + 0.5 * std::max(0, position - 2); }

// Colour of one point in the dust and natural recipes, 24-bit with red in the low byte.
std::uint32_t colcuadust(double wc1, double wc2, double wc3);
std::uint32_t colcuanatu(double wc1, double wc2, double wc3);

}  // namespace tesmar::compose
