// SPDX-License-Identifier: MIT
// The main editor window: shows the document image with zoom and opacity (or the start page while there is
// none), flips and reloads it, and offers every tool through its menus and toolbar.
#pragma once

#include <QMainWindow>

#include <QMap>
#include <QStringList>

#include "app/RecentPictures.h"

#include <memory>

class Document;
class DocumentCanvas;
class HistoryWindow;
class TemplateGallery;
class MenuShortcuts;
class ProjectCommands;
class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class StartPage;
class QToolButton;
class TrackBar;
class WindowSet;
enum class WindowId;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(WindowSet& windows);
    ~MainWindow() override;

    // Menu items by object name ("MenuItem6" …).
    QAction* menuItem(const QString& name) const { return m_menuItems.value(name); }
    DocumentCanvas* canvas() const { return m_canvas; }
    QScrollArea* scrollArea() const { return m_scrollArea; }
    StartPage* startPage() const { return m_startPage; }
    // Whether the picture area shows the start page (no picture, and the View setting on).
    bool startPageShown() const;

    // Unsaved changes are about to be set aside: asks first whether to save them. False when the user
    // cancelled, or chose to save and the picture was not written; `question` names what follows.
    bool maySetChangesAside(const QString& question);

    void openImage();
    // "Close": the picture goes (after asking about unsaved work) and the window is as at start.
    void closePicture();
    // "Quit": the main window closes, asking about unsaved work as closing it does.
    void quit();
    // "Open project" and "Save project": the document's steps in a ".lumora" file.
    void openProject();
    // A template from the gallery filled with a photo the user chooses.
    void startFromTemplate();
    // The document's steps kept among the user's own templates.
    void saveAsTemplate();
    // "Batch decorate…": the document's steps made again on other photos.
    void batchDecorate();
    // The batch window with `photos` (pictures and folders) listed.
    void decoratePhotos(const QStringList& photos);
    // View › "Start page" was switched: kept in the user's settings, and the picture area follows.
    void applyStartPageSetting();
    ProjectCommands& projectCommands() { return *m_projects; }
    // Opens a file as "Open image" does after its dialog; a failure is shown to the user.
    bool openFile(const QString& path);
    // Opens the first of several files (a drop, the command line), after asking about unsaved changes, and
    // says in the status bar that the others were ignored.
    void openFiles(const QStringList& paths);
    // "Paste as new picture": the clipboard's picture (or the picture file copied there) becomes the
    // document. "Copy picture" puts the document image on the clipboard.
    void pasteAsNewPicture();
    void copyPicture();
    // Zoom steps on a ladder of round values, keeping the middle of the view where it is; "Fit to window"
    // shows the whole picture.
    void zoomIn();
    void zoomOut();
    void fitToWindow();
    // Sets the zoom keeping the picture point under `viewportPoint` (viewport pixels) in place.
    void zoomAbout(double zoom, QPointF viewportPoint);
    // After a zoom change: the view never rests beyond the picture's far edges, and along an axis where the
    // whole picture fits it shows it from its start.
    void keepPictureInView();

    // A short note in the status bar (what was saved where, files that were ignored).
    void showStatusMessage(const QString& text);
    QString statusMessage() const;
    RecentPictures& recentPictures() { return m_recentPictures; }
    void restoreOriginal();
    // Menu commands without a window of their own.
    void saveProject();
    void saveProjectAs();
    void undo();
    void redo();
    void editLastStepAgain();
    void flipHorizontal();
    void flipVertical();
    // Runs a command that opens a window: "Create background" asks about unsaved changes first.
    void openWindow(WindowId id);
    // "Edit" › "History": the window of steps, shown beside the main window.
    void showHistory();
    HistoryWindow* historyWindow() const { return m_historyWindow; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void flip(Qt::Orientation orientation);
    void updateEditMenu();
    void buildMenus();
    void buildRightPanel(QWidget* panel);
    QWidget* buildStatusBar();
    void enableEditing(bool enabled);
    void connectStartPage();
    void updateStartPage();
    void fillRecentMenu();
    void openRecent(const QString& path);
    // Each toolbar button runs its menu command; its tip names the command and its shortcut.
    void connectToolbar();
    void updateToolbarTips();
    // Ctrl+S and the close question's "Save" save a project when the document is one, else a picture.
    void updateSaveCommands();
    // A picture that is not a file of its own (pasted, dropped from another program) becomes the document.
    void adoptPicture(const QImage& picture, const QString& stepName);
    static QStringList readableFiles(const QMimeData* data);
    // The menu at a path of the menu table ("Add/Shapes"), made on first use.
    QMenu* menuAt(const QString& path);

    WindowSet& m_windows;
    Document& m_document;
    DocumentCanvas* m_canvas = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QStackedWidget* m_pictureArea = nullptr; // the picture's scroll area, or the start page
    StartPage* m_startPage = nullptr;
    TrackBar* m_zoomBar = nullptr;
    TrackBar* m_opacityBar = nullptr;
    QLabel* m_sizeReadout = nullptr;
    QLabel* m_pointerReadout = nullptr;
    QLabel* m_statusMessage = nullptr;
    QMenu* m_recentMenu = nullptr;
    RecentPictures m_recentPictures;
    MenuShortcuts* m_shortcuts = nullptr;
    QMap<QString, QAction*> m_menuItems;
    QMap<QString, QMenu*> m_menus; // by path
    QAction* m_undoItem = nullptr;
    QAction* m_editAgainItem = nullptr;
    QAction* m_redoItem = nullptr;
    HistoryWindow* m_historyWindow = nullptr;
    TemplateGallery* m_templates = nullptr; // made when first asked for
    std::unique_ptr<ProjectCommands> m_projects;
    QList<QWidget*> m_editingControls;
    QList<QToolButton*> m_toolbarButtons; // in the toolbar table's order
    QList<QAction*> m_editingItems;
};
