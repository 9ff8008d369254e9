// SPDX-License-Identifier: MIT
// Draws a 3D text scene into a picture, as the scene's camera sees it. The editor's view and the picture it
// hands to the 3D text tool come from the same call, so what the user sees is what is placed.
#pragma once

#include "steps/TextScene.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <memory>

// Final pictures are smoothed at the letters' edges; drafts, shown only while the user drags, are not.
enum class RenderQuality { Final, Draft };

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // A picture of `size` (Format_ARGB32_Premultiplied), cleared to `clear` where the text does not cover it.
    // Throws UserError with a message for the user when the scene cannot be drawn.
    virtual QImage render(const TextScene& scene, QSize size, const QColor& clear,
                          RenderQuality quality = RenderQuality::Final) = 0;
};

// The renderer of the program: OpenGL 3.3 through an offscreen context, made on first use.
std::unique_ptr<TextRenderer> makeOpenGLTextRenderer();
