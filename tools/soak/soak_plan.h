#pragma once
// What the soak does to each slot it broadcasts: the faults drawn for it from a seeded random
// generator, and what the station should make of the slot in spite of them.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/synth/received_slot.h"

namespace soak {

enum class Fault {
    Missing,       // image segments that never arrive
    Truncated,     // one image segment cut short
    NoEpilogue,    // the slot is closed by the clock, not by its epilogue
    NoPrologue,    // the stand-by prologue takes its place
    DecoRefuses,   // the station's deco fails for some segments
    DecoHangs,     // the station's deco hangs on some segments until its time limit
    Restart,       // the processor is stopped and started again between phase 0 and phase 1
    StillWriting,  // one file still grows when the slot closes
    Outage,        // only a few segments arrive: too few for a Native file
};
inline constexpr int kFaultKinds = 9;

const char* faultName(Fault fault);

// One received file of a slot by its key in the generator's terms: an image segment, or the
// prologue (channel 0, segment 0) or the epilogue (channel 0, segment 1).
struct FileKey {
    int channel = 0;
    int segment = 0;
    auto operator<=>(const FileKey&) const = default;
    bool image() const { return channel > 0; }
};
inline constexpr FileKey kPrologueKey{0, 0};
inline constexpr FileKey kEpilogueKey{0, 1};

struct SlotPlan {
    int index = 0;
    std::string slot;  // yyyymmddhhmm
    std::vector<Fault> faults;
    std::set<synth::SegmentKey> drop;
    std::optional<synth::Truncation> truncate;
    bool prologue = true;
    bool epilogue = true;
    std::optional<std::set<synth::SegmentKey>> only;  // an outage: just these segments arrive
    std::set<synth::SegmentKey> refused;              // deco fails on these
    std::set<synth::SegmentKey> hung;                 // deco hangs on these
    bool restart = false;
    std::optional<FileKey> stillWriting;  // arrives late and grows while the slot closes
    synth::HrvWindows hrv;                // as the slot's own prologue plans them
    std::uint64_t checkSeed = 0;          // picks the records compared in its Native file

    bool nativeExpected() const { return !only; }
    // Segments whose place in the Native file must hold the blank segment's zeros.
    std::set<synth::SegmentKey> blanked() const;
    // The HRV windows the Native file's header must carry (the stand-by prologue has the
    // default ones).
    synth::HrvWindows headerWindows() const { return prologue ? hrv : synth::HrvWindows{}; }
    synth::ReceivedSlotOptions options() const;
};

// `count` slots of 15 minutes from `firstSlot`. Each fault kind strikes a slot with a fixed
// chance; the first slots also take two kinds in turn, so that even a short run meets every
// kind.
std::vector<SlotPlan> planSlots(int count, std::uint64_t seed, const std::string& firstSlot);

}  // namespace soak
