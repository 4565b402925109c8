#include "viewer/compose/colour_legend.h"

#include <algorithm>
#include <cmath>

#include "viewer/compose/colour_fields.h"
#include "viewer/compose/colour_scale.h"

namespace tesmar::compose {

namespace {
bool onPicture(const display::Image24& p, int x, int y) {
    return x >= 0 && y >= 0 && x < p.width && y < p.height;
}
}  // namespace

LegendPlacement LegendPlacement::forWindow(const DataWindow& w) {
    const int d = std::max(1, w.degra);
    const int h = (w.lal - w.fil) / d;
    const int wd = (w.lac - w.fic) / d;
    LegendPlacement at;
    at.barX = h - 140;
    at.barY = wd - 220 + 1;  // rows 1 to 25 below that line
    at.lowerX = h - 135;
    at.upperX = h + 98;
    at.middleX = h - 18;
    at.textY = wd - 214;
    return at;
}

namespace {
// The placement follows the start-up picture; on other shapes it can fall off the picture
// altogether. The whole legend is moved back inside a picture that can hold the bar; a
// smaller one keeps the placement, clipped.
LegendPlacement fitted(LegendPlacement at, const display::Image24& picture) {
    auto shift = [](int first, int last, int size) {
        if (last - first + 1 > size) return 0;
        int d = std::min(0, (size - 1) - last);
        if (first + d < 0) d = -first;
        return d;
    };
    const int dx = shift(at.barX, at.barX + kScaleSteps - 1, picture.width);
    const int dy = shift(at.barY, at.barY + kScaleImageHeight - 1, picture.height);
    at.barX += dx;
    at.lowerX += dx;
    at.upperX += dx;
    at.middleX += dx;
    at.barY += dy;
    at.textY += dy;
    return at;
}
}  // namespace

display::DrawList paintSliceLegend(display::Image24& picture, const LegendPlacement& placement,
                                   const std::string& lower, const std::string& upper, double lo,
                                   double hi, bool reverse) {
    const LegendPlacement at = fitted(placement, picture);
    for (int a = 0; a < kScaleSteps; ++a) {
        const int x = at.barX + a;
        if (x < 0 || x >= picture.width) continue;
        const auto c = roveaz(a, reverse);
        for (int j = 0; j < kScaleImageHeight; ++j) {
            const int y = at.barY + j;
            if (!onPicture(picture, x, y)) continue;
            std::uint8_t* px = picture.pixel(x, y);
            px[0] = c.r;
            px[1] = c.g;
            px[2] = c.b;
        }
    }
    display::DrawList texts;
    auto write = [&](int x, std::string text) {
        if (!onPicture(picture, x, at.textY)) return;
        display::DrawOp op;
        op.kind = display::DrawOp::Kind::Text;
        op.x1 = op.x2 = x;
        op.y1 = op.y2 = at.textY;
        op.pen = {0, 0, 0};  // black reads on every colour of the bar
        op.text = std::move(text);
        texts.push_back(std::move(op));
    };
    write(at.lowerX, lower);
    write(at.upperX, upper);
    const double middle = (lo + hi) / 2;
    if (std::isfinite(middle)) write(at.middleX, fixedText(middle, 0));
    return texts;
}

}  // namespace tesmar::compose
