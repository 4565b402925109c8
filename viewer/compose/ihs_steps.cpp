#include "viewer/compose/ihs_steps.h"

#include "viewer/compose/hrv_ihs_fields.h"

namespace tesmar::compose {

IhsGains colourStepGains(ColourStep step, int hueStepDegrees) {
    switch (step) {
        case ColourStep::posi_inte:
            return {335, 0, 255};
        case ColourStep::nega_inte:
            return {205, 0, 255};
        case ColourStep::posi_color:
            return {255, static_cast<double>(hueStepDegrees), 255};
        case ColourStep::nega_color:
            return {255, -static_cast<double>(hueStepDegrees), 255};
        case ColourStep::posi_satu:
            return {255, 0, 280};
        case ColourStep::nega_satu:
            return {255, 0, 200};
    }
    return {};
}

ColourStepResult colourEditorStep(display::Raster& g, DisplayArea area, ColourStep step,
                                  const ColourEditorSettings& settings) {
    ColourStepResult out;
    int hueStep = 0;
    // Only the hue steps read the step field.
    if (step == ColourStep::posi_color || step == ColourStep::nega_color) {
        const auto field = integerField(settings.hueStep);
        if (!field) {
            out.error = field.error();
            return out;
        }
        hueStep = *field;
    }
    rg2ih(g, area, colourStepGains(step, hueStep));
    ihs2rgb(g, area, SaturationScale::ColourEditor);
    out.ok = true;
    return out;
}

}  // namespace tesmar::compose
