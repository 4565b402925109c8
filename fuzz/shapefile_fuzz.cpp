// The shapefile converter: a shapefile of the user's choice becomes coast.txt. A refused file
// leaves the previous coast.txt as it was; a converted one gives a coast.txt that reads back
// with as many points as the converter said it wrote.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/fuzz_support.h"
#include "tools/kit/coast_text.h"
#include "viewer/display/shapefile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzing::require;
    static const std::string previous = ">0\n100 200\n>\n";
    const auto shp = fuzzing::writeFile("coast.shp", fuzzing::asText(data, size));
    const auto coast = fuzzing::writeFile("coast.txt", previous);

    const auto points = tesmar::display::shapefileToCoast(shp, coast);
    std::ifstream in(coast, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!points) {
        require(written == previous, "a refused shapefile changed coast.txt", points.error());
        return 0;
    }
    require(*points >= 0, "a negative point count");
    require(kit::pointCount(kit::parseCoastText(written)) == static_cast<std::size_t>(*points),
            "coast.txt holds another number of points than converted");
    return 0;
}
