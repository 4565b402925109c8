#include "tools/kit/coast_masks.h"

#include <algorithm>
#include <cstdlib>

namespace kit {

namespace nav = tesmar::nav;

std::optional<MaskCell> maskCellOf(const MaskGrid& grid, nav::GridPoint p) {
    const MaskCell c{grid.rowBase + grid.rowSign * p.line, grid.bitBase - p.column};
    if (c.row < 0 || c.row >= grid.size || c.bit < 0 || c.bit >= grid.size) return std::nullopt;
    return c;
}

BitMask rasteriseCoast(const std::vector<CoastLine>& lines, const MaskGrid& grid) {
    BitMask mask(grid.size, grid.size, !grid.coast);
    const auto mark = [&](int line, int column) {
        if (const auto c = maskCellOf(grid, {line, column})) mask.put(c->row, c->bit, grid.coast);
    };
    for (const auto& line : lines) {
        std::optional<nav::GridPoint> previous;
        for (const auto& p : line) {
            const auto here = grid.project(p.lon / 100.0, p.lat / 100.0, {});
            if (here) {
                mark(here->line, here->column);
                if (previous &&
                    std::max(std::abs(here->line - previous->line),
                             std::abs(here->column - previous->column)) <= grid.longestStep)
                    forEachCellOnLine(previous->line, previous->column, here->line, here->column,
                                      mark);
            }
            previous = here;
        }
    }
    return mask;
}

}  // namespace kit
