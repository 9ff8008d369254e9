// SPDX-License-Identifier: MIT
// Every window of the program by name. The first nineteen are numbered in creation order, from which their
// layout names ("Form6") are made; the windows after them keep object names of their own.
#pragma once

enum class WindowId {
    Main = 1,
    Text2D,
    Text3D,
    Text3DEditor,
    Borders,
    OverlayEditor,
    FilterGallery,
    About,
    Results,
    Effects,
    Line,
    Rectangle,
    Background,
    Circle,
    Save,
    Magnifier,
    ColourFilters,
    Montages,
    Crop,
    // Made after the nineteen.
    Resize,
    CanvasSize,
    CropRegion,
    Watermark,
    History,
    Batch,
};
