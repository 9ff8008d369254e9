// SPDX-License-Identifier: MIT
// The pieces every tool window's side panel shares: the panel itself beside the preview (plain or scrolling),
// an optional status strip, the zoom group, the rotation group with its four angle buttons, and the buttons
// held at the panel's bottom ("Ok", "Cancel"). Names and positions come from the caller's layout.
#pragma once

#include "toolkit/PlacementPreview.h"

#include <array>
#include <initializer_list>
#include <vector>

class Panel;
class QGraphicsItem;
class QDialog;
class QPushButton;
class QWidget;
class TrackBar;

// A fixed-width side panel named "Panel1", laid out to the right of the preview in the window.
QWidget* addToolPanel(QDialog* window, QWidget* preview, int width = 141);
// A side panel of a fixed size inside a scroll box of fixed width, for panels taller than a screen. The
// panel is "Panel1" unless the scroll box itself sits in a panel of the given outer name.
QWidget* addScrollingToolPanel(QDialog* window, QWidget* preview, QSize panelSize, int scrollWidth = 156,
                               const char* scrollName = "ScrollBox2", const char* outerPanelName = nullptr);
// A strip in a scrolling panel's column, under its scrolling part (and under the strips added before it), so
// that what it holds is always in sight; children are placed absolutely.
QWidget* addStripUnderScrollingPanel(QWidget* scrollingPanel, const char* name);
// Keeps the buttons at a scrolling panel's foot ("Ok", "Cancel") in sight: while the panel is taller than
// the room it has, they sit in a strip under its scrolling part, in their order; otherwise in their places.
void keepInSightWhileScrolling(QWidget* scrollingPanel, std::initializer_list<QPushButton*> buttons);
// Return (or Enter) that no control of the window takes presses `ok`: a number box and a text memo keep
// theirs.
void pressOnReturn(QDialog* window, QPushButton* ok);
// A strip along the window's bottom edge, under the preview and the panel; children are placed absolutely.
QWidget* addStatusStrip(QDialog* window, const char* name, int height);

struct ZoomGroupLayout {
    int y = 0;
    const char* label = "";
    const char* bar = "TrackBar3";
    const char* restore = "CornerButton8";
    const char* restoreText = "Restore";
    int barWidth = 140;
};
// "Zoom:" with its track bar (0.1 … 10, start 0.1) and the "Restore" button that sets it to 1.
TrackBar* addZoomGroup(Panel& panel, PlacementPreview::Controls& controls,
                       const ZoomGroupLayout& layout = {});

struct OpacityGroupLayout {
    int y = 56;
    const char* label = "";
    const char* bar = "TrackBar1";
    const char* restore = "CornerButton1";
};
struct OpacityGroup {
    TrackBar* bar;
    QPushButton* restore;
};
// "Opacity:" with its track bar (0 … 1, start 1) driving `item`'s opacity, and the "Restore" button that sets
// it back to 1.
OpacityGroup addOpacityGroup(Panel& panel, QGraphicsItem* item, const OpacityGroupLayout& layout = {});

struct RotationGroupLayout {
    int y = 0;
    const char* label = "";
    const char* bar = "TrackBar2";
    int buttonsBelow = 35; // from the label's y to the buttons' y
    std::array<const char*, 4> buttons{"CornerButton2", "CornerButton5", "CornerButton3", "CornerButton4"};
    std::array<int, 4> buttonX{0, 35, 71, 107};
};
struct RotationGroup {
    TrackBar* bar;
    std::array<QPushButton*, 4> angles; // 0°, 90°, 180°, 270°
};
// "Rotation:", a track bar (0 … 360) below it and the "0°", "90°", "180°", "270°" buttons that set it.
RotationGroup addRotationGroup(Panel& panel, const RotationGroupLayout& layout);

// Where one control of a group lies: its object name and box (labels take their own width).
struct PlacedControl {
    const char* name;
    int x, y, width, height;
};
struct PlacementSettingsLayout {
    PlacedControl settingsLabel, gripLabel, gripSize;
    const char* gripSizeButton;
    PlacedControl restoreGripSize, marginLabel, heightLabel, marginY;
    const char* marginYButton;
    PlacedControl widthLabel, marginX;
    const char* marginXButton;
    PlacedControl restoreMargins, antiLag;
};
// "Settings:" with the frame's "Grip size:" (start 3) and its "Restore", the "Margin" the element keeps from
// the picture's edges ("Height:", "Width:", start 0) and its "Restore", and "Anti-lag mode".
void addPlacementSettingsGroup(Panel& panel, PlacementPreview::Controls& controls,
                               const PlacementSettingsLayout& layout);

struct BottomButton {
    const char* name;
    const char* text;
};
// Buttons 140 × 22, one under the other, kept at the panel's bottom edge.
std::vector<QPushButton*> addBottomButtons(QWidget* panel, std::initializer_list<BottomButton> buttons);

struct OkCancel {
    QPushButton* ok;
    QPushButton* cancel;
};
// "Ok" and "Cancel" at the panel's bottom.
OkCancel addOkCancel(QWidget* panel, const char* okName = "CornerButton10",
                     const char* cancelName = "CornerButton9");
