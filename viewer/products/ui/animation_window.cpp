#include "viewer/products/ui/animation_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace tesmar::ui {

namespace {

QPushButton* button(const char* text) {
    auto* b = new QPushButton(text);
    b->setToolTip(text);
    return b;
}

}  // namespace

AnimationWindow::AnimationWindow(products::FrameList& frames, QWidget* parent)
    : QWidget(parent, Qt::Window), frames_(frames) {
    setWindowTitle("Animation display");
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    picture_ = new QLabel;
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setMinimumSize(320, 240);
    auto* scroll = new QScrollArea;
    scroll->setWidget(picture_);
    scroll->setWidgetResizable(true);
    left->addWidget(scroll, 1);
    caption_ = new QLabel;
    left->addWidget(caption_);
    auto* buttons = new QHBoxLayout;
    stop_ = button("Stop animation");
    animate_ = button("Animate");
    previous_ = button("Previous frame");
    next_ = button("Next frame");
    auto* close = new QPushButton("Close");
    for (auto* b : {stop_, animate_, previous_, next_}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close);
    left->addLayout(buttons);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    speed_ = new QSlider(Qt::Vertical);
    speed_->setRange(1, 20);
    speed_->setValue(2);
    speed_->setPageStep(1);
    speed_->setTickPosition(QSlider::TicksRight);
    speed_->setToolTip("Speed: the time each frame stays, in steps of 50 ms");
    right->addWidget(new QLabel("Speed"));
    right->addWidget(speed_, 1);
    layout->addLayout(right);

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { showPending(); });
    connect(stop_, &QPushButton::clicked, this, [this] { stopPlay(); });
    connect(animate_, &QPushButton::clicked, this, [this] { begin(products::PlayKind::Restart); });
    connect(previous_, &QPushButton::clicked, this, [this] { step(false); });
    connect(next_, &QPushButton::clicked, this, [this] { step(true); });
    connect(close, &QPushButton::clicked, this, [this] { this->close(); });
    resize(1000, 840);
}

int AnimationWindow::speed() const {
    return speed_->value();
}

void AnimationWindow::playChosen() {
    show();
    raise();
    activateWindow();
    begin(products::PlayKind::First);
}

bool AnimationWindow::playIdle(std::vector<std::filesystem::path> frames) {
    if (!frames_.idleTick(std::move(frames), speed())) return false;
    show();
    startPlaying();
    return true;
}

void AnimationWindow::begin(products::PlayKind kind) {
    timer_->stop();
    pending_.reset();
    if (!frames_.play(kind, speed())) {
        caption_->setText("No pictures to play");
        return;
    }
    startPlaying();
}

void AnimationWindow::startPlaying() {
    pending_ = frames_.nextFrame();
    if (pending_)
        timer_->start(pending_->pauseBeforeMs);
    else
        caption_->setText("None of the pictures is left");
}

void AnimationWindow::showPending() {
    if (!pending_) return;
    const auto frame = *pending_;
    // A picture that cannot be read any more is passed over at once, never held on screen.
    const bool shown = load(frame);
    pending_ = frames_.nextFrame();
    if (pending_) timer_->start((shown ? frame.holdAfterMs : 0) + pending_->pauseBeforeMs);
}

void AnimationWindow::stopPlay() {
    frames_.stop();
    timer_->stop();
    pending_.reset();
}

void AnimationWindow::step(bool forward) {
    const auto frame = forward ? frames_.stepNext() : frames_.stepPrevious();
    if (!frame) {
        caption_->setText(frames_.empty() ? "No pictures to step through"
                                          : "None of the pictures is left");
        return;
    }
    load(*frame);
}

bool AnimationWindow::load(const products::Frame& frame) {
    const QImage image(QString::fromStdString(frame.file.string()));
    if (image.isNull()) return false;
    picture_->setPixmap(QPixmap::fromImage(image));
    caption_->setText(QString("%1 of %2: %3")
                          .arg(frame.index + 1)
                          .arg(frames_.files().size())
                          .arg(QString::fromStdString(frame.file.filename().string())));
    return true;
}

void AnimationWindow::setButtonsVisible(bool visible) {
    for (auto* b : {stop_, animate_, previous_, next_}) b->setVisible(visible);
}

void AnimationWindow::closeEvent(QCloseEvent* event) {
    stopPlay();
    QWidget::closeEvent(event);
}

}  // namespace tesmar::ui
