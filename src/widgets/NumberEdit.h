// SPDX-License-Identifier: MIT
// A text box for a number with an embedded "Ok" button. changeConfirmed() fires when the user confirms a
// changed text (Enter, the button, or leaving the box after typing) and when code sets a different text;
// confirmed() fires then too, and on every click of the button. A typed text is confirmed once.
#pragma once

#include <QLineEdit>

class QToolButton;

class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberEdit(const QString& text, QWidget* parent = nullptr);

    // Sets the text as a program would; a different text is confirmed at once.
    void setValueText(const QString& text);
    QToolButton* okButton() const { return m_okButton; }
    // Off: the button has a rule of its own (a handler of okButton()'s clicks): it takes the typed text
    // without confirming it as Enter does, and only confirmed() fires.
    void setButtonConfirmsTypedText(bool on) { m_buttonConfirmsTypedText = on; }

signals:
    void changeConfirmed();
    void confirmed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Confirms the text when the user changed it since it was last confirmed; whether it did.
    bool confirmTypedText();
    QToolButton* m_okButton;
    bool m_buttonConfirmsTypedText = true;
};
