// SPDX-License-Identifier: MIT
// The main editor window: shows the document image with zoom and opacity, flips and reloads it, and
// offers every tool through its menus and toolbar.
#pragma once

#include <QMainWindow>

#include <QMap>

class Document;
class DocumentCanvas;
class HistoryWindow;
class MenuShortcuts;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;
class TrackBar;
enum class ShapeFigure;
class Workbench;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Workbench& workbench);

    // Menu items by object name ("MenuItem6" …).
    QAction* menuItem(const QString& name) const { return m_menuItems.value(name); }
    DocumentCanvas* canvas() const { return m_canvas; }
    QScrollArea* scrollArea() const { return m_scrollArea; }

    // Unsaved changes are about to be set aside: asks first whether to save them. False when the user
    // cancelled, or chose to save and the picture was not written; `question` names what follows.
    bool maySetChangesAside(const QString& question);

    void openImage();
    // Opens a file as "Open image" does after its dialog; a failure is shown to the user.
    bool openFile(const QString& path);
    void restoreOriginal();
    void createBackground();
    void saveImage();
    void showAbout();
    void placeImageAbove();
    void openFilterGallery();
    void openColourFilters();
    // "Line", "Rectangle", "Circle".
    void openShapeTool(ShapeFigure figure);
    void openText2D();
    void openText3D();
    void openMagnifier();
    void openCropWindow();
    // "Borders", "Special effects", "Montage": the overlay editor will merge into the document.
    void openDecorationGallery(int window);
    // "Edit" › "History": the window of steps, shown beside the main window.
    void showHistory();
    HistoryWindow* historyWindow() const { return m_historyWindow; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void flip(Qt::Orientation orientation);
    void updateEditMenu();
    void buildMenus();
    void buildRightPanel(QWidget* panel);
    QWidget* buildStatusBar();
    void enableEditing();
    QAction* addItem(QMenu* menu, const char* name, const QString& text, const char* shortcut,
                     bool needsDocument);

    Workbench& m_workbench;
    Document& m_document;
    DocumentCanvas* m_canvas = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    TrackBar* m_zoomBar = nullptr;
    TrackBar* m_opacityBar = nullptr;
    QLabel* m_sizeReadout = nullptr;
    QLabel* m_pointerReadout = nullptr;
    MenuShortcuts* m_shortcuts = nullptr;
    QMap<QString, QAction*> m_menuItems;
    QAction* m_undoItem = nullptr;
    QAction* m_redoItem = nullptr;
    HistoryWindow* m_historyWindow = nullptr;
    QList<QWidget*> m_editingControls;
    QList<QAction*> m_editingItems;
};
