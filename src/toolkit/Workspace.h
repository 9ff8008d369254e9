// SPDX-License-Identifier: MIT
// What a tool window may reach beyond itself: the shared pictures, the other windows it opens, and modal
// showing. The application implements it, so tool folders never include the application's headers.
#pragma once

class CropWindow;
class DecorationGallery;
class Document;
class FilterGallery;
class OverlayEditor;
class QDialog;
class QImage;
class Text3DEditor;
class TextImage3D;

class Workspace {
public:
    virtual ~Workspace() = default;

    virtual Document& document() = 0;
    virtual TextImage3D& textImage3D() = 0;

    virtual OverlayEditor& overlayEditor() const = 0;
    virtual FilterGallery& filterGallery() const = 0;
    virtual CropWindow& cropWindow() const = 0;
    virtual Text3DEditor& text3DEditor() const = 0;
    // "Add effect": the gallery of effect overlays.
    virtual DecorationGallery& effectGallery() const = 0;
    // "View results": shows one picture large, modally.
    virtual void showResults(const QImage& picture) = 0;

    // Shows a window modally; returns when it closes.
    virtual void showModal(QDialog* window) = 0;
};
