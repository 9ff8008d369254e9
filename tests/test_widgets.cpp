// SPDX-License-Identifier: MIT
// Controls with the program's own behaviour: the track bar's signal, the number box's confirmations, and a
// menu shortcut shared by several commands.
#include "widgets/MenuShortcuts.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class WidgetsTest : public QObject {
    Q_OBJECT
private slots:
    void trackBarSignalsOnlyRealChanges() {
        TrackBar bar(0.1, 10, 1);
        QSignalSpy spy(&bar, &TrackBar::changed);
        bar.setValue(1);
        QCOMPARE(spy.count(), 0);
        bar.setValue(20); // clamped
        QCOMPARE(bar.value(), 10.0);
        QCOMPARE(spy.count(), 1);
        bar.QSlider::setValue(0); // the user drags to the far left
        QCOMPARE(bar.value(), 0.1);
        QCOMPARE(spy.count(), 2);
    }

    void numberEditConfirmsChangedTextsAndEveryOk() {
        NumberEdit edit("3");
        QSignalSpy spy(&edit, &NumberEdit::confirmed);
        edit.setValueText("3");
        QCOMPARE(spy.count(), 0);
        edit.setValueText("5");
        QCOMPARE(spy.count(), 1);
        edit.okButton()->click();
        edit.okButton()->click();
        QCOMPARE(spy.count(), 3);
        QTest::keyClick(&edit, Qt::Key_Return); // nothing typed: no confirmation
        QCOMPARE(spy.count(), 3);
        QTest::keyClicks(&edit, "0");
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(spy.count(), 4);
        QCOMPARE(edit.text(), QString("50"));

        // Typed, then its "Ok" clicked: the change is confirmed once, and leaving the box afterwards (a
        // message about the number takes the focus) confirms nothing again.
        QWidget window;
        auto* box = new NumberEdit("7", &window);
        auto* other = new QLineEdit(&window); // somewhere for the focus to go
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        box->setFocus();
        QSignalSpy changes(box, &NumberEdit::changeConfirmed), oks(box, &NumberEdit::confirmed);
        QTest::keyClicks(box, "x");
        box->okButton()->click();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(oks.count(), 1);
        other->setFocus();
        QTRY_VERIFY(!box->hasFocus());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(oks.count(), 1);
    }

    void shortcutGoesToFirstEnabledCarrier() {
        QAction first, second, third;
        first.setEnabled(false);
        second.setEnabled(false);
        MenuShortcuts shortcuts;
        shortcuts.add(&first, QKeySequence("Ctrl+A"));
        shortcuts.add(&second, QKeySequence("Ctrl+A"));
        shortcuts.add(&third, QKeySequence("Ctrl+A"));
        QCOMPARE(third.shortcut(), QKeySequence("Ctrl+A"));
        QVERIFY(first.shortcut().isEmpty() && second.shortcut().isEmpty());
        second.setEnabled(true);
        QCOMPARE(second.shortcut(), QKeySequence("Ctrl+A"));
        QVERIFY(first.shortcut().isEmpty() && third.shortcut().isEmpty());
        second.setEnabled(false);
        third.setEnabled(false);
        QCOMPARE(first.shortcut(), QKeySequence("Ctrl+A")); // none enabled: shown on the first
    }
};

QTEST_MAIN(WidgetsTest)
#include "test_widgets.moc"
