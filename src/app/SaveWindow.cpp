// SPDX-License-Identifier: MIT
#include "app/SaveWindow.h"

#include "model/Document.h"
#include "platform/BackgroundSave.h"
#include "platform/Panel.h"
#include "platform/Pictures.h"
#include "platform/Services.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Format {
    const char* item;
    const char* suffix;
};
constexpr Format formats[] = {
    {"Png (*.png)", "Png"},
    {"Jpeg (*.Jpg)", "Jpeg"},
    {"Bitmap (*.bmp)", "Bmp"},
    {"Gif (*.gif)", "Gif"},
};

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
        const QString path = services().files->saveFileName(this, defaultSuffix(m_formats->currentIndex()));
        if (path.isEmpty())
            return;
        savePictureResponsively(this, m_document.image(), path);
        written = true;
    });
    if (written)
        m_document.markSaved();
    return written;
}
