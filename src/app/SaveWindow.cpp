// SPDX-License-Identifier: MIT
#include "app/SaveWindow.h"

#include "base/UserError.h"
#include "base/UserSettings.h"
#include "document/Document.h"
#include "pictures/ExifData.h"
#include "pictures/PhotoFields.h"
#include "pictures/Pictures.h"
#include "steps/WatermarkPresets.h"
#include "widgets/BackgroundSave.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

struct Format {
    const char* item;
    const char* suffix;
    const char* proposedExtension; // of the file name the save dialog proposes
};
constexpr Format formats[] = {
    {"Png (*.png)", "Png", "png"}, {"Jpeg (*.Jpg)", "Jpeg", "jpg"},   {"Bitmap (*.bmp)", "Bmp", "bmp"},
    {"Gif (*.gif)", "Gif", "gif"}, {"WebP (*.webp)", "WebP", "webp"},
};
constexpr int jpegIndex = 1;
constexpr int webpIndex = 4;

// The saved sizes offered: the original, long edges, and social networks' boxes.
struct SizeChoice {
    const char* item;
    ExportSize::Kind kind;
    int longEdge; // 0 with LongEdge: the number typed beside the list
    int width;
    int height;
};
constexpr SizeChoice sizeTable[] = {
    {"Original size", ExportSize::Kind::Original, 0, 0, 0},
    {"Long edge 2048", ExportSize::Kind::LongEdge, 2048, 0, 0},
    {"Long edge 1920", ExportSize::Kind::LongEdge, 1920, 0, 0},
    {"Long edge 1600", ExportSize::Kind::LongEdge, 1600, 0, 0},
    {"Long edge 1080", ExportSize::Kind::LongEdge, 1080, 0, 0},
    {"Long edge of…", ExportSize::Kind::LongEdge, 0, 0, 0},
    {"1080 × 1080 square", ExportSize::Kind::Box, 0, 1080, 1080},
    {"1080 × 1350 portrait", ExportSize::Kind::Box, 0, 1080, 1350},
    {"1080 × 1920 story", ExportSize::Kind::Box, 0, 1080, 1920},
    {"1200 × 630 link", ExportSize::Kind::Box, 0, 1200, 630},
};
constexpr const char* metadataChoices[] = {"Date and camera, no location", "Keep all", "Drop all"};

// The size a list entry stands for, with the typed long edge and the fit choice.
ExportSize sizeOf(const SizeChoice& choice, int typedLongEdge, bool fill) {
    switch (choice.kind) {
    case ExportSize::Kind::Original:
        return ExportSize::original();
    case ExportSize::Kind::LongEdge:
        return ExportSize::ofLongEdge(choice.longEdge > 0 ? choice.longEdge : typedLongEdge);
    case ExportSize::Kind::Box:
        break;
    }
    return ExportSize::ofBox({choice.width, choice.height}, fill);
}

QString bytesText(qint64 bytes) {
    const QLocale locale;
    return QStringLiteral("%1 bytes (%2)").arg(locale.toString(bytes), locale.formattedDataSize(bytes));
}

const QString qualityKey = QStringLiteral("save/jpegQuality");

} // namespace

SaveWindow::SaveWindow(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document) {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel2");
    Panel layout(panel);
    layout.label("Label1", "Format:", 48, 0);
    m_formats = new QComboBox(panel);
    m_formats->setObjectName("ComboBox1");
    for (const Format& format : formats)
        m_formats->addItem(QString::fromLatin1(format.item));
    m_formats->setGeometry(0, 16, 127, 22);

    // JPEG only: how much detail the compression keeps.
    m_qualityLabel = layout.label("QualityLabel", "JPEG quality:", 0, 46);
    m_quality = new QSpinBox(panel);
    m_quality->setObjectName("JpegQuality");
    m_quality->setRange(1, 100);
    m_quality->setValue(std::clamp(UserSettings().value(qualityKey, defaultJpegQuality).toInt(), 1, 100));
    m_quality->setGeometry(0, 62, 127, 22);
    m_quality->setToolTip("Higher keeps more detail in a larger file");
    connect(m_quality, &QSpinBox::valueChanged, this,
            [](int quality) { UserSettings().setValue(qualityKey, quality); });
    const auto showQuality = [this] {
        const bool jpeg = m_formats->currentIndex() == jpegIndex,
                   webp = m_formats->currentIndex() == webpIndex;
        m_qualityLabel->setText(webp ? QStringLiteral("WebP quality:") : QStringLiteral("JPEG quality:"));
        m_qualityLabel->setVisible(jpeg || webp);
        m_quality->setVisible(jpeg || webp);
    };
    connect(m_formats, &QComboBox::currentIndexChanged, this, showQuality);
    showQuality();

    QPushButton* save = makeButton("CornerButton1", "Save", this);
    save->setFixedHeight(22);
    connect(save, &QPushButton::clicked, this, &SaveWindow::save);

    panel->setFixedHeight(90);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(panel);
    column->addWidget(buildExportOptions(), 1);
    column->addWidget(save);

    m_estimateDelay.setSingleShot(true);
    m_estimateDelay.setInterval(200);
    connect(&m_estimateDelay, &QTimer::timeout, this, &SaveWindow::estimate);
    connect(&m_estimating, &QFutureWatcher<qint64>::finished, this, [this] {
        if (m_estimating.property("round").toInt() != m_estimateRound)
            return; // the options changed meanwhile: a newer estimate is on its way
        m_estimate = m_estimating.result();
        m_fileSize->setText(m_estimate < 0 ? QStringLiteral("File size: —")
                                           : QStringLiteral("File size: %1").arg(bytesText(m_estimate)));
        emit fileSizeEstimated(m_estimate);
    });
    connect(m_formats, &QComboBox::currentIndexChanged, this, &SaveWindow::estimateLater);
    connect(m_quality, &QSpinBox::valueChanged, this, &SaveWindow::estimateLater);
}

QWidget* SaveWindow::buildExportOptions() {
    auto* options = new QWidget(this);
    options->setObjectName("ExportOptions");
    m_sizes = new QComboBox(options);
    m_sizes->setObjectName("ExportSize");
    for (const SizeChoice& choice : sizeTable)
        m_sizes->addItem(QString::fromUtf8(choice.item));
    m_longEdge = new QSpinBox(options);
    m_longEdge->setObjectName("ExportLongEdge");
    m_longEdge->setRange(1, 30000);
    m_longEdge->setValue(1280);
    m_longEdge->setSuffix(" px");
    m_fit = new QComboBox(options);
    m_fit->setObjectName("ExportFit");
    m_fit->addItems({"Fit inside", "Fill, cropped in the middle"});
    m_metadata = new QComboBox(options);
    m_metadata->setObjectName("ExportMetadata");
    for (const char* choice : metadataChoices)
        m_metadata->addItem(QString::fromLatin1(choice));
    m_metadata->setToolTip("What the file keeps of the photo's own information (EXIF)");
    m_watermark = new QComboBox(options);
    m_watermark->setObjectName("ExportWatermark");
    m_watermark->setToolTip("Add my watermark: a watermark saved in \"Add watermark…\", on the files only");
    fillWatermarkList();
    m_srgb = new QCheckBox("Embed the sRGB profile", options);
    m_srgb->setObjectName("ExportSrgb");
    m_srgb->setChecked(true);
    m_srgb->setToolTip("The colours are sRGB; the profile says so to every viewer");
    m_several = new QCheckBox("Export several sizes", options);
    m_several->setObjectName("ExportSeveralSizes");
    m_several->setToolTip("One file for each ticked size, named with the size (photo-2048.jpg)");
    m_sizeChoices = new QListWidget(options);
    m_sizeChoices->setObjectName("ExportSizeChoices");
    for (std::size_t i = 1; i < std::size(sizeTable); ++i) {
        auto* item = new QListWidgetItem(QString::fromUtf8(sizeTable[i].item), m_sizeChoices);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_sizeChoices->setEnabled(false);
    m_fileSize = new QLabel(options);
    m_fileSize->setObjectName("ExportFileSize");
    m_fileSize->setWordWrap(true);

    auto* form = new QFormLayout(options);
    form->setContentsMargins(4, 4, 4, 4);
    form->addRow("Size:", m_sizes);
    form->addRow("Long edge:", m_longEdge);
    form->addRow("Shape:", m_fit);
    form->addRow("Metadata:", m_metadata);
    form->addRow("Watermark:", m_watermark);
    form->addRow(m_srgb);
    form->addRow(m_several);
    form->addRow(m_sizeChoices);
    form->addRow(m_fileSize);

    connect(m_sizes, &QComboBox::currentIndexChanged, this, &SaveWindow::showOptionsForSize);
    connect(m_several, &QCheckBox::toggled, this, &SaveWindow::showOptionsForSize);
    for (QComboBox* list : {m_sizes, m_fit, m_metadata, m_watermark})
        connect(list, &QComboBox::currentIndexChanged, this, &SaveWindow::estimateLater);
    connect(m_longEdge, &QSpinBox::valueChanged, this, &SaveWindow::estimateLater);
    connect(m_srgb, &QCheckBox::toggled, this, &SaveWindow::estimateLater);
    connect(m_several, &QCheckBox::toggled, this, &SaveWindow::estimateLater);
    connect(m_sizeChoices, &QListWidget::itemChanged, this, &SaveWindow::estimateLater);
    showOptionsForSize();
    return options;
}

void SaveWindow::showOptionsForSize() {
    const bool several = m_several->isChecked();
    const SizeChoice& choice = sizeTable[std::max(0, m_sizes->currentIndex())];
    m_sizes->setEnabled(!several);
    m_sizeChoices->setEnabled(several);
    m_longEdge->setEnabled(several || (choice.kind == ExportSize::Kind::LongEdge && choice.longEdge == 0));
    m_fit->setEnabled(several || choice.kind == ExportSize::Kind::Box);
}

ExportSize SaveWindow::chosenSize() const {
    return sizeOf(sizeTable[std::max(0, m_sizes->currentIndex())], m_longEdge->value(),
                  m_fit->currentIndex() == 1);
}

QList<ExportSize> SaveWindow::chosenSizes() const {
    if (!m_several->isChecked())
        return {chosenSize()};
    QList<ExportSize> sizes;
    for (int row = 0; row < m_sizeChoices->count(); ++row)
        if (m_sizeChoices->item(row)->checkState() == Qt::Checked)
            sizes << sizeOf(sizeTable[row + 1], m_longEdge->value(), m_fit->currentIndex() == 1);
    return sizes;
}

MetadataChoice SaveWindow::metadataChoice() const {
    switch (m_metadata->currentIndex()) {
    case 1:
        return MetadataChoice::All;
    case 2:
        return MetadataChoice::None;
    default:
        return MetadataChoice::DateAndCamera;
    }
}

QString SaveWindow::pathForSize(const QString& path, const ExportSize& size, QSize picture) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    return info.dir().filePath(info.completeBaseName() + size.fileSuffix(picture) + suffix);
}

EncodeOptions SaveWindow::encodeOptions() const {
    EncodeOptions options;
    options.quality = m_quality->value();
    // The photo's information comes from the file the picture was opened from.
    options.exif = keptExif(exifOfFile(m_document.file()), metadataChoice());
    options.embedSrgb = m_srgb->isChecked();
    return options;
}

QString SaveWindow::chosenSuffix() const {
    return QString::fromLatin1(
        formats[std::clamp(m_formats->currentIndex(), 0, int(std::size(formats)) - 1)].proposedExtension);
}

void SaveWindow::fillWatermarkList() {
    // The chosen one stays chosen while it is saved.
    const QString chosen = m_watermark->currentIndex() > 0 ? m_watermark->currentText() : QString();
    const QSignalBlocker blocker(m_watermark);
    m_watermark->clear();
    m_watermark->addItem(QStringLiteral("None"));
    m_watermark->addItems(watermark_presets::names());
    m_watermark->setCurrentIndex(std::max(0, m_watermark->findText(chosen)));
}

std::optional<WatermarkSettings> SaveWindow::chosenWatermark() const {
    if (m_watermark->currentIndex() <= 0)
        return std::nullopt;
    std::optional<WatermarkSettings> watermark = watermark_presets::find(m_watermark->currentText());
    if (!watermark)
        throw UserError(
            QStringLiteral("The watermark \"%1\" cannot be read.").arg(m_watermark->currentText()));
    WatermarkStep::fillFields(*watermark, PhotoFields(m_document.file(), 1, 1));
    return watermark;
}

void SaveWindow::showEvent(QShowEvent* event) {
    fillWatermarkList(); // saved in the watermark window since the last time
    QDialog::showEvent(event);
    estimateLater();
}

void SaveWindow::estimateLater() {
    ++m_estimateRound;
    m_estimate = -1;
    const bool encodable = canEncodeForExport(chosenSuffix());
    m_fileSize->setText(encodable ? QStringLiteral("File size: working it out…")
                                  : QStringLiteral("File size: shown for JPEG, WebP and PNG"));
    if (encodable && isVisible() && !m_document.image().isNull())
        m_estimateDelay.start();
}

void SaveWindow::estimate() {
    if (m_estimating.isRunning()) { // one at a time: asked again once this one is over
        m_estimateDelay.start();
        return;
    }
    QImage picture = m_document.image();
    const QList<ExportSize> sizes = chosenSizes();
    const QString suffix = chosenSuffix();
    const EncodeOptions options = encodeOptions();
    std::optional<WatermarkSettings> watermark;
    try {
        watermark = chosenWatermark();
    } catch (const UserError&) {
        watermark.reset(); // said when saving
    }
    m_estimating.setProperty("round", m_estimateRound);
    m_estimating.setFuture(
        QtConcurrent::run([picture, sizes, suffix, options, watermark]() mutable -> qint64 {
            try {
                if (watermark)
                    picture = WatermarkStep::replay({std::move(picture), {}}, *watermark).picture;
                qint64 total = 0;
                for (const ExportSize& size : sizes)
                    total += encodedPicture(sizedForExport(picture, size), suffix, options).size();
                return sizes.isEmpty() ? -1 : total;
            } catch (...) {
                return -1;
            }
        }));
}

void SaveWindow::writeFiles(const QImage& picture, const QList<std::pair<ExportSize, QString>>& files,
                            const EncodeOptions& options, const std::function<void(double)>& progress) const {
    for (qsizetype i = 0; i < files.size(); ++i) {
        const auto& [size, path] = files[i];
        const QImage sized = sizedForExport(picture, size);
        if (sized.isNull())
            throw UserError(QStringLiteral("There is not enough memory to save \"%1\".").arg(path));
        const QString suffix = QFileInfo(path).suffix();
        if (canEncodeForExport(suffix))
            savePictureBytes(encodedPicture(sized, suffix, options), path);
        else
            savePicture(sized, path, {}, options.quality);
        progress(double(i + 1) / files.size());
    }
}

QString SaveWindow::defaultSuffix(int index) {
    return QString::fromLatin1(formats[std::clamp(index, 0, int(std::size(formats)) - 1)].suffix);
}

bool SaveWindow::save() {
    bool written = false;
    guarded(this, [&] {
        if (m_document.image().isNull()) // say so before the user types a name
            savePicture(m_document.image(), QString());
        const QString path =
            services().files->saveFileName(this, defaultSuffix(m_formats->currentIndex()), startPath());
        if (path.isEmpty())
            return;
        QList<std::pair<ExportSize, QString>> files;
        QStringList paths;
        for (const ExportSize& size : chosenSizes()) {
            const QString file =
                m_several->isChecked() ? pathForSize(path, size, m_document.image().size()) : path;
            if (!paths.contains(file)) { // two sizes that leave the picture alike make one file
                paths << file;
                files.append({size, file});
            }
        }
        if (files.isEmpty())
            throw UserError(QStringLiteral("Tick at least one size to export."));
        if (!canWriteExtension(QFileInfo(path).suffix())) {
            savePicture(m_document.image(), path); // says which types can be written
            return;
        }
        QImage picture = m_document.image();
        const EncodeOptions options = encodeOptions();
        const std::optional<WatermarkSettings> watermark = chosenWatermark();
        runSaveResponsively(this, path, [&](const std::function<void(double)>& progress) {
            if (watermark) // on the files only: the document keeps its own picture
                picture = WatermarkStep::replay({std::move(picture), {}}, *watermark).picture;
            writeFiles(picture, files, options, progress);
        });
        written = true;
        m_lastSaved = files.first().second;
    });
    if (written) {
        m_document.markSaved();
        emit saved(m_lastSaved);
    }
    return written;
}

QString SaveWindow::startPath() const {
    // The picture's own file; a picture without one (a background, a pasted picture) starts where the
    // last one was saved.
    const QString reference = !m_document.file().isEmpty() ? m_document.file() : m_lastSaved;
    if (reference.isEmpty())
        return {};
    const QFileInfo info(reference);
    const int index = std::clamp(m_formats->currentIndex(), 0, int(std::size(formats)) - 1);
    return info.absoluteDir().filePath(info.completeBaseName() + "." +
                                       QString::fromLatin1(formats[index].proposedExtension));
}
