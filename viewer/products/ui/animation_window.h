#pragma once
// "Animation display": plays the shared frame list as a loop, with stop, restart, single steps
// and a speed setting. A timer shows the frames, so the window and its buttons stay live while
// it plays; what to show when comes from the frame list.

#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "viewer/products/animation.h"

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace tesmar::ui {

class AnimationWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AnimationWindow(products::FrameList& frames, QWidget* parent = nullptr);

    // A list was just chosen: the window comes to the front and plays it once.
    void playChosen();
    // The idle display's tick; false when it is dropped (a play is still on, or no frames).
    bool playIdle(std::vector<std::filesystem::path> frames);
    void stopPlay();
    // "Stop animation", "Animate", "Previous frame" and "Next frame" (hidden while "idle").
    void setButtonsVisible(bool visible);
    int speed() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void begin(products::PlayKind kind);
    void startPlaying();  // the play's first frame scheduled
    void showPending();
    void step(bool forward);
    bool load(const products::Frame& frame);

    products::FrameList& frames_;
    std::optional<products::Frame> pending_;  // the frame the timer shows next
    QTimer* timer_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* caption_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* animate_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QSlider* speed_ = nullptr;
};

}  // namespace tesmar::ui
