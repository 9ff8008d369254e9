// SPDX-License-Identifier: MIT
// The extruded text as triangles: the glyph outlines of the text laid out in its box, capped front and
// back by the GLU tessellator (odd winding, so inner contours stay holes) and joined by side walls whose
// normals point out of the letters. The mesh has unit depth (z from -0.5 to 0.5); the renderer stretches it
// to the scene's depth, so changing the depth or the turn needs no new mesh.
#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <vector>

struct TextMeshVertex {
    float x, y, z;    // scene units, y upwards, the box's centre at the origin
    float nx, ny, nz; // unit normal
    float u, v;       // texture coordinates
};

struct TextMesh {
    // Triangles, three vertices each, grouped by face: front cap, back cap, side walls.
    std::vector<TextMeshVertex> vertices;
    int frontCount = 0; // vertices of the front cap, starting at 0
    int backCount = 0;  // then the back cap
    int sideCount = 0;  // then the walls
    QRectF bounds;      // of the outline in scene units; y upwards, so top() is the lowest y

    bool isEmpty() const { return vertices.empty(); }
    int frontFirst() const { return 0; }
    int backFirst() const { return frontCount; }
    int sideFirst() const { return frontCount + backCount; }
};

// The outline of the text in scene units (y upwards, the box's centre at the origin): the font family (a
// name the system lacks is substituted), the em size in scene units, lines wrapped at word boundaries within
// the box's width (the text's own line breaks kept), each line centred, the block centred in the box.
QPainterPath textOutline(const QString& text, const QString& family, double size, QSizeF box);

// Caps and walls of an outline given in scene units with y upwards. Every closed subpath is a contour; a
// point is inside the letters when an odd number of contours surround it. Curves are flattened so that no
// point strays further than `flatness` from them.
TextMesh extrudeOutline(const QPainterPath& outline, double flatness);

// Both steps at once.
TextMesh buildTextMesh(const QString& text, const QString& family, double size, QSizeF box);
