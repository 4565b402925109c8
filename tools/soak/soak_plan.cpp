#include "tools/soak/soak_plan.h"

#include <algorithm>
#include <array>
#include <random>

#include "common/segment_name.h"
#include "common/slot_time.h"

namespace soak {

namespace seg = station::segments;

namespace {

using Random = std::mt19937_64;

// How often each kind strikes a slot beyond the first ones. An outage spoils the whole slot,
// so it comes seldom.
constexpr std::array<double, kFaultKinds> kChance = {0.15, 0.12, 0.12, 0.08, 0.12,
                                                     0.06, 0.1,  0.1,  0.03};

// The kinds the first slots take in turn, two at a time; an outage alone, since it leaves
// nothing for the other kinds to work on.
constexpr std::array<std::array<int, 2>, 5> kOpening = {{{0, 1}, {2, 3}, {4, 5}, {6, 7}, {8, -1}}};

std::vector<synth::SegmentKey> allSegments() {
    std::vector<synth::SegmentKey> keys;
    for (int k = 1; k <= 12; ++k)
        for (int s = 1; s <= seg::segmentsOf(k); ++s) keys.push_back({k, s});
    return keys;
}

int uniform(Random& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

// `n` segments not in `taken`, added to it.
std::set<synth::SegmentKey> pick(Random& random, int n, std::set<synth::SegmentKey>& taken) {
    static const auto keys = allSegments();
    std::set<synth::SegmentKey> chosen;
    while (static_cast<int>(chosen.size()) < n) {
        const auto k =
            keys[static_cast<std::size_t>(uniform(random, 0, static_cast<int>(keys.size()) - 1))];
        if (taken.insert(k).second) chosen.insert(k);
    }
    return chosen;
}

}  // namespace

const char* faultName(Fault fault) {
    switch (fault) {
        case Fault::Missing:
            return "missing";
        case Fault::Truncated:
            return "truncated";
        case Fault::NoEpilogue:
            return "no-epilogue";
        case Fault::NoPrologue:
            return "no-prologue";
        case Fault::DecoRefuses:
            return "deco-refuses";
        case Fault::DecoHangs:
            return "deco-hangs";
        case Fault::Restart:
            return "restart";
        case Fault::StillWriting:
            return "still-writing";
        case Fault::Outage:
            return "outage";
    }
    return "?";
}

std::set<synth::SegmentKey> SlotPlan::blanked() const {
    std::set<synth::SegmentKey> keys = drop;
    if (only)
        for (const auto& k : allSegments())
            if (!only->contains(k)) keys.insert(k);
    keys.insert(refused.begin(), refused.end());
    keys.insert(hung.begin(), hung.end());
    if (truncate) keys.insert(truncate->segment);
    return keys;
}

synth::ReceivedSlotOptions SlotPlan::options() const {
    synth::ReceivedSlotOptions o;
    o.slot = slot;
    o.content = synth::Content::Pattern;
    o.hrv = hrv;
    o.drop = drop;
    o.truncate = truncate;
    o.prologue = prologue;
    o.epilogue = epilogue;
    o.only = only;
    return o;
}

std::vector<SlotPlan> planSlots(int count, std::uint64_t seed, const std::string& firstSlot) {
    Random random(seed);
    std::vector<SlotPlan> plans;
    const auto start = station::slot_time::epochSeconds(firstSlot).value_or(0);
    for (int i = 0; i < count; ++i) {
        SlotPlan p;
        p.index = i;
        p.slot = station::slot_time::fromEpochSeconds(start + std::int64_t{i} * 900);
        std::array<bool, kFaultKinds> on{};
        for (int f = 0; f < kFaultKinds; ++f)
            on[static_cast<std::size_t>(f)] =
                std::bernoulli_distribution(kChance[static_cast<std::size_t>(f)])(random);
        if (i < static_cast<int>(kOpening.size())) {
            // An outage would wipe out the kinds the slot is there to show.
            on[static_cast<std::size_t>(Fault::Outage)] = false;
            for (const int f : kOpening[static_cast<std::size_t>(i)])
                if (f >= 0) on[static_cast<std::size_t>(f)] = true;
        }
        const auto has = [&](Fault f) { return on[static_cast<std::size_t>(f)]; };
        if (has(Fault::Outage))
            for (int f = 0; f < kFaultKinds; ++f)
                if (f != static_cast<int>(Fault::Outage) && f != static_cast<int>(Fault::Restart))
                    on[static_cast<std::size_t>(f)] = false;

        p.hrv.lowerNorth = uniform(random, 1, 11136);
        p.hrv.lowerEast = uniform(random, 1, 11136 - 5568 + 1);
        p.hrv.lowerWest = p.hrv.lowerEast + 5568 - 1;
        p.hrv.upperEast = uniform(random, 1, 11136 - 5568 + 1);
        p.checkSeed = random();

        std::set<synth::SegmentKey> taken;
        // The station assembles a slot once its working folder holds more than 27 files,
        // prologue and epilogue included: an outage leaves it well short of that.
        if (has(Fault::Outage)) p.only = pick(random, uniform(random, 8, 20), taken);
        if (has(Fault::Missing)) p.drop = pick(random, uniform(random, 1, 4), taken);
        if (has(Fault::Truncated)) {
            const auto k = *pick(random, 1, taken).begin();
            const auto nominal = seg::nominalBytes(seg::Part::Image, k.channel);
            // Now and then inside the header, mostly among the lines.
            const auto low = uniform(random, 0, 3) == 0 ? 0 : seg::kSegmentHeaderBytes;
            const auto high = low == 0 ? seg::kSegmentHeaderBytes - 1 : nominal - 1;
            p.truncate = synth::Truncation{
                k, std::uniform_int_distribution<std::int64_t>(low, high)(random)};
        }
        p.prologue = !has(Fault::NoPrologue);
        p.epilogue = !has(Fault::NoEpilogue);
        if (has(Fault::DecoRefuses)) p.refused = pick(random, uniform(random, 1, 3), taken);
        if (has(Fault::DecoHangs)) p.hung = pick(random, uniform(random, 1, 2), taken);
        p.restart = has(Fault::Restart);
        if (has(Fault::StillWriting)) {
            const int which = uniform(random, 0, 9);
            if (which == 0 && p.prologue)
                p.stillWriting = kPrologueKey;
            else if (which == 1 && p.epilogue)
                p.stillWriting = kEpilogueKey;
            else {
                const auto k = *pick(random, 1, taken).begin();
                p.stillWriting = FileKey{k.channel, k.segment};
            }
        }
        for (int f = 0; f < kFaultKinds; ++f)
            if (has(static_cast<Fault>(f))) p.faults.push_back(static_cast<Fault>(f));
        plans.push_back(std::move(p));
    }
    return plans;
}

}  // namespace soak
