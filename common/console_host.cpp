#include <iostream>

#include "common/host.h"

namespace station {

void ConsoleHost::message(std::string_view text) { std::cerr << text << '\n'; }

bool ConsoleHost::ask(std::string_view text) {
    std::cerr << text << (answerAsk ? " -> yes\n" : " -> no\n");
    return answerAsk;
}

std::optional<std::filesystem::path> ConsoleHost::openFile(const FileDialog&) {
    auto answer = answerOpen;
    answerOpen.reset();  // a dialog is answered once
    return answer;
}

void ConsoleHost::status(std::string_view text) {
    if (verbose && !text.empty()) std::cerr << text << '\n';
}

void ConsoleHost::progress(int done, int total) {
    if (verbose) std::cerr << done << '/' << total << '\r' << (done == total ? "\n" : "");
}

}  // namespace station
