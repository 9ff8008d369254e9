// SPDX-License-Identifier: MIT
#include "app/ResultsWindow.h"

#include "widgets/PictureView.h"

#include <QVBoxLayout>

ResultsWindow::ResultsWindow(QWidget* parent)
    : QDialog(parent)
    , m_view(new PictureView(this)) {
    m_view->setObjectName("Image1");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

void ResultsWindow::setPicture(const QImage& picture) {
    m_view->setPicture(picture);
}
