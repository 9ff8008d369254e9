// SPDX-License-Identifier: MIT
// Developer aid: renders a window of the program offscreen to a PNG, with a sample photo loaded, so a
// change to a window can be looked at without a display.
//   QT_QPA_PLATFORM=offscreen build/lumora_snapshot WINDOW OUT.png [PHOTO]
// WINDOW is "main", "overlay", "filters", "about", "batch" (then a project and photos), any window's layout
// name ("Form18") or an image tool's object name ("ResizeWindow", "CanvasSizeWindow", "CropRegionWindow"); a
// tool window opens on the photo as from its menu command.
#include "app/AboutWindow.h"
#include "app/Application.h"
#include "app/BatchWindow.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "app/WindowTable.h"
#include "document/Document.h"
#include "filters/FilterGallery.h"
#include "overlay/OverlayEditor.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "toolkit/DocumentTool.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QTextStream>
#include <QTimer>

namespace {

QImage samplePhoto() {
    QImage image(900, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(80, 150, 230));
    sky.setColorAt(1, QColor(250, 220, 170));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 225, 110));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(680, 170), 60, 60);
    painter.setBrush(QColor(70, 140, 70));
    painter.drawEllipse(QPointF(250, 720), 520, 260);
    painter.setBrush(QColor(55, 115, 60));
    painter.drawEllipse(QPointF(750, 760), 480, 280);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr)
            << "usage: lumora_snapshot main|overlay|filters|about|batch OUT.png [PHOTO | PROJECT PHOTO...]\n";
        return 2;
    }
    WindowSet windows;
    Document& document = windows.document();
    const bool batch = args[1] == "batch"; // lumora_snapshot batch OUT.png PROJECT PHOTO...
    const QImage photo = args.size() > 3 && !batch ? loadPicture(args[3]) : samplePhoto();
    document.change("Open image",
                    DocumentChange::picture(photo)
                        .withControlSize(QSizeF(photo.size()))
                        .withSizeText(QStringLiteral("%1x%2").arg(photo.width()).arg(photo.height()))
                        .enablingEditing());

    QWidget* window = &windows.mainWindow();
    if (args[1] == "overlay") {
        OverlayEditor& editor = windows.overlayEditor();
        editor.zoomBar()->setValue(0.75);
        editor.background()->setPicture(photo);
        editor.background()->setSize(QSizeF(photo.size()));
        editor.overlay()->setPicture(QImage(":/decorations/effects/Image23.png"));
        editor.overlay()->setSize({300, 300});
        editor.overlay()->setPos(480, 40);
        editor.preview()->frame()->setSize({300, 300});
        editor.preview()->frame()->setPos(480, 40);
        window = &editor;
    } else if (args[1] == "filters") {
        FilterGallery& gallery = windows.filterGallery();
        gallery.resize(1100, 700);
        gallery.prepare(photo, [](const QImage&) {});
        gallery.select(EffectKind::Sepia);
        gallery.waitForPreview();
        window = &gallery;
    } else if (batch) {
        auto* batchWindow = new BatchWindow(document);
        if (args.size() > 3) {
            batchWindow->findChild<QLineEdit*>("ProjectFileEdit")->setText(args[3]);
            batchWindow->findChild<QRadioButton*>("RecipeFromProject")->setChecked(true);
            batchWindow->refreshRecipe();
            batchWindow->addPaths(args.mid(4));
            QEventLoop wait;
            QObject::connect(batchWindow, &BatchWindow::previewShown, &wait, &QEventLoop::quit);
            QTimer::singleShot(10000, &wait, &QEventLoop::quit);
            wait.exec();
        }
        window = batchWindow;
    } else if (args[1] == "about") {
        window = &windows.aboutWindow();
    } else {
        // Any window the window set holds, by its object name ("Form6", "ResizeWindow").
        for (int id = int(WindowId::Main) + 1; id <= int(windowCount); ++id)
            if (layoutName(WindowId(id)) == args[1] && windows.window(WindowId(id))) {
                window = windows.window(WindowId(id));
                if (auto* tool = dynamic_cast<DocumentTool*>(window))
                    tool->openOnDocument();
            }
    }
    window->setWindowState(Qt::WindowNoState);
    // SNAPSHOT_SIZE=1366x720 shows the window at that size, as on a small screen.
    const QStringList size = qEnvironmentVariable("SNAPSHOT_SIZE").split('x');
    if (size.size() == 2)
        window->resize(size[0].toInt(), size[1].toInt());
    window->show();
    app.processEvents();
    if (!window->grab().save(args[2])) {
        QTextStream(stderr) << "cannot write " << args[2] << "\n";
        return 1;
    }
    return 0;
}
