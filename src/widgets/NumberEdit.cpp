// SPDX-License-Identifier: MIT
#include "widgets/NumberEdit.h"

#include <QKeyEvent>
#include <QToolButton>

NumberEdit::NumberEdit(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
    , m_okButton(new QToolButton(this)) {
    m_okButton->setText(QStringLiteral("Ok"));
    m_okButton->setFocusPolicy(Qt::NoFocus);
    m_okButton->setCursor(Qt::ArrowCursor);
    m_okButton->resize(28, 18);
    setTextMargins(0, 0, 30, 0);
    // The button confirms a typed text as Enter does, and confirms the box again on every click. A text is
    // confirmed once: leaving the box afterwards (to a message about the number, say) does not repeat it.
    connect(m_okButton, &QToolButton::clicked, this, [this] {
        if (!m_buttonConfirmsTypedText) {
            setModified(false); // the button's own rule takes the text: leaving the box does not repeat it
            emit confirmed();
        } else if (!confirmTypedText()) {
            emit confirmed();
        }
    });
    // editingFinished fires on Enter and on focus loss.
    connect(this, &QLineEdit::editingFinished, this, &NumberEdit::confirmTypedText);
}

bool NumberEdit::confirmTypedText() {
    if (!isModified())
        return false;
    setModified(false);
    emit changeConfirmed();
    emit confirmed();
    return true;
}

void NumberEdit::setValueText(const QString& text) {
    if (text == this->text())
        return;
    setText(text);
    setModified(false);
    emit changeConfirmed();
    emit confirmed();
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    // Enter confirms the number and goes no further: it never presses the window's "Ok".
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}

void NumberEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    m_okButton->move(width() - m_okButton->width() - 2, (height() - m_okButton->height()) / 2);
}
