// SPDX-License-Identifier: MIT
// "Save": writes the document image in the format its file name's extension names. Below the format and
// quality, options for the web: the saved size (the original, a long edge or a social network's box, fitted
// inside or filled with a centred crop), which metadata of the photo the file keeps, the sRGB profile, and
// several sizes at once, one file each, and a saved watermark on the files. The file size of JPEG, WebP and
// PNG files is worked out in the background and shown as the file will be written.
#pragma once

#include "pictures/WebExport.h"
#include "steps/WatermarkStep.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QTimer>

#include <optional>

class Document;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;

class SaveWindow : public QDialog {
    Q_OBJECT
public:
    SaveWindow(Document& document, QWidget* parent = nullptr);

    QComboBox* formatList() const { return m_formats; }
    // JPEG quality (1 to 100), shown while the list names JPEG; kept in the user's settings.
    QSpinBox* jpegQuality() const { return m_quality; }
    QComboBox* sizeList() const { return m_sizes; }
    QSpinBox* longEdgeBox() const { return m_longEdge; }
    QComboBox* fitList() const { return m_fit; }
    QComboBox* metadataList() const { return m_metadata; }
    // "Watermark:": none, or a saved watermark the files written get (the document keeps its picture).
    QComboBox* watermarkList() const { return m_watermark; }
    QCheckBox* srgbBox() const { return m_srgb; }
    QCheckBox* severalSizesBox() const { return m_several; }
    QListWidget* sizeChoices() const { return m_sizeChoices; }
    QLabel* fileSizeReadout() const { return m_fileSize; }
    // The bytes the file will have as the options stand, once worked out; -1 before that or for formats
    // without an estimate (BMP, GIF).
    qint64 estimatedFileSize() const { return m_estimate; }

    // The saved size the options choose, and the sizes "Export several sizes" writes.
    ExportSize chosenSize() const;
    QList<ExportSize> chosenSizes() const;
    MetadataChoice metadataChoice() const;
    // The file `path` (as the dialog gave it) for one of several sizes: "photo.jpg" → "photo-2048.jpg".
    static QString pathForSize(const QString& path, const ExportSize& size, QSize picture);
    // The dialog's default extension for each list entry, in list order.
    static QString defaultSuffix(int index);

    // Asks for a file name and writes the picture; true when it was written (the document is then
    // unmodified). A failure is shown to the user.
    bool save();

signals:
    // A picture was written to `path`.
    void saved(const QString& path);
    // The estimate of the file size is known (see estimatedFileSize()).
    void fileSizeEstimated(qint64 bytes);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Folder and proposed file name for the save dialog: the picture's own file's, with the chosen
    // format's extension.
    QString startPath() const;
    QWidget* buildExportOptions();
    void showOptionsForSize();
    // Works out the file size again, shortly after the last change.
    void estimateLater();
    void estimate();
    EncodeOptions encodeOptions() const;
    // The saved watermark chosen, its fields filled from the document's photo; none when none is chosen.
    std::optional<WatermarkSettings> chosenWatermark() const;
    void fillWatermarkList();
    QString chosenSuffix() const;
    // Writes the picture at each size to its file; runs on the saving thread.
    void writeFiles(const QImage& picture, const QList<std::pair<ExportSize, QString>>& files,
                    const EncodeOptions& options, const std::function<void(double)>& progress) const;

    Document& m_document;
    QComboBox* m_formats;
    QLabel* m_qualityLabel;
    QSpinBox* m_quality;
    QString m_lastSaved;
    QComboBox* m_sizes;
    QSpinBox* m_longEdge;
    QComboBox* m_fit;
    QComboBox* m_metadata;
    QComboBox* m_watermark;
    QCheckBox* m_srgb;
    QCheckBox* m_several;
    QListWidget* m_sizeChoices;
    QLabel* m_fileSize;
    QTimer m_estimateDelay;
    QFutureWatcher<qint64> m_estimating;
    int m_estimateRound = 0; // a result from an earlier round is stale
    qint64 m_estimate = -1;
};
