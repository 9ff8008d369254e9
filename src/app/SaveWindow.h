// SPDX-License-Identifier: MIT
// "Save": writes the document image in the format its file name's extension names.
#pragma once

#include <QDialog>

class Document;
class QComboBox;
class QLabel;
class QSpinBox;

class SaveWindow : public QDialog {
    Q_OBJECT
public:
    SaveWindow(Document& document, QWidget* parent = nullptr);

    QComboBox* formatList() const { return m_formats; }
    // JPEG quality (1 to 100), shown while the list names JPEG; kept in the user's settings.
    QSpinBox* jpegQuality() const { return m_quality; }
    // The dialog's default extension for each list entry, in list order.
    static QString defaultSuffix(int index);

    // Asks for a file name and writes the picture; true when it was written (the document is then
    // unmodified). A failure is shown to the user.
    bool save();

signals:
    // A picture was written to `path`.
    void saved(const QString& path);

private:
    // Folder and proposed file name for the save dialog: the picture's own file's, with the chosen
    // format's extension.
    QString startPath() const;

    Document& m_document;
    QComboBox* m_formats;
    QLabel* m_qualityLabel;
    QSpinBox* m_quality;
    QString m_lastSaved;
};
