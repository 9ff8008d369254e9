// SPDX-License-Identifier: MIT
// Creates the program's windows once, in their fixed order, owns them with the document, and lets one
// window reach another.
#pragma once

#include "toolkit/Workspace.h"

#include <QDialog>

#include <array>
#include <memory>

class AboutWindow;
class BackgroundCreator;
class CropWindow;
class Document;
class ColourFilters;
class ShapeTool;
enum class ShapeFigure;
class FilterGallery;
class MainWindow;
class OverlayEditor;
class TextImage3D;
class ResultsWindow;
class MagnifierWindow;
class SaveWindow;
class Text2DTool;
class Text3DEditor;
class Text3DTool;

class Workbench : public Workspace {
public:
    Workbench();
    ~Workbench();
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    Document& document() override { return *m_document; }
    TextImage3D& textImage3D() override { return *m_textImage3D; }
    MainWindow& mainWindow() { return *m_mainWindow; }
    // Form2 … Form19.
    QDialog* window(int number) const { return m_windows.at(number); }

    SaveWindow& saveWindow() const;
    Text2DTool& text2DTool() const;
    Text3DTool& text3DTool() const;
    Text3DEditor& text3DEditor() const override;
    DecorationGallery& effectGallery() const override;
    MagnifierWindow& magnifierWindow() const;
    AboutWindow& aboutWindow() const;
    ResultsWindow& resultsWindow() const;
    OverlayEditor& overlayEditor() const override;
    FilterGallery& filterGallery() const override;
    CropWindow& cropWindow() const override;
    BackgroundCreator& backgroundCreator() const;
    void showResults(const QImage& picture) override;
    ColourFilters& colourFilters() const;
    ShapeTool& shapeTool(ShapeFigure figure) const;

    // Shows a window modally through the installed presenter.
    void showModal(QDialog* window) override;

private:
    std::unique_ptr<Document> m_document;
    std::unique_ptr<TextImage3D> m_textImage3D;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::array<QDialog*, 20> m_windows{}; // index = window number; 0 and 1 unused
};
