// SPDX-License-Identifier: MIT
// The pieces every tool window's side panel shares: the panel itself beside the preview, the zoom group,
// the rotation group with its four angle buttons, and "Ok" / "Cancel" held at the panel's bottom.
#pragma once

#include "overlay/PlacementPreview.h"

class Panel;
class QDialog;
class QPushButton;
class QWidget;
class TrackBar;

// A fixed-width side panel named "Panel1", laid out to the right of the preview in the window.
QWidget* addToolPanel(QDialog* window, QWidget* preview, int width = 141);

// "Zoom:" with TrackBar3 (0.1 … 10, start 0.1) and its "Restore" (CornerButton8), at the panel's top.
TrackBar* addZoomGroup(Panel& panel, PlacementPreview::Controls& controls, const char* labelName = "");

// "Rotation:" at y, TrackBar2 (0 … 360) below it and the "0°", "90°", "180°", "270°" buttons that set it.
TrackBar* addRotationGroup(Panel& panel, int y, const char* labelName = "");

struct OkCancel {
    QPushButton* ok;
    QPushButton* cancel;
};
// "Ok" (CornerButton10) and "Cancel" (CornerButton9), 140 × 22 each, kept at the panel's bottom edge.
OkCancel addOkCancel(QWidget* panel);
