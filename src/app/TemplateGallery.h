// SPDX-License-Identifier: MIT
// The templates to start from: the ones the program ships and the user's own (kept in the user's data
// folder), as large buttons with their pictures. A template that cannot be read is left out with a note.
#pragma once

#include "document/ProjectFile.h"

#include <QDialog>

class CardButton;
class QGridLayout;
class QLabel;

struct TemplateEntry {
    QString name; // as the gallery shows it
    QString path; // ":/templates/..." or a file in the user's folder
    Project project;
    bool own = false; // the user's own
};

class TemplateGallery : public QDialog {
    Q_OBJECT
public:
    explicit TemplateGallery(QWidget* parent = nullptr);

    // Where the user's own templates are kept.
    static QString userFolder();
    // Writes `steps` (which give `picture`) as the user's template `name`, replacing the file only once the
    // new one is complete. Returns its path. Throws UserError.
    static QString saveUserTemplate(const QString& name, const QList<ProjectStep>& steps,
                                    const QImage& picture);

    // Reads the templates again, the shipped ones first.
    void reload();
    const QList<TemplateEntry>& entries() const { return m_entries; }
    QList<CardButton*> buttons() const { return m_buttons; }
    // What was left out and why, as the gallery says it.
    QString note() const;
    // The template the gallery was closed with; null when it was closed without one.
    const TemplateEntry* chosen() const;

private:
    void addEntry(const QString& path, bool own, QStringList& skipped);

    QGridLayout* m_grid = nullptr;
    QLabel* m_note = nullptr;
    QList<TemplateEntry> m_entries;
    QList<CardButton*> m_buttons;
    int m_chosen = -1;
};
