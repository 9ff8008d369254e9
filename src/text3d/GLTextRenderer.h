// SPDX-License-Identifier: MIT
// The OpenGL 3.3 renderer of 3D text: an offscreen context and a 4× multisampled framebuffer (a plain one for
// drafts), read back into a picture. The camera sits 20 units from the origin, raised 20 degrees, looking at
// it; plain colours are drawn unlit, lit materials are shaded by a light at the camera. The mesh is kept
// until the text, the font or the size changes; turning the text, its depth and its materials reuse it.
#pragma once

#include "text3d/TextMesh.h"
#include "text3d/TextRenderer.h"

#include <QMatrix4x4>
#include <QString>

#include <array>
#include <memory>

class QOffscreenSurface;
class QOpenGLBuffer;
class QOpenGLContext;
class QOpenGLFramebufferObject;
class QOpenGLShaderProgram;
class QOpenGLTexture;
class QOpenGLVertexArrayObject;

class GLTextRenderer final : public TextRenderer {
public:
    GLTextRenderer();
    ~GLTextRenderer() override;

    QImage render(const TextScene& scene, QSize size, const QColor& clear,
                  RenderQuality quality = RenderQuality::Final) override;

    // How often a mesh was built: for checking that turning or colouring the text reuses it.
    int meshBuilds() const { return m_meshBuilds; }

    // Where the scene's points land: projection × view × model for a picture of `size`.
    static QMatrix4x4 projection(QSize size);
    static QMatrix4x4 view();
    static QMatrix4x4 model(const TextScene& scene);

private:
    void makeCurrent();
    void prepareProgram();
    void prepareMesh(const TextScene& scene);
    // The framebuffer to draw into: multisampled for final pictures, plain for drafts.
    QOpenGLFramebufferObject* framebufferFor(QSize size, RenderQuality quality);
    QOpenGLTexture* textureFor(int face, const QImage& picture);
    void drawFace(int face, const FaceLook& look, int first, int count);
    void release();

    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    QString m_failure; // why no context could be made, once it is known
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    std::unique_ptr<QOpenGLVertexArrayObject> m_vertexArray;
    std::unique_ptr<QOpenGLBuffer> m_vertexBuffer;
    std::unique_ptr<QOpenGLFramebufferObject> m_multisampled;
    std::unique_ptr<QOpenGLFramebufferObject> m_resolved; // the multisampled one's pixels, to be read
    std::unique_ptr<QOpenGLFramebufferObject> m_draft;
    std::array<std::unique_ptr<QOpenGLTexture>, textFaceCount> m_textures;
    std::array<qint64, textFaceCount> m_textureKeys{};

    // The mesh in the vertex buffer and what it was built from.
    TextMesh m_mesh;
    bool m_meshValid = false;
    QString m_meshText;
    QString m_meshFamily;
    double m_meshSize = 0;
    int m_meshBuilds = 0;
};
