// SPDX-License-Identifier: MIT
// Extruded 3D text with the program's OpenGL renderer: building the mesh of a three-line text, and drawing it
// again after a change of its turn (the mesh kept) at the 3D text editor's view sizes, with plain colours and
// with textured lit materials, and the reduced draft the view draws while a turn is dragged.
// Needs a display with OpenGL 3.3 (under Xvfb, Mesa's software renderer).
#include "base/Fonts.h"
#include "base/UserError.h"
#include "text3d/GLTextRenderer.h"
#include "text3d/TextMesh.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

const QString threeLines = QStringLiteral("Lumora\nExtruded letters\nin three lines");

TextScene scene(bool lit) {
    TextScene scene;
    scene.text = threeLines;
    scene.depth = 2;
    scene.rotationX = 15;
    if (lit) {
        QImage texture(256, 256, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < texture.height(); ++y)
            for (int x = 0; x < texture.width(); ++x)
                texture.setPixel(x, y, qRgb(x, y, (x ^ y) & 255));
        for (FaceLook& face : scene.faces) {
            face.lit = true;
            face.material.texture = texture;
        }
    }
    return scene;
}

void buildMesh(benchmark::State& state) {
    for (auto _ : state) {
        const TextMesh mesh = buildTextMesh(threeLines, QString(), 5, TextScene::box);
        benchmark::DoNotOptimize(mesh.vertices.data());
        state.counters["triangles"] = double(mesh.vertices.size() / 3);
    }
}

// One redraw after the turn changed: what the editor's view does for each step of a rotation drag.
void turnRedraw(benchmark::State& state) {
    const QSize size(int(state.range(0)), int(state.range(1)));
    GLTextRenderer renderer;
    TextScene turning = scene(state.range(2) != 0);
    const RenderQuality quality = state.range(3) != 0 ? RenderQuality::Draft : RenderQuality::Final;
    try {
        // Context, program and mesh are made once, as in the editor.
        renderer.render(turning, size, Qt::white, quality);
        for (auto _ : state) {
            turning.rotationY = std::fmod(turning.rotationY + 7, 360);
            const QImage picture = renderer.render(turning, size, Qt::white, quality);
            benchmark::DoNotOptimize(picture.constBits());
        }
    } catch (const UserError& error) {
        state.SkipWithError(error.message().toUtf8().constData());
    }
}

} // namespace

BENCHMARK(buildMesh)->Unit(benchmark::kMillisecond);
// Width, height, lit, draft: the editor's view at its design size, maximised on 1400 × 900 and on
// 1920 × 1080, and the half-size draft drawn while a turn is dragged on the largest one.
BENCHMARK(turnRedraw)
    ->ArgNames({"width", "height", "lit", "draft"})
    ->Args({792, 697, 0, 0})
    ->Args({1240, 840, 0, 0})
    ->Args({1760, 1020, 0, 0})
    ->Args({1760, 1020, 1, 0})
    ->Args({880, 510, 0, 1})
    ->Args({880, 510, 1, 1})
    ->UseRealTime() // the software renderer draws on threads of its own
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    loadFontSubstitutes();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
