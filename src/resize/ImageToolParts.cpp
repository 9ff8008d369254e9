// SPDX-License-Identifier: MIT
#include "resize/ImageToolParts.h"

#include "base/Geometry.h"
#include "base/UserError.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QPushButton>

QDoubleSpinBox* sideBox(const char* name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0.01, largestPictureSide);
    box->setDecimals(0);
    box->setKeyboardTracking(false); // a number is taken when typed out, not at each digit
    return box;
}

QDialogButtonBox* okCancelButtons(QDialog* window, const char* okName, std::function<void()> ok) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, window);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(okName);
    QObject::connect(buttons, &QDialogButtonBox::accepted, window, std::move(ok));
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::reject);
    return buttons;
}
