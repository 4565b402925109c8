#pragma once
// The files the reception needs in a station directory to assemble Native files: the ASCII
// header templates, the segment-list templates, the blank segments and the stand-by prologue
// and epilogue. All follow from the Native layout and the segment names.

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

}  // namespace kit
