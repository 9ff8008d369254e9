// SPDX-License-Identifier: MIT
#include "galleries/DecorationGallery.h"

#include "galleries/ThumbnailButton.h"
#include "document/Document.h"
#include "toolkit/Workspace.h"
#include "overlay/OverlayEditor.h"
#include "pictures/Pictures.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"
#include "scene/PictureItem.h"

#include <QScrollArea>
#include <QVBoxLayout>

DecorationGallery::DecorationGallery(DecorationSet set, Workspace& workspace, QWidget* parent)
    : QDialog(parent)
    , m_set(set)
    , m_workspace(workspace)
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
    guarded(this, [&] {
        const QImage picture = loadPicture(decorationPicturePath(entry));
        const Document& document = m_workspace.document();
        OverlayEditor& editor = m_workspace.overlayEditor();
        PictureItem* background = editor.background();
        if (m_set == DecorationSet::Montages) {
            // The template is the background and sets the result's size; the photo goes over it.
            background->setPicture(picture);
            background->setHeight(picture.height());
            background->setWidth(picture.width());
            editor.overlay()->setPicture(document.image());
        } else {
            editor.zoomBar()->setValue(document.zoom());
            background->setPicture(document.image());
            background->setHeight(document.controlSize().height());
            background->setWidth(document.controlSize().width());
            editor.overlay()->setPicture(picture);
        }
        m_workspace.showModal(&editor);
    });
}
