// SPDX-License-Identifier: MIT
#include "app/Application.h"

#include "app/MainWindow.h"
#include "app/Workbench.h"

#include "DecorationResources.h"

#include <QApplication>
#include <QCommandLineParser>

void configureApplication(QApplication& app) {
    QApplication::setApplicationName("lumora");
    QApplication::setApplicationDisplayName("Lumora");
    QApplication::setApplicationVersion(LUMORA_VERSION);
    QApplication::setDesktopFileName("lumora");
    initDecorationResources(); // registers the embedded pictures; none is decoded until a gallery needs it
    // Compact panels were laid out for a narrow 12-pixel sans-serif face.
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    QApplication::setFont(font);
    // Buttons with rounded corners, as everywhere in the program.
    app.setStyleSheet("QPushButton[corner=\"true\"] { border: 1px solid #a0a4aa; border-radius: 3px;"
                      " font-size: 11px;"
                      " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfbfc, stop:1 #e6e8eb);"
                      " padding: 0; }"
                      "QPushButton[corner=\"true\"]:hover { border-color: #5b8fd1; }"
                      "QPushButton[corner=\"true\"]:pressed { background: #d5dbe3; }"
                      "QPushButton[corner=\"true\"]:disabled { color: #a8a8a8; border-color: #cfd2d6; }");
}

int runLumora(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);

    QCommandLineParser parser;
    parser.setApplicationDescription("Lumora, a picture editor for decorating photographs.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("file", "A picture to open at start.", "[FILE]");
    parser.process(app);

    Workbench workbench;
    MainWindow& window = workbench.mainWindow();
    window.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        window.openFile(files.first());
    return app.exec();
}
