// SPDX-License-Identifier: MIT
#include "text3d/TextSceneView.h"

#include "base/UserError.h"
#include "text3d/TextRenderer.h"

#include <QPainter>

namespace {
// While dragging, the view draws a draft of this share of its width and height.
constexpr double draggingScale = 0.5;
} // namespace

TextSceneView::TextSceneView(const TextScene& scene, std::function<TextRenderer&()> renderer, QWidget* parent)
    : QWidget(parent)
    , m_scene(scene)
    , m_renderer(std::move(renderer)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextSceneView::sceneChanged() {
    m_stale = true;
    update();
}

void TextSceneView::setDragging(bool dragging) {
    if (m_dragging == dragging)
        return;
    m_dragging = dragging;
    if (!dragging && m_reduced)
        sceneChanged();
}

void TextSceneView::refresh() {
    if (!m_stale)
        return;
    m_stale = false;
    const QSize full = size();
    const QSize drawn = m_dragging ? (QSizeF(full) * draggingScale).toSize().expandedTo(QSize(1, 1)) : full;
    try {
        m_picture = m_renderer().render(m_scene, drawn, Qt::white,
                                        m_dragging ? RenderQuality::Draft : RenderQuality::Final);
        m_reduced = drawn != full;
        m_problem.clear();
    } catch (const UserError& error) {
        m_picture = QImage();
        m_problem = error.message();
    }
}

void TextSceneView::paintEvent(QPaintEvent*) {
    refresh();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_reduced);
        painter.drawImage(QRect(QPoint(0, 0), size()), m_picture);
    }
    if (!m_problem.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap, m_problem);
    }
}

void TextSceneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    sceneChanged();
}
