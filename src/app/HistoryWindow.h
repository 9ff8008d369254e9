// SPDX-License-Identifier: MIT
// "History": the document's steps, each with a small picture of its result, where the history starts at the
// top. The present step is selected and the undone ones are greyed; clicking a step takes the document there.
// It stays open beside the main window.
#pragma once

#include <QDialog>

class Document;
class QListWidget;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    HistoryWindow(Document& document, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }

private:
    void refresh();

    Document& m_document;
    QListWidget* m_list;
};
