// SPDX-License-Identifier: MIT
// "Edit 3D text": a small 3D scene with one piece of extruded text. The user sets the text, font, size, depth
// and turn, and for each face (front, sides, back) a plain colour or a lit material with its colours and a
// texture. "Ok" draws the scene on a transparent background into the 3D text picture; the scene stays for the
// next opening and for "Restore original text" of the 3D text tool.
#pragma once

#include "steps/TextScene.h"

#include <QDialog>

#include <array>
#include <memory>

class ColourComboBox;
class PictureView;
class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class TextImage3D;
class TextRenderer;
class TextSceneView;
class TrackBar;

class Text3DEditor : public QDialog {
    Q_OBJECT
public:
    explicit Text3DEditor(TextImage3D& textImage, QWidget* parent = nullptr);
    ~Text3DEditor() override;

    const TextScene& scene() const { return m_scene; }
    // Sets the scene and every control to show it, as if the user had set them so (the text tool's "Edit
    // again"). A family not in the font list leaves no family chosen there.
    void setScene(const TextScene& scene);
    TextSceneView* view() const { return m_view; }
    // The view's size now: the size of the picture "Ok" makes.
    QSize viewSize() const;

    TextRenderer& renderer() { return *m_renderer; }
    void setRenderer(std::unique_ptr<TextRenderer> renderer);

    // "Ok" without closing: the scene drawn over transparency at the view's size becomes the 3D text picture.
    // A failure is shown to the user and changes nothing; returns whether it worked.
    bool renderTextImage();
    // "Ok": renders and closes.
    void confirm();

signals:
    // The 3D text picture was drawn afresh from the scene.
    void textImageRendered();

private:
    void buildPanel(QWidget* panel);
    void buildMaterials(QWidget* box);
    void redraw();
    void loadTexture(TextFace face);

    TextImage3D& m_textImage;
    TextScene m_scene;
    std::unique_ptr<TextRenderer> m_renderer;
    TextSceneView* m_view;
    QPlainTextEdit* m_textEdit = nullptr;
    QListWidget* m_fontList = nullptr;
    TrackBar* m_rotationXBar = nullptr;
    TrackBar* m_rotationYBar = nullptr;
    TrackBar* m_depthBar = nullptr;
    TrackBar* m_sizeBar = nullptr;
    // Each face's controls: the plain colour's box and colour, the lit material's box, colours and texture.
    struct FaceWidgets {
        QCheckBox* colourBox = nullptr;
        ColourComboBox* colour = nullptr;
        QCheckBox* materialBox = nullptr;
        std::array<ColourComboBox*, 4> litColours{}; // ambient, diffuse, emissive, specular
        PictureView* texture = nullptr;
    };
    std::array<FaceWidgets, textFaceCount> m_faceWidgets{};
};
