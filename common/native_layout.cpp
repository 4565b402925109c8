#include "common/native_layout.h"

#include <charconv>
#include <limits>

#include "common/bytes.h"

namespace station {

std::optional<int> parseHeaderDecimal(std::string_view field) {
    if (field.empty()) return std::nullopt;
    std::size_t end = 1;
    while (end < field.size() && field[end] >= '0' && field[end] <= '9') ++end;
    auto text = field.substr(0, end);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const auto* first = text.data();
    if (*first == '+' && text.size() > 1) ++first;
    auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace station

namespace station::native {

ChannelMap ChannelMap::fromSelection(const std::string& selection) {
    ChannelMap m;
    auto absent = [&](int k) { return k <= static_cast<int>(selection.size()) && selection[k - 1] == '-'; };
    for (int k = 1; k <= 11; ++k) m.cn[k] = static_cast<std::uint8_t>(m.cn[k - 1] + (absent(k) ? 1 : 0));
    m.cn[12] = static_cast<std::uint8_t>(m.cn[11] + (absent(12) ? 1 : 0));
    m.nnn = m.cn[11];
    return m;
}

bool ChannelMap::present(int channel) const {
    if (channel < 1 || channel > kChannels) return false;
    if (channel == kHrvChannel) return cn[12] == cn[11];
    return cn[channel] == cn[channel - 1];
}

std::int64_t BlockLayout::blocall() const {
    const std::int64_t hrv = map.hrvPresent() ? 3 * (std::int64_t{nobyco_hrv} + kLineHeaderBytes) : 0;
    return hrv + (11 - map.nnn) * (std::int64_t{nobyco} + kLineHeaderBytes);
}

std::int64_t BlockLayout::recordStart(int channel) const {
    const std::int64_t record = std::int64_t{nobyco} + kLineHeaderBytes;
    if (channel >= kHrvChannel) return (11 - map.nnn) * record;
    return (channel - 1 - map.cn[channel - 1]) * record;
}

std::int64_t BlockLayout::pixelOffset(int channel, std::int64_t u) const {
    return kImageStart + u * blocall() + recordStart(channel) + kLineHeaderBytes;
}

}  // namespace station::native
