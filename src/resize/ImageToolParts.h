// SPDX-License-Identifier: MIT
// What the image size windows share: boxes for a side in pixels, "Ok" and "Cancel".
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QDialogButtonBox;
class QDoubleSpinBox;
class QSize;
class QWidget;

// A box for one side of a picture, 1 to the largest side a picture may have.
QDoubleSpinBox* sideBox(const char* name, QWidget* parent);
// "Ok" (named `okName`, running `ok`) and "Cancel" (closing the window).
QDialogButtonBox* okCancelButtons(QDialog* window, const char* okName, std::function<void()> ok);
