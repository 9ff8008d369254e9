// SPDX-License-Identifier: MIT
#include "document/Document.h"

#include "pictures/PictureMemory.h"
#include "pictures/Pictures.h"

#include <new>
#include <utility>

Document::Document(QObject* parent)
    : QObject(parent) {}

void Document::change(const QString& stepName, const DocumentChange& change) {
    QImage picture;
    if (const std::optional<Qt::Orientations> orientation = change.mirroring()) {
        if (m_image.isNull())
            return;
        picture = mirroredPicture(m_image, *orientation & Qt::Horizontal, *orientation & Qt::Vertical);
        if (picture.isNull())
            throw std::bad_alloc();
    } else {
        picture = change.newPicture();
        if (picture.isNull())
            return;
        if (picture.format() != QImage::Format_ARGB32_Premultiplied)
            picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    DocumentSettings settings = m_settings;
    settings.controlSize = change.controlSize().value_or(settings.controlSize);
    settings.zoom = change.zoom().value_or(settings.zoom);
    if (change.sizeText())
        settings.sizeText = *change.sizeText();
    else if (picture.size() != m_image.size())
        settings.sizeText = sizeTextOf(picture.size()); // the readout never shows a size the picture lost
    settings.file = change.file().value_or(settings.file);

    const bool wasModified = isModified();
    const bool readFromFile = change.file().has_value();
    if (m_image.isNull()) {
        // Nothing to go back to: the first picture is where the history starts.
        m_history.restart(stepName, historyThumbnail(picture), settings, readFromFile);
    } else {
        HistoryStep step;
        step.name = stepName;
        step.thumbnail = historyThumbnail(picture);
        step.before = m_settings;
        step.after = settings;
        step.picture = change.mirroring() ? PictureDelta::mirror(*change.mirroring())
                                          : PictureDelta::between(m_image, picture);
        m_history.record(std::move(step));
        if (readFromFile)
            m_history.markSaved();
    }
    present(std::move(picture), settings);
    if (change.enablesEditing() && !m_editingEnabled) {
        m_editingEnabled = true;
        emit editingEnabledChanged(true);
    }
    announceHistory(wasModified);
}

void Document::present(QImage picture, const DocumentSettings& settings) {
    // Everything first, so that whoever hears of one part sees the others as they now are.
    m_image = std::move(picture);
    const DocumentSettings previous = std::exchange(m_settings, settings);
    emit imageChanged();
    if (settings.controlSize != previous.controlSize)
        emit controlSizeChanged(settings.controlSize);
    if (settings.zoom != previous.zoom)
        emit zoomChanged(settings.zoom);
    if (settings.sizeText != previous.sizeText)
        emit sizeTextChanged(settings.sizeText);
}

void Document::announceHistory(bool wasModified) {
    emit historyChanged();
    if (isModified() != wasModified)
        emit modifiedChanged(isModified());
}

void Document::setZoom(double zoom) {
    if (zoom == m_settings.zoom)
        return;
    m_settings.zoom = zoom;
    emit zoomChanged(zoom);
}

void Document::open(const QString& path) {
    const QImage picture = loadPicture(path); // throws before anything changes
    m_chosenFile = path;
    change(QStringLiteral("Open image"), DocumentChange::picture(picture)
                                             .withControlSize(QSizeF(picture.size()))
                                             .withZoom(1.0)
                                             .withSizeText(sizeTextOf(picture.size()))
                                             .readFrom(path)
                                             .enablingEditing());
}

void Document::restoreOriginal() {
    if (m_settings.file.isEmpty())
        return;
    change(QStringLiteral("Restore the original image"),
           DocumentChange::picture(loadPicture(m_settings.file)));
}

void Document::flip(Qt::Orientations orientation) {
    change(orientation == Qt::Vertical ? QStringLiteral("Flip vertical") : QStringLiteral("Flip horizontal"),
           DocumentChange::mirror(orientation));
}

QString sizeTextOf(QSize size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QString Document::undoStepName() const {
    return canUndo() ? m_history.entry(m_history.position()).name : QString();
}

QString Document::redoStepName() const {
    return canRedo() ? m_history.entry(m_history.position() + 1).name : QString();
}

void Document::undo() {
    if (canUndo())
        goToEntry(m_history.position() - 1);
}

void Document::redo() {
    if (canRedo())
        goToEntry(m_history.position() + 1);
}

void Document::goToEntry(int index) {
    if (index < 0 || index >= m_history.count() || index == m_history.position())
        return;
    const bool wasModified = isModified();
    // Work on one picture of our own for the whole way, so that a run of small steps copies the picture
    // at most once.
    QImage picture = std::exchange(m_image, QImage());
    DocumentSettings settings = m_settings;
    // The zoom is set back only by steps that set it: the user may have zoomed since.
    auto take = [&settings](const DocumentSettings& side, const DocumentSettings& other) {
        const double zoom = side.zoom != other.zoom ? side.zoom : settings.zoom;
        settings = side;
        settings.zoom = zoom;
    };
    try {
        while (m_history.position() > index) {
            const HistoryStep& step = m_history.undo(picture);
            take(step.before, step.after);
        }
        while (m_history.position() < index) {
            const HistoryStep& step = m_history.redo(picture);
            take(step.after, step.before);
        }
    } catch (...) {
        // No memory for one more step: the document stays at the last step reached, whole.
        present(std::move(picture), settings);
        announceHistory(wasModified);
        throw;
    }
    present(std::move(picture), settings);
    announceHistory(wasModified);
}

void Document::setHistoryBudget(qint64 bytes) {
    const bool wasModified = isModified();
    m_history.setBudget(bytes);
    announceHistory(wasModified);
}

void Document::markSaved() {
    const bool wasModified = isModified();
    m_history.markSaved();
    announceHistory(wasModified);
}
