// SPDX-License-Identifier: MIT
#include "Templates.h"

#include "batch/ProjectTemplate.h"
#include "steps/BackgroundStep.h"
#include "steps/CanvasSizeStep.h"
#include "steps/OverlayStep.h"
#include "steps/ShapeStep.h"
#include "steps/StepUnit.h"
#include "steps/Text2DStep.h"

#include <QPainter>

namespace {

// What stands in for the photo until one is chosen: a grey picture saying so.
QImage placeholderPicture() {
    QImage picture(1000, 1000, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(200, 204, 210));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 126, 134), 8, Qt::DashLine));
    painter.drawRect(QRectF(picture.rect()).adjusted(20, 20, -20, -20));
    QFont font("Liberation Sans");
    font.setPixelSize(90);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Your photo"));
    return picture;
}

// Builds one template step by step, each made by its kind's own replay as a window's "Ok" makes it.
class TemplateBuilder {
public:
    explicit TemplateBuilder(QSize canvas, QColor colour = Qt::white) {
        BackgroundSettings background;
        background.size = canvas;
        background.interior.kind = BrushKind::Solid;
        background.interior.colour = colour;
        background.border.brush.kind = BrushKind::None;
        add<BackgroundStep>(QStringLiteral("Create background"), background);
    }

    // The photo's place: the whole picture as it stands now.
    TemplateBuilder& photo() {
        static const ResourcePointer placeholder =
            StepResource::fromPicture(placeholderPicture(), QStringLiteral("Your photo.png"));
        OverlaySettings settings;
        settings.kind = OverlaySettings::Kind::ImageAbove;
        settings.background = {PictureOrigin::document(), {}, {}};
        settings.backgroundSize = m_state.controlSize;
        settings.overlay = {PictureOrigin::fromResource(placeholder), {}, {}};
        const QRectF area(QPointF(), m_state.controlSize);
        settings.placement.box = project_template::coverBox(placeholder->picture().size(), area);
        settings.placeholder = area;
        settings.proportional = false; // the box has the picture's proportions; fitting would not enlarge
        return add<OverlayStep>(OverlayStep::stepName(settings.kind), settings);
    }

    TemplateBuilder& canvas(QSize size, CanvasAnchor anchor, QColor fill) {
        return add<CanvasSizeStep>(QStringLiteral("Canvas size"), {size, anchor, fill});
    }

    // Words laid into `box`; outlined: the white caption with a black outline.
    TemplateBuilder& text(const QString& words, const QRectF& box, int pixelSize, const QString& family,
                          QColor colour, double outline = 0) {
        Text2DSettings settings;
        settings.text = words;
        settings.font = QFont(family);
        settings.font.setPixelSize(pixelSize);
        settings.font.setBold(outline > 0);
        settings.colour = colour;
        settings.style.outlineWidth = outline;
        settings.textBox.box = box;
        settings.frame = box;
        return add<Text2DStep>(QStringLiteral("Add 2D text"), settings);
    }

    TemplateBuilder& outline(const QRectF& box, QColor colour, double thickness) {
        ShapeSettings settings;
        settings.figure = ShapeFigure::Rectangle;
        settings.placement.box = box;
        settings.fill.kind = BrushKind::None;
        settings.stroke.brush.kind = BrushKind::Solid;
        settings.stroke.brush.colour = colour;
        settings.stroke.thickness = thickness;
        return add<ShapeStep>(ShapeStep::stepName(settings.figure), settings);
    }

    ShippedTemplate finished(const QString& fileName) const { return {fileName, m_steps, m_state.picture}; }

private:
    template <class Kind> TemplateBuilder& add(const QString& name, const typename Kind::Settings& settings) {
        const DocumentChange change = madeStep<Kind>(m_state, settings);
        m_state.picture = change.newPicture();
        m_state.controlSize = change.controlSize().value_or(QSizeF(m_state.picture.size()));
        m_steps.append({name, change.recipe()});
        return *this;
    }

    PictureState m_state{QImage(), QSizeF()};
    QList<ProjectStep> m_steps;
};

} // namespace

QList<ShippedTemplate> shippedTemplates() {
    const QString caption = QStringLiteral("Impact");
    const QString serif = QStringLiteral("Liberation Serif");
    const QColor cream(250, 246, 238);
    return {
        TemplateBuilder({1500, 1620})
            .photo()
            .canvas({1500, 2100}, CanvasAnchor::Top, cream)
            .text(QStringLiteral("Happy birthday!"), {100, 1700, 1300, 320}, 150, serif, QColor(120, 40, 60))
            .finished(QStringLiteral("greeting-card-portrait.lumora")),
        TemplateBuilder({2100, 1140})
            .photo()
            .canvas({2100, 1500}, CanvasAnchor::Top, cream)
            .text(QStringLiteral("Happy birthday!"), {150, 1190, 1800, 260}, 150, serif, QColor(120, 40, 60))
            .finished(QStringLiteral("greeting-card-landscape.lumora")),
        TemplateBuilder({1080, 1080}, Qt::black)
            .photo()
            .text(QStringLiteral("TOP TEXT"), {40, 30, 1000, 180}, 120, caption, Qt::white, 8)
            .text(QStringLiteral("BOTTOM TEXT"), {40, 870, 1000, 180}, 120, caption, Qt::white, 8)
            .finished(QStringLiteral("meme.lumora")),
        TemplateBuilder({1080, 1080}).photo().finished(QStringLiteral("square-post.lumora")),
        TemplateBuilder({1080, 1350}).photo().finished(QStringLiteral("portrait-post.lumora")),
        TemplateBuilder({1080, 1920}).photo().finished(QStringLiteral("story.lumora")),
        TemplateBuilder({1280, 720})
            .photo()
            .text(QStringLiteral("Your title"), {60, 470, 1160, 200}, 140, caption, Qt::white, 8)
            .finished(QStringLiteral("video-thumbnail.lumora")),
        TemplateBuilder({2124, 3152})
            .photo()
            .outline({0, 0, 2124, 3152}, QColor(40, 40, 40), 12)
            .canvas({2480, 3508}, CanvasAnchor::Centre, Qt::white)
            .finished(QStringLiteral("framed-print.lumora")),
    };
}
