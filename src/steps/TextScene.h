// SPDX-License-Identifier: MIT
// What the 3D text editor's scene holds: one piece of extruded text with its font, size, depth and turn, and
// the look of its three faces (a plain colour, or a lit material with colours and an optional texture). A
// plain value: the editor changes it, the renderer draws it.
#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <array>

enum class TextFace { Front, Sides, Back };
constexpr int textFaceCount = 3;

// A material shaded by the light that follows the camera.
struct LitMaterial {
    QColor ambient = Qt::white;
    QColor diffuse = Qt::white;
    QColor emissive = Qt::transparent; // none
    QColor specular = QColor(0x60, 0x60, 0x60);
    double shininess = 30;
    QImage texture; // none when null
};

struct FaceLook {
    bool lit = false;        // which of the two materials the face uses
    QColor colour = Qt::red; // the plain colour material, drawn unlit
    LitMaterial material;
};

struct TextScene {
    // The text box in scene units: lines wrap at its width, the block is centred in it.
    static constexpr QSizeF box{52.7596, 22.7111};
    // Where the box's centre sits, x to the right and y upwards.
    static constexpr double centreX = -0.0773242;
    static constexpr double centreY = 1.63537;

    QString text;
    QString family;       // empty: the default family
    double fontSize = 5;  // the em size in scene units
    double depth = 0.3;   // the extrusion, in scene units
    double rotationX = 0; // degrees: tilts the text towards or away from the viewer
    double rotationY = 0; // degrees: turns it left or right
    std::array<FaceLook, textFaceCount> faces;

    FaceLook& face(TextFace which) { return faces[int(which)]; }
    const FaceLook& face(TextFace which) const { return faces[int(which)]; }
};
