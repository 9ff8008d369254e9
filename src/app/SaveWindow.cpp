// SPDX-License-Identifier: MIT
#include "app/SaveWindow.h"

#include "base/UserSettings.h"
#include "document/Document.h"
#include "pictures/Pictures.h"
#include "widgets/BackgroundSave.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

struct Format {
    const char* item;
    const char* suffix;
    const char* proposedExtension; // of the file name the save dialog proposes
};
constexpr Format formats[] = {
    {"Png (*.png)", "Png", "png"},
    {"Jpeg (*.Jpg)", "Jpeg", "jpg"},
    {"Bitmap (*.bmp)", "Bmp", "bmp"},
    {"Gif (*.gif)", "Gif", "gif"},
};
constexpr int jpegIndex = 1;

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
        const bool jpeg = m_formats->currentIndex() == jpegIndex;
        m_qualityLabel->setVisible(jpeg);
        m_quality->setVisible(jpeg);
    };
    connect(m_formats, &QComboBox::currentIndexChanged, this, showQuality);
    showQuality();

    QPushButton* save = makeButton("CornerButton1", "Save", this);
    save->setFixedHeight(22);
    connect(save, &QPushButton::clicked, this, &SaveWindow::save);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(panel, 1);
    column->addWidget(save);
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
        savePictureResponsively(this, m_document.image(), path, m_quality->value());
        written = true;
        m_lastSaved = path;
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
