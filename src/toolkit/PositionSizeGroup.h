// SPDX-License-Identifier: MIT
// "Position and size": where the placed element goes and how large it is, typed in the picture's own pixels
// (x, y, width, height), following the frame both ways, and "Fit to picture", which makes the element cover
// the whole picture. For tools where a pixel-exact place matters (shapes, text, the magnifying glass).
#pragma once

#include <QObject>

class NumberEdit;
class PlacementPreview;
class QPushButton;
class QWidget;

class PositionSizeGroup : public QObject {
    Q_OBJECT
public:
    // The height the group takes, from its top.
    static constexpr int height = 112;

    // Places the group's controls on `host` from `top` down, 140 pixels wide.
    PositionSizeGroup(PlacementPreview* preview, QWidget* host, int top);

    NumberEdit* xBox() const { return m_x; }
    NumberEdit* yBox() const { return m_y; }
    NumberEdit* widthBox() const { return m_width; }
    NumberEdit* heightBox() const { return m_height; }
    QPushButton* fitButton() const { return m_fit; }

    // Shows the frame's box in the four boxes.
    void showFrame();

private:
    void confirm(NumberEdit* box);

    PlacementPreview* m_preview;
    NumberEdit* m_x;
    NumberEdit* m_y;
    NumberEdit* m_width;
    NumberEdit* m_height;
    QPushButton* m_fit;
    bool m_showing = false; // while the boxes are filled from the frame, their confirmations are not typing
};

// A strip for the group in a scrolling side panel's column, under the scrolling part, so that it is always
// in sight; returns the group.
PositionSizeGroup* addPositionSizeStrip(PlacementPreview* preview, QWidget* scrollingPanel);
