#pragma once
// The segment-list templates hformat*.txt: one expected image segment per line, written for
// one satellite. The names expected for a slot are built from them, so the set of segments is
// data of the station rather than code.

#include <filesystem>
#include <string>
#include <vector>

namespace station::segments {

// The template of a satellite digit: "1" hformat.txt, "2" hformat2.txt, "3" hformat3.txt,
// "4" hformat4.txt; another digit takes `fallback` ('2' for the reception processor, '4' for
// the viewer).
std::string templateFileName(char satellite, char fallback);
// The 112 lines of an MSG template for a satellite, and the file the kit writes of them.
std::vector<std::string> templateLines(char satellite);
std::string templateText(char satellite);
// The lines of a template file (CR LF accepted); empty when it cannot be read.
std::vector<std::string> readTemplate(const std::filesystem::path& file);

struct ExpectedSegment {
    std::string name;  // the file name expected for the slot
    bool hrv = false;
};
// The names a slot's lines give: characters 1-17 of the line, the scan field, characters
// 26-46, the slot and "-C_" or "-__". Lines shorter than 46 characters are passed over.
std::vector<ExpectedSegment> expectedSegments(const std::vector<std::string>& lines, const std::string& scanField,
                                              const std::string& slot, bool compressed);

}  // namespace station::segments
