// SPDX-License-Identifier: MIT
#include "overlay/ToolPanel.h"

#include "platform/Panel.h"
#include "platform/TrackBar.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QWidget* addToolPanel(QDialog* window, QWidget* preview, int width) {
    auto* panel = new QWidget;
    panel->setObjectName("Panel1");
    panel->setFixedWidth(width);
    panel->setMinimumHeight(697); // the design height: every control stays reachable
    auto* layout = new QHBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(preview, 1);
    layout->addWidget(panel);
    return panel;
}

TrackBar* addZoomGroup(Panel& panel, PlacementPreview::Controls& controls, const char* labelName) {
    panel.label(labelName, "Zoom:", 56, 0);
    controls.zoom = panel.trackBar("TrackBar3", 0, 16, 140, 20, 0.1, 10, 0.1);
    controls.restoreZoom = panel.button("CornerButton8", "Restore", 0, 35, 140, 17);
    return controls.zoom;
}

TrackBar* addRotationGroup(Panel& panel, int y, const char* labelName) {
    panel.label(labelName, "Rotation:", 48, y);
    TrackBar* rotation = panel.trackBar("TrackBar2", 0, y + 16, 140, 20, 0, 360, 0);
    const struct {
        const char* name;
        const char* text;
        int x;
        double angle;
    } angles[] = {{"CornerButton2", "0°", 0, 0},
                  {"CornerButton5", "90°", 35, 90},
                  {"CornerButton3", "180°", 71, 180},
                  {"CornerButton4", "270°", 107, 270}};
    for (const auto& angle : angles) {
        QPushButton* button =
            panel.button(angle.name, QString::fromUtf8(angle.text), angle.x, y + 35, 33, 17);
        QObject::connect(button, &QPushButton::clicked, rotation,
                         [rotation, a = angle.angle] { rotation->setValue(a); });
    }
    return rotation;
}

OkCancel addOkCancel(QWidget* panel) {
    auto* bottom = new QWidget(panel);
    bottom->setFixedHeight(46);
    Panel buttons(bottom);
    const OkCancel result{buttons.button("CornerButton10", "Ok", 0, 0, 140, 22),
                          buttons.button("CornerButton9", "Cancel", 0, 24, 140, 22)};
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 1);
    column->addStretch(1);
    column->addWidget(bottom);
    return result;
}
