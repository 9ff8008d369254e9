// SPDX-License-Identifier: MIT
#include "widgets/Panel.h"

#include "widgets/NumberEdit.h"
#include "widgets/SvgPicture.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

template <class W> W* Panel::place(W* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    if (width < 0 || height < 0) {
        widget->adjustSize();
        if (width < 0)
            width = widget->width();
        if (height < 0)
            height = widget->height();
    }
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* Panel::label(const char* name, const QString& text, int x, int y, int width) {
    return place(new QLabel(text, m_host), name, x, y, width, -1);
}

TrackBar* Panel::trackBar(const char* name, int x, int y, int width, int height, double minimum,
                          double maximum, double value) {
    return place(new TrackBar(minimum, maximum, value, m_host), name, x, y, width, height);
}

QPushButton* Panel::button(const char* name, const QString& text, int x, int y, int width, int height) {
    return place(makeButton(name, text, m_host), name, x, y, width, height);
}

QCheckBox* Panel::checkBox(const char* name, const QString& text, int x, int y, int width, int height,
                           bool checked) {
    auto* box = new QCheckBox(text, m_host);
    box->setChecked(checked);
    return place(box, name, x, y, width, height);
}

NumberEdit* Panel::numberEdit(const char* name, const char* buttonName, const QString& text, int x, int y,
                              int width, int height) {
    auto* edit = place(new NumberEdit(text, m_host), name, x, y, width, height);
    edit->okButton()->setObjectName(QString::fromLatin1(buttonName));
    return edit;
}

QToolButton* Panel::pictureButton(const char* name, const QString& svgResource, int x, int y, int width,
                                  int height) {
    auto* button = new QToolButton(m_host);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(svgIcon(svgResource));
    button->setIconSize(QSize(width - 4, height - 4));
    return place(button, name, x, y, width, height);
}

QPushButton* makeButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setProperty("corner", true);
    return button;
}
