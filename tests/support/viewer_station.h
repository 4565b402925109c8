#pragma once
// A viewer on a scratch station directory, with a scripted desktop and a clock the test sets.
// Coast lines start off: the scratch station has no coast mask.

#include "common/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "viewer/viewer.h"

namespace testing_support {

struct ViewerStation {
    TempDir dir;
    station::ScriptedHost host;
    station::ManualClock clock;
    tesmar::Viewer viewer{host, clock, dir.path()};

    ViewerStation() {
        viewer.oncre();
        viewer.controls.coastLines = false;
    }
};

}  // namespace testing_support
