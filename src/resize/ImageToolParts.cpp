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

void checkNewSize(QSize size, const char* what) {
    if (!isMakeablePictureSize(size))
        throw UserError(
            QStringLiteral("%1 of %2 x %3 pixels cannot be made: each side must come to between 1 "
                           "and %4 pixels, and the whole to at most %5 megapixels.")
                .arg(QString::fromLatin1(what))
                .arg(size.width())
                .arg(size.height())
                .arg(largestPictureSide)
                .arg(largestPictureArea / 1'000'000));
}
