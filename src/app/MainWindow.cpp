// SPDX-License-Identifier: MIT
#include "app/MainWindow.h"

#include "app/BatchWindow.h"
#include "app/DocumentCanvas.h"
#include "app/HistoryWindow.h"
#include "app/ProjectCommands.h"
#include "app/SaveWindow.h"
#include "app/StartPage.h"
#include "app/StepEditor.h"
#include "app/TemplateGallery.h"
#include "app/WindowSet.h"
#include "app/WindowTable.h"
#include "base/BusyCursor.h"
#include "base/UserError.h"
#include "base/UserSettings.h"
#include "batch/ProjectTemplate.h"
#include "document/BuiltInSteps.h"
#include "document/Document.h"
#include "pictures/Pictures.h"
#include "widgets/BackgroundSave.h"
#include "widgets/MenuShortcuts.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/SvgPicture.h"
#include "widgets/TrackBar.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <variant>

namespace {

// Who enables a menu item.
enum class Enabled {
    Always,
    WithPicture, // once a picture is open
    ByCode,      // follows the history or the clipboard (undo, redo, edit again)
};

using Command = std::variant<WindowId, void (MainWindow::*)()>;

// One row per menu item, in menu order. `menu` is the path of its menu ("Add/Shapes"), empty for an item on
// the menu bar itself; a row without a name is a separator. Several shortcuts are separated by ';'; a single
// one may be shared with another item, and then runs the first enabled carrier.
struct MenuRow {
    const char* menu;
    const char* name = nullptr;
    const char* text = "";
    const char* keys = "";
    Enabled enabled = Enabled::Always;
    Command command = {};
    bool checkable = false; // a setting that is on or off
};

const MenuRow menuRows[] = {
    {"File", "MenuItem6", "Open image", "Ctrl+O", Enabled::Always, &MainWindow::openImage},
    {"File", "MenuItem19", "Create background", "Ctrl+B", Enabled::Always, WindowId::Background},
    {"File", "MenuItem7", "Save image", "Ctrl+S", Enabled::Always, WindowId::Save},
    {"File"},
    {"File", "OpenProjectItem", "Open project", "Ctrl+Shift+O", Enabled::Always, &MainWindow::openProject},
    {"File", "SaveProjectItem", "Save project", "Ctrl+Shift+S", Enabled::WithPicture,
     &MainWindow::saveProject},
    {"File", "SaveProjectAsItem", "Save project as…", "", Enabled::WithPicture, &MainWindow::saveProjectAs},
    {"File"},
    {"File", "StartFromTemplateItem", "Start from a template…", "", Enabled::Always,
     &MainWindow::startFromTemplate},
    {"File", "SaveAsTemplateItem", "Save as template…", "", Enabled::WithPicture,
     &MainWindow::saveAsTemplate},
    {"File"},
    {"File", "BatchDecorateItem", "Batch decorate…", "", Enabled::Always, &MainWindow::batchDecorate},
    {"File"},
    {"File", "CloseItem", "Close", "Ctrl+W", Enabled::WithPicture, &MainWindow::closePicture},
    {"File", "QuitItem", "Quit", "Ctrl+Q", Enabled::Always, &MainWindow::quit},

    // Undo and redo name the step they go through ("Undo Add border").
    {"Edit", "UndoItem", "Undo", "Ctrl+Z", Enabled::ByCode, &MainWindow::undo},
    {"Edit", "RedoItem", "Redo", "Ctrl+Shift+Z;Ctrl+Y", Enabled::ByCode, &MainWindow::redo},
    {"Edit"},
    {"Edit", "EditAgainItem", "Edit last step again", "Ctrl+Shift+E", Enabled::ByCode,
     &MainWindow::editLastStepAgain},
    {"Edit", "HistoryItem", "History", "", Enabled::Always, &MainWindow::showHistory},
    {"Edit"},
    // The clipboard: Ctrl+C and Ctrl+V belong to "Circle" and "Flip vertical".
    {"Edit", "CopyPictureItem", "Copy picture", "Ctrl+Shift+C", Enabled::WithPicture,
     &MainWindow::copyPicture},
    {"Edit", "PastePictureItem", "Paste as new picture", "Ctrl+Shift+V", Enabled::Always,
     &MainWindow::pasteAsNewPicture},

    // Ways of looking at the picture: they follow the zoom bar and are enabled with it.
    {"View", "ZoomInItem", "Zoom in", "Ctrl++;Ctrl+=", Enabled::WithPicture, &MainWindow::zoomIn},
    {"View", "ZoomOutItem", "Zoom out", "Ctrl+-", Enabled::WithPicture, &MainWindow::zoomOut},
    {"View", "FitToWindowItem", "Fit to window", "Ctrl+0", Enabled::WithPicture, &MainWindow::fitToWindow},
    {"View"},
    {"View", "StartPageItem", "Start page", "", Enabled::Always, &MainWindow::applyStartPageSetting, true},

    {"Add", "MenuItem11", "Borders", "Ctrl+P", Enabled::WithPicture, WindowId::Borders},
    {"Add", "MenuItem15", "Image above", "Ctrl+A", Enabled::WithPicture, WindowId::OverlayEditor},
    {"Add", "MenuItem21", "Magnifying glass", "Ctrl+L", Enabled::WithPicture, WindowId::Magnifier},
    {"Add", "MenuItem14", "Special effects", "Ctrl+E", Enabled::WithPicture, WindowId::Effects},
    {"Add", "MenuItem4", "2D Text", "Ctrl+T", Enabled::WithPicture, WindowId::Text2D},
    {"Add", "MenuItem5", "3D text", "Ctrl+Alt+T", Enabled::WithPicture, WindowId::Text3D},
    {"Add", "WatermarkItem", "Add watermark…", "", Enabled::WithPicture, WindowId::Watermark},
    {"Add/Shapes", "MenuItem17", "Line", "Ctrl+L", Enabled::WithPicture, WindowId::Line},
    {"Add/Shapes", "MenuItem18", "Rectangle", "Ctrl+R", Enabled::WithPicture, WindowId::Rectangle},
    {"Add/Shapes", "MenuItem20", "Circle", "Ctrl+C", Enabled::WithPicture, WindowId::Circle},

    {"Create", "MenuItem24", "Montage", "Ctrl+M", Enabled::WithPicture, WindowId::Montages},

    {"Image", "MenuItem25", "Cut/Clone", "Ctrl+Alt+C", Enabled::WithPicture, WindowId::Crop},
    {"Image", "ResizeImageItem", "Resize image…", "Ctrl+Alt+I", Enabled::WithPicture, WindowId::Resize},
    {"Image", "CanvasSizeItem", "Canvas size…", "Ctrl+Alt+K", Enabled::WithPicture, WindowId::CanvasSize},
    {"Image", "CropToRegionItem", "Crop to region…", "Ctrl+Shift+X", Enabled::WithPicture,
     WindowId::CropRegion},
    {"Image", "MenuItem9", "Flip horizontal", "Ctrl+H", Enabled::WithPicture, &MainWindow::flipHorizontal},
    {"Image", "MenuItem10", "Flip vertical", "Ctrl+V", Enabled::WithPicture, &MainWindow::flipVertical},

    {"Filter", "MenuItem13", "Filter gallery", "Ctrl+F", Enabled::WithPicture, WindowId::FilterGallery},
    {"Filter", "MenuItem22", "Colored filters", "Ctrl+Alt+F", Enabled::WithPicture, WindowId::ColourFilters},

    // On the menu bar itself; an action there keeps its shortcut working.
    {"", "MenuItem2", "About", "Ctrl+A", Enabled::Always, WindowId::About},
};

struct ToolbarButton {
    const char* name;
    int row;
    int column;
    const char* icon;
    const char* menuItem; // the command it runs
};

constexpr ToolbarButton toolbar[] = {
    {"SpeedButton1", 1, 1, "text2d", "MenuItem4"},
    {"SpeedButton2", 1, 2, "text3d", "MenuItem5"},
    {"SpeedButton3", 1, 3, "borders", "MenuItem11"},
    {"SpeedButton4", 1, 4, "image-above", "MenuItem15"},
    {"SpeedButton5", 2, 1, "filter-gallery", "MenuItem13"},
    {"SpeedButton6", 2, 2, "colour-filters", "MenuItem22"},
    {"SpeedButton7", 2, 3, "effects", "MenuItem14"},
    {"SpeedButton8", 2, 4, "montage", "MenuItem24"},
    {"SpeedButton9", 3, 1, "rectangle", "MenuItem18"},
    {"SpeedButton10", 3, 2, "circle", "MenuItem20"},
    {"SpeedButton11", 3, 3, "line", "MenuItem17"},
    {"SpeedButton12", 3, 4, "crop", "MenuItem25"},
    {"SpeedButton13", 4, 1, "magnifier", "MenuItem21"},
};

// The zoom steps of "Zoom in" and "Zoom out", within the zoom bar's range.
constexpr double zoomLadder[] = {0.1, 0.125, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 1, 1.25, 1.5, 2, 3, 4, 5, 6, 8, 10};
// One notch of the wheel with Ctrl held multiplies the zoom by this.
constexpr double wheelZoomFactor = 1.25;

// The user's setting of View › "Start page".
const QString startPageKey = QStringLiteral("showStartPage");

constexpr int toolbarColumnX[] = {0, 35, 70, 105};
constexpr int toolbarRowY[] = {163, 195, 227, 259};

QLabel* statusPicture(const char* name, const char* icon, int x, int width, int height, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(x, 0, width, height);
    label->setPixmap(svgIcon(QStringLiteral(":/icons/%1.svg").arg(icon)).pixmap(QSize(width, height)));
    return label;
}

} // namespace

MainWindow::MainWindow(WindowSet& windows)
    : m_windows(windows)
    , m_document(windows.document())
    , m_projects(std::make_unique<ProjectCommands>(windows.document(), this)) {
    applyWindowDescription(this, WindowId::Main);

    m_canvas = new DocumentCanvas;
    m_canvas->setObjectName("Image1");
    m_scrollArea = new QScrollArea;
    m_scrollArea->setObjectName("ScrollBox1");
    m_scrollArea->setWidget(m_canvas);
    m_scrollArea->setWidgetResizable(false);

    auto* panel = new QWidget;
    panel->setObjectName("Panel1");
    panel->setFixedWidth(140);
    buildRightPanel(panel);

    // The picture area shows the start page while there is no picture.
    m_startPage = new StartPage(m_recentPictures, ThumbnailCache(), this);
    m_pictureArea = new QStackedWidget;
    m_pictureArea->addWidget(m_scrollArea);
    m_pictureArea->addWidget(m_startPage);

    auto* central = new QWidget;
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(m_pictureArea, 0, 0);
    grid->addWidget(panel, 0, 1);
    grid->addWidget(buildStatusBar(), 1, 0, 1, 2);
    setCentralWidget(central);

    buildMenus();
    connectToolbar();
    m_projects->onCurrentChanged = [this] {
        updateSaveCommands();
        // A project opened or saved under a new name is recent work too.
        if (!m_projects->currentFile().isEmpty())
            m_recentPictures.add(m_projects->currentFile());
    };
    setAcceptDrops(true);
    m_scrollArea->viewport()->installEventFilter(this);

    connect(&m_document, &Document::imageChanged, this, [this] {
        m_canvas->setImage(m_document.image());
        updateStartPage();
    });
    connectStartPage();
    connect(&m_document, &Document::controlSizeChanged, m_canvas, &DocumentCanvas::setControlSize);
    connect(&m_document, &Document::zoomChanged, this, [this](double zoom) {
        m_zoomBar->setValue(zoom);
        m_canvas->setZoom(zoom);
        keepPictureInView();
    });
    connect(&m_document, &Document::sizeTextChanged, m_sizeReadout, &QLabel::setText);
    connect(&m_document, &Document::editingEnabledChanged, this, &MainWindow::enableEditing);
    connect(&m_document, &Document::historyChanged, this, &MainWindow::updateEditMenu);
    connect(m_canvas, &DocumentCanvas::pointerMoved, this, [this](QPointF position) {
        // Truncated toward zero, in the control's own units (bitmap pixels).
        m_pointerReadout->setText(QStringLiteral("%1 / %2").arg(int(position.x())).arg(int(position.y())));
    });
    m_canvas->setControlSize(m_document.controlSize());
    m_canvas->setZoom(m_document.zoom());
    updateStartPage();
}

void MainWindow::connectStartPage() {
    connect(m_startPage, &StartPage::taskChosen, this, [this](StartPage::Task task) {
        switch (task) {
        case StartPage::Task::OpenPhoto:
            openImage();
            break;
        case StartPage::Task::Paste:
            pasteAsNewPicture();
            break;
        case StartPage::Task::DecorateFolder:
            batchDecorate();
            break;
        case StartPage::Task::NewBackground:
            openWindow(WindowId::Background);
            break;
        case StartPage::Task::FromTemplate:
            startFromTemplate();
            break;
        }
    });
    connect(m_startPage, &StartPage::fileChosen, this, &MainWindow::openRecent);
    connect(m_startPage, &StartPage::openDropped, this, [this](const QString& path) { openFiles({path}); });
    connect(m_startPage, &StartPage::severalDropped, this, [this](const QStringList& paths) {
        showStatusMessage(QString());
        decoratePhotos(paths);
    });
    connect(m_startPage, &StartPage::unreadableDropped, this, [this](const QStringList& names) {
        showStatusMessage(
            QStringLiteral("Not a picture or a project Lumora opens: %1").arg(names.join(", ")));
    });
    connect(m_startPage, &StartPage::pictureDropped, this,
            [this](const QImage& picture) { adoptPicture(picture, QStringLiteral("Drop picture")); });
}

bool MainWindow::startPageShown() const {
    return m_pictureArea->currentWidget() == m_startPage;
}

void MainWindow::updateStartPage() {
    const bool shown = m_document.image().isNull() && menuItem("StartPageItem")->isChecked();
    if (shown && !startPageShown())
        m_startPage->refresh(); // the list may have changed while a picture was open
    m_pictureArea->setCurrentWidget(shown ? static_cast<QWidget*>(m_startPage) : m_scrollArea);
}

void MainWindow::applyStartPageSetting() {
    UserSettings settings;
    settings.setValue(startPageKey, menuItem("StartPageItem")->isChecked());
    settings.sync();
    updateStartPage();
}

MainWindow::~MainWindow() = default;

QMenu* MainWindow::menuAt(const QString& path) {
    if (QMenu* menu = m_menus.value(path))
        return menu;
    const qsizetype slash = path.lastIndexOf('/');
    QMenu* menu =
        slash < 0 ? menuBar()->addMenu(path) : menuAt(path.left(slash))->addMenu(path.mid(slash + 1));
    m_menus.insert(path, menu);
    return menu;
}

void MainWindow::buildMenus() {
    m_shortcuts = new MenuShortcuts(this);
    menuBar()->setObjectName("MenuBar1");
    for (const MenuRow& row : menuRows) {
        const QString menuPath = QString::fromLatin1(row.menu);
        if (!row.name) {
            menuAt(menuPath)->addSeparator();
            continue;
        }
        QAction* item = nullptr;
        if (menuPath.isEmpty()) {
            item = new QAction(QString::fromUtf8(row.text), this);
            menuBar()->addAction(item);
        } else {
            item = menuAt(menuPath)->addAction(QString::fromUtf8(row.text));
        }
        item->setObjectName(row.name);
        item->setCheckable(row.checkable);
        m_menuItems.insert(item->objectName(), item);
        if (row.enabled == Enabled::WithPicture) {
            item->setEnabled(false);
            m_editingItems << item;
        }
        const QStringList keys = QString::fromLatin1(row.keys).split(';', Qt::SkipEmptyParts);
        if (keys.size() == 1)
            m_shortcuts->add(item, QKeySequence(keys.first()));
        else
            for (const QString& key : keys)
                item->setShortcuts(item->shortcuts() << QKeySequence(key));
        std::visit(
            [&](auto command) {
                if constexpr (std::is_same_v<decltype(command), WindowId>)
                    connect(item, &QAction::triggered, this, [this, command] { openWindow(command); });
                else
                    connect(item, &QAction::triggered, this, command);
            },
            row.command);
    }
    menuItem("StartPageItem")->setChecked(UserSettings().value(startPageKey, true).toBool());
    m_undoItem = menuItem("UndoItem");
    m_redoItem = menuItem("RedoItem");
    m_editAgainItem = menuItem("EditAgainItem");
    updateEditMenu();

    // Filled each time it opens, from the pictures opened last.
    m_recentMenu = new QMenu("Recent pictures", this);
    m_recentMenu->setObjectName("RecentPicturesMenu");
    menuAt("File")->insertMenu(menuItem("MenuItem19"), m_recentMenu);
    // Files gone since are dropped (with a note) when it opens; until then the start page shows them greyed.
    connect(m_recentMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
}

void MainWindow::saveProject() {
    m_projects->saveCurrent();
}

void MainWindow::saveProjectAs() {
    m_projects->saveAs();
}

void MainWindow::undo() {
    guarded(this, [this] { m_document.undo(); });
}

void MainWindow::redo() {
    guarded(this, [this] { m_document.redo(); });
}

void MainWindow::editLastStepAgain() {
    m_windows.stepEditor().editLastStep();
}

void MainWindow::flipHorizontal() {
    flip(Qt::Horizontal);
}

void MainWindow::flipVertical() {
    flip(Qt::Vertical);
}

void MainWindow::buildRightPanel(QWidget* panel) {
    auto* controls = new QWidget(panel);
    controls->setFixedHeight(toolbarRowY[3] + 30);
    Panel layout(controls);
    layout.label("Label1", "Zoom:", 56, 0);
    m_zoomBar = layout.trackBar("TrackBar1", 0, 16, 139, 20, 0.1, 10, 1);
    QPushButton* restoreZoom = layout.button("CornerButton1", "Restore", 0, 35, 140, 17);
    layout.label("Label2", "Opacity:", 56, 56);
    m_opacityBar = layout.trackBar("TrackBar2", 0, 72, 139, 20, 0, 1, 1);
    QPushButton* restoreOpacity = layout.button("CornerButton2", "Restore", 0, 91, 140, 17);
    QPushButton* flipHorizontal = layout.button("CornerButton4", "Flip horizontal", 0, 120, 140, 17);
    QPushButton* flipVertical = layout.button("CornerButton5", "Flip vertical", 0, 139, 140, 17);
    QPushButton* restoreOriginal = makeButton("CornerButton3", "Restore the original image", panel);
    restoreOriginal->setFixedHeight(22);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(controls);
    column->addStretch(1);
    column->addWidget(restoreOriginal);

    connect(m_zoomBar, &TrackBar::changed, &m_document, &Document::setZoom);
    connect(restoreZoom, &QPushButton::clicked, this, [this] { m_zoomBar->setValue(1); });
    connect(m_opacityBar, &TrackBar::changed, m_canvas, &DocumentCanvas::setPictureOpacity);
    connect(restoreOpacity, &QPushButton::clicked, this, [this] { m_opacityBar->setValue(1); });
    connect(flipHorizontal, &QPushButton::clicked, this, [this] { flip(Qt::Horizontal); });
    connect(flipVertical, &QPushButton::clicked, this, [this] { flip(Qt::Vertical); });
    connect(restoreOriginal, &QPushButton::clicked, this, &MainWindow::restoreOriginal);
    m_editingControls << m_zoomBar << m_opacityBar << restoreZoom << restoreOpacity << restoreOriginal
                      << flipHorizontal << flipVertical;

    for (const ToolbarButton& button : toolbar) {
        QToolButton* picture =
            layout.pictureButton(button.name, QStringLiteral(":/icons/%1.svg").arg(button.icon),
                                 toolbarColumnX[button.column - 1], toolbarRowY[button.row - 1], 33, 26);
        m_toolbarButtons << picture;
        m_editingControls << picture;
    }
    for (QWidget* control : m_editingControls)
        control->setEnabled(false);
}

QWidget* MainWindow::buildStatusBar() {
    auto* bar = new QWidget;
    bar->setObjectName("Panel4");
    bar->setFixedHeight(25);
    statusPicture("Image2", "axes", 0, 25, 25, bar);
    m_sizeReadout = new QLabel(bar);
    m_sizeReadout->setObjectName("Label3");
    m_sizeReadout->setGeometry(33, 5, 80, 16);
    statusPicture("Image3", "move", 112, 33, 25, bar);
    m_pointerReadout = new QLabel(bar);
    m_pointerReadout->setObjectName("Label4");
    m_pointerReadout->setGeometry(152, 5, 153, 16);
    m_pointerReadout->setVisible(false);
    m_statusMessage = new QLabel(bar);
    m_statusMessage->setObjectName("StatusMessage");
    m_statusMessage->setGeometry(312, 5, 4000, 16); // clipped by the bar
    return bar;
}

void MainWindow::enableEditing(bool enabled) {
    for (QWidget* control : m_editingControls)
        control->setEnabled(enabled);
    for (QAction* item : m_editingItems)
        item->setEnabled(enabled);
    m_pointerReadout->setVisible(enabled);
    if (!enabled)
        m_pointerReadout->clear(); // no picture under the pointer any more
}

void MainWindow::flip(Qt::Orientation orientation) {
    guarded(this, [&] { m_document.flip(orientation); }); // a picture too big for memory is said so
}

void MainWindow::batchDecorate() {
    decoratePhotos({});
}

void MainWindow::decoratePhotos(const QStringList& photos) {
    BatchWindow window(m_document, this);
    window.addPaths(photos);
    services().presenter->showModal(&window);
}

void MainWindow::updateEditMenu() {
    m_undoItem->setEnabled(m_document.canUndo());
    m_undoItem->setText(m_document.canUndo() ? "Undo " + m_document.undoStepName() : QStringLiteral("Undo"));
    m_redoItem->setEnabled(m_document.canRedo());
    m_redoItem->setText(m_document.canRedo() ? "Redo " + m_document.redoStepName() : QStringLiteral("Redo"));
    const QString problem = m_windows.stepEditor().whyNotEditable(m_document.history().position());
    m_editAgainItem->setEnabled(problem.isEmpty());
    m_editAgainItem->setToolTip(problem);
}

void MainWindow::showHistory() {
    if (!m_historyWindow) {
        m_historyWindow = new HistoryWindow(m_document, m_windows.stepEditor(), this);
        m_historyWindow->setAttribute(Qt::WA_QuitOnClose, false); // it closes with the main window
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}

bool MainWindow::maySetChangesAside(const QString& question) {
    if (!m_document.isModified())
        return true;
    switch (services().savePrompt->askToSave(this, question)) {
    case SaveChoice::Save:
        // A failure is shown and keeps everything as it was.
        if (m_projects->holdsDocument())
            return m_projects->saveCurrent();
        return m_windows.saveWindow().save();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!maySetChangesAside(QStringLiteral("Save them before closing?"))) {
        event->ignore();
        return;
    }
    if (m_historyWindow)
        m_historyWindow->close();
    event->accept();
}

void MainWindow::closePicture() {
    if (m_document.image().isNull() || m_document.isEditing())
        return;
    if (!maySetChangesAside(QStringLiteral("Save them before closing the picture?")))
        return;
    m_document.close();
    m_projects->forget();
    m_opacityBar->setValue(1);
    showStatusMessage(QString());
}

void MainWindow::quit() {
    // Closing the main window asks about unsaved work (closeEvent) and ends the program with it.
    close();
}

void MainWindow::openImage() {
    if (!maySetChangesAside(QStringLiteral("Save them before opening another picture?")))
        return;
    const QString path = services().files->openFileName(this, m_document.chosenFile());
    if (!path.isEmpty())
        openFile(path);
}

void MainWindow::openProject() {
    if (!maySetChangesAside(QStringLiteral("Save them before opening a project?")))
        return;
    const QString path = services().files->openProjectName(this, m_document.chosenFile());
    if (!path.isEmpty() && m_projects->open(path)) {
        m_document.setChosenFile(path);
        m_opacityBar->setValue(1);
        showStatusMessage(QString());
    }
}

void MainWindow::startFromTemplate() {
    if (!maySetChangesAside(QStringLiteral("Save them before starting from a template?")))
        return;
    if (!m_templates)
        m_templates = new TemplateGallery(this);
    m_templates->reload();
    services().presenter->showModal(m_templates);
    const TemplateEntry* chosen = m_templates->chosen();
    if (!chosen)
        return;
    const QString photo = services().files->openFileName(this, m_document.chosenFile());
    if (photo.isEmpty())
        return;
    guarded(this, [&] {
        Project filled;
        {
            const BusyCursor busy;
            filled.steps =
                project_template::filledWith(chosen->project.steps, StepResource::fromFile(photo), photo);
        }
        // Work of its own, not saved anywhere yet: "Save" asks where.
        if (!m_projects->load(filled, chosen->name, false))
            return;
        m_document.setChosenFile(photo);
        m_opacityBar->setValue(1);
        showStatusMessage(QString());
    });
}

void MainWindow::saveAsTemplate() {
    const QString name = services().textPrompt->askForText(this, QStringLiteral("Save as template"),
                                                           QStringLiteral("Name of the template:"));
    if (name.isEmpty())
        return;
    guarded(this, [&] {
        const BusyCursor busy;
        const QList<ProjectStep> steps = m_document.keptSteps();
        if (steps.isEmpty())
            throw UserError(QStringLiteral("There is no picture to keep as a template yet."));
        const QString path = TemplateGallery::saveUserTemplate(name, steps, m_document.image());
        showStatusMessage(QStringLiteral("Saved as the template \"%1\" (%2).").arg(name.simplified(), path));
    });
}

bool MainWindow::openFile(const QString& path) {
    if (ProjectCommands::isProjectFile(path)) {
        const bool opened = m_projects->open(path);
        if (opened) {
            m_opacityBar->setValue(1);
            showStatusMessage(QString());
        }
        return opened;
    }
    const bool opened = guarded(this, [&] {
        const BusyCursor busy;
        m_document.open(path);
        m_opacityBar->setValue(1);
    });
    if (opened) {
        m_projects->forget(); // a picture now, saved as one
        m_recentPictures.add(path);
        showStatusMessage(QString()); // notes about the previous picture are over
    }
    return opened;
}

void MainWindow::openFiles(const QStringList& paths) {
    if (paths.isEmpty() || !maySetChangesAside(QStringLiteral("Save them before opening another picture?")))
        return;
    if (!openFile(paths.first()) || paths.size() == 1)
        return;
    QStringList others;
    for (const QString& path : paths.mid(1))
        others << QFileInfo(path).fileName();
    showStatusMessage(QStringLiteral("Opened %1; one picture at a time, so %2 other file(s) were ignored: %3")
                          .arg(QFileInfo(paths.first()).fileName())
                          .arg(others.size())
                          .arg(others.join(", ")));
}

void MainWindow::restoreOriginal() {
    if (m_document.file().isEmpty()) // no file of its own: nothing to restore
        return;
    if (!maySetChangesAside(QStringLiteral("Save them before restoring the original image?")))
        return;
    guarded(this, [this] {
        const BusyCursor busy;
        m_document.restoreOriginal();
    });
}

void MainWindow::openWindow(WindowId id) {
    if (id == WindowId::Background &&
        !maySetChangesAside(QStringLiteral("Save them before creating a background?")))
        return;
    m_windows.openOnDocument(id);
}

void MainWindow::showStatusMessage(const QString& text) {
    m_statusMessage->setText(text);
    m_statusMessage->setToolTip(text); // the bar may cut a long one
}

QString MainWindow::statusMessage() const {
    return m_statusMessage->text();
}

void MainWindow::connectToolbar() {
    for (qsizetype i = 0; i < m_toolbarButtons.size(); ++i) {
        QAction* action = menuItem(QString::fromLatin1(toolbar[i].menuItem));
        QToolButton* picture = m_toolbarButtons[i];
        connect(picture, &QToolButton::clicked, action, &QAction::trigger);
    }
    updateToolbarTips();
}

void MainWindow::updateToolbarTips() {
    for (qsizetype i = 0; i < m_toolbarButtons.size(); ++i) {
        const QAction* action = menuItem(QString::fromLatin1(toolbar[i].menuItem));
        // A shortcut shared with an earlier item runs that one, so it is named only on its first carrier.
        const QKeySequence shortcut = m_shortcuts->shortcutWhenAllEnabled(action);
        m_toolbarButtons[i]->setToolTip(
            shortcut.isEmpty()
                ? action->text()
                : QStringLiteral("%1 (%2)").arg(action->text(), shortcut.toString(QKeySequence::NativeText)));
    }
}

void MainWindow::updateSaveCommands() {
    // Steps that came from a project (or restored work) are saved as one with Ctrl+S, to the project they
    // came from; "Save image" still exports a picture of them.
    const bool project = m_projects->holdsDocument();
    m_shortcuts->setShortcut(menuItem("MenuItem7"), project ? QKeySequence() : QKeySequence("Ctrl+S"));
    m_shortcuts->setShortcut(menuItem("SaveProjectItem"), QKeySequence(project ? "Ctrl+S" : "Ctrl+Shift+S"));
    m_shortcuts->setShortcut(menuItem("SaveProjectAsItem"),
                             project ? QKeySequence("Ctrl+Shift+S") : QKeySequence());
    updateToolbarTips();
}

void MainWindow::fillRecentMenu() {
    const QStringList missing = m_recentPictures.pruneMissing();
    if (!missing.isEmpty()) {
        QStringList names;
        for (const QString& path : missing)
            names << QFileInfo(path).fileName();
        showStatusMessage(
            QStringLiteral("No longer there, so dropped from Recent pictures: %1").arg(names.join(", ")));
        m_startPage->refresh();
    }
    m_recentMenu->clear();
    const QStringList paths = m_recentPictures.paths();
    for (int i = 0; i < paths.size(); ++i) {
        const QFileInfo info(paths[i]);
        // Numbered for the keyboard (1 … 9, then 0); the folder tells apart pictures of one name.
        QAction* item = m_recentMenu->addAction(QStringLiteral("&%1 %2  (%3)")
                                                    .arg((i + 1) % 10)
                                                    .arg(QString(info.fileName()).replace('&', "&&"),
                                                         QString(info.absolutePath()).replace('&', "&&")));
        item->setObjectName(QStringLiteral("RecentPicture%1").arg(i + 1));
        item->setData(paths[i]);
        const QString path = paths[i];
        connect(item, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    if (paths.isEmpty()) {
        m_recentMenu->addAction("(none)")->setEnabled(false);
        return;
    }
    m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction("Clear list");
    clear->setObjectName("ClearRecentPictures");
    connect(clear, &QAction::triggered, this, [this] {
        m_recentPictures.clear();
        m_startPage->refresh();
    });
}

void MainWindow::openRecent(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        m_recentPictures.remove(path);
        m_startPage->refresh();
        services().errors->report(this,
                                  QStringLiteral("\"%1\" is no longer there (moved or deleted), so it was "
                                                 "dropped from Recent pictures.")
                                      .arg(path));
        return;
    }
    openFiles({path});
}

QStringList MainWindow::readableFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && (canReadExtension(QFileInfo(url.toLocalFile()).suffix()) ||
                                  ProjectCommands::isProjectFile(url.toLocalFile())))
            paths << url.toLocalFile();
    return paths;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!isSavingPicture() && (!readableFiles(data).isEmpty() || (data && data->hasImage())))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = readableFiles(event->mimeData());
    const QImage picture = paths.isEmpty() && event->mimeData()->hasImage()
                               ? qvariant_cast<QImage>(event->mimeData()->imageData())
                               : QImage();
    if (paths.isEmpty() && picture.isNull())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: the source waits for the drop to finish, and the question about unsaved
    // changes must not keep it waiting.
    QTimer::singleShot(0, this, [this, paths, picture] {
        if (!paths.isEmpty())
            openFiles(paths);
        else
            adoptPicture(picture, QStringLiteral("Drop picture"));
    });
}

void MainWindow::adoptPicture(const QImage& picture, const QString& stepName) {
    if (!maySetChangesAside(QStringLiteral("Save them before taking the new picture?")))
        return;
    guarded(this, [&] {
        const BusyCursor busy;
        m_document.change(stepName, DocumentChange::picture(picture)
                                        .withControlSize(QSizeF(picture.size()))
                                        .withZoom(1.0)
                                        .withSizeText(sizeTextOf(picture.size()))
                                        .enablingEditing()
                                        .withRecipe(pictureRecipe(picture, stepName)));
        m_opacityBar->setValue(1);
        m_projects->forget();
    });
}

void MainWindow::pasteAsNewPicture() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    // A picture file copied in a file manager arrives as its address.
    const QStringList paths = readableFiles(data);
    if (!paths.isEmpty()) {
        openFiles(paths);
        return;
    }
    const QImage picture = data && data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
    if (picture.isNull()) {
        services().errors->report(this, QStringLiteral("The clipboard holds no picture to paste."));
        return;
    }
    adoptPicture(picture, QStringLiteral("Paste as new picture"));
}

void MainWindow::copyPicture() {
    if (m_document.image().isNull())
        return;
    QGuiApplication::clipboard()->setImage(m_document.image());
    showStatusMessage(QStringLiteral("Picture copied (%1 x %2 pixels).")
                          .arg(m_document.image().width())
                          .arg(m_document.image().height()));
}

void MainWindow::zoomAbout(double zoom, QPointF viewportPoint) {
    QScrollBar* horizontal = m_scrollArea->horizontalScrollBar();
    QScrollBar* vertical = m_scrollArea->verticalScrollBar();
    const double before = m_document.zoom();
    // The point in the control's own units, before the zoom changes.
    const QPointF point = (viewportPoint + QPointF(horizontal->value(), vertical->value())) / before;
    m_zoomBar->setValue(zoom); // clamped to its range; the document and the canvas follow
    const double after = m_document.zoom();
    horizontal->setValue(int(std::lround(point.x() * after - viewportPoint.x())));
    vertical->setValue(int(std::lround(point.y() * after - viewportPoint.y())));
    keepPictureInView();
}

void MainWindow::keepPictureInView() {
    const QSizeF extent = m_document.controlSize() * m_document.zoom();
    const QSize room = m_scrollArea->viewport()->size();
    auto keep = [](QScrollBar* bar, double extent, int room) {
        // Along an axis where the picture fits it starts at the edge; where it does not, the view stops at
        // its far edge.
        const int furthest = std::max(0, int(std::ceil(extent)) - room);
        bar->setValue(std::clamp(bar->value(), 0, furthest));
    };
    keep(m_scrollArea->horizontalScrollBar(), extent.width(), room.width());
    keep(m_scrollArea->verticalScrollBar(), extent.height(), room.height());
}

void MainWindow::zoomIn() {
    const double zoom = m_document.zoom();
    for (double step : zoomLadder)
        if (step > zoom * (1 + 1e-6)) {
            zoomAbout(step, QRectF(m_scrollArea->viewport()->rect()).center());
            return;
        }
}

void MainWindow::zoomOut() {
    const double zoom = m_document.zoom();
    for (auto step = std::rbegin(zoomLadder); step != std::rend(zoomLadder); ++step)
        if (*step < zoom * (1 - 1e-6)) {
            zoomAbout(*step, QRectF(m_scrollArea->viewport()->rect()).center());
            return;
        }
}

void MainWindow::fitToWindow() {
    const QSizeF control = m_document.controlSize();
    const QSize room = m_scrollArea->viewport()->size();
    if (control.isEmpty() || room.isEmpty())
        return;
    // Rounded down to the zoom bar's resolution so the picture's last row and column stay in view.
    double zoom = std::min(room.width() / control.width(), room.height() / control.height());
    zoom = std::floor(zoom * 1000) / 1000;
    m_zoomBar->setValue(std::clamp(zoom, m_zoomBar->minimum(), m_zoomBar->maximum()));
    m_scrollArea->horizontalScrollBar()->setValue(0);
    m_scrollArea->verticalScrollBar()->setValue(0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int delta = wheel->angleDelta().y();
            if (delta != 0 && m_zoomBar->isEnabled() && !isSavingPicture())
                zoomAbout(m_document.zoom() * std::pow(wheelZoomFactor, delta / 120.0), wheel->position());
            return true; // Ctrl+wheel never scrolls
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
