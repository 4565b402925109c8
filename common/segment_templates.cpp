#include "common/segment_templates.h"

#include <fstream>

#include "common/segment_name.h"

namespace station::segments {

std::string templateFileName(char satellite, char fallback) {
    if (satellite < '1' || satellite > '4') satellite = fallback;
    return satellite == '1' ? std::string("hformat.txt") : "hformat" + std::string(1, satellite) + ".txt";
}

std::vector<std::string> templateLines(char satellite) {
    std::vector<std::string> lines;
    // Channels 1 to 11 first, then HRV, as the Native file orders them.
    for (int channel = 1; channel <= 12; ++channel)
        for (int segment = 1; segment <= segmentsOf(channel); ++segment)
            lines.push_back(SegmentName{'H', satellite, false, Part::Image, channel, segment, "000000000000", true}.build());
    return lines;
}

std::string templateText(char satellite) {
    std::string text;
    for (const auto& line : templateLines(satellite)) {
        text += line;
        text += '\n';
    }
    return text;
}

std::vector<std::string> readTemplate(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<ExpectedSegment> expectedSegments(const std::vector<std::string>& lines, const std::string& scanField,
                                              const std::string& slot, bool compressed) {
    std::vector<ExpectedSegment> out;
    for (const auto& line : lines) {
        if (line.size() < 46) continue;
        ExpectedSegment e;
        e.name = line.substr(0, 17) + scanField + line.substr(25, 21) + slot + (compressed ? "-C_" : "-__");
        e.hrv = line.substr(26, 3) == "HRV";
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace station::segments
