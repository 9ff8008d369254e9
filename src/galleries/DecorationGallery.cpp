// SPDX-License-Identifier: MIT
#include "galleries/DecorationGallery.h"

#include "galleries/ThumbnailButton.h"
#include "pictures/Pictures.h"
#include "widgets/Services.h"

#include <QScrollArea>
#include <QVBoxLayout>

DecorationGallery::DecorationGallery(DecorationSet set, QWidget* parent)
    : QDialog(parent)
    , m_set(set)
    , m_scrollArea(new QScrollArea(this)) {
    m_scrollArea->setObjectName("ScrollBox1");
    auto* grid = new QWidget;
    const QSize box = decorationThumbnailBox(set);
    QSize extent(0, 0);
    for (const DecorationEntry& entry : decorationEntries(set)) {
        auto* button = new ThumbnailButton(decorationThumbnailPath(entry), entry.stretch, grid);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setGeometry(entry.gridX, entry.gridY, box.width(), box.height());
        button->setToolTip(QStringLiteral("%1 × %2").arg(entry.width).arg(entry.height));
        connect(button, &ThumbnailButton::clicked, this, [this, &entry] { pick(entry); });
        extent = extent.expandedTo(QSize(entry.gridX + box.width(), entry.gridY + box.height()));
    }
    grid->setFixedSize(extent);
    m_scrollArea->setWidget(grid);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scrollArea);
}

void DecorationGallery::pick(const DecorationEntry& entry) {
    QImage picture;
    if (guarded(this, [&] { picture = loadPicture(decorationPicturePath(entry)); }))
        emit picked(entry, picture);
}
