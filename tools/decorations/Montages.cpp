// SPDX-License-Identifier: MIT
// Montage templates: opaque scenes with fully transparent windows where the photo shows through. Windows
// are collected while drawing and cleared last, so shadows and ornaments never spill into them.
#include "Designs.h"
#include "DrawingKit.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

using namespace kit;

namespace {

QPainterPath rectPath(const QRectF& rect, qreal radius = 0) {
    QPainterPath path;
    radius > 0 ? path.addRoundedRect(rect, radius, radius) : path.addRect(rect);
    return path;
}

QPainterPath rotated(const QPainterPath& path, qreal angle) {
    const QPointF c = path.boundingRect().center();
    return QTransform().translate(c.x(), c.y()).rotate(angle).translate(-c.x(), -c.y()).map(path);
}

void verticalGradient(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom) {
    QLinearGradient g(area.topLeft(), area.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(area, g);
}

// Everything punched at the end, after the scene is complete.
class Windows {
public:
    void add(const QPainterPath& window) { m_path.addPath(window); }
    void punchInto(QImage& canvas) {
        Painter p(&canvas);
        m_path.setFillRule(Qt::WindingFill);
        punch(p, m_path);
    }

private:
    QPainterPath m_path;
};

// Finishes a scene: a touch of grain against banding in its broad gradients, then the windows.
void finish(QImage& canvas, Windows& windows, std::uint32_t seed) {
    dither(canvas, seed);
    windows.punchInto(canvas);
}

// A printed photo: paper border with a shadow, the window inside, optionally turned.
void photoPrint(QPainter& p, Windows& windows, const QRectF& outer, qreal border, qreal angle, qreal u,
                qreal bottomExtra = 0, const QColor& paper = QColor(252, 251, 247)) {
    const QPainterPath card = rotated(rectPath(outer), angle);
    softShadow(p, card, QPointF(0.6 * u, 1.2 * u), 1.6 * u, QColor(0, 0, 0, 120));
    p.fillPath(card, paper);
    const QRectF inner = outer.adjusted(border, border, -border, -border - bottomExtra);
    const QPointF c = outer.center();
    windows.add(
        QTransform().translate(c.x(), c.y()).rotate(angle).translate(-c.x(), -c.y()).map(rectPath(inner)));
}

void glossyBall(QPainter& p, QPointF c, qreal r, const QColor& color) {
    QRadialGradient g(c, r, c - QPointF(r, r) * 0.35);
    g.setColorAt(0, color.lighter(170));
    g.setColorAt(0.5, color);
    g.setColorAt(1, color.darker(200));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void drawText(QPainter& p, const QString& text, QPointF at, qreal size, const QColor& color, bool bold = true,
              bool centred = true) {
    QPainterPath path = textPath(text, size, bold);
    const QRectF box = path.boundingRect();
    path.translate(at - (centred ? QPointF(box.center().x(), 0) : QPointF(box.left(), 0)));
    p.fillPath(path, color);
}

// Grey bars standing in for lines of small print.
void textLines(QPainter& p, const QRectF& area, qreal lineHeight, const QColor& color, Random& random) {
    for (qreal y = area.top(); y + lineHeight * 0.5 < area.bottom(); y += lineHeight) {
        const qreal w = area.width() *
                        (y + lineHeight * 2 > area.bottom() ? random.real(0.3, 0.6) : random.real(0.85, 1.0));
        p.fillRect(QRectF(area.left(), y, w, lineHeight * 0.45), color);
    }
}

void frameMoulding(QPainter& p, Windows& windows, const QRectF& outer, qreal width,
                   const QGradientStops& profile, qreal u, qreal mat = 0) {
    softShadow(p, rectPath(outer), QPointF(0.8 * u, 1.4 * u), 1.6 * u, QColor(0, 0, 0, 130));
    moulding(p, outer, width, profile);
    QRectF inner = inset(outer, width);
    if (mat > 0) {
        p.fillRect(inner, QColor(248, 245, 236));
        moulding(p, inset(inner, mat - 0.5 * u), 0.5 * u,
                 {{0, QColor(255, 255, 255)}, {1, QColor(220, 214, 200)}});
        inner = inset(inner, mat);
    }
    windows.add(rectPath(inner));
}

QGradientStops stops(std::initializer_list<std::pair<double, QColor>> list) {
    QGradientStops result;
    for (const auto& [at, color] : list)
        result.append({at, color});
    return result;
}

const QGradientStops gold = stops({{0, QColor(110, 74, 16)},
                                   {0.2, QColor(240, 200, 100)},
                                   {0.4, QColor(180, 130, 40)},
                                   {0.65, QColor(255, 236, 160)},
                                   {1, QColor(120, 80, 20)}});
const QGradientStops darkWood = stops(
    {{0, QColor(40, 22, 10)}, {0.3, QColor(110, 66, 32)}, {0.7, QColor(80, 46, 20)}, {1, QColor(36, 20, 8)}});
const QGradientStops whiteWood = stops({{0, QColor(180, 176, 168)},
                                        {0.3, QColor(252, 250, 246)},
                                        {0.8, QColor(230, 226, 218)},
                                        {1, QColor(160, 156, 148)}});

// --- the templates ----------------------------------------------------------------------------------

void billboard(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(1);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(60, 130, 210), QColor(250, 200, 150));
    for (int i = 0; i < 14; ++i)
        ellipticGlow(p, QPointF(random.real(0, all.width()), random.real(0.05, 0.4) * all.height()),
                     random.real(10, 25) * u, random.real(3, 6) * u, 0, QColor(255, 255, 255, 140));
    // City silhouette along the horizon.
    for (qreal x = 0; x < all.width(); x += random.real(4, 9) * u) {
        const qreal h = random.real(8, 24) * u;
        p.fillRect(QRectF(x, all.height() * 0.82 - h, random.real(4, 9) * u, h + all.height()),
                   QColor(50, 56, 80));
    }
    p.fillRect(QRectF(0, all.height() * 0.82, all.width(), all.height()), QColor(40, 44, 60));
    const QRectF board(all.width() * 0.1, all.height() * 0.08, all.width() * 0.8, all.height() * 0.58);
    for (qreal x : {0.3, 0.7})
        p.fillRect(QRectF(board.left() + board.width() * x - 1.5 * u, board.bottom(), 3 * u, all.height()),
                   QColor(70, 74, 84));
    p.fillRect(QRectF(board.left() - u, board.bottom() + 2 * u, board.width() + 2 * u, 1.6 * u),
               QColor(90, 94, 104));
    frameMoulding(p, windows, board, 2.4 * u,
                  stops({{0, QColor(60, 62, 70)}, {0.5, QColor(180, 184, 190)}, {1, QColor(60, 62, 70)}}), u);
    for (int i = 0; i < 4; ++i) {
        const QPointF lamp(board.left() + board.width() * (0.15 + i * 0.233), board.top() - 2.5 * u);
        p.fillRect(QRectF(lamp.x() - 0.3 * u, lamp.y(), 0.6 * u, 2.5 * u), QColor(50, 50, 56));
        glossyBall(p, lamp, 1.2 * u, QColor(240, 240, 220));
    }
    p.end();
    finish(canvas, windows, 1);
}

void photoAlbum(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QImage leather = paperTexture(canvas.size(), QColor(96, 36, 30), 26, 3);
    Painter p(&canvas);
    p.drawImage(0, 0, leather);
    const QRectF book = inset(all, 5 * u);
    softShadow(p, rectPath(book, 2 * u), QPointF(u, 2 * u), 2.5 * u, QColor(0, 0, 0, 170));
    const QImage paper = paperTexture(book.size().toSize(), QColor(246, 240, 224), 10, 33);
    p.drawImage(book.topLeft(), paper);
    // Pages curve into the spine: darken towards the middle.
    QLinearGradient spine(book.left(), 0, book.right(), 0);
    spine.setColorAt(0, QColor(0, 0, 0, 40));
    spine.setColorAt(0.1, QColor(0, 0, 0, 0));
    spine.setColorAt(0.46, QColor(0, 0, 0, 20));
    spine.setColorAt(0.5, QColor(0, 0, 0, 110));
    spine.setColorAt(0.54, QColor(0, 0, 0, 20));
    spine.setColorAt(0.9, QColor(0, 0, 0, 0));
    spine.setColorAt(1, QColor(0, 0, 0, 40));
    p.fillRect(book, spine);
    const qreal half = book.width() / 2;
    const QRectF left(book.left() + half * 0.12, book.top() + book.height() * 0.14, half * 0.76,
                      book.height() * 0.7);
    const QRectF right = left.translated(half, 0);
    QPainterPath photoCorners;
    for (const auto& [rect, angle] : {std::pair{left, -3.0}, std::pair{right, 2.5}}) {
        photoPrint(p, windows, rect, 1.4 * u, angle, u);
        // Black photo corners holding the print.
        const QPainterPath card = rotated(rectPath(rect), angle);
        const QPolygonF corners = card.toFillPolygon();
        for (int i = 0; i < 4; ++i) {
            const QPointF c = corners[i], next = corners[(i + 1) % 4], prev = corners[(i + 3) % 4];
            const QPointF a = c + (next - c) / QLineF(c, next).length() * 5 * u;
            const QPointF b = c + (prev - c) / QLineF(c, prev).length() * 5 * u;
            QPainterPath corner;
            corner.moveTo(c);
            corner.lineTo(a);
            corner.lineTo(b);
            corner.closeSubpath();
            photoCorners.addPath(corner);
        }
    }
    p.end();
    finish(canvas, windows, 3);
    // The black corners hold the print from the front, so they go on after the windows are cleared.
    Painter front(&canvas);
    front.fillPath(photoCorners, QColor(30, 26, 24));
}

void filmDiagonal(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(2);
    Windows windows;
    Painter p(&canvas);
    QRadialGradient bg(all.center(), all.width() * 0.7);
    bg.setColorAt(0, QColor(70, 60, 80));
    bg.setColorAt(1, QColor(16, 12, 22));
    p.fillRect(all, bg);
    for (int i = 0; i < 30; ++i)
        glow(p, QPointF(random.real(0, all.width()), random.real(0, all.height())), random.real(3, 9) * u,
             QColor(255, 200, 120, 40));
    p.translate(all.center());
    p.rotate(-12);
    const qreal length = all.width() * 1.3, height = 42 * u;
    const QRectF strip(-length / 2, -height / 2, length, height);
    softShadow(p, rectPath(strip), QPointF(0, 2 * u), 3 * u, QColor(0, 0, 0, 200));
    p.fillRect(strip, QColor(20, 18, 16));
    for (qreal x = strip.left(); x < strip.right(); x += 6 * u) {
        p.fillRect(QRectF(x, strip.top() + 2 * u, 3 * u, 3.6 * u), QColor(210, 206, 196));
        p.fillRect(QRectF(x, strip.bottom() - 5.6 * u, 3 * u, 3.6 * u), QColor(210, 206, 196));
    }
    QTransform toCanvas = p.transform();
    for (int i = -1; i <= 1; ++i) {
        const QRectF frame(i * 46 * u - 21 * u, strip.top() + 8 * u, 42 * u, height - 16 * u);
        windows.add(toCanvas.map(rectPath(frame, 0.8 * u)));
    }
    p.end();
    finish(canvas, windows, 2);
}

void laptop(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QImage wood = woodTexture(canvas.size(), QColor(200, 150, 100), QColor(130, 84, 48), 4, true);
    Painter p(&canvas);
    verticalGradient(p, all, QColor(230, 232, 236), QColor(200, 204, 212));
    p.drawImage(QRectF(0, all.height() * 0.7, all.width(), all.height() * 0.3), wood,
                QRectF(0, 0, wood.width(), wood.height() * 0.3));
    const QRectF lid(all.width() * 0.18, all.height() * 0.1, all.width() * 0.64, all.height() * 0.62);
    softShadow(p, rectPath(lid, 2 * u), QPointF(0, u), 2 * u, QColor(0, 0, 0, 120));
    p.fillPath(rectPath(lid, 2 * u), QColor(34, 36, 40));
    p.setPen(QPen(QColor(120, 124, 130), 0.3 * u));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rectPath(inset(lid, 0.2 * u), 2 * u));
    glossyBall(p, QPointF(lid.center().x(), lid.top() + 1.6 * u), 0.5 * u, QColor(60, 70, 80));
    QPolygonF base({QPointF(lid.left() - 6 * u, all.height() * 0.79),
                    QPointF(lid.right() + 6 * u, all.height() * 0.79), QPointF(lid.right(), lid.bottom()),
                    QPointF(lid.left(), lid.bottom())});
    QPainterPath basePath;
    basePath.addPolygon(base);
    basePath.closeSubpath();
    softShadow(p, basePath, QPointF(0, 1.5 * u), 1.5 * u, QColor(0, 0, 0, 140));
    QLinearGradient metal(0, lid.bottom(), 0, all.height() * 0.79);
    metal.setColorAt(0, QColor(190, 194, 200));
    metal.setColorAt(1, QColor(150, 154, 160));
    p.fillPath(basePath, metal);
    p.fillRect(QRectF(lid.left() - 6 * u, all.height() * 0.79, lid.width() + 12 * u, 1.2 * u),
               QColor(110, 114, 120));
    p.fillRect(QRectF(lid.center().x() - 7 * u, all.height() * 0.768, 14 * u, 1.2 * u),
               QColor(170, 174, 180));
    // Coffee mug for a lived-in desk.
    const QRectF mug(all.width() * 0.86, all.height() * 0.62, 9 * u, 12 * u);
    softShadow(p, rectPath(mug, u), QPointF(u, u), u, QColor(0, 0, 0, 120));
    QLinearGradient cup(mug.topLeft(), mug.topRight());
    cup.setColorAt(0, QColor(200, 60, 50));
    cup.setColorAt(0.4, QColor(240, 110, 90));
    cup.setColorAt(1, QColor(150, 40, 30));
    p.fillPath(rectPath(mug, u), cup);
    p.setPen(QPen(QColor(170, 50, 40), 1.4 * u));
    p.drawArc(QRectF(mug.right() - 2.5 * u, mug.top() + 3 * u, 5 * u, 5 * u), -90 * 16, 180 * 16);
    windows.add(rectPath(lid.adjusted(2 * u, 3 * u, -2 * u, -3 * u)));
    p.end();
    finish(canvas, windows, 4);
}

void twoHearts(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(5);
    Windows windows;
    Painter p(&canvas);
    QRadialGradient bg(all.center(), all.width() * 0.7);
    bg.setColorAt(0, QColor(255, 200, 215));
    bg.setColorAt(1, QColor(220, 70, 110));
    p.fillRect(all, bg);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int i = 0; i < 40; ++i)
        glow(p, QPointF(random.real(0, all.width()), random.real(0, all.height())), random.real(3, 9) * u,
             QColor(255, 230, 240, 70));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int i = 0; i < 26; ++i) {
        const qreal s = random.real(3, 7) * u;
        const QPointF c(random.real(0, all.width()), random.real(0, all.height()));
        p.fillPath(heartPath(QRectF(c.x(), c.y(), s, s * 0.9)),
                   QColor(255, 255, 255, random.integer(60, 140)));
    }
    const QRectF boxes[] = {QRectF(all.width() * 0.1, all.height() * 0.14, 46 * u, 42 * u),
                            QRectF(all.width() * 0.5, all.height() * 0.26, 46 * u, 42 * u)};
    for (const QRectF& box : boxes) {
        const QPainterPath rim = heartPath(inset(box, -2.2 * u));
        softShadow(p, rim, QPointF(u, 1.5 * u), 2 * u, QColor(120, 0, 40, 150));
        p.fillPath(rim, QColor(255, 250, 252));
        windows.add(heartPath(box));
    }
    p.end();
    finish(canvas, windows, 5);
}

void foldedCard(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(226, 236, 244), QColor(180, 200, 220));
    // Left panel turned away in perspective, right panel facing us with the photo.
    const qreal top = 10 * u, bottom = all.height() - 10 * u, fold = all.width() * 0.5;
    QPainterPath leftPanel;
    leftPanel.addPolygon(QPolygonF({QPointF(fold, top), QPointF(fold - 40 * u, top + 6 * u),
                                    QPointF(fold - 40 * u, bottom - 6 * u), QPointF(fold, bottom)}));
    leftPanel.closeSubpath();
    const QPainterPath rightPanel = rectPath(QRectF(fold, top, 42 * u, bottom - top));
    softShadow(p, leftPanel.united(rightPanel), QPointF(u, 2 * u), 2.5 * u, QColor(0, 0, 0, 150));
    QLinearGradient shade(fold - 40 * u, 0, fold, 0);
    shade.setColorAt(0, QColor(250, 244, 236));
    shade.setColorAt(1, QColor(214, 204, 196));
    p.fillPath(leftPanel, shade);
    p.fillPath(rightPanel, QColor(252, 248, 242));
    p.setPen(QPen(QColor(200, 60, 80, 200), 0.6 * u));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rectPath(QRectF(fold + 3 * u, top + 3 * u, 36 * u, bottom - top - 6 * u)));
    drawText(p, QStringLiteral("with love"), QPointF(fold + 21 * u, bottom - 6 * u), 5 * u,
             QColor(190, 50, 80), false);
    for (int i = 0; i < 3; ++i)
        p.fillPath(heartPath(QRectF(fold - 26 * u + i * 7 * u, all.height() * 0.45 + (i % 2) * 4 * u, 6 * u,
                                    5.4 * u)),
                   QColor(220, 70, 100, 200));
    windows.add(rectPath(QRectF(fold + 6 * u, top + 6 * u, 30 * u, (bottom - top) * 0.68)));
    p.end();
    finish(canvas, windows, 6);
}

void identityCard(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(7);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(70, 80, 96), QColor(40, 46, 58));
    const QRectF card = inset(all, 7 * u);
    softShadow(p, rectPath(card, 4 * u), QPointF(u, 2 * u), 2.5 * u, QColor(0, 0, 0, 170));
    QLinearGradient face(card.topLeft(), card.bottomRight());
    face.setColorAt(0, QColor(236, 244, 250));
    face.setColorAt(0.5, QColor(214, 232, 240));
    face.setColorAt(1, QColor(236, 226, 244));
    p.fillPath(rectPath(card, 4 * u), face);
    // Security guilloche: fine wavy lines across the card.
    p.save();
    p.setClipPath(rectPath(card, 4 * u));
    p.setPen(QPen(QColor(120, 160, 200, 60), 0.15 * u));
    for (int k = 0; k < 40; ++k) {
        QPainterPath wave;
        for (int i = 0; i <= 100; ++i) {
            const qreal x = card.left() + card.width() * i / 100.0;
            const qreal y = card.top() + k * 2.2 * u + std::sin(i * 0.25 + k * 0.4) * 1.5 * u;
            i == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
        }
        p.drawPath(wave);
    }
    const QRectF header(card.left(), card.top(), card.width(), 13 * u);
    QLinearGradient band(header.topLeft(), header.topRight());
    band.setColorAt(0, QColor(20, 70, 140));
    band.setColorAt(1, QColor(40, 120, 180));
    p.fillRect(header, band);
    p.restore();
    drawText(p, QStringLiteral("IDENTITY CARD"), QPointF(card.center().x(), card.top() + 9 * u), 6.5 * u,
             Qt::white);
    const QRectF photo(card.left() + 5 * u, card.top() + 18 * u, 30 * u, card.bottom() - card.top() - 24 * u);
    p.fillRect(inset(photo, -0.6 * u), QColor(255, 255, 255));
    windows.add(rectPath(photo));
    Random lines(7);
    const QRectF fields(photo.right() + 6 * u, photo.top() + 2 * u, card.right() - photo.right() - 12 * u,
                        44 * u);
    const QString labels[] = {QStringLiteral("NAME"), QStringLiteral("DATE OF BIRTH"),
                              QStringLiteral("NATIONALITY"), QStringLiteral("EXPIRES")};
    for (int i = 0; i < 4; ++i) {
        const qreal y = fields.top() + i * 11 * u;
        drawText(p, labels[i], QPointF(fields.left(), y + 2.5 * u), 2.6 * u, QColor(60, 90, 130), true,
                 false);
        p.fillRect(QRectF(fields.left(), y + 4 * u, fields.width() * lines.real(0.5, 0.9), 3 * u),
                   QColor(50, 60, 80, 170));
    }
    // Chip and signature.
    const QRectF chip(card.right() - 20 * u, card.bottom() - 22 * u, 12 * u, 9 * u);
    QLinearGradient chipGold(chip.topLeft(), chip.bottomRight());
    chipGold.setColorAt(0, QColor(250, 220, 130));
    chipGold.setColorAt(1, QColor(180, 130, 40));
    p.fillPath(rectPath(chip, 1.5 * u), chipGold);
    p.setPen(QPen(QColor(140, 100, 30), 0.3 * u));
    p.drawLine(chip.center() - QPointF(6 * u, 0), chip.center() + QPointF(6 * u, 0));
    p.drawLine(chip.center() - QPointF(0, 4.5 * u), chip.center() + QPointF(0, 4.5 * u));
    QPainterPath signature;
    signature.moveTo(fields.left(), card.bottom() - 9 * u);
    for (int i = 0; i < 5; ++i)
        signature.cubicTo(fields.left() + (i * 5 + 2) * u, card.bottom() - (14 - random.real(0, 3)) * u,
                          fields.left() + (i * 5 + 3) * u, card.bottom() - 5 * u,
                          fields.left() + (i * 5 + 5) * u, card.bottom() - 9 * u);
    p.setPen(QPen(QColor(20, 40, 120), 0.5 * u, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(signature);
    p.end();
    finish(canvas, windows, 7);
}

void woodWall(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QImage wood = woodTexture(canvas.size(), QColor(196, 150, 104), QColor(140, 96, 60), 8, true);
    Painter p(&canvas);
    p.drawImage(0, 0, wood);
    for (qreal y = 0; y < all.height(); y += 12 * u)
        p.fillRect(QRectF(0, y, all.width(), 0.4 * u), QColor(70, 40, 20, 140));
    struct Hung {
        QRectF rect;
        QGradientStops profile;
    };
    const Hung frames[] = {{QRectF(8 * u, 22 * u, 34 * u, 44 * u), darkWood},
                           {QRectF(all.width() / 2 - 22 * u, 12 * u, 44 * u, 58 * u), gold},
                           {QRectF(all.width() - 42 * u, 26 * u, 34 * u, 34 * u), whiteWood}};
    for (const Hung& frame : frames) {
        const QPointF nail(frame.rect.center().x(), frame.rect.top() - 8 * u);
        p.setPen(QPen(QColor(60, 50, 40), 0.3 * u));
        p.drawLine(nail, frame.rect.topLeft() + QPointF(frame.rect.width() * 0.2, 2 * u));
        p.drawLine(nail, frame.rect.topRight() + QPointF(-frame.rect.width() * 0.2, 2 * u));
        glossyBall(p, nail, 0.8 * u, QColor(120, 120, 120));
        frameMoulding(p, windows, frame.rect, 3 * u, frame.profile, u, frame.profile == gold ? 4 * u : 0);
    }
    p.end();
    finish(canvas, windows, 8);
}

void corkboard(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const Noise noise(9);
    QImage cork = fieldImage(canvas.size(), [&](double x, double y) {
        const double n = noise.fractal(x * 0.15, y * 0.15, 3);
        const double speck = noise.at(x * 0.9, y * 0.9);
        return mix(QColor(196, 146, 92), QColor(120, 78, 40), n * 0.6 + (speck > 0.8 ? 0.5 : 0));
    });
    Painter p(&canvas);
    p.drawImage(0, 0, cork);
    moulding(p, all, 4 * u, darkWood);
    const QRectF prints[] = {QRectF(10 * u, 12 * u, 36 * u, 42 * u),
                             QRectF(all.width() / 2 - 16 * u, 30 * u, 36 * u, 42 * u),
                             QRectF(all.width() - 48 * u, 14 * u, 36 * u, 42 * u)};
    const qreal angles[] = {-6, 4, -3};
    const QColor pins[] = {QColor(220, 40, 40), QColor(40, 120, 220), QColor(40, 180, 80)};
    for (int i = 0; i < 3; ++i) {
        photoPrint(p, windows, prints[i], 2 * u, angles[i], u, 8 * u);
        const QPointF pin = QTransform()
                                .translate(prints[i].center().x(), prints[i].center().y())
                                .rotate(angles[i])
                                .map(QPointF(0, -prints[i].height() / 2 + 1 * u));
        softShadow(p, rectPath(QRectF(pin.x() - 1.6 * u, pin.y() - 1.6 * u, 3.2 * u, 3.2 * u), 1.6 * u),
                   QPointF(0.8 * u, 1.2 * u), 0.6 * u, QColor(0, 0, 0, 130));
        glossyBall(p, pin, 1.8 * u, pins[i]);
    }
    // A note card for variety.
    const QPainterPath note =
        rotated(rectPath(QRectF(all.width() * 0.36, all.height() * 0.08, 18 * u, 14 * u)), 5);
    softShadow(p, note, QPointF(0.5 * u, u), u, QColor(0, 0, 0, 100));
    p.fillPath(note, QColor(255, 240, 130));
    p.end();
    finish(canvas, windows, 9);
}

void cinema(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QSizeF size = canvas.size();
    // Velvet curtains: folds from a sine, lit from the top.
    QImage curtain = fieldImage(canvas.size(), [&](double x, double y) {
        const double fold = 0.5 + 0.5 * std::sin(x / (size.width() * 0.018));
        const double light = 1.0 - 0.4 * y / size.height();
        return mix(QColor(70, 0, 10), QColor(210, 30, 40), fold * light);
    });
    Painter p(&canvas);
    p.drawImage(0, 0, curtain);
    const QRectF screen(all.width() * 0.17, all.height() * 0.12, all.width() * 0.66, all.height() * 0.56);
    QPainterPath valance;
    valance.moveTo(0, 0);
    valance.lineTo(all.width(), 0);
    valance.lineTo(all.width(), 7 * u);
    for (int i = 10; i >= 0; --i)
        valance.quadTo(all.width() * (i + 0.5) / 10, 13 * u, all.width() * i / 10, 7 * u);
    valance.closeSubpath();
    p.fillRect(
        QRectF(screen.left() - 2 * u, screen.top() - 2 * u, screen.width() + 4 * u, screen.height() + 4 * u),
        QColor(10, 8, 10));
    softShadow(p, valance, QPointF(0, u), 1.5 * u, QColor(0, 0, 0, 160));
    QLinearGradient val(0, 0, 0, 13 * u);
    val.setColorAt(0, QColor(150, 10, 20));
    val.setColorAt(1, QColor(100, 0, 10));
    p.fillPath(valance, val);
    p.setPen(QPen(QColor(230, 180, 60), 0.8 * u));
    p.drawLine(QPointF(0, 6.5 * u), QPointF(all.width(), 6.5 * u));
    // Rows of seats with heads in silhouette.
    QLinearGradient floor(0, all.height() * 0.74, 0, all.height());
    floor.setColorAt(0, QColor(30, 6, 10));
    floor.setColorAt(1, QColor(8, 2, 4));
    p.fillRect(QRectF(0, all.height() * 0.74, all.width(), all.height() * 0.26), floor);
    for (int row = 0; row < 2; ++row)
        for (qreal x = (row ? 3 : 0) * u; x < all.width(); x += 7 * u) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(4, 2, 4));
            p.drawEllipse(QPointF(x, all.height() * (0.86 + row * 0.07)), 2.4 * u, 3 * u);
            p.drawRoundedRect(QRectF(x - 3.4 * u, all.height() * (0.89 + row * 0.07), 6.8 * u, 10 * u), u, u);
        }
    windows.add(rectPath(screen));
    p.end();
    finish(canvas, windows, 10);
}

void smartphone(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(11);
    Windows windows;
    Painter p(&canvas);
    QLinearGradient bg(all.topLeft(), all.bottomRight());
    bg.setColorAt(0, QColor(255, 180, 120));
    bg.setColorAt(1, QColor(200, 80, 160));
    p.fillRect(all, bg);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int i = 0; i < 20; ++i)
        glow(p, QPointF(random.real(0, all.width()), random.real(0, all.height())), random.real(5, 14) * u,
             QColor(255, 230, 200, 50));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.translate(all.center());
    p.rotate(-8);
    const QRectF body(-60 * u, -34 * u, 120 * u, 68 * u);
    softShadow(p, rectPath(body, 9 * u), QPointF(2 * u, 3 * u), 3 * u, QColor(0, 0, 0, 160));
    QLinearGradient frame(body.topLeft(), body.bottomLeft());
    frame.setColorAt(0, QColor(90, 94, 104));
    frame.setColorAt(1, QColor(30, 32, 38));
    p.fillPath(rectPath(body, 9 * u), frame);
    p.fillPath(rectPath(inset(body, 0.6 * u), 8.4 * u), QColor(12, 12, 14));
    glossyBall(p, QPointF(body.left() + 4 * u, 0), 1.1 * u, QColor(40, 50, 70));
    const QRectF screen = body.adjusted(8 * u, 3 * u, -3 * u, -3 * u);
    windows.add(p.transform().map(rectPath(screen, 5 * u)));
    p.end();
    finish(canvas, windows, 11);
}

void magazine(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(12);
    Windows windows;
    const QImage table = woodTexture(canvas.size(), QColor(120, 80, 50), QColor(70, 40, 20), 12, true);
    Painter p(&canvas);
    p.drawImage(0, 0, table);
    const QRectF cover(all.width() / 2 - 36 * u, 5 * u, 72 * u, 90 * u);
    // A second magazine underneath, slightly turned.
    const QPainterPath under = rotated(rectPath(cover.translated(-20 * u, 2 * u)), -9);
    softShadow(p, under, QPointF(u, 1.5 * u), 2 * u, QColor(0, 0, 0, 150));
    p.fillPath(under, QColor(60, 140, 180));
    softShadow(p, rectPath(cover), QPointF(u, 1.5 * u), 2 * u, QColor(0, 0, 0, 170));
    p.fillRect(cover, QColor(250, 250, 250));
    windows.add(rectPath(cover.adjusted(2 * u, 16 * u, -2 * u, -14 * u)));
    drawText(p, QStringLiteral("LUMINA"), QPointF(cover.center().x(), cover.top() + 13 * u), 13 * u,
             QColor(200, 20, 50));
    drawText(p, QStringLiteral("SUMMER SPECIAL · 2024"), QPointF(cover.center().x(), cover.top() + 15.2 * u),
             2 * u, QColor(40, 40, 40), false);
    textLines(p, QRectF(cover.left() + 3 * u, cover.bottom() - 12 * u, cover.width() * 0.55, 10 * u), 2.6 * u,
              QColor(40, 40, 40, 200), random);
    p.fillRect(QRectF(cover.right() - 16 * u, cover.bottom() - 11 * u, 13 * u, 8 * u), QColor(255, 210, 40));
    drawText(p, QStringLiteral("NEW!"), QPointF(cover.right() - 9.5 * u, cover.bottom() - 5 * u), 3.6 * u,
             QColor(200, 20, 50));
    p.end();
    finish(canvas, windows, 12);
}

void galleryWall(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(236, 226, 210), QColor(210, 196, 176));
    const QRectF floor(0, all.height() * 0.84, all.width(), all.height() * 0.16);
    verticalGradient(p, floor, QColor(120, 84, 54), QColor(80, 54, 34));
    p.fillRect(QRectF(0, floor.top() - 1.5 * u, all.width(), 1.5 * u), QColor(250, 246, 240));
    const QRectF frames[] = {QRectF(9 * u, 18 * u, 52 * u, 40 * u),
                             QRectF(all.width() - 61 * u, 18 * u, 52 * u, 40 * u)};
    for (const QRectF& frame : frames) {
        // Spotlight from above, falling on the wall.
        QRadialGradient light(QPointF(frame.center().x(), frame.top()), 45 * u);
        light.setColorAt(0, QColor(255, 250, 230, 150));
        light.setColorAt(1, QColor(255, 250, 230, 0));
        p.fillRect(QRectF(frame.center().x() - 45 * u, 0, 90 * u, floor.top()), light);
        p.fillRect(QRectF(frame.center().x() - 3 * u, 0, 6 * u, 3 * u), QColor(40, 40, 44));
        frameMoulding(p, windows, frame, 2.4 * u, darkWood, u, 5 * u);
        p.fillRect(QRectF(frame.center().x() - 4 * u, frame.bottom() + 3 * u, 8 * u, 2.4 * u),
                   QColor(250, 250, 248));
    }
    p.end();
    finish(canvas, windows, 13);
}

void filmReel(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(40, 40, 46), QColor(16, 16, 20));
    const QRectF strip(0, all.height() * 0.18, all.width(), all.height() * 0.64);
    softShadow(p, rectPath(strip), QPointF(0, 1.5 * u), 2 * u, QColor(0, 0, 0, 200));
    p.fillRect(strip, QColor(22, 18, 14));
    for (qreal x = 2 * u; x < all.width(); x += 7 * u) {
        p.fillPath(rectPath(QRectF(x, strip.top() + 2.5 * u, 3.6 * u, 4.2 * u), 0.6 * u),
                   QColor(220, 214, 200));
        p.fillPath(rectPath(QRectF(x, strip.bottom() - 6.7 * u, 3.6 * u, 4.2 * u), 0.6 * u),
                   QColor(220, 214, 200));
    }
    const qreal frameW = (all.width() - 10 * u) / 4;
    for (int i = 0; i < 4; ++i)
        windows.add(rectPath(
            QRectF(4 * u + i * frameW + u, strip.top() + 9 * u, frameW - 2 * u, strip.height() - 18 * u), u));
    for (int i = 0; i < 4; ++i)
        drawText(p, QString::number(21 + i) + QStringLiteral("A"),
                 QPointF(4 * u + (i + 0.5) * frameW, strip.bottom() - 0.8 * u), 2.2 * u,
                 QColor(230, 150, 40));
    p.end();
    finish(canvas, windows, 14);
}

void baubles(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(16);
    Windows windows;
    Painter p(&canvas);
    QRadialGradient bg(all.center(), all.width() * 0.7);
    bg.setColorAt(0, QColor(30, 110, 70));
    bg.setColorAt(1, QColor(8, 40, 24));
    p.fillRect(all, bg);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int i = 0; i < 60; ++i)
        glow(p, QPointF(random.real(0, all.width()), random.real(0, all.height())), random.real(1, 4) * u,
             QColor(255, 220, 140, 120));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Pine branches along the top.
    for (int i = 0; i < 160; ++i) {
        const QPointF base(random.real(-5, 105) * all.width() / 100, random.real(-3, 6) * u);
        const qreal a = qDegreesToRadians(random.real(40, 140));
        p.fillPath(leafPath(base, base + QPointF(std::cos(a), std::sin(a)) * random.real(6, 12) * u, 0.8 * u),
                   random.jitter(QColor(30, 90, 50), 20));
    }
    const struct {
        QPointF centre;
        qreal radius;
        QColor color;
    } balls[] = {{QPointF(0.2, 0.5), 17, QColor(200, 30, 40)},
                 {QPointF(0.5, 0.62), 22, QColor(220, 170, 40)},
                 {QPointF(0.8, 0.46), 17, QColor(40, 80, 200)}};
    for (const auto& ball : balls) {
        const QPointF c(ball.centre.x() * all.width(), ball.centre.y() * all.height());
        const qreal r = ball.radius * u;
        p.setPen(QPen(QColor(220, 190, 110), 0.4 * u));
        p.drawLine(QPointF(c.x(), 0), QPointF(c.x(), c.y() - r));
        softShadow(p, rectPath(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), r), QPointF(u, 2 * u), 2 * u,
                   QColor(0, 0, 0, 160));
        glossyBall(p, c, r, ball.color);
        const QRectF cap(c.x() - r * 0.22, c.y() - r - 2.4 * u, r * 0.44, 3 * u);
        QLinearGradient g(cap.topLeft(), cap.topRight());
        g.setColorAt(0, QColor(140, 100, 30));
        g.setColorAt(0.4, QColor(255, 230, 150));
        g.setColorAt(1, QColor(120, 80, 20));
        p.fillRect(cap, g);
        QPainterPath window;
        window.addEllipse(c, r * 0.78, r * 0.78);
        windows.add(window);
        // Gold ring bordering the photo in the bauble.
        p.setPen(QPen(QColor(250, 220, 130), 0.8 * u));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r * 0.8, r * 0.8);
    }
    p.end();
    finish(canvas, windows, 16);
}

void collage(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QImage paper = paperTexture(canvas.size(), QColor(244, 240, 232), 10, 15);
    Painter p(&canvas);
    p.drawImage(0, 0, paper);
    const qreal gap = 3 * u, margin = 5 * u;
    const qreal w = (all.width() - 2 * margin - gap) / 2, h = (all.height() - 2 * margin - gap) / 2;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col) {
            const QRectF cell(margin + col * (w + gap), margin + row * (h + gap), w, h);
            softShadow(p, rectPath(cell), QPointF(0.4 * u, 0.8 * u), 1.2 * u, QColor(0, 0, 0, 120));
            p.fillRect(cell, Qt::white);
            windows.add(rectPath(inset(cell, 1.2 * u)));
        }
    // A small round badge joining the four pictures.
    const QPointF c = all.center();
    softShadow(p, rectPath(QRectF(c.x() - 7 * u, c.y() - 7 * u, 14 * u, 14 * u), 7 * u), QPointF(0, 0.6 * u),
               u, QColor(0, 0, 0, 140));
    glossyBall(p, c, 7 * u, QColor(220, 70, 90));
    p.fillPath(heartPath(QRectF(c.x() - 3.5 * u, c.y() - 3 * u, 7 * u, 6.3 * u)), Qt::white);
    p.end();
    finish(canvas, windows, 15);
}

void birthday(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(17);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(255, 240, 200), QColor(255, 200, 210));
    const QColor colours[] = {QColor(240, 60, 80), QColor(60, 160, 240), QColor(250, 190, 40),
                              QColor(130, 200, 90), QColor(180, 100, 230)};
    for (int i = 0; i < 40; ++i) {
        p.save();
        p.translate(random.real(0, all.width()), random.real(0, all.height()));
        p.rotate(random.real(0, 180));
        p.fillRect(QRectF(-0.8 * u, -0.4 * u, 1.6 * u, 0.8 * u), colours[random.integer(0, 4)]);
        p.restore();
    }
    const QPointF balloons[] = {QPointF(0.1, 0.3), QPointF(0.2, 0.2), QPointF(0.84, 0.25),
                                QPointF(0.92, 0.36), QPointF(0.14, 0.5)};
    for (int i = 0; i < 5; ++i) {
        const QPointF c(balloons[i].x() * all.width(), balloons[i].y() * all.height());
        QPainterPath string;
        string.moveTo(c + QPointF(0, 11 * u));
        string.cubicTo(c + QPointF(-3 * u, 30 * u), c + QPointF(4 * u, 45 * u), c + QPointF(0, 80 * u));
        p.setPen(QPen(QColor(120, 120, 120), 0.25 * u));
        p.setBrush(Qt::NoBrush);
        p.drawPath(string);
        p.save();
        p.translate(c);
        p.scale(0.85, 1.0);
        glossyBall(p, QPointF(0, 0), 11 * u, colours[i]);
        p.restore();
    }
    const QPointF centre(all.width() * 0.53, all.height() * 0.45);
    QPainterPath rimCircle;
    rimCircle.addEllipse(centre, 32 * u, 32 * u);
    softShadow(p, rimCircle, QPointF(0, 1.2 * u), 1.8 * u, QColor(120, 40, 40, 140));
    p.fillPath(rimCircle, QColor(255, 255, 255));
    p.setPen(QPen(QColor(230, 180, 60), 1.0 * u, Qt::DotLine, Qt::RoundCap));
    p.drawEllipse(centre, 30.5 * u, 30.5 * u);
    QPainterPath window;
    window.addEllipse(centre, 28.5 * u, 28.5 * u);
    windows.add(window);
    drawText(p, QStringLiteral("HAPPY BIRTHDAY"), QPointF(centre.x(), all.height() - 4 * u), 8 * u,
             QColor(220, 60, 90));
    p.end();
    finish(canvas, windows, 17);
}

void postageStamp(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(18);
    Windows windows;
    const QImage kraft = paperTexture(canvas.size(), QColor(214, 186, 140), 18, 18);
    Painter p(&canvas);
    p.drawImage(0, 0, kraft);
    textLines(p, QRectF(8 * u, all.height() - 36 * u, 60 * u, 26 * u), 7 * u, QColor(40, 40, 80, 180),
              random);
    const QRectF stamp(all.width() - 88 * u, 8 * u, 62 * u, 74 * u);
    // Perforated edge: a row of half-circles bitten out of the stamp's rim.
    QPainterPath edge = rectPath(stamp);
    QPainterPath bites;
    for (qreal x = stamp.left(); x <= stamp.right() + 0.1; x += 3 * u) {
        bites.addEllipse(QPointF(x, stamp.top()), 1.1 * u, 1.1 * u);
        bites.addEllipse(QPointF(x, stamp.bottom()), 1.1 * u, 1.1 * u);
    }
    for (qreal y = stamp.top(); y <= stamp.bottom() + 0.1; y += 3 * u) {
        bites.addEllipse(QPointF(stamp.left(), y), 1.1 * u, 1.1 * u);
        bites.addEllipse(QPointF(stamp.right(), y), 1.1 * u, 1.1 * u);
    }
    edge = rotated(edge.subtracted(bites), 4);
    softShadow(p, edge, QPointF(0.5 * u, u), u, QColor(60, 30, 0, 130));
    p.fillPath(edge, QColor(252, 250, 244));
    const QRectF picture = inset(stamp, 5 * u).adjusted(0, 0, 0, -8 * u);
    p.save();
    p.translate(stamp.center());
    p.rotate(4);
    p.translate(-stamp.center());
    drawText(p, QStringLiteral("1.20"), QPointF(stamp.center().x(), stamp.bottom() - 4 * u), 5.5 * u,
             QColor(160, 30, 40));
    p.setPen(QPen(QColor(160, 30, 40), 0.3 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inset(picture, -0.8 * u));
    p.restore();
    // The window turns with the stamp.
    const QPointF c = stamp.center();
    windows.add(
        QTransform().translate(c.x(), c.y()).rotate(4).translate(-c.x(), -c.y()).map(rectPath(picture)));
    // Postmark: rings and wavy cancellation lines over the stamp's corner.
    p.setPen(QPen(QColor(30, 30, 50, 150), 0.5 * u));
    p.drawEllipse(QPointF(stamp.left() - 2 * u, stamp.top() + 20 * u), 12 * u, 12 * u);
    p.drawEllipse(QPointF(stamp.left() - 2 * u, stamp.top() + 20 * u), 9 * u, 9 * u);
    for (int k = 0; k < 4; ++k) {
        QPainterPath wave;
        for (int i = 0; i <= 40; ++i) {
            const qreal x = stamp.left() - 45 * u + i * u;
            const qreal y = stamp.top() + (14 + k * 4) * u + std::sin(i * 0.5) * u;
            i == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
        }
        p.drawPath(wave);
    }
    p.end();
    finish(canvas, windows, 18);
}

void wedding(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QImage paper = paperTexture(canvas.size(), QColor(250, 246, 236), 8, 19);
    Painter p(&canvas);
    p.drawImage(0, 0, paper);
    p.setPen(QPen(QColor(200, 160, 80), 0.6 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inset(all, 3 * u));
    p.drawRect(inset(all, 4.2 * u));
    const QPointF centres[] = {QPointF(all.width() * 0.33, all.height() * 0.5),
                               QPointF(all.width() * 0.67, all.height() * 0.5)};
    for (QPointF c : centres) {
        QPainterPath oval;
        oval.addEllipse(c, 26 * u, 36 * u);
        softShadow(p, oval, QPointF(0.5 * u, u), 1.5 * u, QColor(60, 40, 0, 120));
        QConicalGradient ring(c, 45);
        ring.setColorAt(0, QColor(250, 226, 150));
        ring.setColorAt(0.25, QColor(170, 120, 40));
        ring.setColorAt(0.5, QColor(255, 240, 180));
        ring.setColorAt(0.75, QColor(160, 110, 30));
        ring.setColorAt(1, QColor(250, 226, 150));
        p.fillPath(oval, ring);
        QPainterPath window;
        window.addEllipse(c, 23.5 * u, 33.5 * u);
        windows.add(window);
    }
    // Roses where the two frames meet, with leaves.
    const QPointF join(all.width() * 0.5, all.height() * 0.84);
    for (int i = 0; i < 7; ++i) {
        const qreal a = qDegreesToRadians(180 + i * 30.0);
        const QPointF tip = join + QPointF(std::cos(a), std::sin(a)) * 13 * u;
        p.fillPath(leafPath(join, tip, 4 * u), QColor(70, 130, 70));
    }
    for (int i = -1; i <= 1; ++i) {
        const QPointF c = join + QPointF(i * 6 * u, std::abs(i) * 1.5 * u);
        for (int layer = 0; layer < 3; ++layer)
            p.fillPath(flowerPath(c, (4.5 - layer * 1.3) * u, 5, 1.0, layer * 36 + i * 20),
                       QColor(230 - layer * 20, 120 - layer * 30, 140 - layer * 30));
    }
    drawText(p, QStringLiteral("♥"), QPointF(all.width() * 0.5, all.height() * 0.16), 8 * u,
             QColor(200, 150, 70));
    p.end();
    finish(canvas, windows, 19);
}

void starWindow(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(20);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(8, 10, 40), QColor(50, 30, 90));
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int i = 0; i < 300; ++i)
        glow(p, QPointF(random.real(0, all.width()), random.real(0, all.height())), random.real(0.2, 0.8) * u,
             QColor(255, 255, 230, random.integer(90, 255)));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Crescent moon.
    QPainterPath moon;
    moon.addEllipse(QPointF(all.width() * 0.86, all.height() * 0.2), 9 * u, 9 * u);
    QPainterPath bite;
    bite.addEllipse(QPointF(all.width() * 0.86 + 4 * u, all.height() * 0.2 - 2 * u), 8 * u, 8 * u);
    p.fillPath(moon.subtracted(bite), QColor(255, 240, 190));
    const QPointF c(all.width() * 0.45, all.height() * 0.54);
    const QPainterPath rim = starPath(c, 46 * u, 22 * u, 5);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    glow(p, c, 55 * u, QColor(255, 200, 100, 90));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRadialGradient g(c, 46 * u);
    g.setColorAt(0, QColor(255, 250, 200));
    g.setColorAt(1, QColor(230, 170, 50));
    p.fillPath(rim, g);
    windows.add(starPath(c, 41 * u, 19.5 * u, 5));
    p.end();
    finish(canvas, windows, 20);
}

void cloudWindow(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    Painter p(&canvas);
    verticalGradient(p, all, QColor(70, 160, 240), QColor(190, 230, 255));
    // Sun with rays and a rainbow behind the cloud.
    const QPointF sun(all.width() * 0.88, all.height() * 0.16);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    glow(p, sun, 30 * u, QColor(255, 240, 160, 160));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    glossyBall(p, sun, 9 * u, QColor(255, 210, 40));
    const QColor bands[] = {QColor(240, 70, 70, 150), QColor(250, 170, 50, 150), QColor(250, 230, 60, 150),
                            QColor(90, 200, 90, 150), QColor(70, 140, 240, 150), QColor(140, 90, 210, 150)};
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(bands[i], 3 * u));
        p.drawArc(QRectF(all.width() * 0.1 + i * 3 * u, all.height() * 0.2 + i * 3 * u,
                         all.width() * 0.8 - i * 6 * u, all.height() * 1.4),
                  0, 180 * 16);
    }
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    const QPointF c(all.width() * 0.5, all.height() * 0.56);
    cloud.addRoundedRect(QRectF(c.x() - 42 * u, c.y() - 6 * u, 84 * u, 30 * u), 15 * u, 15 * u);
    cloud.addEllipse(QPointF(c.x() - 22 * u, c.y() - 4 * u), 18 * u, 18 * u);
    cloud.addEllipse(QPointF(c.x() + 6 * u, c.y() - 14 * u), 24 * u, 24 * u);
    cloud.addEllipse(QPointF(c.x() + 30 * u, c.y() - 2 * u), 16 * u, 16 * u);
    cloud = cloud.simplified();
    softShadow(p, cloud, QPointF(0, 1.5 * u), 2 * u, QColor(40, 80, 140, 120));
    QPainterPath rim =
        QTransform().translate(c.x(), c.y()).scale(1.08, 1.1).translate(-c.x(), -c.y()).map(cloud);
    p.fillPath(rim, QColor(255, 255, 255));
    p.fillPath(rim.subtracted(cloud.translated(0, -u)), QColor(210, 226, 245));
    windows.add(cloud);
    p.end();
    finish(canvas, windows, 24);
}

void easel(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QImage wall = paperTexture(canvas.size(), QColor(214, 204, 186), 12, 23);
    Painter p(&canvas);
    p.drawImage(0, 0, wall);
    verticalGradient(p, QRectF(0, all.height() * 0.86, all.width(), all.height() * 0.14),
                     QColor(140, 100, 70), QColor(90, 60, 40));
    const QRectF canvasRect(all.width() * 0.5 - 40 * u, 8 * u, 80 * u, 58 * u);
    auto leg = [&](QPointF from, QPointF to) {
        QPainterPath path;
        path.moveTo(from);
        path.lineTo(to);
        QPainterPathStroker stroker;
        stroker.setWidth(3.4 * u);
        const QPainterPath shape = stroker.createStroke(path);
        softShadow(p, shape, QPointF(u, u), u, QColor(0, 0, 0, 100));
        QLinearGradient rounded(from - QPointF(2 * u, 0), from + QPointF(2 * u, 0));
        rounded.setColorAt(0, QColor(150, 100, 60));
        rounded.setColorAt(0.5, QColor(200, 150, 96));
        rounded.setColorAt(1, QColor(120, 80, 40));
        p.fillPath(shape, rounded);
    };
    leg(QPointF(all.width() * 0.5, 2 * u), QPointF(all.width() * 0.5, all.height() * 0.96));
    leg(QPointF(all.width() * 0.5 - 4 * u, 2 * u), QPointF(all.width() * 0.5 - 34 * u, all.height() * 0.97));
    leg(QPointF(all.width() * 0.5 + 4 * u, 2 * u), QPointF(all.width() * 0.5 + 34 * u, all.height() * 0.97));
    // Ledge the painting rests on.
    const QRectF ledge(canvasRect.left() - 4 * u, canvasRect.bottom(), canvasRect.width() + 8 * u, 3.4 * u);
    softShadow(p, rectPath(ledge), QPointF(0, u), u, QColor(0, 0, 0, 120));
    p.fillRect(ledge, QColor(170, 120, 76));
    softShadow(p, rectPath(canvasRect), QPointF(u, 1.5 * u), 2 * u, QColor(0, 0, 0, 140));
    p.fillRect(canvasRect, QColor(250, 248, 240));
    windows.add(rectPath(inset(canvasRect, 1.6 * u)));
    // Palette with paint dabs on the floor.
    QPainterPath palette;
    palette.addEllipse(QPointF(all.width() * 0.85, all.height() * 0.9), 11 * u, 5 * u);
    softShadow(p, palette, QPointF(0, 0.6 * u), 0.8 * u, QColor(0, 0, 0, 120));
    p.fillPath(palette, QColor(200, 160, 110));
    const QColor dabs[] = {QColor(220, 40, 40), QColor(40, 100, 220), QColor(250, 210, 40),
                           QColor(40, 170, 80)};
    for (int i = 0; i < 4; ++i)
        glossyBall(p,
                   QPointF(all.width() * 0.85 + (i - 1.5) * 4.5 * u, all.height() * 0.9 - (i % 2) * 1.5 * u),
                   1.3 * u, dabs[i]);
    p.end();
    finish(canvas, windows, 23);
}

void newspaper(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(22);
    Windows windows;
    const QImage newsprint = paperTexture(canvas.size(), QColor(236, 230, 214), 14, 22);
    Painter p(&canvas);
    p.drawImage(0, 0, newsprint);
    drawText(p, QStringLiteral("THE DAILY CHRONICLE"), QPointF(all.width() / 2, 12 * u), 9.5 * u,
             QColor(20, 20, 20));
    p.fillRect(QRectF(4 * u, 14.5 * u, all.width() - 8 * u, 0.5 * u), QColor(20, 20, 20));
    p.fillRect(QRectF(4 * u, 15.6 * u, all.width() - 8 * u, 0.2 * u), QColor(20, 20, 20));
    drawText(p, QStringLiteral("LOCAL STAR CAPTURES HEARTS"), QPointF(all.width() / 2, 24 * u), 6 * u,
             QColor(30, 30, 30));
    const QRectF photo(4 * u, 28 * u, all.width() * 0.58, 56 * u);
    windows.add(rectPath(photo));
    const QColor ink(60, 60, 60, 200);
    textLines(p, QRectF(photo.left(), photo.bottom() + 2.5 * u, photo.width(), 10 * u), 2.4 * u, ink, random);
    const qreal colLeft = photo.right() + 4 * u, colWidth = (all.width() - colLeft - 4 * u - 3 * u) / 2;
    for (int col = 0; col < 2; ++col) {
        const QRectF column(colLeft + col * (colWidth + 3 * u), 28 * u, colWidth, all.height() - 32 * u);
        drawText(p, col ? QStringLiteral("Weather") : QStringLiteral("Events"),
                 QPointF(column.left(), column.top() + 3 * u), 3.4 * u, QColor(30, 30, 30), true, false);
        textLines(p, column.adjusted(0, 6 * u, 0, 0), 2.4 * u, ink, random);
    }
    p.end();
    finish(canvas, windows, 22);
}

void photoBooth(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Windows windows;
    const QImage table = woodTexture(canvas.size(), QColor(70, 110, 140), QColor(40, 70, 100), 21, true);
    Painter p(&canvas);
    p.drawImage(0, 0, table);
    p.fillRect(all, QColor(20, 30, 50, 80));
    const qreal stripW = 28 * u, stripH = 90 * u;
    const std::pair<qreal, qreal> strips[] = {{0.33, -6}, {0.67, 5}};
    for (const auto& [x, angle] : strips) {
        const QRectF strip(all.width() * x - stripW / 2, (all.height() - stripH) / 2, stripW, stripH);
        const QPointF c = strip.center();
        const QTransform turn = QTransform().translate(c.x(), c.y()).rotate(angle).translate(-c.x(), -c.y());
        const QPainterPath card = turn.map(rectPath(strip));
        softShadow(p, card, QPointF(u, 2 * u), 2 * u, QColor(0, 0, 0, 170));
        p.fillPath(card, QColor(250, 250, 248));
        const qreal frameH = (stripH - 12 * u) / 3;
        for (int i = 0; i < 3; ++i)
            windows.add(turn.map(rectPath(QRectF(
                strip.left() + 2 * u, strip.top() + 2 * u + i * (frameH + 2 * u), stripW - 4 * u, frameH))));
    }
    p.end();
    finish(canvas, windows, 21);
}

const Design designs[] = {
    {"Image1", billboard},    {"Image3", photoAlbum},    {"Image2", filmDiagonal}, {"Image4", laptop},
    {"Image5", twoHearts},    {"Image6", foldedCard},    {"Image7", identityCard}, {"Image8", woodWall},
    {"Image9", corkboard},    {"Image10", cinema},       {"Image11", smartphone},  {"Image12", magazine},
    {"Image13", galleryWall}, {"Image14", filmReel},     {"Image16", baubles},     {"Image15", collage},
    {"Image17", birthday},    {"Image18", postageStamp}, {"Image19", wedding},     {"Image20", starWindow},
    {"Image24", cloudWindow}, {"Image23", easel},        {"Image22", newspaper},   {"Image21", photoBooth},
};

} // namespace

std::span<const Design> montageDesigns() {
    return designs;
}
