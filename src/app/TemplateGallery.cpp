// SPDX-License-Identifier: MIT
#include "app/TemplateGallery.h"

#include "app/StartPage.h"
#include "base/BusyCursor.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScrollArea>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString shippedFolder = QStringLiteral(":/templates");
constexpr int columns = 4;

// "greeting-card-portrait.lumora" is shown as "Greeting card portrait".
QString shownName(const QString& path) {
    QString name = QFileInfo(path).completeBaseName().replace('-', ' ');
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

} // namespace

TemplateGallery::TemplateGallery(QWidget* parent)
    : QDialog(parent) {
    setObjectName("TemplateGallery");
    setWindowTitle(QStringLiteral("Start from a template"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Choose a template, then the photo to put in it."), this);
    layout->addWidget(heading);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* area = new QWidget(scroll);
    m_grid = new QGridLayout(area);
    m_grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    scroll->setWidget(area);
    layout->addWidget(scroll, 1);
    m_note = new QLabel(this);
    m_note->setObjectName("TemplateNote");
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    resize(980, 640);
}

QString TemplateGallery::userFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("templates");
}

QString TemplateGallery::saveUserTemplate(const QString& name, const QList<ProjectStep>& steps,
                                          const QImage& picture) {
    // The name becomes the file's: nothing that would leave the folder or hide the file.
    QString fileName = name.simplified();
    fileName.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    while (fileName.startsWith('.'))
        fileName.remove(0, 1);
    if (fileName.isEmpty())
        throw UserError(QStringLiteral("A template needs a name."));
    const QDir folder(userFolder());
    if (!folder.mkpath(QStringLiteral(".")))
        throw UserError(QStringLiteral("Cannot make the folder \"%1\".").arg(folder.path()));
    const QString path = folder.filePath(fileName + QStringLiteral(".lumora"));
    // The user's earlier template of that name is theirs to remove, not ours to replace unasked.
    if (QFileInfo::exists(path))
        throw UserError(QStringLiteral("There is already a template called \"%1\"; choose another name.")
                            .arg(name.simplified()));
    const QByteArray bytes = writeProjectArchive(steps, picture);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw UserError(QStringLiteral("Cannot save the template \"%1\": %2").arg(path, file.errorString()));
    return path;
}

void TemplateGallery::reload() {
    const BusyCursor busy;
    for (CardButton* button : std::as_const(m_buttons))
        delete button;
    m_buttons.clear();
    m_entries.clear();
    m_chosen = -1;
    QStringList skipped;
    const QStringList filter{QStringLiteral("*.lumora")};
    for (const QFileInfo& file : QDir(shippedFolder).entryInfoList(filter, QDir::Files, QDir::Name))
        addEntry(file.filePath(), false, skipped);
    for (const QFileInfo& file : QDir(userFolder()).entryInfoList(filter, QDir::Files, QDir::Name))
        addEntry(file.filePath(), true, skipped);
    m_note->setText(skipped.isEmpty()
                        ? QString()
                        : QStringLiteral("Left out, as they cannot be read:\n") + skipped.join('\n'));
    m_note->setVisible(!skipped.isEmpty());
}

void TemplateGallery::addEntry(const QString& path, bool own, QStringList& skipped) {
    TemplateEntry entry{shownName(path), path, {}, own};
    QByteArray bytes;
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw UserError(file.errorString());
        if (file.size() > project_format::maximumTotalBytes)
            throw UserError(QStringLiteral("it is larger than a project can be"));
        bytes = file.readAll();
        entry.project = readProjectArchive(bytes, QFileInfo(path).fileName());
    } catch (const UserError& error) {
        skipped << QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), error.message());
        return;
    } catch (const std::bad_alloc&) {
        skipped << QStringLiteral("%1: there is not enough memory for it").arg(QFileInfo(path).fileName());
        return;
    }
    const int index = int(m_entries.size());
    auto* button = new CardButton(entry.name, own ? QStringLiteral("Your own") : QString(), QSize(200, 200));
    button->setObjectName(QStringLiteral("Template%1").arg(index));
    button->setAutoDefault(false);
    button->setPicture(readArchiveThumbnail(bytes));
    connect(button, &QPushButton::clicked, this, [this, index] {
        m_chosen = index;
        accept();
    });
    m_grid->addWidget(button, index / columns, index % columns);
    m_buttons << button;
    m_entries << std::move(entry);
}

QString TemplateGallery::note() const {
    return m_note->text();
}

const TemplateEntry* TemplateGallery::chosen() const {
    return m_chosen >= 0 && m_chosen < m_entries.size() ? &m_entries[m_chosen] : nullptr;
}
