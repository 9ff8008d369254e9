// SPDX-License-Identifier: MIT
// The one picture being edited, with what the main window shows of it. Tools read and write it here;
// the main window is a view of it.
#pragma once

#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QString>

class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);

    // The document image, always Format_ARGB32_Premultiplied; null before a picture exists.
    const QImage& image() const { return m_image; }
    // Every change of the pixels goes through here.
    void setImage(const QImage& image);

    // The size of the main image control, in unscaled units (may be fractional).
    QSizeF controlSize() const { return m_controlSize; }
    void setControlSize(const QSizeF& size);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);

    QString sizeText() const { return m_sizeText; }
    void setSizeText(const QString& text);

    bool editingEnabled() const { return m_editingEnabled; }
    void enableEditing(); // for good: nothing disables editing again

    // The file last chosen in the shared open dialog ("Open image", "Image above").
    QString chosenFile() const { return m_chosenFile; }
    void setChosenFile(const QString& path) { m_chosenFile = path; }

    // Opens a picture file as "Open image" does; throws UserError and changes nothing when it cannot.
    void open(const QString& path);
    // Reloads the chosen file's pixels only; does nothing when no file was chosen yet.
    void restoreOriginal();
    void flip(Qt::Orientations orientation);

signals:
    void imageChanged();
    void controlSizeChanged(QSizeF size);
    void zoomChanged(double zoom);
    void sizeTextChanged(const QString& text);
    void editingEnabledChanged(bool enabled);

private:
    QImage m_image;
    QSizeF m_controlSize{300, 300};
    double m_zoom = 1.0;
    QString m_sizeText;
    bool m_editingEnabled = false;
    QString m_chosenFile;
};
