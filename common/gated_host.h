#pragma once
// A host that can be told to keep quiet: while a run is unattended, nothing may wait for a
// person, so messages become status lines (the last one kept as the reason of a failure),
// questions are answered no and file dialogs cancelled. Otherwise it forwards everything.

#include <string>

#include "common/host.h"

namespace station {

class GatedHost : public Host {
public:
    explicit GatedHost(Host& inner) : inner_(inner) {}

    bool quiet = false;
    std::string lastMessage;  // the last message held back while quiet

    void message(std::string_view text) override {
        if (!quiet) return inner_.message(text);
        lastMessage = text;
        inner_.status(text);
    }
    bool ask(std::string_view text) override {
        if (!quiet) return inner_.ask(text);
        lastMessage = text;
        return false;
    }
    std::optional<std::filesystem::path> openFile(const FileDialog& dialog) override {
        if (!quiet) return inner_.openFile(dialog);
        lastMessage = "no file could be chosen unattended: " + dialog.title;
        return std::nullopt;
    }
    void status(std::string_view text) override { inner_.status(text); }
    void showFact(Fact fact, std::string_view text) override { inner_.showFact(fact, text); }
    void busy(bool on) override { inner_.busy(on); }
    void progress(int done, int total) override { inner_.progress(done, total); }
    void quit() override {
        if (!quiet) inner_.quit();
    }

private:
    Host& inner_;
};

}  // namespace station
