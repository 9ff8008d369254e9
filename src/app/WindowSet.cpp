// SPDX-License-Identifier: MIT
#include "app/WindowSet.h"

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/ResultsWindow.h"
#include "app/SaveWindow.h"
#include "app/StepEditor.h"
#include "background/BackgroundCreator.h"
#include "base/BusyCursor.h"
#include "base/UserError.h"
#include "colourfilters/ColourFilters.h"
#include "crop/CropWindow.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "effects/EffectCatalog.h"
#include "filters/FilterGallery.h"
#include "galleries/DecorationGallery.h"
#include "magnifier/MagnifierWindow.h"
#include "overlay/OverlayEditor.h"
#include "pictures/Pictures.h"
#include "resize/CanvasSizeWindow.h"
#include "resize/CropRegionWindow.h"
#include "resize/ResizeWindow.h"
#include "scene/PictureItem.h"
#include "shapes/ShapeTool.h"
#include "steps/FilterStep.h"
#include "steps/StepKind.h"
#include "steps/StepUnit.h"
#include "text/Text2DTool.h"
#include "text3d/Text3DEditor.h"
#include "text3d/Text3DTool.h"
#include "toolkit/DocumentTool.h"
#include "toolkit/PlacementPreview.h"
#include "watermark/WatermarkWindow.h"
#include "widgets/Services.h"
#include "widgets/WheelGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

template <class Window, class... Arguments>
void WindowSet::make(WindowId id, Window*& member, Arguments&&... arguments) {
    Q_ASSERT(int(id) == int(m_lastMade) + 1); // the table's order is the creation order
    member = new Window(std::forward<Arguments>(arguments)..., m_mainWindow.get());
    applyWindowDescription(member, id);
    m_windows.at(std::size_t(id)) = member;
    m_lastMade = id;
}

WindowSet::WindowSet()
    : m_wheelGuard(std::make_unique<WheelGuard>())
    , m_document(std::make_unique<Document>())
    , m_textImage3D(std::make_unique<TextImage3D>()) {
    Document& document = *m_document;
    TextImage3D& textImage = *m_textImage3D;
    step_catalog::registerKinds();
    m_stepEditor = std::make_unique<StepEditor>(*this);
    m_mainWindow = std::make_unique<MainWindow>(*this);
    make(WindowId::Text2D, m_text2D, document);
    make(WindowId::Text3D, m_text3D, *this, document, textImage);
    make(WindowId::Text3DEditor, m_text3DEditor, textImage);
    m_text3D->attachEditor(*m_text3DEditor);
    make(WindowId::Borders, m_borders, DecorationSet::Borders);
    make(WindowId::OverlayEditor, m_overlayEditor, document, textImage);
    make(WindowId::FilterGallery, m_filterGallery, *this);
    make(WindowId::About, m_about);
    make(WindowId::Results, m_results);
    make(WindowId::Effects, m_effects, DecorationSet::Effects);
    make(WindowId::Line, m_line, ShapeFigure::Line, document);
    make(WindowId::Rectangle, m_rectangle, ShapeFigure::Rectangle, document);
    make(WindowId::Background, m_background, document);
    make(WindowId::Circle, m_circle, ShapeFigure::Circle, document);
    make(WindowId::Save, m_save, document);
    make(WindowId::Magnifier, m_magnifier, document);
    make(WindowId::ColourFilters, m_colourFilters, document);
    make(WindowId::Montages, m_montages, DecorationSet::Montages);
    make(WindowId::Crop, m_crop, document, textImage);
    make(WindowId::Resize, m_resize, document);
    make(WindowId::CanvasSize, m_canvasSize, document);
    make(WindowId::CropRegion, m_cropRegion, document);
    make(WindowId::Watermark, m_watermark, document);

    // A decoration picked in a gallery goes into the overlay editor.
    for (DecorationGallery* gallery : {m_borders, m_effects, m_montages})
        QObject::connect(
            gallery, &DecorationGallery::picked, gallery,
            [this](const DecorationEntry& entry, const QImage& picture) { placeDecoration(entry, picture); });

    // The overlay editor's two filter buttons filter one of its pictures.
    OverlayEditor* editor = m_overlayEditor;
    QObject::connect(
        editor, &OverlayEditor::filterRequested, editor, [this, editor](OverlayEditor::FilterSource source) {
            PictureItem* picture =
                source == OverlayEditor::FilterSource::Overlay ? editor->overlay() : editor->background();
            filterPicture(picture->picture(), [this, editor, source](const QImage& filtered) {
                editor->takeFiltered(source, filtered, m_filterGallery->selectedEffect());
            });
        });

    m_stepEditor->onStatusMessage = [this](const QString& message) {
        m_mainWindow->showStatusMessage(message);
    };

    // After a save the status bar says where the picture went and how large the file is: the size the
    // window showed was for its format, and a typed extension may have chosen another. The file joins the
    // recent pictures.
    QObject::connect(m_save, &SaveWindow::saved, m_mainWindow.get(), [this](const QString& path) {
        const QFileInfo file(path);
        m_mainWindow->showStatusMessage(
            QStringLiteral("Saved to %1 (%2)")
                .arg(QDir::cleanPath(file.absoluteFilePath()), QLocale().formattedDataSize(file.size())));
        m_mainWindow->recentPictures().add(path);
    });
}

WindowSet::~WindowSet() = default;

DecorationGallery& WindowSet::gallery(DecorationSet set) const {
    return set == DecorationSet::Borders   ? *m_borders
           : set == DecorationSet::Effects ? *m_effects
                                           : *m_montages;
}

ShapeTool& WindowSet::shapeTool(ShapeFigure figure) const {
    return figure == ShapeFigure::Line        ? *m_line
           : figure == ShapeFigure::Rectangle ? *m_rectangle
                                              : *m_circle;
}

void WindowSet::openOnDocument(WindowId id) {
    switch (id) {
    case WindowId::OverlayEditor:
        placeImageAboveDocument();
        return;
    case WindowId::FilterGallery:
        filterDocument(std::nullopt);
        return;
    case WindowId::Borders:
    case WindowId::Effects:
    case WindowId::Montages: {
        // The gallery's pick opens the overlay editor, which merges into the document.
        using Step = OverlayEditor::DocumentStep;
        m_overlayEditor->open({.target = OverlayEditor::MergeTarget::DocumentImage,
                               .step = id == WindowId::Borders   ? Step::Border
                                       : id == WindowId::Effects ? Step::Effect
                                                                 : Step::Montage,
                               .activation = OverlayEditor::Activation::Empty});
        showModal(window(id));
        return;
    }
    default:
        break;
    }
    QDialog* tool = window(id);
    if (auto* documentTool = dynamic_cast<DocumentTool*>(tool))
        documentTool->openOnDocument();
    showModal(tool);
}

bool WindowSet::editsSteps(const QString& tool) const {
    const StepKind* kind = step_catalog::find(tool);
    return kind && kind->editor;
}

bool WindowSet::openForEdit(const StepRecipe& recipe) {
    const StepKind* kind = step_catalog::find(recipe.tool);
    if (!kind || !kind->editor)
        return false;
    const WindowId id = *kind->editor;
    QDialog* tool = window(id);
    tool->setResult(QDialog::Rejected); // what closing it any other way than by "Ok" leaves
    switch (id) {
    case WindowId::FilterGallery:
        filterDocument(readStep<FilterStep>(recipe).effect);
        break;
    case WindowId::OverlayEditor:
        m_overlayEditor->open({.target = OverlayEditor::MergeTarget::DocumentImage,
                               .step = *OverlayStep::kindOf(recipe.tool),
                               .activation = OverlayEditor::Activation::Empty});
        m_overlayEditor->applyRecipe(recipe);
        showModal(m_overlayEditor);
        break;
    default:
        if (auto* documentTool = dynamic_cast<DocumentTool*>(tool)) {
            documentTool->openOnDocument();
            documentTool->applyRecipe(recipe);
        }
        showModal(tool);
        break;
    }
    return tool->result() == QDialog::Accepted;
}

void WindowSet::filterDocument(const std::optional<Effect>& shown) {
    m_filterGallery->prepare(m_document->image(), [this](const QImage& filtered) {
        const Effect effect = m_filterGallery->selectedEffect();
        const QString filter = QString::fromUtf8(effectInfo(effect.kind).caption);
        m_document->change(filter + " filter",
                           DocumentChange::picture(filtered).withRecipe(FilterStep::write({effect})));
    });
    if (shown)
        m_filterGallery->showEffect(*shown);
    showModal(m_filterGallery);
}

void WindowSet::placeImageAboveDocument() {
    const QString path = services().files->openFileName(m_mainWindow.get(), m_document->chosenFile());
    if (path.isEmpty())
        return;
    QImage overlay;
    ResourcePointer file;
    // A picture that cannot be read is reported before anything is handed over. The file is read once: what
    // is placed is decoded from the bytes the step keeps.
    if (!guarded(m_mainWindow.get(), [&] {
            const BusyCursor busy;
            file = StepResource::fromFile(path);
            overlay = file->picture();
        }))
        return;
    m_document->setChosenFile(path); // where the open dialog starts next; the document keeps its own file
    placeImageAboveDocument(overlay, PictureOrigin::fromResource(file));
}

OverlayEditor::Request::Background WindowSet::documentAsBackground(bool tracked) const {
    return {m_document->image(), m_document->controlSize(), m_document->zoom(),
            tracked ? std::optional(PictureOrigin::document()) : std::nullopt};
}

void WindowSet::placeImageAboveDocument(const QImage& overlay, const PictureOrigin& origin) {
    m_overlayEditor->open({.target = OverlayEditor::MergeTarget::DocumentImage,
                           .step = OverlayEditor::DocumentStep::ImageAbove,
                           .activation = OverlayEditor::Activation::Empty,
                           .background = documentAsBackground(true),
                           .overlay = {{overlay, origin}}});
    showModal(m_overlayEditor);
}

void WindowSet::placeDecoration(const DecorationEntry& entry, const QImage& decoration) {
    OverlayEditor& editor = *m_overlayEditor;
    const PictureOrigin origin = PictureOrigin::decoration(entry);
    if (editor.okBinding() != OverlayEditor::MergeTarget::DocumentImage) {
        // For the 3D text picture, which the editor swaps in as its background whenever it becomes active.
        editor.open({.background = documentAsBackground(false), .overlay = {{decoration, std::nullopt}}});
    } else if (entry.set == DecorationSet::Montages) {
        // The template is the background and sets the result's size; the photo goes over it.
        editor.open({.background = {{decoration, QSizeF(decoration.size()), std::nullopt, origin}},
                     .overlay = {{m_document->image(), PictureOrigin::document()}}});
    } else {
        editor.open({.background = documentAsBackground(true), .overlay = {{decoration, origin}}});
    }
    showModal(&editor);
}

void WindowSet::showModal(QDialog* window) {
    services().presenter->showModal(window);
}

void WindowSet::showResult(const QImage& picture) {
    m_results->setPicture(picture);
    showModal(m_results);
}

void WindowSet::filterPicture(const QImage& picture, std::function<void(const QImage&)> filtered) {
    m_filterGallery->prepare(picture, std::move(filtered));
    showModal(m_filterGallery);
}

void WindowSet::cropPicture(SharedPicture picture) {
    m_crop->open(picture == SharedPicture::DocumentImage ? CropWindow::Source::DocumentImage
                                                         : CropWindow::Source::TextImage3D,
                 m_document->zoom());
    showModal(m_crop);
}

void WindowSet::placeOver(SharedPicture picture, const QImage& overlay) {
    if (picture == SharedPicture::DocumentImage) {
        placeImageAboveDocument(
            overlay, PictureOrigin::fromResource(StepResource::fromPicture(overlay, "overlay.png")));
        return;
    }
    // The 3D text picture at its own size, shown at the main window's zoom.
    const QImage& textImage = m_textImage3D->image();
    m_overlayEditor->open(
        {.target = OverlayEditor::MergeTarget::TextImage3D,
         .background = {{textImage, QSizeF(textImage.size()), m_document->zoom(), std::nullopt}},
         .overlay = {{overlay, std::nullopt}}});
    showModal(m_overlayEditor);
}

void WindowSet::addEffectTo(SharedPicture picture) {
    if (picture == SharedPicture::DocumentImage) {
        openOnDocument(WindowId::Effects);
        return;
    }
    // Whatever background a pick hands over, the editor swaps in the 3D text picture whenever it becomes
    // active, and merges into that picture.
    m_overlayEditor->open({.target = OverlayEditor::MergeTarget::TextImage3D,
                           .activation = OverlayEditor::Activation::TextImage3DAsBackground});
    showModal(m_effects);
}
