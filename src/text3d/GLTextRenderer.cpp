// SPDX-License-Identifier: MIT
#include "text3d/GLTextRenderer.h"

#include "base/UserError.h"

#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QSurfaceFormat>

namespace {

constexpr int samples = 4;
constexpr double cameraDistance = 20;
constexpr double cameraRaise = 20; // degrees above the text's plane
constexpr double fieldOfView = 45; // degrees, top to bottom of the picture
const QVector3D ambientLight(0.2f, 0.2f, 0.2f);

const char* vertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 textureCoordinate;
uniform mat4 modelView;
uniform mat4 projection;
uniform mat3 normalMatrix;
out vec3 viewPosition;
out vec3 viewNormal;
out vec2 uv;
void main() {
    vec4 placed = modelView * vec4(position, 1.0);
    viewPosition = placed.xyz;
    viewNormal = normalMatrix * normal;
    uv = textureCoordinate;
    gl_Position = projection * placed;
}
)";

// Output is premultiplied, to be blended with (one, one − source alpha) over a premultiplied clear colour.
const char* fragmentShader = R"(#version 330 core
in vec3 viewPosition;
in vec3 viewNormal;
in vec2 uv;
uniform bool lit;
uniform vec4 colour;
uniform vec4 ambient;
uniform vec4 diffuse;
uniform vec4 emissive;
uniform vec4 specular;
uniform float shininess;
uniform vec3 ambientLight;
uniform bool textured;
uniform sampler2D picture;
out vec4 fragment;
void main() {
    if (!lit) {
        fragment = vec4(colour.rgb * colour.a, colour.a);
        return;
    }
    vec3 toEye = normalize(-viewPosition);
    vec3 n = normalize(viewNormal);
    if (dot(n, toEye) < 0.0)
        n = -n; // both sides of a face are lit alike
    // The light sits at the eye, so the half-way vector of the highlight is the direction to the eye.
    float facing = max(dot(n, toEye), 0.0);
    vec4 base = textured ? texture(picture, uv) : vec4(1.0);
    vec3 rgb = emissive.rgb * emissive.a + base.rgb * (ambient.rgb * ambientLight + diffuse.rgb * facing);
    if (facing > 0.0)
        rgb += specular.rgb * pow(facing, shininess);
    float alpha = diffuse.a * base.a;
    fragment = vec4(clamp(rgb, 0.0, 1.0) * alpha, alpha);
}
)";

QVector4D rgba(const QColor& colour) {
    return QVector4D(float(colour.redF()), float(colour.greenF()), float(colour.blueF()),
                     float(colour.alphaF()));
}

QString noContextMessage() {
    return QStringLiteral("3D text cannot be drawn: no OpenGL 3.3 context could be made on this display.");
}

} // namespace

GLTextRenderer::GLTextRenderer() = default;

GLTextRenderer::~GLTextRenderer() {
    release();
}

void GLTextRenderer::release() {
    if (!m_context)
        return;
    // GL objects go while their context is current; the context and surface go last.
    if (m_surface && m_context->makeCurrent(m_surface.get())) {
        m_program.reset();
        m_vertexArray.reset();
        m_vertexBuffer.reset();
        m_multisampled.reset();
        m_resolved.reset();
        m_draft.reset();
        for (auto& texture : m_textures)
            texture.reset();
        m_context->doneCurrent();
    } else {
        // Without a current context the wrappers must not touch GL: let them go without deleting.
        (void)m_program.release();
        (void)m_vertexArray.release();
        (void)m_vertexBuffer.release();
        (void)m_multisampled.release();
        (void)m_resolved.release();
        (void)m_draft.release();
        for (auto& texture : m_textures)
            (void)texture.release();
    }
    m_context.reset();
    m_surface.reset();
}

void GLTextRenderer::makeCurrent() {
    if (!m_failure.isEmpty())
        throw UserError(m_failure);
    if (!m_context) {
        QSurfaceFormat format;
        format.setRenderableType(QSurfaceFormat::OpenGL);
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
        format.setDepthBufferSize(0); // the framebuffer object has its own
        auto context = std::make_unique<QOpenGLContext>();
        context->setFormat(format);
        auto surface = std::make_unique<QOffscreenSurface>();
        const QSurfaceFormat made = context->create() ? context->format() : QSurfaceFormat();
        const bool recentEnough =
            context->isValid() && !context->isOpenGLES() &&
            (made.majorVersion() > 3 || (made.majorVersion() == 3 && made.minorVersion() >= 3));
        if (recentEnough) {
            surface->setFormat(made);
            surface->create();
        }
        if (!recentEnough || !surface->isValid() || !context->makeCurrent(surface.get())) {
            m_failure = noContextMessage();
            throw UserError(m_failure);
        }
        m_context = std::move(context);
        m_surface = std::move(surface);
        prepareProgram();
        return;
    }
    if (!m_context->makeCurrent(m_surface.get()))
        throw UserError(noContextMessage());
}

void GLTextRenderer::prepareProgram() {
    m_program = std::make_unique<QOpenGLShaderProgram>();
    if (!m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, vertexShader) ||
        !m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, fragmentShader) || !m_program->link()) {
        m_failure = QStringLiteral("3D text cannot be drawn: the OpenGL driver refused the shaders.\n%1")
                        .arg(m_program->log());
        throw UserError(m_failure);
    }
    m_vertexArray = std::make_unique<QOpenGLVertexArrayObject>();
    m_vertexArray->create();
    m_vertexBuffer = std::make_unique<QOpenGLBuffer>(QOpenGLBuffer::VertexBuffer);
    m_vertexBuffer->create();
    m_vertexBuffer->setUsagePattern(QOpenGLBuffer::StaticDraw);

    QOpenGLVertexArrayObject::Binder boundArray(m_vertexArray.get());
    m_vertexBuffer->bind();
    QOpenGLFunctions* gl = m_context->functions();
    const auto stride = GLsizei(sizeof(TextMeshVertex));
    gl->glEnableVertexAttribArray(0);
    gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(TextMeshVertex, x)));
    gl->glEnableVertexAttribArray(1);
    gl->glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(TextMeshVertex, nx)));
    gl->glEnableVertexAttribArray(2);
    gl->glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(TextMeshVertex, u)));
}

void GLTextRenderer::prepareMesh(const TextScene& scene) {
    if (m_meshValid && scene.text == m_meshText && scene.family == m_meshFamily &&
        scene.fontSize == m_meshSize)
        return;
    m_mesh = buildTextMesh(scene.text, scene.family, scene.fontSize, TextScene::box);
    ++m_meshBuilds;
    m_meshText = scene.text;
    m_meshFamily = scene.family;
    m_meshSize = scene.fontSize;
    m_meshValid = true;
    m_vertexBuffer->bind();
    m_vertexBuffer->allocate(m_mesh.vertices.data(), int(m_mesh.vertices.size() * sizeof(TextMeshVertex)));
}

QOpenGLFramebufferObject* GLTextRenderer::framebufferFor(QSize size, RenderQuality quality) {
    auto roomFailure = [size] {
        return UserError(QStringLiteral("3D text cannot be drawn: OpenGL has no room for a %1 × %2 picture.")
                             .arg(size.width())
                             .arg(size.height()));
    };
    if (quality == RenderQuality::Draft) {
        if (!m_draft || m_draft->size() != size) {
            m_draft.reset();
            QOpenGLFramebufferObjectFormat format;
            format.setAttachment(QOpenGLFramebufferObject::Depth);
            format.setInternalTextureFormat(GL_RGBA8);
            m_draft = std::make_unique<QOpenGLFramebufferObject>(size, format);
            if (!m_draft->isValid()) {
                m_draft.reset();
                throw roomFailure();
            }
        }
        return m_draft.get();
    }
    if (!m_multisampled || m_multisampled->size() != size) {
        m_multisampled.reset();
        m_resolved.reset();
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::Depth);
        format.setSamples(samples);
        format.setInternalTextureFormat(GL_RGBA8);
        m_multisampled = std::make_unique<QOpenGLFramebufferObject>(size, format);
        QOpenGLFramebufferObjectFormat plain;
        plain.setInternalTextureFormat(GL_RGBA8);
        m_resolved = std::make_unique<QOpenGLFramebufferObject>(size, plain);
        if (!m_multisampled->isValid() || !m_resolved->isValid()) {
            m_multisampled.reset();
            m_resolved.reset();
            throw roomFailure();
        }
    }
    return m_multisampled.get();
}

QOpenGLTexture* GLTextRenderer::textureFor(int face, const QImage& picture) {
    if (picture.isNull())
        return nullptr;
    if (!m_textures[face] || m_textureKeys[face] != picture.cacheKey()) {
        // Straight (not premultiplied) colours, the picture's top row first: the shader expects both.
        const QImage upload = picture.convertToFormat(QImage::Format_RGBA8888);
        auto texture = std::make_unique<QOpenGLTexture>(QOpenGLTexture::Target2D);
        texture->setFormat(QOpenGLTexture::RGBA8_UNorm);
        texture->setSize(upload.width(), upload.height());
        texture->setMipLevels(texture->maximumMipLevels());
        texture->allocateStorage(QOpenGLTexture::RGBA, QOpenGLTexture::UInt8);
        texture->setData(0, QOpenGLTexture::RGBA, QOpenGLTexture::UInt8, upload.constBits());
        texture->generateMipMaps();
        texture->setMinificationFilter(QOpenGLTexture::LinearMipMapLinear);
        texture->setMagnificationFilter(QOpenGLTexture::Linear);
        texture->setWrapMode(QOpenGLTexture::Repeat);
        m_textures[face] = std::move(texture);
        m_textureKeys[face] = picture.cacheKey();
    }
    return m_textures[face].get();
}

void GLTextRenderer::drawFace(int face, const FaceLook& look, int first, int count) {
    if (count == 0)
        return;
    m_program->setUniformValue("lit", look.lit);
    m_program->setUniformValue("colour", rgba(look.colour));
    const LitMaterial& material = look.material;
    m_program->setUniformValue("ambient", rgba(material.ambient));
    m_program->setUniformValue("diffuse", rgba(material.diffuse));
    m_program->setUniformValue("emissive", rgba(material.emissive));
    m_program->setUniformValue("specular", rgba(material.specular));
    m_program->setUniformValue("shininess", float(material.shininess));
    QOpenGLTexture* texture = look.lit ? textureFor(face, material.texture) : nullptr;
    m_program->setUniformValue("textured", texture != nullptr);
    if (texture)
        texture->bind(0);
    m_context->functions()->glDrawArrays(GL_TRIANGLES, first, count);
    if (texture)
        texture->release(0);
}

QMatrix4x4 GLTextRenderer::projection(QSize size) {
    QMatrix4x4 matrix;
    matrix.perspective(float(fieldOfView), float(size.width()) / float(std::max(1, size.height())), 1.0f,
                       200.0f);
    return matrix;
}

QMatrix4x4 GLTextRenderer::view() {
    // The camera is carried on a rig turned about the x axis, so it looks down at the origin.
    QMatrix4x4 matrix;
    matrix.translate(0, 0, -float(cameraDistance));
    matrix.rotate(float(cameraRaise), 1, 0, 0);
    return matrix;
}

QMatrix4x4 GLTextRenderer::model(const TextScene& scene) {
    QMatrix4x4 matrix;
    matrix.translate(float(TextScene::centreX), float(TextScene::centreY), 0);
    matrix.rotate(float(scene.rotationX), 1, 0, 0);
    matrix.rotate(float(scene.rotationY), 0, 1, 0);
    matrix.scale(1, 1, float(scene.depth)); // the mesh has unit depth
    return matrix;
}

QImage GLTextRenderer::render(const TextScene& scene, QSize size, const QColor& clear,
                              RenderQuality quality) {
    if (size.isEmpty())
        return QImage();
    makeCurrent();
    prepareMesh(scene);
    QOpenGLFramebufferObject* target = framebufferFor(size, quality);

    QOpenGLExtraFunctions* gl = m_context->extraFunctions();
    target->bind();
    gl->glViewport(0, 0, size.width(), size.height());
    const float alpha = float(clear.alphaF());
    gl->glClearColor(float(clear.redF()) * alpha, float(clear.greenF()) * alpha, float(clear.blueF()) * alpha,
                     alpha);
    gl->glClearDepthf(1);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (!m_mesh.isEmpty()) {
        gl->glEnable(GL_DEPTH_TEST);
        gl->glDepthFunc(GL_LESS);
        gl->glEnable(GL_BLEND);
        gl->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        gl->glDisable(GL_CULL_FACE);

        m_program->bind();
        const QMatrix4x4 modelView = view() * model(scene);
        m_program->setUniformValue("modelView", modelView);
        m_program->setUniformValue("projection", projection(size));
        m_program->setUniformValue("normalMatrix", modelView.normalMatrix());
        m_program->setUniformValue("ambientLight", ambientLight);
        m_program->setUniformValue("picture", 0);
        QOpenGLVertexArrayObject::Binder boundArray(m_vertexArray.get());
        drawFace(int(TextFace::Front), scene.face(TextFace::Front), m_mesh.frontFirst(), m_mesh.frontCount);
        drawFace(int(TextFace::Back), scene.face(TextFace::Back), m_mesh.backFirst(), m_mesh.backCount);
        drawFace(int(TextFace::Sides), scene.face(TextFace::Sides), m_mesh.sideFirst(), m_mesh.sideCount);
        m_program->release();
    }

    QOpenGLFramebufferObject* readable = target;
    if (target == m_multisampled.get()) {
        const QRect whole(QPoint(0, 0), size);
        QOpenGLFramebufferObject::blitFramebuffer(m_resolved.get(), whole, m_multisampled.get(), whole);
        readable = m_resolved.get();
    }
    readable->bind();
    // Blue, green, red, alpha bytes are a premultiplied ARGB32 picture on a little-endian machine; GL's rows
    // run bottom to top.
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        throw UserError(QStringLiteral("3D text cannot be drawn: not enough memory for a %1 × %2 picture.")
                            .arg(size.width())
                            .arg(size.height()));
    gl->glPixelStorei(GL_PACK_ALIGNMENT, 4);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    gl->glReadPixels(0, 0, size.width(), size.height(), GL_BGRA, GL_UNSIGNED_BYTE, picture.bits());
#else
    gl->glReadPixels(0, 0, size.width(), size.height(), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, picture.bits());
#endif
    readable->release();
    picture.mirror(false, true);
    m_context->doneCurrent();
    return picture;
}

std::unique_ptr<TextRenderer> makeOpenGLTextRenderer() {
    return std::make_unique<GLTextRenderer>();
}
