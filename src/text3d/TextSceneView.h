// SPDX-License-Identifier: MIT
// The 3D text editor's view: an ordinary widget showing the scene as the renderer draws it over white at the
// widget's size. Changes are gathered and drawn once at the next paint; while the user drags a turn the view
// draws a quick draft at half the size, scaled up, and the full picture when the drag ends. When the scene
// cannot be drawn the view says why in words.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class TextRenderer;
struct TextScene;

class TextSceneView : public QWidget {
    Q_OBJECT
public:
    TextSceneView(const TextScene& scene, std::function<TextRenderer&()> renderer, QWidget* parent = nullptr);

    // The scene changed: draw it again at the next paint.
    void sceneChanged();
    // While a drag lasts the view draws a draft of half the size, scaled up to fill it.
    void setDragging(bool dragging);
    // Draws now if the scene changed since the last drawing (as a paint would).
    void refresh();

    const QImage& picture() const { return m_picture; }
    QString problem() const { return m_problem; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const TextScene& m_scene;
    std::function<TextRenderer&()> m_renderer;
    QImage m_picture;
    QString m_problem;
    bool m_stale = true;
    bool m_dragging = false;
    bool m_reduced = false; // the picture shown is a reduced one
};
