#pragma once
// Animations of stored pictures: the frame list in time order, its plays and single steps as
// plain state (the window only shows the frames it is handed and waits the times it is told),
// and the pure parts of the sequence maker: the names of the pictures it writes and which files
// its "First clean it" may delete.

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar::products {

// The scene time a picture is named by: the 12 digits that end at a dot of the file name
// ("eur_c321r5_201503201300.jpg", "201503201300.bmp", "ge_201503201300.jpg"), the first such
// run when there are several. Only the file name counts, never a folder of the path. Nothing
// when the name holds no such time.
std::optional<std::string> frameTime(const std::filesystem::path& file);

// The files ordered by their scene times, oldest first. Files with equal times keep the order
// they were given in; files without a time follow the others, in the order given.
std::vector<std::filesystem::path> orderFrames(std::vector<std::filesystem::path> files);

enum class PlayKind {
    First,    // the play that follows a choice of files
    Restart,  // "Animate": it moves the index the single steps share
    Idle,     // the idle display's slide show
};

// When a play waits: before the first frame of every round, and after every frame.
struct PlaySchedule {
    int roundPauseMs = 0;
    int frameHoldMs = 0;
};
// First: 1.5 s and 100 ms; Restart: 2 s and speed x 50 ms; Idle: 1.5 s and speed x 50 ms.
// A speed below 1 counts as 1.
PlaySchedule scheduleOf(PlayKind kind, int speed);

// One frame to show: wait `pauseBeforeMs`, show `file`, then wait `holdAfterMs`.
struct Frame {
    std::size_t index = 0;
    std::filesystem::path file;
    int pauseBeforeMs = 0;
    int holdAfterMs = 0;
};

// The frame list with its plays. A play hands out at most kFramesPerPlay frames, round after
// round, and ends sooner when stopped. Files that were removed since they were chosen (the
// purge may take old products at any time) are passed over: they still count towards the
// frames of a play, so a list whose files are all gone ends, but nothing is shown for them.
class FrameList {
  public:
    static constexpr int kFramesPerPlay = 179;

    // A new list, ordered by orderFrames. A play in progress ends and the steps start again
    // before the first frame. The list holds as many files as are chosen.
    void choose(std::vector<std::filesystem::path> files);
    const std::vector<std::filesystem::path>& files() const { return files_; }
    bool empty() const { return files_.empty(); }

    // Starts a play from the first frame; false (and nothing playing) for an empty list.
    bool play(PlayKind kind, int speed);
    // The next frame of the play; nothing once it is over, and then playing() is false.
    std::optional<Frame> nextFrame();
    void stop() { playing_ = false; }
    bool playing() const { return playing_; }
    // Frames handed out by the play in progress or the last one.
    int framesPlayed() const { return played_; }

    // "Next frame" and "Previous frame", with wrap-around; nothing for an empty list or when
    // none of its files is left. A restart moves the same index.
    std::optional<Frame> stepNext() { return step(+1); }
    std::optional<Frame> stepPrevious() { return step(-1); }

    // The idle display's timer tick: `frames` become the list and an idle play starts. A tick
    // that arrives while a play is in progress is dropped (false, the list as it was), and so
    // is one with no frames to show.
    bool idleTick(std::vector<std::filesystem::path> frames, int speed);

  private:
    std::optional<Frame> step(int direction);

    std::vector<std::filesystem::path> files_;
    int stepIndex_ = -1;  // of the single steps and the restart; -1 before the first frame
    int playIndex_ = -1;  // of the first play and the idle show
    bool playing_ = false;
    PlayKind kind_ = PlayKind::First;
    PlaySchedule schedule_;
    int played_ = 0;
};

// The kinds of picture the sequence maker builds, in the order its window offers them.
enum class SequenceType { Single, Difference, Composite, HighResolution, Flow, Complex };
inline constexpr std::array<SequenceType, 6> kSequenceTypes = {
    SequenceType::Single,         SequenceType::Difference, SequenceType::Composite,
    SequenceType::HighResolution, SequenceType::Flow,       SequenceType::Complex};
// "Single", "Difference", "Composite", "High resolution", "Flow product", "Complex composite".
std::string_view sequenceTypeCaption(SequenceType type);
// The command line's names: single, difference, composite, hrv, flow, complex.
std::string_view sequenceTypeKey(SequenceType type);
std::optional<SequenceType> sequenceTypeOfKey(std::string_view key);

// The choices of the window "Choice of product for the sequence".
struct SequenceSettings {
    std::filesystem::path destination;
    SequenceType type = SequenceType::Single;
    bool bitmap = false;  // "Bitmap"; otherwise "Jpeg"
    bool clean = false;   // "First clean it"
    bool zoomed = false;  // "Zoomed as in last zooming"
};

// The picture the sequence maker writes for a scene time: destination / (time + ".jpg" or
// ".bmp"). Nothing when `sceneTime` is not a 12-digit time.
std::optional<std::filesystem::path> sequencePicture(const std::filesystem::path& destination,
                                                     std::string_view sceneTime, bool bitmap);
// Whether a file name is one the sequence maker writes: a 12-digit time and ".jpg" or ".bmp".
bool isSequencePicture(std::string_view name);

// Why "First clean it" may not delete in `destination`, or nothing when it may: the station
// directory, a folder that holds it, the home directory (`home`; empty: the user's own) and the
// system's folders are refused, however the path is spelled.
std::optional<std::string> cleaningRefusal(const std::filesystem::path& destination,
                                           const std::filesystem::path& station,
                                           const std::filesystem::path& home = {});
// What "First clean it" deletes: the regular files directly in `destination` whose names the
// sequence maker writes. Everything else there, links and folders included, stays.
std::vector<std::filesystem::path> filesToClean(const std::filesystem::path& destination);

}  // namespace tesmar::products
