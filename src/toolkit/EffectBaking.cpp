// SPDX-License-Identifier: MIT
#include "toolkit/EffectBaking.h"

#include "effects/EffectRunner.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>

QImage bakeEffectWithProgress(QWidget* parent, const Effect& effect, const QImage& picture) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    EffectRunner runner;
    QProgressDialog progress(QObject::tr("Applying the filter…"), QObject::tr("Cancel"), 0, 100, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setValue(0);

    QEventLoop loop;
    QImage result;
    bool done = false;
    const int job = runner.start(effect, picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QObject::connect(&runner, &EffectRunner::progress, &progress, [&](int id, int percent) {
        if (id == job)
            progress.setValue(percent);
    });
    QObject::connect(&runner, &EffectRunner::finished, &loop, [&](int id, const QImage& image) {
        if (id != job)
            return;
        result = image;
        done = true;
        loop.quit();
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        runner.cancel();
        loop.quit();
    });
    if (!done)
        loop.exec();
    QApplication::restoreOverrideCursor();
    return done ? pngRoundTrip(result) : QImage();
}
