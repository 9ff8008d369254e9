// SPDX-License-Identifier: MIT
// The program's windows: the nineteen with their captions, frames and design sizes, in creation order, and
// the windows made after them with their object names and captions.
#pragma once

#include "base/WindowId.h"

#include <QSize>
#include <QString>

#include <array>

class QWidget;

enum class WindowFrame {
    Sizeable,     // resizable, with system menu, minimise and maximise boxes
    Tool,         // fixed size, close box only (optionally a maximise box)
    SizeableTool, // resizable tool window
};

struct WindowDescription {
    WindowId id;
    const char* caption;
    WindowFrame frame;
    bool maximiseBox; // for tool windows
    bool maximised;   // shown maximised
    QSize clientSize; // design size
};

inline constexpr std::array<WindowDescription, 19> windowTable{{
    {WindowId::Main, "Lumora 2.0.4", WindowFrame::Sizeable, true, true, {952, 697}},
    {WindowId::Text2D, "Add 2D text", WindowFrame::Sizeable, true, true, {952, 698}},
    {WindowId::Text3D, "Add 3D text", WindowFrame::Sizeable, true, true, {951, 697}},
    {WindowId::Text3DEditor, "Edit 3D text", WindowFrame::Sizeable, true, true, {952, 697}},
    {WindowId::Borders, "Add border", WindowFrame::Tool, false, false, {803, 757}},
    {WindowId::OverlayEditor, "Edit", WindowFrame::Sizeable, true, true, {953, 697}},
    {WindowId::FilterGallery, "Filter gallery", WindowFrame::Sizeable, true, true, {953, 697}},
    {WindowId::About, "About", WindowFrame::Tool, true, false, {891, 495}},
    {WindowId::Results, "View results", WindowFrame::SizeableTool, true, false, {953, 717}},
    {WindowId::Effects, "Add effect", WindowFrame::Sizeable, true, false, {801, 697}},
    {WindowId::Line, "Add line", WindowFrame::Sizeable, true, true, {955, 916}},
    {WindowId::Rectangle, "Add rectangle", WindowFrame::Sizeable, true, true, {946, 1031}},
    {WindowId::Background, "Create background", WindowFrame::Sizeable, true, true, {950, 998}},
    {WindowId::Circle, "Add circle", WindowFrame::Sizeable, true, true, {949, 944}},
    {WindowId::Save, "Save", WindowFrame::Tool, false, false, {260, 470}},
    {WindowId::Magnifier, "Magnifying glass", WindowFrame::Sizeable, true, false, {950, 697}},
    {WindowId::ColourFilters, "Add color filters", WindowFrame::Sizeable, true, false, {953, 697}},
    {WindowId::Montages, "Choose montage", WindowFrame::Tool, false, false, {865, 717}},
    {WindowId::Crop, "Crop image", WindowFrame::Sizeable, true, false, {946, 692}},
}};

// The windows made after the nineteen: their object names and captions (their frames and sizes are their
// own).
struct LaterWindow {
    WindowId id;
    const char* objectName;
    const char* caption;
};

inline constexpr std::array<LaterWindow, 6> laterWindows{{
    {WindowId::Resize, "ResizeWindow", "Resize image"},
    {WindowId::CanvasSize, "CanvasSizeWindow", "Canvas size"},
    {WindowId::CropRegion, "CropRegionWindow", "Crop to region"},
    {WindowId::Watermark, "WatermarkWindow", "Add watermark"},
    {WindowId::History, "HistoryWindow", "History"},
    {WindowId::Batch, "BatchWindow", "Batch decorate"},
}};

// How many windows there are, the main one included.
inline constexpr std::size_t windowCount = windowTable.size() + laterWindows.size();

// One of the nineteen.
const WindowDescription& windowDescription(WindowId id);

// The window's layout name, its Qt object name: "Form1" … "Form19", then the later windows' own.
QString layoutName(WindowId id);

// Gives a window its object name and caption, and one of the nineteen its frame, design size and start state.
void applyWindowDescription(QWidget* window, WindowId id);
