#include "viewer/display/kml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>

#include "viewer/scene/scene_time.h"

namespace tesmar::display {

std::string twoDecimals(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    return ec == std::errc{} ? std::string(buf, end) : std::string("0.00");
}

std::string xmlEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string groundOverlayKml(const std::string& baseName, const OverlayCorners& c) {
    return "<kml><GroundOverlay><name>Meteosat-image</name><Icon><href>\n" + xmlEscape(baseName) +
           ".jpg\n</href></Icon><LatLonBox><north>\n" + xmlEscape(c.north) + "</north><south>\n" +
           xmlEscape(c.south) + "</south><east>\n" + xmlEscape(c.east) + "</east><west>\n" + xmlEscape(c.west) +
           "</west></LatLonBox></GroundOverlay></kml>\n";
}

namespace {

// Seconds since the epoch of "YYYYMMDDhhmm" (UTC); -1 when it is not such a time.
long long epochOf(const std::string& t) {
    if (!isSlotTime(t)) return -1;
    std::tm tm{};
    tm.tm_year = std::stoi(t.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(t.substr(4, 2)) - 1;
    tm.tm_mday = std::stoi(t.substr(6, 2));
    tm.tm_hour = std::stoi(t.substr(8, 2));
    tm.tm_min = std::stoi(t.substr(10, 2));
    return static_cast<long long>(timegm(&tm));
}

std::string isoTime(long long epoch) {
    const std::time_t t = static_cast<std::time_t>(epoch);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%MZ", &tm);
    return buf;
}

}  // namespace

std::string animationKml(std::vector<std::string> times, const AnimationCorners& c, const std::string& lookLon,
                         const std::string& lookLat) {
    times.erase(std::remove_if(times.begin(), times.end(), [](const std::string& t) { return epochOf(t) < 0; }),
                times.end());
    if (times.empty()) return {};
    // Twelve digits in a fixed layout sort as times.
    std::stable_sort(times.begin(), times.end());
    long long stepMinutes = 0;
    if (times.size() > 1) stepMinutes = (epochOf(times[1]) - epochOf(times[0])) / 60;
    const long long frame = std::max<long long>(static_cast<long long>(std::trunc(stepMinutes * 1.26)), 15);
    std::string out = "<kml><Document>\n"
                      "<!--<Placemark><name>A</name><description>Des</description><Point><coordinates>\n"
                      "-120,40,0\n"
                      "</coordinates></Point></Placemark>-->\n\n";
    for (const auto& t : times) {
        const long long begin = epochOf(t);
        long long end = begin + frame * 60;
        end -= end % (15 * 60);  // down to the quarter hour
        out += "<GroundOverlay><name>\n" + t + "\n</name><LatLonBox><north>\n" + twoDecimals(c.north) +
               "</north><south>\n" + twoDecimals(c.south) + "</south><east>\n" + twoDecimals(c.east) +
               "</east><west>\n" + twoDecimals(c.west) + "</west></LatLonBox><Icon><href>\nge_" + t +
               ".jpg\n</href></Icon><TimeSpan><begin>\n" + isoTime(begin) + "\n</begin><end>\n" + isoTime(end) +
               "\n</end></TimeSpan></GroundOverlay>\n\n";
    }
    out += "<LookAt><longitude>\n" + xmlEscape(lookLon) + "</longitude><latitude>\n" + xmlEscape(lookLat) +
           "</latitude><range>\n580000</range><tilt>\n2</tilt></LookAt>\n\n</Document></kml>\n\n";
    return out;
}

}  // namespace tesmar::display
