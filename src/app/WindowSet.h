// SPDX-License-Identifier: MIT
// The program's windows: created once, in the order of the window table, owned here with the document and
// the 3D text picture. It carries out what tool windows ask of each other (ToolRequests), and opens a tool
// window on the document for the main window's commands.
#pragma once

#include "app/WindowTable.h"
#include "effects/Effect.h"
#include "overlay/OverlayEditor.h"
#include "toolkit/ToolRequests.h"

#include <array>
#include <memory>
#include <optional>

class AboutWindow;
class BackgroundCreator;
class ColourFilters;
class CanvasSizeWindow;
class CropRegionWindow;
class CropWindow;
class DecorationGallery;
class Document;
class FilterGallery;
class MagnifierWindow;
class MainWindow;
class QDialog;
class ResizeWindow;
class WatermarkWindow;
class ResultsWindow;
class SaveWindow;
class ShapeTool;
class StepEditor;
struct StepRecipe;
class Text2DTool;
class Text3DEditor;
class Text3DTool;
class TextImage3D;
class WheelGuard;
enum class DecorationSet;
struct DecorationEntry;
enum class ShapeFigure;

class WindowSet : public ToolRequests {
public:
    WindowSet();
    ~WindowSet() override;
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    Document& document() { return *m_document; }
    TextImage3D& textImage3D() { return *m_textImage3D; }
    MainWindow& mainWindow() { return *m_mainWindow; }
    // Any window but the main one, by its id; the History and batch windows belong to the main window, which
    // makes them when they are asked for (null here).
    QDialog* window(WindowId id) const { return m_windows.at(std::size_t(id)); }

    Text2DTool& text2DTool() const { return *m_text2D; }
    Text3DTool& text3DTool() const { return *m_text3D; }
    Text3DEditor& text3DEditor() const { return *m_text3DEditor; }
    DecorationGallery& gallery(DecorationSet set) const;
    OverlayEditor& overlayEditor() const { return *m_overlayEditor; }
    FilterGallery& filterGallery() const { return *m_filterGallery; }
    AboutWindow& aboutWindow() const { return *m_about; }
    ResultsWindow& resultsWindow() const { return *m_results; }
    ShapeTool& shapeTool(ShapeFigure figure) const;
    BackgroundCreator& backgroundCreator() const { return *m_background; }
    SaveWindow& saveWindow() const { return *m_save; }
    MagnifierWindow& magnifierWindow() const { return *m_magnifier; }
    ColourFilters& colourFilters() const { return *m_colourFilters; }
    CropWindow& cropWindow() const { return *m_crop; }
    ResizeWindow& resizeWindow() const { return *m_resize; }
    CanvasSizeWindow& canvasSizeWindow() const { return *m_canvasSize; }
    CropRegionWindow& cropRegionWindow() const { return *m_cropRegion; }
    WatermarkWindow& watermarkWindow() const { return *m_watermark; }

    // Readies a tool window on the document and shows it modally: every menu command that opens a window
    // comes here. "Image above" asks for the picture first; the galleries prepare the overlay editor that
    // their pick opens.
    void openOnDocument(WindowId id);
    // Whether a window edits steps made by `tool` again.
    bool editsSteps(const QString& tool) const;
    // Opens the window that made the step `recipe` on the document, with the step's settings, modally.
    // Returns whether the user confirmed it ("Ok"), not cancelled or closed it.
    bool openForEdit(const StepRecipe& recipe);
    StepEditor& stepEditor() { return *m_stepEditor; }

    // ToolRequests
    void showModal(QDialog* window) override;
    void showResult(const QImage& picture) override;
    void filterPicture(const QImage& picture, std::function<void(const QImage&)> filtered) override;
    void cropPicture(SharedPicture picture) override;
    void placeOver(SharedPicture picture, const QImage& overlay) override;
    void addEffectTo(SharedPicture picture) override;

private:
    // Makes the window `id` (the next one in the table's order) with `arguments`, gives it its place in the
    // table and keeps it in `member`.
    template <class Window, class... Arguments>
    void make(WindowId id, Window*& member, Arguments&&... arguments);
    void placeDecoration(const DecorationEntry& entry, const QImage& decoration);
    void placeImageAboveDocument();
    // The overlay editor on the document, with `overlay` (which came from `origin`) to place over it.
    void placeImageAboveDocument(const QImage& overlay, const PictureOrigin& origin);
    // The document's picture as the overlay editor's background; tracked: as the step's own picture.
    OverlayEditor::Request::Background documentAsBackground(bool tracked) const;
    // The filter gallery on the document picture, showing `shown` (else as it opens); its "Ok" is a step.
    void filterDocument(const std::optional<Effect>& shown);

    std::unique_ptr<WheelGuard> m_wheelGuard; // first made, last gone
    std::unique_ptr<Document> m_document;
    std::unique_ptr<TextImage3D> m_textImage3D;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<StepEditor> m_stepEditor;
    std::array<QDialog*, windowCount + 1> m_windows{}; // by id; the main window is not a dialog
    WindowId m_lastMade = WindowId::Main;

    Text2DTool* m_text2D = nullptr;
    Text3DTool* m_text3D = nullptr;
    Text3DEditor* m_text3DEditor = nullptr;
    DecorationGallery* m_borders = nullptr;
    OverlayEditor* m_overlayEditor = nullptr;
    FilterGallery* m_filterGallery = nullptr;
    AboutWindow* m_about = nullptr;
    ResultsWindow* m_results = nullptr;
    DecorationGallery* m_effects = nullptr;
    ResizeWindow* m_resize = nullptr;
    CanvasSizeWindow* m_canvasSize = nullptr;
    CropRegionWindow* m_cropRegion = nullptr;
    WatermarkWindow* m_watermark = nullptr;
    ShapeTool* m_line = nullptr;
    ShapeTool* m_rectangle = nullptr;
    BackgroundCreator* m_background = nullptr;
    ShapeTool* m_circle = nullptr;
    SaveWindow* m_save = nullptr;
    MagnifierWindow* m_magnifier = nullptr;
    ColourFilters* m_colourFilters = nullptr;
    DecorationGallery* m_montages = nullptr;
    CropWindow* m_crop = nullptr;
};
