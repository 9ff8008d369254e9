// SPDX-License-Identifier: MIT
// "Save": writes the document image in the format its file name's extension names.
#pragma once

#include <QDialog>

class Document;
class QComboBox;

class SaveWindow : public QDialog {
    Q_OBJECT
public:
    SaveWindow(Document& document, QWidget* parent = nullptr);

    QComboBox* formatList() const { return m_formats; }
    // The dialog's default extension for each list entry, in list order.
    static QString defaultSuffix(int index);

    // Asks for a file name and writes the picture; true when it was written (the document is then
    // unmodified). A failure is shown to the user.
    bool save();

private:
    Document& m_document;
    QComboBox* m_formats;
};
