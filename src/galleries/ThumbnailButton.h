// SPDX-License-Identifier: MIT
// One gallery picture: draws its pre-scaled thumbnail fitted or stretched into its box and reports clicks.
#pragma once

#include <QImage>
#include <QWidget>

class ThumbnailButton : public QWidget {
    Q_OBJECT
public:
    ThumbnailButton(const QString& thumbnailPath, bool stretch, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString m_path;
    QImage m_thumbnail; // decoded on first paint
    bool m_stretch;
    bool m_hovered = false;
};
