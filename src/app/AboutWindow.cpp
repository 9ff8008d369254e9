// SPDX-License-Identifier: MIT
#include "app/AboutWindow.h"

#include "widgets/PictureView.h"
#include "widgets/SvgPicture.h"

#include <QLabel>
#include <QVBoxLayout>

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent)
    , m_logo(new PictureView(this)) {
    m_logo->setObjectName("Image1");
    // A window of its own look: light text on a dark panel under the banner.
    setStyleSheet("AboutWindow { background: #16202c; } QLabel { color: #d8e2ee; }");

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    panel->setFixedHeight(79);
    struct Line {
        const char* name;
        QString text;
        int y;
        int pointSize;
    };
    const Line lines[] = {
        {"Label1", QStringLiteral("Lumora %1 — made by The Lumora developers").arg(LUMORA_VERSION), 0, 13},
        {"Label2", "A picture editor for decorating your photographs, free to use and to share.", 24, 12},
        {"Label3", "Questions and bug reports: open an issue on the project's tracker.", 40, 12},
        {"Label4", "Thank you for using Lumora. Happy decorating!", 56, 12},
    };
    for (const Line& line : lines) {
        auto* label = new QLabel(line.text, panel);
        label->setObjectName(line.name);
        QFont font = label->font();
        font.setPixelSize(line.pointSize + 3);
        font.setBold(line.y == 0);
        label->setFont(font);
        if (line.y == 0)
            label->setStyleSheet("color: #ff3030;");
        label->adjustSize();
        label->move(8, line.y);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_logo, 1);
    layout->addWidget(panel);
}

const QImage& AboutWindow::logo() const {
    return m_logo->picture();
}

void AboutWindow::showEvent(QShowEvent* event) {
    // Drawn on first showing, so start-up stays quick.
    if (m_logo->picture().isNull())
        m_logo->setPicture(renderSvg(":/about/logo.svg", logoSize));
    QDialog::showEvent(event);
}
