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
#include "support/TestServices.h"
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

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
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
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<WindowSet> m_windows;
    Text3DTool* m_tool = nullptr;
    Text3DEditor* m_editor = nullptr;
    QTemporaryDir m_dir;

    Document& document() { return m_windows->document(); }
    TextImage3D& textImage() { return m_windows->textImage3D(); }
    template <class T> static T* control(QWidget* window, const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    template <class T> T* inEditor(const char* name) { return control<T>(m_editor, name); }
    template <class T> T* inTool(const char* name) { return control<T>(m_tool, name); }
    void typeAndEnter(NumberEdit* box, const QString& typed) { typeAndConfirm(box, typed); }
    void write(const QString& words) { inEditor<QPlainTextEdit>("Memo1")->setPlainText(words); }
    QString savedPicture(const QImage& picture, const QString& name) {
        const QString path = m_dir.filePath(name);
        saveOrFail(picture, path);
        return path;
    }
    // Opens `picture` in the main window and the 3D text tool on it, as the user does.
    void openToolOn(const QImage& picture, double zoom = 1) {
        m_desktop->openAnswers << savedPicture(picture, "photo.png");
        m_windows->mainWindow().menuItem("MenuItem6")->trigger();
        document().setZoom(zoom);
        m_windows->mainWindow().menuItem("MenuItem5")->trigger();
        QCOMPARE(m_desktop->shown.last().data(), m_tool);
    }
    // Text written in the editor and drawn with its "Ok".
    void renderText(const QString& words) {
        write(words);
        inEditor<QPushButton>("CornerButton1")->click();
        QVERIFY(m_desktop->messages.isEmpty());
    }
    const QList<const char*> lockedControls{
        "TrackBar1",      "TrackBar2",      "TrackBar3",      "CornerButton2",  "CornerButton3",
        "CornerButton4",  "CornerButton5",  "CornerButton6",  "CornerButton7",  "CornerButton11",
        "CornerButton14", "CornerButton10", "CornerButton15", "CornerButton16", "CornerButton17",
        "CornerButton18", "CornerButton19", "CheckBox1"};

private slots:
    void init() {
        m_desktop = &installTestDesktop();
        m_windows = std::make_unique<WindowSet>();
        m_tool = &m_windows->text3DTool();
        m_editor = &m_windows->text3DEditor();
    }
    void cleanup() { m_windows.reset(); }

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
        for (const char* name : {"CheckBox4", "CheckBox2", "CheckBox1"})
            QVERIFY(inEditor<QCheckBox>(name)->isChecked());
        for (const char* name : {"CheckBox5", "CheckBox6", "CheckBox7"})
            QVERIFY(!inEditor<QCheckBox>(name)->isChecked());
        for (int i = 1; i <= 15; ++i)
            QCOMPARE(inEditor<ColourComboBox>(qPrintable(QString("ComboColorBox%1").arg(i)))->color(),
                     QColor(Qt::white));
        auto* fonts = inEditor<QListWidget>("ListBox1");
        QCOMPARE(fonts->count(), 92);
        QVERIFY(fonts->selectedItems().isEmpty());
        QCOMPARE(inEditor<TrackBar>("TrackBar3")->minimum(), 0.3);
        QCOMPARE(inEditor<TrackBar>("TrackBar4")->value(), 5.0);

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
        QTest::addColumn<QString>("colourBox");
        QTest::addColumn<QString>("materialBox");
        QTest::newRow("front") << int(TextFace::Front) << "CheckBox4"
                               << "CheckBox5";
        QTest::newRow("sides") << int(TextFace::Sides) << "CheckBox2"
                               << "CheckBox6";
        QTest::newRow("back") << int(TextFace::Back) << "CheckBox1"
                              << "CheckBox7";
    }
    void checkingActsUncheckingDoesNot() {
        QFETCH(int, face);
        QFETCH(QString, colourBox);
        QFETCH(QString, materialBox);
        auto* colour = inEditor<QCheckBox>(qPrintable(colourBox));
        auto* material = inEditor<QCheckBox>(qPrintable(materialBox));
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
            const char* combo;
            const char* guard;
            TextFace face;
            QColor LitMaterial::*field;
        } litCombos[] = {
            {"ComboColorBox1", "CheckBox5", TextFace::Front, &LitMaterial::ambient},
            {"ComboColorBox2", "CheckBox5", TextFace::Front, &LitMaterial::diffuse},
            {"ComboColorBox3", "CheckBox5", TextFace::Front, &LitMaterial::emissive},
            {"ComboColorBox4", "CheckBox5", TextFace::Front, &LitMaterial::specular},
            {"ComboColorBox8", "CheckBox6", TextFace::Sides, &LitMaterial::ambient},
            {"ComboColorBox9", "CheckBox6", TextFace::Sides, &LitMaterial::diffuse},
            {"ComboColorBox10", "CheckBox6", TextFace::Sides, &LitMaterial::emissive},
            {"ComboColorBox11", "CheckBox6", TextFace::Sides, &LitMaterial::specular},
            {"ComboColorBox15", "CheckBox7", TextFace::Back, &LitMaterial::ambient},
            {"ComboColorBox14", "CheckBox7", TextFace::Back, &LitMaterial::diffuse},
            {"ComboColorBox13", "CheckBox7", TextFace::Back, &LitMaterial::emissive},
            {"ComboColorBox12", "CheckBox7", TextFace::Back, &LitMaterial::specular},
        };
        const QColor chosen(10, 200, 30, 128);
        for (const auto& row : litCombos) {
            inEditor<QCheckBox>(row.guard)->setChecked(
                false); // the face may stay lit, the box is what counts
            const QColor before = m_editor->scene().face(row.face).material.*row.field;
            inEditor<ColourComboBox>(row.combo)->setColor(chosen);
            QVERIFY2(m_editor->scene().face(row.face).material.*row.field == before, row.combo);
            inEditor<QCheckBox>(row.guard)->setChecked(true);
            QVERIFY2(m_editor->scene().face(row.face).material.*row.field == before, row.combo);
            inEditor<ColourComboBox>(row.combo)->setColor(Qt::magenta);
            QVERIFY2(m_editor->scene().face(row.face).material.*row.field == QColor(Qt::magenta), row.combo);
        }
        const struct {
            const char* combo;
            TextFace face;
        } plainCombos[] = {{"ComboColorBox5", TextFace::Front},
                           {"ComboColorBox6", TextFace::Sides},
                           {"ComboColorBox7", TextFace::Back}};
        for (const auto& row : plainCombos) {
            inEditor<ColourComboBox>(row.combo)->setColor(Qt::yellow);
            QVERIFY(m_editor->scene().face(row.face).lit); // every face is lit by now
            QCOMPARE(m_editor->scene().face(row.face).colour, QColor(Qt::yellow));
        }
    }

    // A double click loads a texture into the image and its material, also while the face shows its colour.
    // A cancelled dialog or an unreadable file gives the material the image's picture again.
    void texturesComeFromTheImages() {
        const QImage picture = gradientPicture(4, 3);
        auto* image = inEditor<PictureView>("Image3");
        auto texture = [&] { return m_editor->scene().face(TextFace::Back).material.texture; };
        m_desktop->openAnswers << ""; // cancelled: still no texture
        QTest::mouseDClick(image, Qt::LeftButton);
        QVERIFY(texture().isNull());
        m_desktop->openAnswers << savedPicture(picture, "texture.png");
        QTest::mouseDClick(image, Qt::LeftButton);
        QCOMPARE(image->picture(), picture);
        QCOMPARE(texture(), picture);
        QVERIFY(!m_editor->scene().face(TextFace::Back).lit);

        m_desktop->openAnswers << m_dir.filePath("missing.png");
        QTest::mouseDClick(image, Qt::LeftButton);
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(m_desktop->messages.first().contains("missing.png"));
        QCOMPARE(image->picture(), picture);
        QCOMPARE(texture(), picture);
        QVERIFY(m_editor->scene().face(TextFace::Front).material.texture.isNull());
    }

    // The turn about the vertical axis reads exactly as set after any number of other changes.
    void turnStaysPutThroughOtherChanges() {
        inEditor<TrackBar>("TrackBar2")->setValue(37.3);
        const double turn = m_editor->scene().rotationY;
        QCOMPARE(turn, inEditor<TrackBar>("TrackBar2")->value());
        for (int i = 0; i < 20; ++i) {
            inEditor<QCheckBox>(i % 2 ? "CheckBox5" : "CheckBox4")->setChecked(true);
            inEditor<ColourComboBox>("ComboColorBox6")->setColor(QColor(i * 10, 0, 0));
            inEditor<ColourComboBox>("ComboColorBox2")->setColor(QColor(0, i * 10, 0));
            m_desktop->openAnswers << "";
            QTest::mouseDClick(inEditor<PictureView>("Image1"), Qt::LeftButton);
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
        for (const char* name : {"TrackBar1", "TrackBar2"}) {
            auto* bar = inEditor<TrackBar>(name);
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
        inEditor<QPushButton>("CornerButton1")->click();
        QVERIFY(m_desktop->messages.isEmpty());
        const QImage picture = textImage().image();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), m_editor->viewSize());
        QCOMPARE(picture.size(), QSize(952 - 160, 697)); // never shown: the window's own size
        QVERIFY(coveredArea(picture).isEmpty());
        QCOMPARE(m_editor->result(), int(QDialog::Accepted));
        QVERIFY(m_tool->isUnlocked());
        for (const char* name : lockedControls)
            QVERIFY2(inTool<QWidget>(name)->isEnabled(), name);
        QCOMPARE(m_tool->textPicture()->picture(), picture);
    }

    // Without OpenGL the user is told so, in the view and on "Ok"; nothing is written or unlocked.
    void withoutOpenGLTheUserIsToldAndNothingChanges() {
        m_editor->setRenderer(std::make_unique<NoOpenGL>());
        write("Lumora");
        m_editor->view()->refresh();
        QVERIFY(m_editor->view()->problem().contains("OpenGL"));
        inEditor<QPushButton>("CornerButton1")->click();
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(m_desktop->messages.first().contains("OpenGL"));
        QVERIFY(textImage().image().isNull());
        QVERIFY(!m_tool->isUnlocked());
        QVERIFY(m_editor->result() != QDialog::Accepted);
        m_tool->restoreOriginalText();
        QCOMPARE(m_desktop->messages.size(), 2);
        QVERIFY(!m_tool->isUnlocked());
    }

    // ---- the tool

    // At the first opening only the settings and the bottom buttons work; "Ok" gives the background alone
    // and leaves the main window's zoom and size as they were.
    void firstOpeningGivesTheBackgroundAloneAndKeepsTheZoom() {
        const QImage photo = gradientPicture(50, 30);
        openToolOn(photo, 2);
        QCOMPARE(m_tool->windowTitle(), "Add 3D text");
        QCOMPARE(m_tool->background()->picture(), photo);
        QCOMPARE(m_tool->background()->size(), QSizeF(50, 30));
        QCOMPARE(m_tool->zoomBar()->value(), 2.0);
        for (const char* name : lockedControls)
            QVERIFY2(!inTool<QWidget>(name)->isEnabled(), name);
        for (const char* name : {"Edit1", "Edit2", "Edit3", "CornerButton12", "CornerButton13", "CheckBox2",
                                 "CornerButton1", "CornerButton8", "CornerButton9"})
            QVERIFY2(inTool<QWidget>(name)->isEnabled(), name);
        m_tool->zoomBar()->setValue(3);
        inTool<QPushButton>("CornerButton8")->click();
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
        openToolOn(filled({60, 45}, Qt::white));
        m_tool->unlock();
        textImage().setImage(filled({80, 40}, Qt::blue));
        inTool<QCheckBox>("CheckBox1")->setChecked(proportional);
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
        inTool<QPushButton>("CornerButton8")->click();
        QCOMPARE(document().image().size(), QSize(60, 45));
        QCOMPARE(document().image().pixelColor(59, 44), QColor(Qt::blue));
    }

    // A margin moves the background (and the text picture in it), puts its guide one unit before it under
    // the background, and the frame over the text picture at its size.
    void marginMovesTheBackgroundAndPutsTheFrameOverTheText() {
        openToolOn(filled({60, 45}, Qt::white));
        PlacementPreview* preview = m_tool->preview();
        preview->frame()->setPos(5, 6);
        preview->frame()->setSize({30, 20});
        preview->putElementOnFrame();
        inTool<QCheckBox>("CheckBox2")->setChecked(true);
        preview->frame()->setSize({50, 50}); // not yet applied in anti-lag mode
        typeAndEnter(inTool<NumberEdit>("Edit3"), "20");
        QCOMPARE(m_tool->background()->pos(), QPointF(20, 0));
        QCOMPARE(preview->verticalGuide()->pos().x(), 19.0);
        QVERIFY(preview->verticalGuide()->zValue() < m_tool->background()->zValue());
        QCOMPARE(m_tool->textPicture()->pos(), QPointF(5, 6));
        QCOMPARE(preview->frame()->pos(), QPointF(25, 6));
        QCOMPARE(preview->frame()->size(), QSizeF(30, 20));
        typeAndEnter(inTool<NumberEdit>("Edit1"), "ten");
        QCOMPARE(m_desktop->messages, QStringList{"'ten' is not a valid floating point value"});
        QCOMPARE(m_tool->background()->pos(), QPointF(20, 0));
    }

    // Flips, filters and crops rework the 3D text picture; "Restore original text" draws the editor's
    // scene again, also one changed and cancelled in the editor. A flip in the crop window stays after its
    // "Cancel". The crop window gets the main window's zoom.
    void reworkAndRestoreTheTextPicture() {
        openToolOn(filled({60, 45}, Qt::white), 2);
        renderText("Lumora");
        const QImage original = textImage().image();
        QVERIFY(!coveredArea(original).isEmpty());
        m_tool->zoomBar()->setValue(3);

        inTool<QPushButton>("CornerButton17")->click();
        QCOMPARE(textImage().image(), original.mirrored(true, false));
        m_desktop->whileShown = [this](QDialog* window) {
            if (window == &m_windows->filterGallery())
                m_windows->filterGallery().apply();
            if (window == &m_windows->cropWindow()) {
                QCOMPARE(m_windows->cropWindow().zoomBar()->value(), 2.0);
                control<NumberEdit>(window, "Edit2")->setValueText("100");
                m_windows->cropWindow().crop();
            }
        };
        inTool<QPushButton>("CornerButton14")->click();
        inTool<QPushButton>("CornerButton16")->click();
        QCOMPARE(textImage().image().width(), 100);
        QCOMPARE(m_tool->textPicture()->picture(), textImage().image());

        inTool<QPushButton>("CornerButton10")->click();
        QCOMPARE(textImage().image(), original);

        m_desktop->whileShown = [](QDialog* window) {
            control<QPushButton>(window, "CornerButton4")->click(); // "Flip horizontal"
            control<QPushButton>(window, "CornerButton2")->click(); // "Cancel"
        };
        inTool<QPushButton>("CornerButton16")->click();
        QCOMPARE(textImage().image(), original.mirrored(true, false));

        m_desktop->whileShown = nullptr;
        inTool<QPushButton>("CornerButton1")->click();
        QCOMPARE(m_desktop->shown.last().data(), m_editor);
        write("Changed");
        inEditor<QPushButton>("CornerButton2")->click();
        inTool<QPushButton>("CornerButton10")->click();
        const QImage changed = textImage().image();
        QVERIFY(changed != original);
        QCOMPARE(changed, renderOrFail(m_editor->renderer(), m_editor->scene(), m_editor->viewSize()));
    }

    // "Add image" gives the overlay editor the 3D text picture as background at its pixel size and the main
    // window's zoom, and merges into the 3D text picture.
    void addImageMergesIntoTheTextPicture() {
        openToolOn(filled({60, 45}, Qt::white), 2);
        m_tool->unlock();
        textImage().setImage(filled({80, 40}, Qt::transparent));
        m_tool->zoomBar()->setValue(3);
        OverlayEditor& editor = m_windows->overlayEditor();

        m_desktop->openAnswers << "";
        inTool<QPushButton>("CornerButton15")->click();
        QCOMPARE(m_desktop->shown.last().data(), m_tool); // cancelled: nothing shown

        m_desktop->openAnswers << m_dir.filePath("missing.png");
        inTool<QPushButton>("CornerButton15")->click();
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->shown.last().data(), m_tool);

        m_desktop->openAnswers << savedPicture(filled({10, 10}, Qt::green), "overlay.png");
        m_desktop->whileShown = [&editor](QDialog* window) {
            QCOMPARE(window, &editor);
            editor.overlay()->setPos(0, 0);
            editor.overlay()->setSize({10, 10});
            editor.merge();
        };
        inTool<QPushButton>("CornerButton15")->click();
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
        openToolOn(photo, 1);
        m_tool->unlock();
        const QImage text = filled({80, 40}, Qt::blue);
        textImage().setImage(text);
        OverlayEditor& editor = m_windows->overlayEditor();
        DecorationGallery& gallery = m_windows->gallery(DecorationSet::Effects);
        m_desktop->whileShown = [&](QDialog* window) {
            if (window == &gallery)
                gallery.pick(decorationEntries(DecorationSet::Effects)[0]);
            else if (window == &editor)
                editor.runActivationStep();
        };
        inTool<QPushButton>("CornerButton19")->click();
        QCOMPARE(m_desktop->shown.size(), 3); // the tool, the gallery, the overlay editor
        QCOMPARE(m_desktop->shown[1].data(), &gallery);
        QCOMPARE(m_desktop->shown[2].data(), &editor);
        QCOMPARE(editor.okBinding(), OverlayEditor::MergeTarget::TextImage3D);
        QCOMPARE(editor.background()->picture(), text);
        QCOMPARE(editor.background()->size(), QSizeF(80, 40));

        m_desktop->openAnswers << savedPicture(filled({10, 10}, Qt::green), "above.png");
        m_windows->mainWindow().menuItem("MenuItem15")->trigger();
        QCOMPARE(m_desktop->shown.last().data(), &editor);
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
