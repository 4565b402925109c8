#include "viewer/scene/data_window.h"

#include <algorithm>

namespace tesmar {

DataWindow leedatos(const NativeScene& s, const nav::Context& ctx, const WindowRequest& r) {
    DataWindow w;
    w.fi = r.fi;
    w.la = r.la;
    w.degra = 6 - std::clamp(r.scopeSlider, 1, 5);
    w.siz = r.gsize - r.gsize % 2;
    w.sizv = r.gsizev - r.gsizev % 2;
    if (r.ncha <= 11) {
        nav::geotolin(r.ncha, w.linn, w.coln, w.fi, w.la, ctx);
        const int hw = (w.siz / 2) * w.degra;
        const int hh = (w.sizv / 2) * w.degra;
        w.fil = std::max(s.sol + 1, w.linn - hh) - s.sol;
        w.lal = std::min(s.nol + 1, w.linn + hh) - s.sol;
        w.fic = std::max(s.eac + 1, w.coln - hw) - s.eac;
        w.lac = std::min(s.wec + 1, w.coln + hw) - s.eac;
    } else {
        // HRV at full resolution: siz HRV pixels and sizv / 3 VIS/IR lines; no scope.
        w.coln = r.previousColumn;
        nav::geotolin_vis(r.ncha, w.linn, w.coln, w.fi, w.la, ctx);
        w.fil = std::max(s.sol + 1, w.linn - w.sizv / 6) - s.sol;
        w.lal = std::min(s.nol + 1, w.linn + w.sizv / 6) - s.sol;
        w.visof = 3 * w.linn < s.vis_off_h ? s.hrv_eac : s.hrv_eac_nor;
        w.fic = std::max(w.visof + 1, w.coln - w.siz / 2) - w.visof;
        // The last pixel of an HRV record is nopico_hrv - 1: the window stops there.
        w.lac = std::min(w.visof + s.nopico_hrv, w.coln + w.siz / 2) - w.visof;
    }
    return w;
}

}  // namespace tesmar
