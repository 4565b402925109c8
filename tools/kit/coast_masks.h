#pragma once
// The coast masks: the coast lines rasterised onto the satellite's VIS/IR and HRV grids by
// our own navigation, in the bit layouts the viewer reads them in.

#include <optional>
#include <vector>

#include "tools/kit/bit_mask.h"
#include "tools/kit/coast_text.h"
#include "viewer/scene/navigation.h"

namespace kit {

// Where one mask file keeps the cells of a satellite grid.
struct MaskGrid {
    int size;  // cells per side
    std::optional<tesmar::nav::GridPoint> (*project)(double lon, double lat,
                                                     const tesmar::nav::Context&);
    int rowBase, rowSign;  // mask row = rowBase + rowSign * grid line
    int bitBase;           // bit in the row = bitBase - grid column
    bool coast;            // the bit value that marks a coast cell (the rest holds the other)
    int longestStep;       // a longer step between two points is a gap in the data, not coast
};

// coastline_m11.bmp: row = line, counted from the south; set bits are coast.
inline constexpr MaskGrid kVisIrMask{3712, &tesmar::nav::geoToVisIr, 0, 1, 3711, true, 200};
// coastline_hrv.pbm: rows from the north; cleared bits are coast. 600 HRV cells = 200 VIS/IR.
inline constexpr MaskGrid kHrvMask{11136, &tesmar::nav::geoToHrv, 11132, -1, 11133, false, 600};

struct MaskCell {
    int row = 0;
    int bit = 0;
};

// The mask cell of a grid position; empty when it falls outside the mask.
std::optional<MaskCell> maskCellOf(const MaskGrid& grid, tesmar::nav::GridPoint p);

// Draws the lines into a new mask as connected cells. A step is left out when one end is
// not visible from the satellite or the ends are further apart than `longestStep`.
BitMask rasteriseCoast(const std::vector<CoastLine>& lines, const MaskGrid& grid);

}  // namespace kit
