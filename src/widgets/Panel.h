// SPDX-License-Identifier: MIT
// Builds a fixed-layout side panel control by control, each at its own position, so a window's panel
// code reads like its layout table. Every control gets its name as objectName.
#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class NumberEdit;
class TrackBar;

class Panel {
public:
    explicit Panel(QWidget* host)
        : m_host(host) {}

    QWidget* host() const { return m_host; }

    QLabel* label(const char* name, const QString& text, int x, int y, int width = -1);
    TrackBar* trackBar(const char* name, int x, int y, int width, int height, double minimum, double maximum,
                       double value);
    // A push button with rounded corners that never acts as a default button.
    QPushButton* button(const char* name, const QString& text, int x, int y, int width, int height);
    QCheckBox* checkBox(const char* name, const QString& text, int x, int y, int width, int height,
                        bool checked);
    NumberEdit* numberEdit(const char* name, const char* buttonName, const QString& text, int x, int y,
                           int width, int height);
    // A flat button showing an SVG picture that fills it.
    QToolButton* pictureButton(const char* name, const QString& svgResource, int x, int y, int width,
                               int height);

private:
    template <class W> W* place(W* widget, const char* name, int x, int y, int width, int height);

    QWidget* m_host;
};

// A push button as used in every window: rounded corners, never an auto-default button.
QPushButton* makeButton(const char* name, const QString& text, QWidget* parent);
