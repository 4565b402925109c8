#pragma once
// Everything the core asks of the desktop goes through Host, so the same commands run in the
// Qt windows, on the command line, unattended, and under test.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace station {

struct FileDialog {
    std::string title;
    // Filter pairs as the desktop shows them: description and patterns ("*.nat").
    std::vector<std::pair<std::string, std::string>> filters;
    std::filesystem::path directory;
};

// Read-outs of the main window that commands fill in.
enum class Fact { SceneTime, ChannelString, Line, Column, ChannelName };

class Host {
public:
    virtual ~Host() = default;

    virtual void message(std::string_view text) = 0;
    virtual bool ask(std::string_view text) = 0;
    virtual std::optional<std::filesystem::path> openFile(const FileDialog& dialog) = 0;
    virtual void status(std::string_view text) = 0;
    virtual void showFact(Fact fact, std::string_view text) = 0;
    virtual void busy(bool on) = 0;
    virtual void progress(int done, int total) = 0;
    // The program must end (after a fatal refusal the user has seen).
    virtual void quit() = 0;
};

// Busy pointer for the length of a scope.
class BusyScope {
public:
    explicit BusyScope(Host& host) : host_(host) { host_.busy(true); }
    ~BusyScope() { host_.busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Host& host_;
};

// Command line and unattended modes: messages go to stderr, dialogs take their answers from
// what the command line gave, and nothing waits for a person.
class ConsoleHost : public Host {
public:
    std::optional<std::filesystem::path> answerOpen;  // the file a dialog would return
    bool answerAsk = false;
    bool verbose = false;  // status lines too
    bool quitRequested = false;

    void message(std::string_view text) override;
    bool ask(std::string_view text) override;
    std::optional<std::filesystem::path> openFile(const FileDialog& dialog) override;
    void status(std::string_view text) override;
    void showFact(Fact, std::string_view) override {}
    void busy(bool) override {}
    void progress(int done, int total) override;
    void quit() override { quitRequested = true; }
};

}  // namespace station
