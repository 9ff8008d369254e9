// SPDX-License-Identifier: MIT
// Every number box of every window, found by walking the window's controls (so new boxes are covered
// without a change here), fed text users type by mistake: each is refused with a message naming it or
// replaced by a value the program chose, never a crash, and "Ok" afterwards leaves a sane picture.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "widgets/NumberEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

struct Typed {
    QString text;
    QLocale locale;
    bool number; // a number in that locale (it may still be out of a box's range)
};

QList<Typed> typedTexts() {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    return {{"abc", english, false}, {"", english, false},      {"nan", english, false},
            {"inf", english, false}, {"1e309", english, false}, {"-0", english, true},
            {" 12 ", english, true}, {"1,5", german, true},     {"1.5", german, false}};
}

// The window's own number boxes, not those of windows it owns.
QList<NumberEdit*> numberEditsOf(QWidget* window) {
    QList<NumberEdit*> edits;
    for (NumberEdit* edit : window->findChildren<NumberEdit*>())
        if (edit->window() == window && edit->isEnabled())
            edits << edit;
    return edits;
}

} // namespace

class NumberFieldsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;

    TestDesktop& desktop() { return m_driver->desktop(); }

    // Types each text into each box and confirms it; a text that is no number must bring a message that
    // quotes it, or the box must show something else afterwards (a value the program put back).
    void typeEverywhere(QWidget* window) {
        const QList<NumberEdit*> edits = numberEditsOf(window);
        QVERIFY2(!edits.isEmpty(), qPrintable(window->objectName()));
        for (const Typed& typed : typedTexts()) {
            const DefaultLocale locale(typed.locale);
            for (NumberEdit* edit : edits) {
                if (!edit->isEnabled())
                    continue; // an earlier value may have switched it off
                const qsizetype before = desktop().messages.size();
                typeAndConfirm(edit, typed.text);
                const bool told = desktop().messages.size() > before;
                if (told)
                    QVERIFY2(!desktop().messages.last().trimmed().isEmpty(), qPrintable(edit->objectName()));
                if (typed.number || typed.text.isEmpty())
                    continue;
                const QString quoted = QStringLiteral("'%1'").arg(typed.text);
                QVERIFY2((told && desktop().messages.last().contains(quoted)) || edit->text() != typed.text,
                         qPrintable(QStringLiteral("%1 of %2 took \"%3\" silently")
                                        .arg(edit->objectName(), window->objectName(), typed.text)));
            }
        }
        // Garbage left standing (typed, never confirmed) when "Ok" is pressed.
        for (NumberEdit* edit : edits)
            if (edit->isEnabled())
                edit->setText(QStringLiteral("nan"));
    }

    void checkPictureIsSane(const QSize& opened) {
        const QImage& picture = m_driver->document().image();
        QVERIFY(!picture.isNull());
        QVERIFY2(picture.width() <= 4 * opened.width() + 2000 &&
                     picture.height() <= 4 * opened.height() + 2000,
                 qPrintable(QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height())));
        QVERIFY(std::isfinite(m_driver->document().zoom()) && m_driver->document().zoom() > 0);
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_driver->show(&m_driver->mainWindow());
    }
    void cleanup() { m_driver.reset(); }

    void everyNumberBoxTakesAnyText_data() {
        addToolWindowColumn();
        for (const ToolWindowRoute& route : toolWindowRoutes())
            if (route.numberBoxes)
                newToolWindowRow(route);
    }
    void everyNumberBoxTakesAnyText() {
        QFETCH(ToolWindowRoute, route);
        const QSize opened(64, 48);
        m_driver->openPicture(gradientPicture(opened.width(), opened.height()));
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        // The picture "Image above" asks for.
        desktop().openAnswers << m_driver->writePicture("sticker.png", gradientPicture(9, 7));
        QWidget* target = m_driver->window(route.window);
        bool typed = false;
        desktop().whileShown = [&](QDialog* shown) {
            if (shown != target)
                return;
            m_driver->show(shown);
            typeEverywhere(shown);
            typed = true;
            if (QPushButton* ok = m_driver->find(route.ok))
                ok->click();
            shown->hide();
        };
        m_driver->follow(route);
        QVERIFY(typed);
        checkPictureIsSane(opened);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    NumberFieldsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_number_fields.moc"
