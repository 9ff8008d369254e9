// SPDX-License-Identifier: MIT
// What the picture area shows while no picture is open: what to make, as large buttons with a line each,
// and the pictures and projects opened last as thumbnails (made in the background: the page never waits
// for them). The whole page takes dropped files.
#pragma once

#include "pictures/ThumbnailCache.h"

#include <QHash>
#include <QMap>
#include <QPushButton>
#include <QSet>
#include <QThreadPool>
#include <QWidget>

class QGridLayout;
class QLabel;
class QMimeData;
class QScrollArea;
class RecentPictures;

// A large button: a title, a line saying what it does, and above them a picture when it has one.
class CardButton : public QPushButton {
    Q_OBJECT
public:
    // `pictureBox`: the room kept for the picture (none when empty).
    CardButton(const QString& title, const QString& line, QSize pictureBox = {}, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    void setPicture(const QImage& picture);
    QImage picture() const { return m_source; }
    // Greyed: what it stands for is not there (a recent file that went).
    void setGreyed(bool greyed);
    bool isGreyed() const { return m_greyed; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QString m_line;
    QSize m_pictureBox;
    QImage m_source;
    QPixmap m_picture; // fitted into the box
    bool m_greyed = false;
};

class StartPage : public QWidget {
    Q_OBJECT
public:
    enum class Task { OpenPhoto, Paste, DecorateFolder, NewBackground, FromTemplate };

    StartPage(RecentPictures& recent, const ThumbnailCache& cache, QWidget* parent = nullptr);
    ~StartPage() override;

    // Shows the recent list as it is now; thumbnails not made yet follow when they are.
    void refresh();
    CardButton* taskButton(Task task) const { return m_tasks.value(task); }
    // The recent files' buttons, newest first.
    QList<CardButton*> recentButtons() const { return m_recentButtons; }
    // Whether thumbnails are still being read or made.
    bool thumbnailsPending() const { return !m_loading.isEmpty(); }

signals:
    void taskChosen(StartPage::Task task);
    // A recent file chosen.
    void fileChosen(const QString& path);
    // Dropped: one picture or project to open; several pictures or folders; files that are neither; a
    // picture without a file (from another program).
    void openDropped(const QString& path);
    void severalDropped(const QStringList& paths);
    void unreadableDropped(const QStringList& names);
    void pictureDropped(const QImage& picture);
    // A thumbnail arrived (or could not be made) for a recent file.
    void thumbnailShown(const QString& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Puts the recent files' cells in as many columns as the width holds.
    void arrangeRecent();
    void addTask(Task task, const char* name, const QString& title, const QString& line, QLayout* column);
    void updatePaste();
    void requestThumbnail(const QString& path, const QString& key);
    static QString thumbnailKey(const QString& path);

    RecentPictures& m_recent;
    ThumbnailCache m_cache;
    QMap<Task, CardButton*> m_tasks;
    QScrollArea* m_recentScroll = nullptr;
    QWidget* m_recentArea = nullptr;
    int m_recentColumns = 0;
    QGridLayout* m_recentGrid = nullptr;
    QLabel* m_noRecent = nullptr;
    QList<CardButton*> m_recentButtons;
    QList<QWidget*> m_recentCells;
    QHash<QString, QImage> m_thumbnails; // by file and time of change; null: none could be made
    QSet<QString> m_loading;             // keys being read or made
    QThreadPool m_pool;                  // last member: gone first, waiting for what runs
};
