// SPDX-License-Identifier: MIT
#include "app/HistoryWindow.h"

#include "app/StepEditor.h"
#include "app/WindowTable.h"
#include "document/Document.h"

#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Every thumbnail centred on a square of one size, so the names line up.
QIcon squareIcon(const QImage& thumbnail) {
    QPixmap square(historyThumbnailSide, historyThumbnailSide);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((historyThumbnailSide - thumbnail.width()) / 2,
                      (historyThumbnailSide - thumbnail.height()) / 2, thumbnail);
    return QIcon(square);
}

} // namespace

HistoryWindow::HistoryWindow(Document& document, StepEditor& editor, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_document(document)
    , m_editor(editor)
    , m_list(new QListWidget(this))
    , m_editAgain(new QPushButton("Edit again", this)) {
    applyWindowDescription(this, WindowId::History);
    setModal(false);
    resize(280, 520);
    m_list->setObjectName("HistoryList");
    m_list->setIconSize(QSize(historyThumbnailSide, historyThumbnailSide));
    m_list->setSpacing(2);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(m_list);
    m_editAgain->setObjectName("EditAgainButton");
    m_editAgain->setAutoDefault(false);
    column->addWidget(m_editAgain);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        if (!m_browsedFrom)
            m_browsedFrom = m_document.history().position();
        m_browsing = true;
        m_document.goToEntry(row);
        m_browsing = false;
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { editAgain(m_list->row(item)); });
    connect(m_editAgain, &QPushButton::clicked, this, [this] { editAgain(m_list->currentRow()); });
    connect(&m_document, &Document::historyChanged, this, &HistoryWindow::refresh);
    refresh();
}

void HistoryWindow::refresh() {
    if (!m_browsing) // the history moved otherwise: the way through the list starts again
        m_browsedFrom.reset();
    const QSignalBlocker quiet(m_list); // showing where the document is must not move it
    const DocumentHistory& history = m_document.history();
    // Rows whose step is still the same keep their icons; only the rest are made again.
    while (m_list->count() > history.count())
        delete m_list->takeItem(m_list->count() - 1);
    for (int row = 0; row < history.count(); ++row) {
        const HistoryStep& step = history.entry(row);
        QListWidgetItem* item = m_list->item(row);
        const qint64 key = step.thumbnail.cacheKey();
        if (!item || item->data(Qt::UserRole).toLongLong() != key) {
            if (!item) {
                item = new QListWidgetItem;
                m_list->addItem(item);
            }
            item->setIcon(squareIcon(step.thumbnail));
            item->setData(Qt::UserRole, key);
        }
        item->setText(step.name);
        item->setForeground(row > history.position() ? palette().color(QPalette::Disabled, QPalette::Text)
                                                     : palette().color(QPalette::Active, QPalette::Text));
    }
    if (history.count() > 0) {
        m_list->setCurrentRow(history.position());
        m_list->scrollToItem(m_list->currentItem());
    }
    const QString problem = m_editor.whyNotEditable(history.position());
    m_editAgain->setEnabled(problem.isEmpty());
    m_editAgain->setToolTip(problem);
}

void HistoryWindow::editAgain(int row) {
    if (row < 0)
        return;
    // After the double-click has been handled: the edit opens a modal window of its own.
    const int undoTo = m_browsedFrom.value_or(m_document.history().position());
    QTimer::singleShot(0, this, [this, row, undoTo] { m_editor.editAgain(row, undoTo); });
}
