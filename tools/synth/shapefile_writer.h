#pragma once
// Writes shapefiles in memory as a GIS would: big-endian file and record headers,
// little-endian content. Tests and the fuzz seeds build the converter's inputs with it.

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace synth {

class ShapefileWriter {
  public:
    using Part = std::vector<std::pair<double, double>>;

    // A polyline (3) or polygon (5) record of the given parts.
    void poly(std::int32_t type, const std::vector<Part>& parts) {
        std::string c;
        le32(c, type);
        c.append(32, '\0');  // bounding box, not read
        std::int32_t count = 0;
        for (const auto& p : parts) count += static_cast<std::int32_t>(p.size());
        le32(c, static_cast<std::int32_t>(parts.size()));
        le32(c, count);
        std::int32_t start = 0;
        for (const auto& p : parts) {
            le32(c, start);
            start += static_cast<std::int32_t>(p.size());
        }
        for (const auto& p : parts)
            for (const auto& [x, y] : p) {
                le64(c, std::bit_cast<std::uint64_t>(x));
                le64(c, std::bit_cast<std::uint64_t>(y));
            }
        record(c);
    }
    void point(double x, double y) {
        std::string c;
        le32(c, 1);
        le64(c, std::bit_cast<std::uint64_t>(x));
        le64(c, std::bit_cast<std::uint64_t>(y));
        record(c);
    }
    // A record with the given content, numbered in order; its length as stated or true.
    void record(const std::string& content, std::optional<std::int32_t> statedWords = {}) {
        be32(records_, ++number_);
        be32(records_, statedWords.value_or(static_cast<std::int32_t>(content.size() / 2)));
        records_ += content;
    }
    // The whole file: the 100-byte header (polyline type) and the records so far.
    std::string file() const {
        std::string h;
        be32(h, 9994);
        h.append(20, '\0');
        be32(h, static_cast<std::int32_t>((100 + records_.size()) / 2));
        le32(h, 1000);
        le32(h, 3);
        h.append(100 - h.size(), '\0');
        return h + records_;
    }

    static void le32(std::string& s, std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    }
    static void be32(std::string& s, std::int32_t v) {
        for (int i = 3; i >= 0; --i)
            s += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    }
    static void le64(std::string& s, std::uint64_t v) {
        for (int i = 0; i < 8; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    }

  private:
    std::string records_;
    std::int32_t number_ = 0;
};

}  // namespace synth
