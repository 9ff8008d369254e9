// SPDX-License-Identifier: MIT
#include "app/Workbench.h"

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/ResultsWindow.h"
#include "app/SaveWindow.h"
#include "app/WindowSet.h"
#include "background/BackgroundCreator.h"
#include "crop/CropWindow.h"
#include "colourfilters/ColourFilters.h"
#include "filters/FilterGallery.h"
#include "galleries/DecorationGallery.h"
#include "magnifier/MagnifierWindow.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "overlay/OverlayEditor.h"
#include "widgets/Services.h"
#include "scene/PictureItem.h"
#include "shapes/ShapeTool.h"
#include "text/Text2DTool.h"
#include "text3d/Text3DEditor.h"
#include "text3d/Text3DTool.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A window whose tool is not built yet: caption, frame and size only.
QDialog* makeEmptyWindow(QWidget* parent) {
    return new QDialog(parent);
}

} // namespace

Workbench::Workbench()
    : m_document(std::make_unique<Document>())
    , m_textImage3D(std::make_unique<TextImage3D>()) {
    m_mainWindow = std::make_unique<MainWindow>(*this);
    for (const WindowDescription& description : windowSet) {
        if (description.number == 1)
            continue;
        QWidget* parent = m_mainWindow.get();
        QDialog* window = nullptr;
        switch (description.number) {
        case 2:
            window = new Text2DTool(*m_document, parent);
            break;
        case 3:
            window = new Text3DTool(*this, parent);
            break;
        case 4:
            window = new Text3DEditor(*m_textImage3D, parent);
            break;
        case 13:
            window = new BackgroundCreator(*m_document, parent);
            break;
        case 19:
            window = new CropWindow(*m_document, *m_textImage3D, parent);
            break;
        case 16:
            window = new MagnifierWindow(*m_document, parent);
            break;
        case 5:
            window = new DecorationGallery(DecorationSet::Borders, *this, parent);
            break;
        case 6:
            window = new OverlayEditor(*m_document, *m_textImage3D, parent);
            break;
        case 7:
            window = new FilterGallery(*this, parent);
            break;
        case 8:
            window = new AboutWindow(parent);
            break;
        case 9:
            window = new ResultsWindow(parent);
            break;
        case 10:
            window = new DecorationGallery(DecorationSet::Effects, *this, parent);
            break;
        case 11:
            window = new ShapeTool(ShapeFigure::Line, *m_document, parent);
            break;
        case 12:
            window = new ShapeTool(ShapeFigure::Rectangle, *m_document, parent);
            break;
        case 14:
            window = new ShapeTool(ShapeFigure::Circle, *m_document, parent);
            break;
        case 15:
            window = new SaveWindow(*m_document, parent);
            break;
        case 17:
            window = new ColourFilters(*m_document, parent);
            break;
        case 18:
            window = new DecorationGallery(DecorationSet::Montages, *this, parent);
            break;
        default:
            window = makeEmptyWindow(parent);
            break;
        }
        applyWindowDescription(window, description);
        m_windows[description.number] = window;
    }

    // The overlay editor's two filter buttons open the filter gallery on one of its pictures.
    OverlayEditor* editor = &overlayEditor();
    QObject::connect(
        editor, &OverlayEditor::filterRequested, editor, [this, editor](OverlayEditor::FilterSource source) {
            PictureItem* picture =
                source == OverlayEditor::FilterSource::Overlay ? editor->overlay() : editor->background();
            filterGallery().prepare(picture->picture(),
                                    [picture](const QImage& baked) { picture->setPicture(baked); });
            showModal(&filterGallery());
        });

    // After a save the status bar says where the picture went, and it joins the recent pictures.
    QObject::connect(&saveWindow(), &SaveWindow::saved, m_mainWindow.get(), [this](const QString& path) {
        m_mainWindow->showStatusMessage(
            QStringLiteral("Saved to %1").arg(QDir::cleanPath(QFileInfo(path).absoluteFilePath())));
        m_mainWindow->recentPictures().add(path);
    });

    // A picture drawn by the 3D text editor unlocks the 3D text tool's picture controls.
    QObject::connect(&text3DEditor(), &Text3DEditor::textImageRendered, &text3DTool(), &Text3DTool::unlock);
}

Workbench::~Workbench() = default;

MagnifierWindow& Workbench::magnifierWindow() const {
    return *static_cast<MagnifierWindow*>(m_windows[16]);
}
Text2DTool& Workbench::text2DTool() const {
    return *static_cast<Text2DTool*>(m_windows[2]);
}
SaveWindow& Workbench::saveWindow() const {
    return *static_cast<SaveWindow*>(m_windows[15]);
}
AboutWindow& Workbench::aboutWindow() const {
    return *static_cast<AboutWindow*>(m_windows[8]);
}
OverlayEditor& Workbench::overlayEditor() const {
    return *static_cast<OverlayEditor*>(m_windows[6]);
}
Text3DTool& Workbench::text3DTool() const {
    return *static_cast<Text3DTool*>(m_windows[3]);
}
Text3DEditor& Workbench::text3DEditor() const {
    return *static_cast<Text3DEditor*>(m_windows[4]);
}
DecorationGallery& Workbench::effectGallery() const {
    return *static_cast<DecorationGallery*>(m_windows[10]);
}
BackgroundCreator& Workbench::backgroundCreator() const {
    return *static_cast<BackgroundCreator*>(m_windows[13]);
}
CropWindow& Workbench::cropWindow() const {
    return *static_cast<CropWindow*>(m_windows[19]);
}
FilterGallery& Workbench::filterGallery() const {
    return *static_cast<FilterGallery*>(m_windows[7]);
}
ColourFilters& Workbench::colourFilters() const {
    return *static_cast<ColourFilters*>(m_windows[17]);
}
ShapeTool& Workbench::shapeTool(ShapeFigure figure) const {
    const int number = figure == ShapeFigure::Line ? 11 : figure == ShapeFigure::Rectangle ? 12 : 14;
    return *static_cast<ShapeTool*>(m_windows[number]);
}
ResultsWindow& Workbench::resultsWindow() const {
    return *static_cast<ResultsWindow*>(m_windows[9]);
}

void Workbench::showResults(const QImage& picture) {
    resultsWindow().setPicture(picture);
    showModal(&resultsWindow());
}

void Workbench::showModal(QDialog* window) {
    services().presenter->showModal(window);
}
