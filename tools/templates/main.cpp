// SPDX-License-Identifier: MIT
// make_templates FOLDER: writes the shipped templates (data/templates) again from their steps.
#include "Templates.h"

#include "base/Fonts.h"
#include "base/UserError.h"
#include "steps/StepKind.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char** argv) {
    loadFontSubstitutes();
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: make_templates FOLDER\n";
        return 2;
    }
    step_catalog::registerKinds();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    try {
        for (const ShippedTemplate& shipped : shippedTemplates()) {
            const QByteArray bytes = writeProjectArchive(shipped.steps, shipped.picture);
            QSaveFile file(folder.filePath(shipped.fileName));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
                err << "cannot write " << file.fileName() << ": " << file.errorString() << '\n';
                return 1;
            }
        }
    } catch (const UserError& error) {
        err << error.message() << '\n';
        return 1;
    }
    return 0;
}
