// SPDX-License-Identifier: MIT
// Extruded 3D text: the mesh on small outlines made in code, the OpenGL renderer's pictures, and the 3D text
// editor and tool driven through their controls. Needs an OpenGL 3.3 context (the X server of the test run).
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "base/Fonts.h"
#include "base/UserError.h"
#include "crop/CropWindow.h"
#include "decorations/DecorationCatalog.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "filters/FilterGallery.h"
#include "galleries/DecorationGallery.h"
#include "overlay/OverlayEditor.h"
#include "scene/GuideLine.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "text3d/GLTextRenderer.h"
#include "text3d/Text3DEditor.h"
#include "text3d/Text3DTool.h"
#include "text3d/TextMesh.h"
#include "text3d/TextSceneView.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/PictureView.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

QRectF squareAt(double centre, double half) {
    return QRectF(centre - half, centre - half, 2 * half, 2 * half);
}

// Twice the signed area of a triangle (x, y only).
double twiceArea(const TextMeshVertex& a, const TextMeshVertex& b, const TextMeshVertex& c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

double capArea(const TextMesh& mesh, int first, int count) {
    double area = 0;
    for (int i = first; i < first + count; i += 3)
        area += std::abs(twiceArea(mesh.vertices[i], mesh.vertices[i + 1], mesh.vertices[i + 2])) / 2;
    return area;
}

bool capCovers(const TextMesh& mesh, QPointF p) {
    for (int i = 0; i < mesh.frontCount; i += 3) {
        const TextMeshVertex& a = mesh.vertices[i];
        const TextMeshVertex& b = mesh.vertices[i + 1];
        const TextMeshVertex& c = mesh.vertices[i + 2];
        const TextMeshVertex q{float(p.x()), float(p.y()), 0, 0, 0, 0, 0, 0};
        const double d1 = twiceArea(a, b, q), d2 = twiceArea(b, c, q), d3 = twiceArea(c, a, q);
        if ((d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0))
            return true;
    }
    return false;
}

// Which colour the opaque pixels of a picture mostly are: 'r', 'g', 'b', or '-' when none stands out.
char mostlyOf(const QImage& picture) {
    int counts[3] = {};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qAlpha(p) < 255)
                continue;
            const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
            for (int k = 0; k < 3; ++k)
                if (c[k] > c[(k + 1) % 3] + 60 && c[k] > c[(k + 2) % 3] + 60)
                    ++counts[k];
        }
    const int best = int(std::max_element(counts, counts + 3) - counts);
    const int total = counts[0] + counts[1] + counts[2];
    return total > 0 && counts[best] * 2 > total ? "rgb"[best] : '-';
}

// The rectangle holding every pixel that is not fully transparent.
QRect coveredArea(const QImage& picture) {
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) > 0)
                area |= QRect(x, y, 1, 1);
    return area;
}

QImage renderOrFail(TextRenderer& renderer, const TextScene& scene, QSize size,
                    QColor clear = Qt::transparent, RenderQuality quality = RenderQuality::Final) {
    try {
        return renderer.render(scene, size, clear, quality);
    } catch (const UserError& error) {
        QTest::qFail(qPrintable(error.message()), __FILE__, __LINE__);
        return {};
    }
}

// A renderer for a display without OpenGL.
class NoOpenGL : public TextRenderer {
public:
    QImage render(const TextScene&, QSize, const QColor&, RenderQuality) override {
        throw UserError("3D text cannot be drawn: no OpenGL 3.3 context could be made on this display.");
    }
};

TextScene plainScene(const QString& text, QColor front, QColor sides, QColor back) {
    TextScene scene;
    scene.text = text;
    scene.fontSize = 10;
    scene.depth = 3;
    scene.face(TextFace::Front).colour = front;
    scene.face(TextFace::Sides).colour = sides;
    scene.face(TextFace::Back).colour = back;
    return scene;
}

constexpr QSize smallView(240, 180);

} // namespace

class Text3DTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    Text3DTool* m_tool = nullptr;
    Text3DEditor* m_editor = nullptr;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    TextImage3D& textImage() { return m_driver->windows().textImage3D(); }
    void write(const QString& words) { m_driver->control(ui::text3DEditor.text)->setPlainText(words); }
    // Text written in the editor and drawn with its "Ok".
    void renderText(const QString& words) {
        write(words);
        m_driver->click(ui::text3DEditor.ok);
        QVERIFY(desktop().messages.isEmpty());
    }
    // What stays locked until the editor has drawn a text picture.
    static QList<Control<QWidget>> lockedControls() {
        const ui::Text3DToolControls& tool = ui::text3D;
        return {tool.zoomBar,          tool.opacityBar,     tool.rotationBar,     tool.restoreZoom,
                tool.restoreOpacity,   tool.angles.rotate0, tool.angles.rotate90, tool.angles.rotate180,
                tool.angles.rotate270, tool.locate,         tool.filterGallery,   tool.restoreText,
                tool.addImage,         tool.crop,           tool.flipHorizontal,  tool.flipVertical,
                tool.specialEffects,   tool.proportional};
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_tool = &m_driver->windows().text3DTool();
        m_editor = &m_driver->windows().text3DEditor();
    }
    void cleanup() { m_driver.reset(); }

    // ---- the mesh

    // Nested squares turned the same way and the opposite way: with the odd rule the inner one is a hole
    // either way, and a square inside the hole is filled again.
    void capsKeepHoles_data() {
        QTest::addColumn<bool>("sameTurn");
        QTest::newRow("contours turned alike") << true;
        QTest::newRow("contours turned oppositely") << false;
    }
    void capsKeepHoles() {
        QFETCH(bool, sameTurn);
        QPainterPath outline;
        outline.addRect(squareAt(0, 4));
        if (sameTurn) {
            outline.addRect(squareAt(0, 2));
        } else {
            QPolygonF reversed(squareAt(0, 2));
            std::reverse(reversed.begin(), reversed.end());
            outline.addPolygon(reversed);
            outline.closeSubpath();
        }
        outline.addRect(squareAt(0, 1));
        const TextMesh mesh = extrudeOutline(outline, 0.01);
        const double expected = 64 - 16 + 4;
        QCOMPARE(capArea(mesh, mesh.frontFirst(), mesh.frontCount), expected);
        QCOMPARE(capArea(mesh, mesh.backFirst(), mesh.backCount), expected);
        QVERIFY(capCovers(mesh, {3, 2.7}));
        QVERIFY(!capCovers(mesh, {1.5, 1.3})); // in the hole
        QVERIFY(capCovers(mesh, {0.5, 0.3}));  // on the island inside the hole
        for (int i = 0; i < mesh.frontCount; ++i) {
            const TextMeshVertex& front = mesh.vertices[mesh.frontFirst() + i];
            const TextMeshVertex& back = mesh.vertices[mesh.backFirst() + i];
            QCOMPARE(front.z, 0.5f);
            QCOMPARE(front.nz, 1.0f);
            QCOMPARE(back.z, -0.5f);
            QCOMPARE(back.nz, -1.0f);
        }
    }

    // Walls face out of the filled area: away from the centre on the outer square and the island, towards
    // it on the hole's edge; they span the whole depth.
    void wallsFaceOutOfTheLetters() {
        QPainterPath outline;
        outline.addRect(squareAt(0, 4));
        outline.addRect(squareAt(0, 2));
        outline.addRect(squareAt(0, 1));
        const TextMesh mesh = extrudeOutline(outline, 0.01);
        QCOMPARE(mesh.sideCount, 3 * 4 * 6); // three squares, four walls each, two triangles a wall
        float nearest = 1, farthest = -1;
        for (int i = mesh.sideFirst(); i < mesh.sideFirst() + mesh.sideCount; ++i) {
            const TextMeshVertex& v = mesh.vertices[i];
            QCOMPARE(v.nz, 0.0f);
            QVERIFY(std::abs(std::hypot(v.nx, v.ny) - 1) < 1e-5);
            nearest = std::min(nearest, v.z);
            farthest = std::max(farthest, v.z);
            const double reach = std::max(std::abs(v.x), std::abs(v.y));
            const double outwards = v.nx * v.x + v.ny * v.y; // > 0: points away from the centre
            const bool onHoleEdge = std::abs(reach - 2) < 1e-6;
            QVERIFY2(
                onHoleEdge ? outwards < 0 : outwards > 0,
                qPrintable(QString("normal (%1, %2) at (%3, %4)").arg(v.nx).arg(v.ny).arg(v.x).arg(v.y)));
        }
        QCOMPARE(nearest, -0.5f);
        QCOMPARE(farthest, 0.5f);
    }

    // Lines wrap inside the box and are centred in it; an empty text makes no mesh.
    void textIsLaidOutCentredInTheBox() {
        const QSizeF box = TextScene::box;
        QVERIFY(buildTextMesh(QString(), QString(), 5, box).isEmpty());
        QVERIFY(buildTextMesh("   ", QString(), 5, box).isEmpty());

        const QRectF one = textOutline("H", QString(), 5, box).boundingRect();
        QVERIFY2(std::abs(one.center().x()) < 0.05 && std::abs(one.center().y()) < 0.6,
                 qPrintable(QString("centre %1, %2").arg(one.center().x()).arg(one.center().y())));
        QVERIFY(one.height() > 3 && one.height() < 5); // a capital of an em of 5

        const QRectF two = textOutline("H\nH", QString(), 5, box).boundingRect();
        QVERIFY(two.height() > 1.8 * one.height());
        QVERIFY(std::abs(two.center().y()) < 0.6);

        const QRectF wrapped =
            textOutline(QString("HHHH ").repeated(12).trimmed(), QString(), 5, box).boundingRect();
        QVERIFY2(wrapped.width() <= box.width() && wrapped.width() > box.width() / 2,
                 qPrintable(QString::number(wrapped.width())));
        QVERIFY(wrapped.height() > 2.5 * one.height());
        QVERIFY(std::abs(wrapped.center().x()) < 0.5);
    }

    // ---- the renderer

    // Each face shows its own material: the front seen from the front, the back from behind, the walls
    // from the side.
    void facesShowTheirOwnMaterials_data() {
        QTest::addColumn<double>("rotationX");
        QTest::addColumn<double>("rotationY");
        QTest::addColumn<char>("seen");
        QTest::newRow("front") << 0.0 << 0.0 << 'r';
        QTest::newRow("turned round") << 0.0 << 180.0 << 'b';
        QTest::newRow("tilted over") << 180.0 << 0.0 << 'b';
        QTest::newRow("from the side") << 0.0 << 90.0 << 'g';
    }
    void facesShowTheirOwnMaterials() {
        QFETCH(double, rotationX);
        QFETCH(double, rotationY);
        QFETCH(char, seen);
        GLTextRenderer renderer;
        TextScene scene = plainScene("H", Qt::red, Qt::green, Qt::blue);
        scene.rotationX = rotationX;
        scene.rotationY = rotationY;
        const QImage picture = renderOrFail(renderer, scene, smallView);
        QCOMPARE(mostlyOf(picture), seen);
    }

    // "Vertical rotation" tilts about the horizontal axis (the text gets flat), "Horizontal rotation" turns
    // about the vertical one (the text gets narrow).
    void turnsAboutTheRightAxes() {
        GLTextRenderer renderer;
        TextScene scene = plainScene("HHHH", Qt::red, Qt::red, Qt::red);
        scene.fontSize = 4;
        scene.depth = 0.3;
        const QRect flat = coveredArea(renderOrFail(renderer, scene, smallView));
        scene.rotationX = 90;
        const QRect tilted = coveredArea(renderOrFail(renderer, scene, smallView));
        scene.rotationX = 0;
        scene.rotationY = 90;
        const QRect turned = coveredArea(renderOrFail(renderer, scene, smallView));
        QVERIFY(!flat.isEmpty());
        QVERIFY2(tilted.height() < flat.height() / 2 && tilted.width() > flat.width() * 2 / 3,
                 qPrintable(QString("%1 x %2").arg(tilted.width()).arg(tilted.height())));
        QVERIFY2(turned.width() < flat.width() / 2 && turned.height() > flat.height() * 2 / 3,
                 qPrintable(QString("%1 x %2").arg(turned.width()).arg(turned.height())));
    }

    // Whatever the turn, depth and size, the picture has the asked size, and wherever the same scene over
    // white shows white, the transparent picture is fully transparent; the letters themselves are opaque.
    void transparentAroundTheText_data() {
        QTest::addColumn<double>("rotationX");
        QTest::addColumn<double>("rotationY");
        QTest::addColumn<double>("depth");
        QTest::addColumn<double>("size");
        QTest::newRow("as it starts") << 0.0 << 0.0 << 0.3 << 5.0;
        QTest::newRow("turned and tilted") << 35.0 << 300.0 << 4.0 << 7.0;
        QTest::newRow("seen from below") << 250.0 << 20.0 << 10.0 << 2.0;
        QTest::newRow("largest") << 0.0 << 359.0 << 10.0 << 10.0;
    }
    void transparentAroundTheText() {
        QFETCH(double, rotationX);
        QFETCH(double, rotationY);
        QFETCH(double, depth);
        QFETCH(double, size);
        GLTextRenderer renderer;
        TextScene scene = plainScene("Lumora\nglyphs", Qt::red, QColor(200, 0, 0), QColor(150, 0, 0));
        scene.rotationX = rotationX;
        scene.rotationY = rotationY;
        scene.depth = depth;
        scene.fontSize = size;
        const QSize viewSize(301, 203);
        const QImage clear = renderOrFail(renderer, scene, viewSize);
        const QImage onWhite = renderOrFail(renderer, scene, viewSize, Qt::white);
        QCOMPARE(clear.size(), viewSize);
        QCOMPARE(clear.format(), QImage::Format_ARGB32_Premultiplied);
        int covered = 0;
        for (int y = 0; y < clear.height(); ++y)
            for (int x = 0; x < clear.width(); ++x) {
                const QRgb pixel = clear.pixel(x, y);
                if (onWhite.pixel(x, y) == qRgb(255, 255, 255))
                    QVERIFY2(pixel == 0,
                             qPrintable(QString("pixel %1,%2 is %3").arg(x).arg(y).arg(pixel, 8, 16)));
                if (qAlpha(pixel) == 255)
                    ++covered;
            }
        QVERIFY(covered > 100);
    }

    // Final pictures smooth the letters' edges (multisampling); the drafts shown while dragging do not.
    void finalPicturesAreSmoothedDraftsAreNot() {
        GLTextRenderer renderer;
        const TextScene scene = plainScene("Lumora", Qt::red, Qt::red, Qt::red);
        auto partlyCovered = [](const QImage& picture) {
            int count = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    count += qAlpha(picture.pixel(x, y)) % 255 != 0;
            return count;
        };
        QVERIFY(partlyCovered(renderOrFail(renderer, scene, smallView)) > 50);
        const QImage draft = renderOrFail(renderer, scene, smallView, Qt::transparent, RenderQuality::Draft);
        QVERIFY(!coveredArea(draft).isEmpty());
        QCOMPARE(partlyCovered(draft), 0);
    }

    // Lit materials: each colour of the material shows, and a texture colours the face.
    void litMaterialsShowTheirColours_data() {
        QTest::addColumn<QColor>("ambient");
        QTest::addColumn<QColor>("diffuse");
        QTest::addColumn<QColor>("emissive");
        QTest::addColumn<QColor>("texture");
        QTest::addColumn<char>("seen");
        const QColor none = Qt::transparent;
        QTest::newRow("diffuse") << QColor(Qt::black) << QColor(Qt::green) << none << none << 'g';
        QTest::newRow("emissive") << QColor(Qt::black) << QColor(Qt::black) << QColor(Qt::blue) << none
                                  << 'b';
        QTest::newRow("ambient") << QColor(Qt::red) << QColor(Qt::black) << none << none << 'r';
        QTest::newRow("texture") << QColor(Qt::white) << QColor(Qt::white) << none << QColor(Qt::blue) << 'b';
    }
    void litMaterialsShowTheirColours() {
        QFETCH(QColor, ambient);
        QFETCH(QColor, diffuse);
        QFETCH(QColor, emissive);
        QFETCH(QColor, texture);
        QFETCH(char, seen);
        GLTextRenderer renderer;
        TextScene scene = plainScene("H", Qt::gray, Qt::gray, Qt::gray);
        FaceLook& front = scene.face(TextFace::Front);
        front.lit = true;
        front.material.ambient = ambient;
        front.material.diffuse = diffuse;
        front.material.emissive = emissive;
        front.material.specular = Qt::black;
        if (texture.alpha() > 0)
            front.material.texture = filled({4, 3}, texture);
        const QImage picture = renderOrFail(renderer, scene, smallView);
        if (seen != 'r') {
            QCOMPARE(mostlyOf(picture), seen);
            return;
        }
        // The ambient light alone is dim: the front shows a dark pure red, the grey faces none.
        int dimRed = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                if (qAlpha(p) == 255 && qRed(p) > 20 && qGreen(p) == 0 && qBlue(p) == 0)
                    ++dimRed;
            }
        QVERIFY2(dimRed > 500, qPrintable(QString::number(dimRed)));
    }

    // The mesh is made again for a new text, font or size, not for a turn, a depth or a colour.
    void meshIsKeptWhileTurningAndColouring() {
        GLTextRenderer renderer;
        TextScene scene = plainScene("Hi", Qt::red, Qt::red, Qt::red);
        renderOrFail(renderer, scene, smallView);
        QCOMPARE(renderer.meshBuilds(), 1);
        scene.rotationY = 40;
        scene.rotationX = 10;
        scene.depth = 6;
        scene.face(TextFace::Sides).colour = Qt::blue;
        scene.face(TextFace::Front).lit = true;
        renderOrFail(renderer, scene, smallView);
        QCOMPARE(renderer.meshBuilds(), 1);
        for (auto change : {+[](TextScene& s) { s.text = "Ho"; }, +[](TextScene& s) { s.family = "Georgia"; },
                            +[](TextScene& s) { s.fontSize = 3; }}) {
            const int before = renderer.meshBuilds();
            change(scene);
            renderOrFail(renderer, scene, smallView);
            QCOMPARE(renderer.meshBuilds(), before + 1);
        }
    }

    // ---- the editor

    void editorStartsRedOnEveryFaceAsLaidOut() {
        QCOMPARE(m_editor->objectName(), "Form4");
        QCOMPARE(m_editor->windowTitle(), "Edit 3D text");
        const TextScene& scene = m_editor->scene();
        for (const FaceLook& face : scene.faces) {
            QVERIFY(!face.lit);
            QCOMPARE(face.colour, QColor(Qt::red));
            QCOMPARE(face.material.diffuse, QColor(Qt::white));
            QCOMPARE(face.material.specular, QColor(0x60, 0x60, 0x60));
            QCOMPARE(face.material.shininess, 30.0);
        }
        QCOMPARE(scene.face(TextFace::Front).material.ambient, QColor(Qt::white));
        QCOMPARE(scene.face(TextFace::Back).material.ambient, QColor(0x20, 0x20, 0x20));
        QCOMPARE(scene.depth, 0.3);
        QCOMPARE(scene.fontSize, 5.0);
        for (const ui::FaceControls* face :
             {&ui::text3DEditor.front, &ui::text3DEditor.sides, &ui::text3DEditor.back}) {
            QVERIFY(m_driver->control(face->useColour)->isChecked());
            QVERIFY(!m_driver->control(face->useMaterial)->isChecked());
            for (const Control<ColourComboBox>& box :
                 {face->colour, face->ambient, face->diffuse, face->emissive, face->specular})
                QCOMPARE(m_driver->control(box)->colour(), QColor(Qt::white));
        }
        auto* fonts = m_driver->control(ui::text3DEditor.fonts);
        QCOMPARE(fonts->count(), 92);
        QVERIFY(fonts->selectedItems().isEmpty());
        QCOMPARE(m_driver->control(ui::text3DEditor.depth)->minimum(), 0.3);
        QCOMPARE(m_driver->control(ui::text3DEditor.size)->value(), 5.0);

        write("H");
        TextScene shown = m_editor->scene();
        QCOMPARE(mostlyOf(renderOrFail(m_editor->renderer(), shown, smallView)), 'r');
        fonts->setCurrentRow(41);
        QCOMPARE(m_editor->scene().family, fonts->item(41)->text());
    }

    // Of each face's two boxes only checking acts: it takes its material and unchecks the other box.
    // Unchecking the checked box leaves both unchecked and the face as it was.
    void checkingActsUncheckingDoesNot_data() {
        QTest::addColumn<int>("face");
        QTest::newRow("front") << int(TextFace::Front);
        QTest::newRow("sides") << int(TextFace::Sides);
        QTest::newRow("back") << int(TextFace::Back);
    }
    void checkingActsUncheckingDoesNot() {
        QFETCH(int, face);
        auto* colour = m_driver->control(ui::text3DEditor.face(TextFace(face)).useColour);
        auto* material = m_driver->control(ui::text3DEditor.face(TextFace(face)).useMaterial);
        auto lit = [&] { return m_editor->scene().faces[face].lit; };

        colour->click(); // unchecks: nothing else
        QVERIFY(!colour->isChecked() && !material->isChecked());
        QVERIFY(!lit());
        material->click();
        QVERIFY(material->isChecked() && !colour->isChecked());
        QVERIFY(lit());
        material->click();
        QVERIFY(!colour->isChecked() && !material->isChecked());
        QVERIFY(lit());
        colour->click();
        QVERIFY(colour->isChecked() && !material->isChecked());
        QVERIFY(!lit());
        for (int other = 0; other < textFaceCount; ++other)
            if (other != face)
                QVERIFY(!m_editor->scene().faces[other].lit);
    }

    // A lit colour is taken only while its face's material box is checked; a dropped one is not applied
    // later. Plain colours are always taken, also while the face shows its lit material.
    void coloursAreGuardedByTheirMaterialBox() {
        const struct {
            Control<ColourComboBox> ui::FaceControls::*box;
            QColor LitMaterial::*field;
        } litColours[] = {{&ui::FaceControls::ambient, &LitMaterial::ambient},
                          {&ui::FaceControls::diffuse, &LitMaterial::diffuse},
                          {&ui::FaceControls::emissive, &LitMaterial::emissive},
                          {&ui::FaceControls::specular, &LitMaterial::specular}};
        const QColor chosen(10, 200, 30, 128);
        for (const TextFace face : {TextFace::Front, TextFace::Sides, TextFace::Back})
            for (const auto& [box, field] : litColours) {
                const Control<ColourComboBox>& combo = ui::text3DEditor.face(face).*box;
                QCheckBox* guard = m_driver->control(ui::text3DEditor.face(face).useMaterial);
                guard->setChecked(false); // the face may stay lit, the box is what counts
                const QColor before = m_editor->scene().face(face).material.*field;
                m_driver->control(combo)->setColour(chosen);
                QVERIFY2(m_editor->scene().face(face).material.*field == before, combo.name);
                guard->setChecked(true);
                QVERIFY2(m_editor->scene().face(face).material.*field == before, combo.name);
                m_driver->control(combo)->setColour(Qt::magenta);
                QVERIFY2(m_editor->scene().face(face).material.*field == QColor(Qt::magenta), combo.name);
            }
        for (const TextFace face : {TextFace::Front, TextFace::Sides, TextFace::Back}) {
            m_driver->control(ui::text3DEditor.face(face).colour)->setColour(Qt::yellow);
            QVERIFY(m_editor->scene().face(face).lit); // every face is lit by now
            QCOMPARE(m_editor->scene().face(face).colour, QColor(Qt::yellow));
        }
    }

    // A double click loads a texture into the image and its material, also while the face shows its colour.
    // A cancelled dialog or an unreadable file gives the material the image's picture again.
    void texturesComeFromTheImages() {
        const QImage picture = gradientPicture(4, 3);
        auto* image = m_driver->control(ui::text3DEditor.back.texture);
        auto texture = [&] { return m_editor->scene().face(TextFace::Back).material.texture; };
        desktop().openAnswers << ""; // cancelled: still no texture
        QTest::mouseDClick(image, Qt::LeftButton);
        QVERIFY(texture().isNull());
        desktop().openAnswers << m_driver->writePicture("texture.png", picture);
        QTest::mouseDClick(image, Qt::LeftButton);
        QCOMPARE(image->picture(), picture);
        QCOMPARE(texture(), picture);
        QVERIFY(!m_editor->scene().face(TextFace::Back).lit);

        desktop().openAnswers << m_driver->filePath("missing.png");
        QTest::mouseDClick(image, Qt::LeftButton);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(desktop().messages.first().contains("missing.png"));
        QCOMPARE(image->picture(), picture);
        QCOMPARE(texture(), picture);
        QVERIFY(m_editor->scene().face(TextFace::Front).material.texture.isNull());
    }

    // The turn about the vertical axis reads exactly as set after any number of other changes.
    void turnStaysPutThroughOtherChanges() {
        m_driver->control(ui::text3DEditor.horizontalRotation)->setValue(37.3);
        const double turn = m_editor->scene().rotationY;
        QCOMPARE(turn, m_driver->control(ui::text3DEditor.horizontalRotation)->value());
        for (int i = 0; i < 20; ++i) {
            m_driver->control(i % 2 ? ui::text3DEditor.front.useMaterial : ui::text3DEditor.front.useColour)
                ->setChecked(true);
            m_driver->control(ui::text3DEditor.sides.colour)->setColour(QColor(i * 10, 0, 0));
            m_driver->control(ui::text3DEditor.front.diffuse)->setColour(QColor(0, i * 10, 0));
            desktop().openAnswers << "";
            m_driver->doubleClick(ui::text3DEditor.front.texture);
        }
        QCOMPARE(m_editor->scene().rotationY, turn);
    }

    // While a turn is dragged the view draws half the size, scaled up; letting go draws the full size.
    void viewDrawsSmallerWhileATurnIsDragged() {
        write("H");
        TextSceneView* view = m_editor->view();
        view->resize(400, 300);
        view->refresh();
        QCOMPARE(view->picture().size(), QSize(400, 300));
        for (const Control<TrackBar>& turn :
             {ui::text3DEditor.verticalRotation, ui::text3DEditor.horizontalRotation}) {
            auto* bar = m_driver->control(turn);
            bar->setSliderDown(true);
            bar->setValue(bar->value() + 30);
            view->refresh();
            QCOMPARE(view->picture().size(), QSize(200, 150));
            bar->setSliderDown(false);
            view->refresh();
            QCOMPARE(view->picture().size(), QSize(400, 300));
        }
    }

    // "Ok" with an empty text gives a fully transparent picture of the view's size and unlocks the tool.
    void emptyTextGivesATransparentPictureAndUnlocksTheTool() {
        QVERIFY(!m_tool->isUnlocked());
        m_driver->click(ui::text3DEditor.ok);
        QVERIFY(desktop().messages.isEmpty());
        const QImage picture = textImage().image();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), m_editor->viewSize());
        QCOMPARE(picture.size(), QSize(952 - 160, 697)); // never shown: the window's own size
        QVERIFY(coveredArea(picture).isEmpty());
        QCOMPARE(m_editor->result(), int(QDialog::Accepted));
        QVERIFY(m_tool->isUnlocked());
        for (const Control<QWidget>& control : lockedControls())
            QVERIFY2(m_driver->control(control)->isEnabled(), control.name);
        QCOMPARE(m_tool->textPicture()->picture(), picture);
    }

    // Without OpenGL the user is told so, in the view and on "Ok"; nothing is written or unlocked.
    void withoutOpenGLTheUserIsToldAndNothingChanges() {
        m_editor->setRenderer(std::make_unique<NoOpenGL>());
        write("Lumora");
        m_editor->view()->refresh();
        QVERIFY(m_editor->view()->problem().contains("OpenGL"));
        m_driver->click(ui::text3DEditor.ok);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(desktop().messages.first().contains("OpenGL"));
        QVERIFY(textImage().image().isNull());
        QVERIFY(!m_tool->isUnlocked());
        QVERIFY(m_editor->result() != QDialog::Accepted);
        m_tool->restoreOriginalText();
        QCOMPARE(desktop().messages.size(), 2);
        QVERIFY(!m_tool->isUnlocked());
    }

    // ---- the tool

    // At the first opening only the settings and the bottom buttons work; "Ok" gives the background alone
    // and leaves the main window's zoom and size as they were.
    void firstOpeningGivesTheBackgroundAloneAndKeepsTheZoom() {
        const QImage photo = gradientPicture(50, 30);
        m_driver->openToolOn(WindowId::Text3D, photo, 2);
        QCOMPARE(m_tool->windowTitle(), "Add 3D text");
        QCOMPARE(m_tool->background()->picture(), photo);
        QCOMPARE(m_tool->background()->size(), QSizeF(50, 30));
        QCOMPARE(m_tool->zoomBar()->value(), 2.0);
        for (const Control<QWidget>& control : lockedControls())
            QVERIFY2(!m_driver->control(control)->isEnabled(), control.name);
        for (const Control<QWidget>& control : std::initializer_list<Control<QWidget>>{
                 ui::text3D.marginYBox, ui::text3D.gripSizeBox, ui::text3D.marginXBox,
                 ui::text3D.restoreMargins, ui::text3D.restoreGripSize, ui::text3D.antiLag,
                 ui::text3D.openEditor, ui::text3D.ok, ui::text3D.cancel})
            QVERIFY2(m_driver->control(control)->isEnabled(), control.name);
        m_tool->zoomBar()->setValue(3);
        m_driver->click(ui::text3D.ok);
        QCOMPARE(document().image(), photo);
        QCOMPARE(document().zoom(), 2.0);
        QCOMPARE(document().controlSize(), QSizeF(50, 30));
    }

    // The merge holds the 3D text picture at its place, fitted or stretched into its box, and cut at the
    // background's edges.
    void mergePlacesTheTextPicture_data() {
        QTest::addColumn<bool>("proportional");
        QTest::addColumn<QRect>("blue");
        QTest::newRow("fitted") << true << QRect(10, 20, 40, 20);
        QTest::newRow("stretched") << false << QRect(10, 10, 40, 40);
    }
    void mergePlacesTheTextPicture() {
        QFETCH(bool, proportional);
        QFETCH(QRect, blue);
        m_driver->openToolOn(WindowId::Text3D, filled({60, 45}, Qt::white));
        m_tool->unlock();
        textImage().setImage(filled({80, 40}, Qt::blue));
        m_driver->control(ui::text3D.proportional)->setChecked(proportional);
        m_tool->preview()->frame()->setPos(10, 10);
        m_tool->preview()->frame()->setSize({40, 40});
        m_tool->preview()->putElementOnFrame();
        const QImage merged = m_tool->mergedPicture();
        QCOMPARE(merged.size(), QSize(60, 45));
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 60; ++x) {
                const QColor expected = blue.contains(x, y) ? Qt::blue : Qt::white;
                QVERIFY2(merged.pixelColor(x, y) == expected, qPrintable(QString("%1,%2").arg(x).arg(y)));
            }

        m_tool->preview()->frame()->setPos(40, 30); // partly outside the background
        m_tool->preview()->putElementOnFrame();
        m_driver->click(ui::text3D.ok);
        QCOMPARE(document().image().size(), QSize(60, 45));
        QCOMPARE(document().image().pixelColor(59, 44), QColor(Qt::blue));
    }

    // A margin moves the background (and the text picture in it), puts its guide one unit before it under
    // the background, and the frame over the text picture at its size.
    void marginMovesTheBackgroundAndPutsTheFrameOverTheText() {
        m_driver->openToolOn(WindowId::Text3D, filled({60, 45}, Qt::white));
        PlacementPreview* preview = m_tool->preview();
        preview->frame()->setPos(5, 6);
        preview->frame()->setSize({30, 20});
        preview->putElementOnFrame();
        m_driver->control(ui::text3D.antiLag)->setChecked(true);
        preview->frame()->setSize({50, 50}); // not yet applied in anti-lag mode
        m_driver->type(ui::text3D.marginXBox, "20");
        QCOMPARE(m_tool->background()->pos(), QPointF(20, 0));
        QCOMPARE(preview->verticalGuide()->pos().x(), 19.0);
        QVERIFY(preview->verticalGuide()->zValue() < m_tool->background()->zValue());
        QCOMPARE(m_tool->textPicture()->pos(), QPointF(5, 6));
        QCOMPARE(preview->frame()->pos(), QPointF(25, 6));
        QCOMPARE(preview->frame()->size(), QSizeF(30, 20));
        m_driver->type(ui::text3D.marginYBox, "ten");
        QCOMPARE(desktop().messages, QStringList{"'ten' is not a valid floating point value"});
        QCOMPARE(m_tool->background()->pos(), QPointF(20, 0));
    }

    // Flips, filters and crops rework the 3D text picture; "Restore original text" draws the editor's
    // scene again, also one changed and cancelled in the editor. A flip in the crop window stays after its
    // "Cancel". The crop window gets the main window's zoom.
    void reworkAndRestoreTheTextPicture() {
        m_driver->openToolOn(WindowId::Text3D, filled({60, 45}, Qt::white), 2);
        renderText("Lumora");
        const QImage original = textImage().image();
        QVERIFY(!coveredArea(original).isEmpty());
        m_tool->zoomBar()->setValue(3);

        m_driver->click(ui::text3D.flipHorizontal);
        QCOMPARE(textImage().image(), original.mirrored(true, false));
        desktop().whileShown = [this](QDialog* window) {
            WindowSet& windows = m_driver->windows();
            if (window == &windows.filterGallery())
                windows.filterGallery().apply();
            if (window == &windows.cropWindow()) {
                QCOMPARE(windows.cropWindow().zoomBar()->value(), 2.0);
                m_driver->control(ui::crop.widthBox)->setValueText("100");
                windows.cropWindow().crop();
            }
        };
        m_driver->click(ui::text3D.filterGallery);
        m_driver->click(ui::text3D.crop);
        QCOMPARE(textImage().image().width(), 100);
        QCOMPARE(m_tool->textPicture()->picture(), textImage().image());

        m_driver->click(ui::text3D.restoreText);
        QCOMPARE(textImage().image(), original);

        desktop().whileShown = [this](QDialog*) {
            m_driver->click(ui::crop.flipHorizontal);
            m_driver->click(ui::crop.cancel);
        };
        m_driver->click(ui::text3D.crop);
        QCOMPARE(textImage().image(), original.mirrored(true, false));

        desktop().whileShown = nullptr;
        m_driver->click(ui::text3D.openEditor);
        QCOMPARE(desktop().shown.last().data(), m_editor);
        write("Changed");
        m_driver->click(ui::text3DEditor.cancel);
        m_driver->click(ui::text3D.restoreText);
        const QImage changed = textImage().image();
        QVERIFY(changed != original);
        QCOMPARE(changed, renderOrFail(m_editor->renderer(), m_editor->scene(), m_editor->viewSize()));
    }

    // "Add image" gives the overlay editor the 3D text picture as background at its pixel size and the main
    // window's zoom, and merges into the 3D text picture.
    void addImageMergesIntoTheTextPicture() {
        m_driver->openToolOn(WindowId::Text3D, filled({60, 45}, Qt::white), 2);
        m_tool->unlock();
        textImage().setImage(filled({80, 40}, Qt::transparent));
        m_tool->zoomBar()->setValue(3);
        OverlayEditor& editor = m_driver->windows().overlayEditor();

        desktop().openAnswers << "";
        m_driver->click(ui::text3D.addImage);
        QCOMPARE(desktop().shown.last().data(), m_tool); // cancelled: nothing shown

        desktop().openAnswers << m_driver->filePath("missing.png");
        m_driver->click(ui::text3D.addImage);
        QCOMPARE(desktop().messages.size(), 1);
        QCOMPARE(desktop().shown.last().data(), m_tool);

        desktop().openAnswers << m_driver->writePicture("overlay.png", filled({10, 10}, Qt::green));
        desktop().whileShown = [&editor](QDialog* window) {
            QCOMPARE(window, &editor);
            editor.overlay()->setPos(0, 0);
            editor.overlay()->setSize({10, 10});
            editor.merge();
        };
        m_driver->click(ui::text3D.addImage);
        QCOMPARE(editor.okBinding(), OverlayEditor::MergeTarget::TextImage3D);
        QCOMPARE(editor.zoomBar()->value(), 2.0);
        QCOMPARE(editor.background()->size(), QSizeF(80, 40));
        const QImage merged = textImage().image();
        QCOMPARE(merged.size(), QSize(80, 40));
        QCOMPARE(merged.pixelColor(5, 5), QColor(Qt::green));
        QCOMPARE(merged.pixelColor(50, 30).alpha(), 0);
        QCOMPARE(document().zoom(), 2.0);
    }

    // "Special effects" makes the overlay editor swap in the 3D text picture whenever it becomes active and
    // merge into it; the main window's "Image above" afterwards shows the document image again.
    void specialEffectsWorkOnTheTextPictureUntilTheMainWindowSaysOtherwise() {
        const QImage photo = filled({60, 45}, Qt::white);
        m_driver->openToolOn(WindowId::Text3D, photo, 1);
        m_tool->unlock();
        const QImage text = filled({80, 40}, Qt::blue);
        textImage().setImage(text);
        OverlayEditor& editor = m_driver->windows().overlayEditor();
        DecorationGallery& gallery = m_driver->windows().gallery(DecorationSet::Effects);
        desktop().whileShown = [&](QDialog* window) {
            if (window == &gallery)
                gallery.pick(decorationEntries(DecorationSet::Effects)[0]);
            else if (window == &editor)
                editor.runActivationStep();
        };
        m_driver->click(ui::text3D.specialEffects);
        QCOMPARE(desktop().shown.size(), 3); // the tool, the gallery, the overlay editor
        QCOMPARE(desktop().shown[1].data(), &gallery);
        QCOMPARE(desktop().shown[2].data(), &editor);
        QCOMPARE(editor.okBinding(), OverlayEditor::MergeTarget::TextImage3D);
        QCOMPARE(editor.background()->picture(), text);
        QCOMPARE(editor.background()->size(), QSizeF(80, 40));

        desktop().openAnswers << m_driver->writePicture("above.png", filled({10, 10}, Qt::green));
        m_driver->run(ui::menu.imageAbove);
        QCOMPARE(desktop().shown.last().data(), &editor);
        QCOMPARE(editor.activation(), OverlayEditor::Activation::Empty);
        QCOMPARE(editor.okBinding(), OverlayEditor::MergeTarget::DocumentImage);
        QCOMPARE(editor.background()->picture(), document().image());
    }
};

int main(int argc, char* argv[]) {
    loadFontSubstitutes();
    QApplication app(argc, argv);
    configureApplication(app);
    const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    Text3DTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_text3d.moc"
