#pragma once
// Host for tests: records what the commands showed and answers dialogs from queues.

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "common/host.h"

namespace station {

class ScriptedHost : public Host {
public:
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<FileDialog> dialogs;
    std::map<Fact, std::string> facts;
    std::deque<std::optional<std::filesystem::path>> openAnswers;
    std::deque<bool> askAnswers;
    int busyDepth = 0;
    bool quitCalled = false;

    void message(std::string_view text) override { messages.emplace_back(text); }
    bool ask(std::string_view text) override {
        messages.emplace_back(text);
        if (askAnswers.empty()) return false;
        const bool a = askAnswers.front();
        askAnswers.pop_front();
        return a;
    }
    std::optional<std::filesystem::path> openFile(const FileDialog& dialog) override {
        dialogs.push_back(dialog);
        if (openAnswers.empty()) return std::nullopt;
        auto a = openAnswers.front();
        openAnswers.pop_front();
        return a;
    }
    void status(std::string_view text) override { statuses.emplace_back(text); }
    void showFact(Fact fact, std::string_view text) override { facts[fact] = std::string(text); }
    void busy(bool on) override { busyDepth += on ? 1 : -1; }
    void progress(int, int) override {}
    void quit() override { quitCalled = true; }

    std::string lastStatus() const { return statuses.empty() ? std::string{} : statuses.back(); }
};

}  // namespace station
