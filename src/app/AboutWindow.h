// SPDX-License-Identifier: MIT
// "About": the logo banner and four lines of credits and contact text.
#pragma once

#include <QDialog>

class PictureView;

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    static constexpr QSize logoSize{1600, 731};
    const QImage& logo() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    PictureView* m_logo;
};
