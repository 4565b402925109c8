#pragma once
// The desktop's side of Host: message boxes, file dialogs, status line, busy pointer.

#include <functional>

#include "common/host.h"

class QWidget;
class QString;
class QStatusBar;
class QProgressBar;

namespace tesmar::ui {

class QtHost : public station::Host {
public:
    QtHost(QWidget* parent, QStatusBar* status, std::function<void(station::Fact, const QString&)> showFact);

    void message(std::string_view text) override;
    bool ask(std::string_view text) override;
    std::optional<std::filesystem::path> openFile(const station::FileDialog& dialog) override;
    void status(std::string_view text) override;
    void showFact(station::Fact fact, std::string_view text) override;
    void busy(bool on) override;
    void progress(int done, int total) override;
    void quit() override;

private:
    QWidget* parent_;
    QStatusBar* status_;
    std::function<void(station::Fact, const QString&)> showFact_;
    QProgressBar* progress_ = nullptr;  // in the status bar while a long command runs
};

}  // namespace tesmar::ui
