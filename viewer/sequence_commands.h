#pragma once
// The sequence maker ("Create bitmaps"): one stamped picture of a chosen kind for each chosen
// Native file, named by its scene time, for the animation to play.

#include <filesystem>
#include <string>
#include <vector>

#include "viewer/display/overlays.h"
#include "viewer/products/animation.h"

namespace tesmar {

class Viewer;

// What became of one chosen Native file.
struct SequencePicture {
    std::filesystem::path native;
    std::filesystem::path file;  // empty when nothing was written
    std::string why;             // why not
    std::string note;            // what a written picture lacks (no coast mask, ...)
};

struct SequenceRun {
    std::string refusal;  // why nothing was made at all (then `pictures` is empty)
    std::vector<std::filesystem::path> cleaned;  // deleted by "First clean it"
    std::vector<SequencePicture> pictures;       // one per chosen file, in scene-time order
    std::string restoreWhy;  // why the file current before could not be shown again
    int made() const;
};

// Builds the picture of `type` from the current file and settings, as the menu commands do.
bool buildSequencePicture(Viewer& viewer, products::SequenceType type);

// "Go": makes the destination folder (with "First clean it", after asking through the host, the
// pictures a previous sequence left there are deleted first, and nothing else); then, for each
// of `natives` in scene-time order, builds the chosen picture, repeats the last zoom when asked,
// stamps a copy (label, date, three blanks, title) and writes it as JPEG quality 80 or BMP
// named by the scene time. A file that cannot be made is reported in its entry and skipped;
// no dialog opens while the files are made. Afterwards the file that was current before is
// read again and its picture of the chosen kind made again.
SequenceRun go_loop(Viewer& viewer, const products::SequenceSettings& settings,
                    const std::vector<std::filesystem::path>& natives,
                    const display::MarkPainter& painter);

}  // namespace tesmar
