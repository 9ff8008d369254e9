// SPDX-License-Identifier: MIT
// One change of the document as a window asks for it: a new picture (or the current one mirrored) and
// whichever of the control size, zoom, size readout and own file the change also sets. What it leaves
// unset stays as it is. Written as a chain: DocumentChange::picture(p).withControlSize(s).withZoom(z).
#pragma once

#include "document/StepRecipe.h"

#include <QImage>
#include <QSizeF>
#include <QString>

#include <optional>

class DocumentChange {
public:
    // The picture the document gets.
    static DocumentChange picture(const QImage& picture) {
        DocumentChange change;
        change.m_picture = picture;
        return change;
    }
    // The document's current picture mirrored (kept in the history as its own inverse).
    static DocumentChange mirror(Qt::Orientations orientation) {
        DocumentChange change;
        change.m_mirror = orientation;
        return change;
    }

    DocumentChange& withControlSize(QSizeF size) {
        m_controlSize = size;
        return *this;
    }
    DocumentChange& withZoom(double zoom) {
        m_zoom = zoom;
        return *this;
    }
    DocumentChange& withSizeText(const QString& text) {
        m_sizeText = text;
        return *this;
    }
    // The picture was just read from this file: it becomes the document's own file, the one "Restore the
    // original image" reloads, and the document counts as unmodified.
    DocumentChange& readFrom(const QString& file) {
        m_file = file;
        return *this;
    }
    // How to make the step again (see StepRecipe); a change without one cannot be replayed or edited again.
    DocumentChange& withRecipe(StepRecipe recipe) {
        m_recipe = std::move(recipe);
        return *this;
    }
    DocumentChange& enablingEditing() {
        m_enablesEditing = true;
        return *this;
    }

    const QImage& newPicture() const { return m_picture; }
    std::optional<Qt::Orientations> mirroring() const { return m_mirror; }
    std::optional<QSizeF> controlSize() const { return m_controlSize; }
    std::optional<double> zoom() const { return m_zoom; }
    std::optional<QString> sizeText() const { return m_sizeText; }
    std::optional<QString> file() const { return m_file; }
    bool enablesEditing() const { return m_enablesEditing; }
    const StepRecipe& recipe() const { return m_recipe; }

private:
    DocumentChange() = default;

    QImage m_picture;
    std::optional<Qt::Orientations> m_mirror;
    std::optional<QSizeF> m_controlSize;
    std::optional<double> m_zoom;
    std::optional<QString> m_sizeText;
    std::optional<QString> m_file;
    bool m_enablesEditing = false;
    StepRecipe m_recipe;
};
