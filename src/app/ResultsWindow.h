// SPDX-License-Identifier: MIT
// "View results": one picture shown large, fitted into a resizable window.
#pragma once

#include <QDialog>

class PictureView;

class ResultsWindow : public QDialog {
    Q_OBJECT
public:
    explicit ResultsWindow(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    PictureView* view() const { return m_view; }

private:
    PictureView* m_view;
};
