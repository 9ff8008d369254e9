// SPDX-License-Identifier: MIT
#include "text3d/TextMesh.h"

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <numbers>

namespace {

// Text is laid out at this pixel size and then scaled to its em size, so layout and outlines are free of
// the rounding small pixel sizes bring.
constexpr double referencePixels = 100;
// How far a flattened curve may stray from the glyph's outline, as a share of the em size.
constexpr double flatnessPerEm = 0.004;
// Neighbouring walls meeting at a smaller angle than this share a normal, so curves look round when lit.
const double smoothCosine = std::cos(35.0 * std::numbers::pi / 180.0);

using Contour = std::vector<QPointF>;

// Closed contours without repeated points; fewer than three points make no area and are dropped.
std::vector<Contour> contoursOf(const QPainterPath& outline, double flatness) {
    // Qt flattens curves to half a unit of the transformed path: scale so that half a unit is `flatness`.
    const double scale = 0.5 / flatness;
    std::vector<Contour> contours;
    for (const QPolygonF& polygon : outline.toSubpathPolygons(QTransform::fromScale(scale, scale))) {
        Contour contour;
        for (const QPointF& scaled : polygon) {
            const QPointF point = scaled / scale;
            if (contour.empty() || point != contour.back())
                contour.push_back(point);
        }
        while (contour.size() > 1 && contour.front() == contour.back())
            contour.pop_back();
        if (contour.size() >= 3)
            contours.push_back(std::move(contour));
    }
    return contours;
}

double signedArea(const Contour& contour) {
    double twice = 0;
    for (size_t i = 0, n = contour.size(); i < n; ++i) {
        const QPointF& a = contour[i];
        const QPointF& b = contour[(i + 1) % n];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return twice / 2;
}

bool surrounds(const Contour& contour, const QRectF& bounds, QPointF point) {
    if (!bounds.contains(point))
        return false;
    bool inside = false;
    for (size_t i = 0, j = contour.size() - 1; i < contour.size(); j = i++) {
        const QPointF& a = contour[i];
        const QPointF& b = contour[j];
        if ((a.y() > point.y()) != (b.y() > point.y()) &&
            point.x() < (b.x() - a.x()) * (point.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}

QRectF boundsOf(const Contour& contour) {
    double left = contour[0].x(), right = left, bottom = contour[0].y(), top = bottom;
    for (const QPointF& p : contour) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    }
    return QRectF(QPointF(left, bottom), QPointF(right, top));
}

// True for contours whose inside is a hole: an odd number of other contours surround them, so the area just
// inside them is covered an even number of times.
std::vector<bool> holes(const std::vector<Contour>& contours) {
    std::vector<QRectF> bounds;
    bounds.reserve(contours.size());
    for (const Contour& contour : contours)
        bounds.push_back(boundsOf(contour));
    std::vector<bool> result(contours.size(), false);
    for (size_t i = 0; i < contours.size(); ++i) {
        // A point just inside the contour, beside the middle of its longest edge, stands for the contour.
        size_t longest = 0;
        double length = 0;
        for (size_t k = 0; k < contours[i].size(); ++k) {
            const QPointF d = contours[i][(k + 1) % contours[i].size()] - contours[i][k];
            const double l = std::hypot(d.x(), d.y());
            if (l > length) {
                length = l;
                longest = k;
            }
        }
        const QPointF a = contours[i][longest];
        const QPointF b = contours[i][(longest + 1) % contours[i].size()];
        const QPointF left(-(b.y() - a.y()) / length, (b.x() - a.x()) / length);
        const double side = signedArea(contours[i]) > 0 ? 1 : -1; // the inside lies left of a CCW contour
        const QPointF probe = (a + b) / 2 + left * (side * std::min(1e-4, length * 1e-3));
        int around = 0;
        for (size_t j = 0; j < contours.size(); ++j)
            if (j != i && surrounds(contours[j], bounds[j], probe))
                ++around;
        result[i] = around % 2 == 1;
    }
    return result;
}

// The GLU tessellator's output, collected through its callbacks.
struct Tessellation {
    std::deque<std::array<GLdouble, 3>> points; // stable addresses, as GLU keeps pointers to them
    std::vector<QPointF> triangles;
    bool failed = false;
};

void GLAPIENTRY onBegin(GLenum, void*) {}
void GLAPIENTRY onEdgeFlag(GLboolean, void*) {} // present, so GLU hands out separate triangles only
void GLAPIENTRY onVertex(void* vertex, void* data) {
    const auto* point = static_cast<const GLdouble*>(vertex);
    static_cast<Tessellation*>(data)->triangles.emplace_back(point[0], point[1]);
}
void GLAPIENTRY onCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data) {
    auto* tessellation = static_cast<Tessellation*>(data);
    tessellation->points.push_back({coords[0], coords[1], coords[2]});
    *out = tessellation->points.back().data();
}
void GLAPIENTRY onError(GLenum, void* data) {
    static_cast<Tessellation*>(data)->failed = true;
}

std::vector<QPointF> capTriangles(const std::vector<Contour>& contours) {
    Tessellation tessellation;
    GLUtesselator* tess = gluNewTess();
    if (!tess)
        return {};
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessNormal(tess, 0, 0, 1);
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(onBegin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(onEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(onVertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(onCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(onError));
    gluTessBeginPolygon(tess, &tessellation);
    for (const Contour& contour : contours) {
        gluTessBeginContour(tess);
        for (const QPointF& point : contour) {
            tessellation.points.push_back({point.x(), point.y(), 0});
            GLdouble* stored = tessellation.points.back().data();
            gluTessVertex(tess, stored, stored);
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (tessellation.failed)
        return {};
    tessellation.triangles.resize(tessellation.triangles.size() / 3 * 3);
    return std::move(tessellation.triangles);
}

QPointF unit(QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF();
}

void addWalls(const Contour& contour, bool hole, double textWidth, std::vector<TextMeshVertex>& out) {
    const size_t n = contour.size();
    // The wall faces away from the letter's inside: right of the direction of travel for a counter-clockwise
    // outer contour; the other way round for a clockwise one, and again reversed for a hole.
    const bool clockwise = signedArea(contour) < 0;
    const double outwardSign = (clockwise != hole) ? -1 : 1;
    std::vector<QPointF> normals(n);
    for (size_t i = 0; i < n; ++i) {
        const QPointF d = unit(contour[(i + 1) % n] - contour[i]);
        normals[i] = QPointF(d.y(), -d.x()) * outwardSign;
    }
    auto normalAt = [&](size_t edge, size_t neighbour) {
        const QPointF own = normals[edge];
        const QPointF other = normals[neighbour];
        if (own.x() * other.x() + own.y() * other.y() >= smoothCosine)
            return unit(own + other);
        return own;
    };
    const double uScale = textWidth > 0 ? 1 / textWidth : 1;
    double travelled = 0;
    for (size_t i = 0; i < n; ++i) {
        const QPointF a = contour[i];
        const QPointF b = contour[(i + 1) % n];
        const QPointF na = normalAt(i, (i + n - 1) % n);
        const QPointF nb = normalAt(i, (i + 1) % n);
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        const float ua = float(travelled * uScale);
        const float ub = float((travelled + length) * uScale);
        travelled += length;
        auto vertex = [](QPointF p, QPointF normal, double z, float u, float v) {
            return TextMeshVertex{
                float(p.x()), float(p.y()), float(z), float(normal.x()), float(normal.y()), 0, u, v};
        };
        const TextMeshVertex frontA = vertex(a, na, 0.5, ua, 0);
        const TextMeshVertex frontB = vertex(b, nb, 0.5, ub, 0);
        const TextMeshVertex backA = vertex(a, na, -0.5, ua, 1);
        const TextMeshVertex backB = vertex(b, nb, -0.5, ub, 1);
        out.insert(out.end(), {frontA, backA, backB, frontA, backB, frontB});
    }
}

} // namespace

QPainterPath textOutline(const QString& text, const QString& family, double size, QSizeF box) {
    QPainterPath outline;
    if (text.isEmpty() || !(size > 0))
        return outline;
    QFont font;
    if (!family.isEmpty())
        font.setFamilies({family});
    font.setPixelSize(int(referencePixels));
    font.setHintingPreference(QFont::PreferNoHinting);
    const double scale = size / referencePixels;
    const double width = box.width() / scale;
    const double height = box.height() / scale;

    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(lines, font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    double blockHeight = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, blockHeight));
        blockHeight += line.height();
    }
    layout.endLayout();

    QPainterPath laidOut;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            QPainterPath glyph = font.pathForGlyph(glyphs[i]);
            glyph.translate(positions[i]);
            laidOut.addPath(glyph);
        }
    }
    // Pixels of the layout (y downwards, the block at the top) to scene units (y upwards, the box's centre at
    // the origin, the block centred in it).
    QTransform toScene;
    toScene.scale(scale, -scale);
    toScene.translate(-width / 2, (height - blockHeight) / 2 - height / 2);
    return toScene.map(laidOut);
}

TextMesh extrudeOutline(const QPainterPath& outline, double flatness) {
    TextMesh mesh;
    const std::vector<Contour> contours = contoursOf(outline, flatness);
    if (contours.empty())
        return mesh;
    QRectF bounds;
    for (const Contour& contour : contours)
        bounds |= boundsOf(contour);
    mesh.bounds = bounds;

    const std::vector<QPointF> cap = capTriangles(contours);
    auto capVertex = [&bounds](QPointF p, double z) {
        const float u = float((p.x() - bounds.left()) / std::max(bounds.width(), 1e-9));
        const float v = float((bounds.bottom() - p.y()) / std::max(bounds.height(), 1e-9)); // top row first
        return TextMeshVertex{float(p.x()), float(p.y()), float(z), 0, 0, z > 0 ? 1.0f : -1.0f, u, v};
    };
    mesh.vertices.reserve(cap.size() * 2 + contours.size() * 64);
    for (const QPointF& p : cap)
        mesh.vertices.push_back(capVertex(p, 0.5));
    mesh.frontCount = int(cap.size());
    // The back cap is the front seen from behind: the same triangles turned round.
    for (size_t i = 0; i < cap.size(); i += 3)
        for (size_t k : {i, i + 2, i + 1})
            mesh.vertices.push_back(capVertex(cap[k], -0.5));
    mesh.backCount = int(cap.size());

    const std::vector<bool> hole = holes(contours);
    for (size_t i = 0; i < contours.size(); ++i)
        addWalls(contours[i], hole[i], bounds.width(), mesh.vertices);
    mesh.sideCount = int(mesh.vertices.size()) - mesh.frontCount - mesh.backCount;
    return mesh;
}

TextMesh buildTextMesh(const QString& text, const QString& family, double size, QSizeF box) {
    return extrudeOutline(textOutline(text, family, size, box), size * flatnessPerEm);
}
