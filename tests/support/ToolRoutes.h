// SPDX-License-Identifier: MIT
// Every tool window as a user reaches it from the main window, as one table for tests that go through them
// all (each window's "Ok" makes one undo step; every number box takes any text).
#pragma once

#include "support/WindowControls.h"

#include <QList>
#include <QTest>

#include <optional>

// The menu command; the gallery it opens first, whose thumbnail then opens the window (none: the command
// opens the window itself); the window and its "Ok" button. `step` names the undo step its "Ok" makes
// (empty: it makes none of its own), `numberBoxes` says whether it has any.
struct ToolWindowRoute {
    const char* name;
    Control<QAction> command;
    std::optional<WindowId> gallery;
    const char* thumbnail;
    WindowId window;
    Control<QPushButton> ok;
    const char* step;
    bool numberBoxes;

    // The window the command shows first.
    WindowId opened() const { return gallery.value_or(window); }
};

inline const QList<ToolWindowRoute>& toolWindowRoutes() {
    using enum WindowId;
    static const QList<ToolWindowRoute> routes = {
        {"2D text", ui::menu.text2D, {}, "", Text2D, ui::text2D.ok, "Add 2D text", true},
        {"3D text", ui::menu.text3D, {}, "", Text3D, ui::text3D.ok, "Add 3D text", true},
        {"line", ui::menu.line, {}, "", Line, ui::line.ok, "Add line", true},
        {"rectangle", ui::menu.rectangle, {}, "", Rectangle, ui::rectangle.ok, "Add rectangle", true},
        {"circle", ui::menu.circle, {}, "", Circle, ui::circle.ok, "Add circle", true},
        {"background", ui::menu.createBackground, {}, "", Background, ui::background.ok, "", true},
        {"colour filters",
         ui::menu.colourFilters,
         {},
         "",
         ColourFilters,
         ui::colourFilters.ok,
         "Add color filter",
         true},
        {"magnifying glass",
         ui::menu.magnifier,
         {},
         "",
         Magnifier,
         ui::magnifier.ok,
         "Add magnifying glass",
         true},
        {"crop", ui::menu.crop, {}, "", Crop, ui::crop.ok, "Crop image", true},
        {"filter gallery",
         ui::menu.filterGallery,
         {},
         "",
         FilterGallery,
         ui::filterGallery.ok,
         "Water filter",
         false},
        {"image above",
         ui::menu.imageAbove,
         {},
         "",
         OverlayEditor,
         ui::overlayEditor.ok,
         "Add image above",
         true},
        {"border", ui::menu.borders, Borders, "Image32", OverlayEditor, ui::overlayEditor.ok, "Add border",
         true},
        {"effect", ui::menu.effects, Effects, "Image11", OverlayEditor, ui::overlayEditor.ok, "Add effect",
         false},
        {"montage", ui::menu.montage, Montages, "Image21", OverlayEditor, ui::overlayEditor.ok, "Add montage",
         true},
        {"resize", ui::menu.resize, {}, "", Resize, ui::resize.ok, "Resize image", false},
        {"canvas size", ui::menu.canvasSize, {}, "", CanvasSize, ui::canvasSize.ok, "Canvas size", false},
        {"crop to region",
         ui::menu.cropToRegion,
         {},
         "",
         CropRegion,
         ui::cropRegion.ok,
         "Crop to region",
         false},
        {"watermark", ui::menu.watermark, {}, "", Watermark, ui::watermark.ok, "Add watermark", true},
    };
    return routes;
}

// A data function's column holding the route, and a row named after it.
inline void addToolWindowColumn() {
    QTest::addColumn<ToolWindowRoute>("route");
}
inline QTestData& newToolWindowRow(const ToolWindowRoute& route) {
    return QTest::newRow(route.name) << route;
}
