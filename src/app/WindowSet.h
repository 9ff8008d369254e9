// SPDX-License-Identifier: MIT
// The program's nineteen windows: names, captions, frames and design sizes, in creation order.
#pragma once

#include <QSize>

#include <array>

class QWidget;

enum class WindowFrame {
    Sizeable,     // resizable, with system menu, minimise and maximise boxes
    Tool,         // fixed size, close box only (optionally a maximise box)
    SizeableTool, // resizable tool window
};

struct WindowDescription {
    int number; // Form<number> is the window's object name
    const char* caption;
    WindowFrame frame;
    bool maximiseBox; // for tool windows
    bool maximised;   // shown maximised
    QSize clientSize; // design size
};

inline constexpr std::array<WindowDescription, 19> windowSet{{
    {1, "Lumora 2.0.4", WindowFrame::Sizeable, true, true, {952, 697}},
    {2, "Add 2D text", WindowFrame::Sizeable, true, true, {952, 698}},
    {3, "Add 3D text", WindowFrame::Sizeable, true, true, {951, 697}},
    {4, "Edit 3D text", WindowFrame::Sizeable, true, true, {952, 697}},
    {5, "Add border", WindowFrame::Tool, false, false, {803, 757}},
    {6, "Edit", WindowFrame::Sizeable, true, true, {953, 697}},
    {7, "Filter gallery", WindowFrame::Sizeable, true, true, {953, 697}},
    {8, "About", WindowFrame::Tool, true, false, {891, 495}},
    {9, "View results", WindowFrame::SizeableTool, true, false, {953, 717}},
    {10, "Add effect", WindowFrame::Sizeable, true, false, {801, 697}},
    {11, "Add line", WindowFrame::Sizeable, true, true, {955, 916}},
    {12, "Add rectangle", WindowFrame::Sizeable, true, true, {946, 1031}},
    {13, "Create background", WindowFrame::Sizeable, true, true, {950, 998}},
    {14, "Add circle", WindowFrame::Sizeable, true, true, {949, 944}},
    {15, "Save", WindowFrame::Tool, false, false, {127, 162}},
    {16, "Magnifying glass", WindowFrame::Sizeable, true, false, {950, 697}},
    {17, "Add color filters", WindowFrame::Sizeable, true, false, {953, 697}},
    {18, "Choose montage", WindowFrame::Tool, false, false, {865, 717}},
    {19, "Crop image", WindowFrame::Sizeable, true, false, {946, 692}},
}};

const WindowDescription& windowDescription(int number);

// Gives a window its object name, caption, frame, design size and start state.
void applyWindowDescription(QWidget* window, const WindowDescription& description);
