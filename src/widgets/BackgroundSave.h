// SPDX-License-Identifier: MIT
// Saving a picture without freezing the windows: the file is written on a worker thread while this thread
// keeps repainting. Until it is written, user input and close requests are dropped, so nothing can change
// the picture mid-save; after half a second a progress window says what is happening.
#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QWidget;

// Writes `image` to `path` as savePicture() does and returns when the file is complete. Throws UserError on
// failure (nothing is changed on disk then). `parent` is the window the progress window belongs to.
// `jpegQuality` is used for JPEG files only.
void savePictureResponsively(QWidget* parent, const QImage& image, const QString& path, int jpegQuality = 92);

// The same for any saving work: `save` runs on a worker thread, reporting the fraction done; `path` names
// the file in the progress window.
void runSaveResponsively(QWidget* parent, const QString& path,
                         const std::function<void(const std::function<void(double)>& progress)>& save);

// True while savePictureResponsively() is writing a file.
bool isSavingPicture();
