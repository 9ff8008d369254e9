// SPDX-License-Identifier: MIT
// "History": the document's steps, each with a small picture of its result, where the history starts at the
// top. The present step is selected and the undone ones are greyed; clicking a step takes the document there.
// Double-clicking a step, or "Edit again", reopens its tool window to change it. It stays open beside the
// main window.
#pragma once

#include <QDialog>

#include <optional>

class Document;
class QListWidget;
class QPushButton;
class StepEditor;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    HistoryWindow(Document& document, StepEditor& editor, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QPushButton* editAgainButton() const { return m_editAgain; }

private:
    void refresh();
    void editAgain(int row);

    Document& m_document;
    StepEditor& m_editor;
    QListWidget* m_list;
    QPushButton* m_editAgain;
    // Where the document stood before the user clicked through the list: an edit started from a row is
    // undone back there, not to the row clicked on the way to it.
    std::optional<int> m_browsedFrom;
    bool m_browsing = false;
};
