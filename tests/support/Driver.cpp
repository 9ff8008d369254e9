// SPDX-License-Identifier: MIT
#include "support/Driver.h"

#include "app/MainWindow.h"
#include "document/Document.h"
#include "galleries/ThumbnailButton.h"
#include "pictures/Pictures.h"
#include "support/Fixtures.h"
#include "widgets/NumberEdit.h"

#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>

QStringList stepNames(const Document& document) {
    QStringList names;
    for (int i = 0; i < document.history().count(); ++i)
        names << document.history().entry(i).name;
    return names;
}

void typeAndConfirm(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

Driver::Driver()
    : m_desktop(installTestDesktop())
    , m_windows(std::make_unique<WindowSet>()) {}

Driver::~Driver() = default;

Document& Driver::document() const {
    return m_windows->document();
}

MainWindow& Driver::mainWindow() const {
    return m_windows->mainWindow();
}

void Driver::restart() {
    m_windows.reset(); // gone before the new ones are made, as between two runs
    m_windows = std::make_unique<WindowSet>();
}

QWidget* Driver::window(WindowId id) const {
    if (id == WindowId::Main)
        return &m_windows->mainWindow();
    return m_windows->window(id);
}

void Driver::type(const Control<NumberEdit>& box, const QString& text) const {
    typeAndConfirm(control(box), text);
}

void Driver::write(const Control<QPlainTextEdit>& box, const QString& text) const {
    QPlainTextEdit* edit = control(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Driver::choose(const Control<QComboBox>& list, int index) const {
    control(list)->setCurrentIndex(index);
}

void Driver::run(const Control<QAction>& command) const {
    control(command)->trigger();
}

void Driver::pressShortcut(const QKeySequence& keys) const {
    MainWindow& main = m_windows->mainWindow();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keySequence(&main, keys);
}

void Driver::clickThumbnail(WindowId gallery, const QString& thumbnail) const {
    QTest::mouseClick(control<ThumbnailButton>(gallery, thumbnail), Qt::LeftButton);
}

QString Driver::writePicture(const QString& name, const QImage& picture) const {
    const QString path = filePath(name);
    saveOrFail(picture, path);
    return path;
}

void Driver::openFile(const QString& path) const {
    m_desktop.openAnswers << path;
    run(ui::menu.openImage);
}

void Driver::openPicture(const QImage& picture) const {
    openFile(writePicture(QStringLiteral("photo.png"), picture));
}

void Driver::takePicture(const QImage& picture, QSizeF controlSize, double zoom) const {
    document().change(QStringLiteral("Open image"),
                      DocumentChange::picture(picture)
                          .withControlSize(controlSize.isEmpty() ? QSizeF(picture.size()) : controlSize)
                          .withZoom(zoom)
                          .enablingEditing());
}

QDialog* Driver::openTool(WindowId id) const {
    const QList<ToolWindowRoute>& routes = toolWindowRoutes();
    const auto route = std::find_if(routes.begin(), routes.end(),
                                    [id](const ToolWindowRoute& route) { return route.opened() == id; });
    if (route == routes.end())
        qFatal("no menu command opens %s", qPrintable(layoutName(id)));
    run(route->command);
    auto* tool = qobject_cast<QDialog*>(window(id));
    QTest::qVerify(!m_desktop.shown.isEmpty() && m_desktop.shown.last().data() == tool, "shown",
                   "the command shows it", __FILE__, __LINE__);
    return tool;
}

QDialog* Driver::openToolOn(WindowId id, const QImage& picture, double zoom) const {
    openPicture(picture);
    document().setZoom(zoom);
    return openTool(id);
}

void Driver::follow(const ToolWindowRoute& route) const {
    run(route.command);
    if (route.gallery)
        clickThumbnail(*route.gallery, QString::fromLatin1(route.thumbnail));
}

void Driver::show(QWidget* window, QSize size) const {
    if (size.isValid())
        window->resize(size);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void Driver::whileShown(WindowId window, std::function<void()> act) const {
    QWidget* target = this->window(window);
    auto previous = m_desktop.whileShown;
    m_desktop.whileShown = [target, act = std::move(act), previous](QDialog* shown) {
        if (shown == target)
            act();
        else if (previous)
            previous(shown);
    };
}

QAction* Driver::menuItem(const char* name) const {
    return m_windows->mainWindow().menuItem(QString::fromLatin1(name));
}

void Driver::missing(WindowId window, const char* name) const {
    qFatal("%s has no control %s of that type", qPrintable(layoutName(window)), name);
}
