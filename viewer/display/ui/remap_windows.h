#pragma once
// The remapping's windows: the corners dialog (Mercator or stereographic) and the Projection
// window that shows the result. They read and show settings; the viewer remaps.

#include <QDialog>
#include <QImage>
#include <array>

#include "viewer/display/kml.h"
#include "viewer/display/remap.h"

class QLineEdit;
class QCheckBox;
class QSpinBox;
class QLabel;

namespace tesmar::ui {

class RemapCornersDialog : public QDialog {
    Q_OBJECT
public:
    RemapCornersDialog(bool polar, QWidget* parent = nullptr);

    bool frozen() const;
    // Fills the corner entries (unless "Freeze these values" is checked).
    void offer(const display::Corners& corners, double lon0, double lat0);
    // The entries as a request; false when one is not a number.
    bool request(display::RemapRequest& out) const;
    // The corners as typed (north, south, east, west), for the Google-Earth overlay.
    display::OverlayCorners typedCorners() const;

signals:
    void projectRequested();

private:
    bool polar_;
    std::array<QLineEdit*, 6> entries_{};  // lower-east lon, lat, upper-west lon, lat, centre lon, lat
    QCheckBox* freeze_ = nullptr;
    QCheckBox* oneToOne_ = nullptr;
    QCheckBox* google_ = nullptr;
};

class ProjectionWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProjectionWindow(QWidget* parent = nullptr);
    void setPicture(const QImage& image);
    // The nudge panel shows once an overlay or an animation has been saved.
    void showNudgePanel(bool visible);
    std::array<int, 4> nudgeSettings() const;  // north, south, east, west

signals:
    void takeToMainRequested();
    void saveBitmapRequested();
    void saveGoogleEarthRequested();
    void nudgeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* picture_ = nullptr;
    QWidget* nudgePanel_ = nullptr;
    std::array<QSpinBox*, 4> nudges_{};
};

}  // namespace tesmar::ui
