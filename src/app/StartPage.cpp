// SPDX-License-Identifier: MIT
#include "app/StartPage.h"

#include "app/ProjectCommands.h"
#include "app/RecentPictures.h"
#include "document/ProjectFile.h"
#include "pictures/Pictures.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

const QSize recentPictureBox(150, 110);
constexpr int cardMargin = 10;
constexpr int recentSpacing = 10;

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(18);
    font.setBold(true);
    label->setFont(font);
    return label;
}

// What a thumbnail is made from: a project keeps one of its own; a picture is decoded reduced.
QImage thumbnailSource(const QString& file) {
    if (ProjectCommands::isProjectFile(file))
        return readProjectThumbnail(file);
    try {
        return loadPicture(file, ThumbnailCache::largeSide);
    } catch (...) { // a damaged or vanished picture gets no thumbnail, never a crash
        return {};
    }
}

bool isReadable(const QString& path) {
    return canReadExtension(QFileInfo(path).suffix()) || ProjectCommands::isProjectFile(path);
}

} // namespace

CardButton::CardButton(const QString& title, const QString& line, QSize pictureBox, QWidget* parent)
    : QPushButton(parent)
    , m_title(title)
    , m_line(line)
    , m_pictureBox(pictureBox) {
    setAutoDefault(true); // Enter presses the button with the focus, as Space does
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(title);
    setAccessibleDescription(line);
    setToolTip(line);
}

void CardButton::setPicture(const QImage& picture) {
    m_source = picture;
    if (picture.isNull()) {
        m_picture = QPixmap();
    } else {
        const qreal ratio = devicePixelRatioF();
        QImage fitted = picture.scaled(m_pictureBox * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        fitted.setDevicePixelRatio(ratio);
        m_picture = QPixmap::fromImage(fitted);
    }
    update();
}

void CardButton::setGreyed(bool greyed) {
    m_greyed = greyed;
    update();
}

QSize CardButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int textHeight = metrics.height() * 2 + 4;
    if (m_pictureBox.isEmpty())
        return {320, textHeight + 2 * cardMargin + 6};
    return {m_pictureBox.width() + 2 * cardMargin, m_pictureBox.height() + textHeight + 3 * cardMargin};
}

void CardButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect room = rect().adjusted(cardMargin, cardMargin, -cardMargin, -cardMargin);
    if (!m_pictureBox.isEmpty()) {
        const QRect box(room.topLeft(), m_pictureBox);
        if (m_picture.isNull()) {
            painter.fillRect(box, palette().color(QPalette::Window));
        } else {
            const QSize shown = m_picture.deviceIndependentSize().toSize();
            const QRect at(box.x() + (box.width() - shown.width()) / 2,
                           box.y() + (box.height() - shown.height()) / 2, shown.width(), shown.height());
            if (m_greyed)
                painter.setOpacity(0.35);
            painter.drawPixmap(at, m_picture);
            painter.setOpacity(1);
        }
        room.setTop(box.bottom() + cardMargin);
    }
    const bool dim = m_greyed || !isEnabled();
    QFont titleFont = font();
    titleFont.setBold(true);
    if (m_pictureBox.isEmpty()) // a task's title reads first
        titleFont.setPixelSize(15);
    painter.setFont(titleFont);
    painter.setPen(palette().color(dim ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText));
    const QFontMetrics titleMetrics(titleFont);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop,
                     titleMetrics.elidedText(m_title, Qt::ElideMiddle, room.width()));
    room.setTop(room.top() + titleMetrics.height() + 2);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop,
                     fontMetrics().elidedText(m_line, Qt::ElideMiddle, room.width()));
}

StartPage::StartPage(RecentPictures& recent, const ThumbnailCache& cache, QWidget* parent)
    : QWidget(parent)
    , m_recent(recent)
    , m_cache(cache) {
    setObjectName("StartPage");
    setAcceptDrops(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    // Thumbnails are made beside the window's work, never in its way.
    m_pool.setMaxThreadCount(2);

    auto* tasks = new QVBoxLayout;
    tasks->setSpacing(8);
    tasks->addWidget(heading("Start", this));
    addTask(Task::OpenPhoto, "OpenPhotoTask", "Open a photo…", "A picture from your computer to decorate",
            tasks);
    addTask(Task::Paste, "PasteTask", "Paste", "The picture you copied, as a new picture", tasks);
    addTask(Task::DecorateFolder, "DecorateFolderTask", "Decorate a folder…",
            "The same steps on many photos at once", tasks);
    addTask(Task::NewBackground, "NewBackgroundTask", "New background…",
            "A plain, gradient or patterned picture to start from", tasks);
    addTask(Task::FromTemplate, "FromTemplateTask", "Start from a template…",
            "A card, a post, a meme or a print, ready for your photo", tasks);
    tasks->addStretch(1);

    m_recentArea = new QWidget;
    m_recentArea->setBackgroundRole(QPalette::Base);
    m_recentGrid = new QGridLayout(m_recentArea);
    m_recentGrid->setContentsMargins(0, 0, 0, 0);
    m_recentGrid->setSpacing(recentSpacing);
    m_recentScroll = new QScrollArea;
    m_recentScroll->setObjectName("RecentFiles");
    m_recentScroll->setWidget(m_recentArea);
    m_recentScroll->setWidgetResizable(true);
    m_recentScroll->setFrameShape(QFrame::NoFrame);
    m_recentScroll->setBackgroundRole(QPalette::Base);
    m_recentScroll->setFocusPolicy(Qt::NoFocus); // Tab goes from the tasks to the recent files themselves
    m_recentScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // as many columns as fit
    m_noRecent = new QLabel("Pictures and projects you open are shown here.", this);
    m_noRecent->setEnabled(false);

    auto* recentColumn = new QVBoxLayout;
    recentColumn->setSpacing(8);
    recentColumn->addWidget(heading("Recent pictures and projects", this));
    recentColumn->addWidget(m_noRecent);
    recentColumn->addWidget(m_recentScroll, 1);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(32);
    columns->addLayout(tasks);
    columns->addLayout(recentColumn, 1);

    auto* hint = new QLabel("Drop a picture or a project here to open it, or several pictures or a folder to "
                            "decorate them all.",
                            this);
    hint->setEnabled(false);
    hint->setWordWrap(true);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(32, 24, 32, 16);
    page->addLayout(columns, 1);
    page->addWidget(hint);

    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &StartPage::updatePaste);
    updatePaste(); // the recent files are listed when the page is shown (refresh())
}

StartPage::~StartPage() {
    m_pool.clear(); // thumbnails not begun are not made; the one being written is finished
}

void StartPage::addTask(Task task, const char* name, const QString& title, const QString& line,
                        QLayout* column) {
    auto* button = new CardButton(title, line, {}, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, [this, task] { emit taskChosen(task); });
    column->addWidget(button);
    m_tasks.insert(task, button);
}

void StartPage::updatePaste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    bool picture = data && data->hasImage();
    if (data && !picture)
        for (const QUrl& url : data->urls())
            picture =
                picture || (url.isLocalFile() && canReadExtension(QFileInfo(url.toLocalFile()).suffix()));
    m_tasks.value(Task::Paste)->setEnabled(picture);
}

QString StartPage::thumbnailKey(const QString& path) {
    const QFileInfo info(path);
    return path + '\n' + QString::number(info.lastModified().toMSecsSinceEpoch()) + '\n' +
           QString::number(info.size());
}

void StartPage::refresh() {
    // Later: the button that asked for this may be one of them.
    for (QWidget* cell : std::as_const(m_recentCells)) {
        m_recentGrid->removeWidget(cell);
        cell->hide();
        cell->setParent(nullptr);
        cell->deleteLater();
    }
    m_recentCells.clear();
    m_recentButtons.clear();
    const QStringList paths = m_recent.paths();
    m_noRecent->setVisible(paths.isEmpty());
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        const QFileInfo info(path);
        const bool missing = !info.isFile();
        auto* cell = new QWidget(m_recentArea);
        auto* column = new QVBoxLayout(cell);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(2);
        auto* button =
            new CardButton(info.fileName(), missing ? QStringLiteral("No longer there") : info.absolutePath(),
                           recentPictureBox, cell);
        button->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        button->setToolTip(path);
        button->setGreyed(missing);
        column->addWidget(button);
        if (missing) {
            auto* remove = new QPushButton("Remove from the list", cell);
            remove->setObjectName(QStringLiteral("RemoveRecentFile%1").arg(i + 1));
            remove->setAutoDefault(true);
            connect(remove, &QPushButton::clicked, this, [this, path] {
                m_recent.remove(path);
                refresh();
            });
            column->addWidget(remove);
        } else {
            const QString key = thumbnailKey(path);
            if (m_thumbnails.contains(key))
                button->setPicture(m_thumbnails.value(key));
            else
                requestThumbnail(path, key);
        }
        column->addStretch(1);
        connect(button, &QPushButton::clicked, this, [this, path] { emit fileChosen(path); });
        m_recentCells << cell;
        m_recentButtons << button;
    }
    m_recentColumns = 0;
    arrangeRecent();
    // Tab goes through the tasks, then the recent files in their order.
    QWidget* previous = m_tasks.value(Task::FromTemplate);
    for (QWidget* cell : std::as_const(m_recentCells))
        for (QPushButton* button : cell->findChildren<QPushButton*>()) {
            setTabOrder(previous, button);
            previous = button;
        }
}

void StartPage::arrangeRecent() {
    const int cellWidth = recentPictureBox.width() + 2 * cardMargin;
    // From the scroll area's own width (its viewport follows it only once shown), keeping room for a
    // vertical scroll bar.
    const int room = m_recentScroll->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int columns = std::max(1, (room + recentSpacing) / (cellWidth + recentSpacing));
    if (columns == m_recentColumns)
        return;
    m_recentColumns = columns;
    for (QWidget* cell : std::as_const(m_recentCells))
        m_recentGrid->removeWidget(cell);
    for (int row = 0; row < m_recentGrid->rowCount(); ++row)
        m_recentGrid->setRowStretch(row, 0);
    for (int column = 0; column < m_recentGrid->columnCount(); ++column)
        m_recentGrid->setColumnStretch(column, 0);
    for (int i = 0; i < m_recentCells.size(); ++i)
        m_recentGrid->addWidget(m_recentCells[i], i / columns, i % columns, Qt::AlignLeft | Qt::AlignTop);
    // The room left over goes below and right of the cells, not between them.
    const int rows = (int(m_recentCells.size()) + columns - 1) / columns;
    m_recentGrid->setRowStretch(rows, 1);
    m_recentGrid->setColumnStretch(columns, 1);
}

void StartPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrangeRecent();
}

void StartPage::requestThumbnail(const QString& path, const QString& key) {
    if (m_loading.contains(key))
        return;
    m_loading.insert(key);
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path, key] {
        watcher->deleteLater();
        m_loading.remove(key);
        const QImage thumbnail =
            watcher->future().isValid() && watcher->future().resultCount() > 0 ? watcher->result() : QImage();
        m_thumbnails.insert(key, thumbnail);
        const QStringList paths = m_recent.paths();
        const qsizetype index = paths.indexOf(path);
        if (index >= 0 && index < m_recentButtons.size())
            m_recentButtons[index]->setPicture(thumbnail);
        emit thumbnailShown(path);
    });
    const ThumbnailCache cache = m_cache;
    watcher->setFuture(
        QtConcurrent::run(&m_pool, [cache, path] { return cache.thumbnail(path, thumbnailSource); }));
}

void StartPage::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    bool files = false;
    for (const QUrl& url : data->urls())
        files = files || url.isLocalFile();
    if (files || data->hasImage())
        event->acceptProposedAction();
}

void StartPage::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    QStringList readable;
    QStringList folders;
    QStringList others;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        if (info.isDir())
            folders << path;
        else if (info.isFile() && isReadable(path))
            readable << path;
        else
            others << info.fileName();
    }
    const QImage picture = readable.isEmpty() && folders.isEmpty() && others.isEmpty() && data->hasImage()
                               ? qvariant_cast<QImage>(data->imageData())
                               : QImage();
    if (readable.isEmpty() && folders.isEmpty() && others.isEmpty() && picture.isNull())
        return;
    event->acceptProposedAction();
    // Acted on once the drop is over: the source waits for the drop to finish, and a question or a window
    // must not keep it waiting.
    QMetaObject::invokeMethod(
        this,
        [this, readable, folders, others, picture] {
            QStringList pictures;
            for (const QString& path : readable)
                if (!ProjectCommands::isProjectFile(path))
                    pictures << path;
            if (!picture.isNull())
                emit pictureDropped(picture);
            else if (folders.isEmpty() && pictures.size() > 1)
                emit severalDropped(pictures);
            else if (!folders.isEmpty())
                emit severalDropped(folders + pictures);
            else if (!readable.isEmpty()) // one picture, or a project (of several, the first)
                emit openDropped(pictures.isEmpty() ? readable.first() : pictures.first());
            else
                emit unreadableDropped(others);
        },
        Qt::QueuedConnection);
}
