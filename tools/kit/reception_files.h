#pragma once
// The files the reception needs in a station directory to assemble Native files: the ASCII
// header templates, the segment-list templates, the blank segments and the stand-by prologue
// and epilogue. All follow from the Native layout and the segment names.

#include <filesystem>
#include <string>
#include <vector>

namespace kit {

struct ReceptionFile {
    std::string name;
    std::string what;
    std::string bytes;
};

// cabecero.nat, cabecerr.nat, hformat.txt .. hformat4.txt, zeroh, zeron, pro, epi.
std::vector<ReceptionFile> receptionFiles();

// The stand-in segment decompressor installed with the station's programs (beside the running
// program, or in the build tree's tools/deco), when there is one. The kit links the station's
// `deco` to it; a station with a real xRIT decompressor links `deco` to that instead.
std::filesystem::path standInDeco();

}  // namespace kit
