// SPDX-License-Identifier: MIT
// Numbers as the user types them (in the user's locale, with the messages for what is not one) and the rule
// that fits a picture into a box.
#include "base/Geometry.h"
#include "base/Numbers.h"
#include "base/UserError.h"
#include "support/Fixtures.h"

#include <QLocale>
#include <QTest>

#include <cmath>

class NumbersTest : public QObject {
    Q_OBJECT
private slots:
    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("real") << "2.5" << false << 2.5 << "";
        QTest::newRow("negative real") << "-20" << false << -20.0 << "";
        QTest::newRow("empty real") << "" << false << 0.0 << "'' is not a valid floating point value";
        QTest::newRow("lone minus") << "-" << false << 0.0 << "'-' is not a valid floating point value";
        QTest::newRow("infinity") << "inf" << false << 0.0 << "'inf' is not a valid floating point value";
        QTest::newRow("integer") << "42" << true << 42.0 << "";
        QTest::newRow("fraction as integer") << "4.5" << true << 0.0 << "'4.5' is not a valid integer value";
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(bool, integer);
        QFETCH(double, value);
        QFETCH(QString, error);
        const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
        double result = 0;
        const QString message = errorOf([&] { result = integer ? toInteger(text) : toReal(text); });
        QCOMPARE(message, error);
        if (error.isEmpty())
            QCOMPARE(result, value);
    }

    void realNumbersFollowTheUsersLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // NaN: not a number there
        const double invalid = std::nan("");
        const QLocale german(QLocale::German, QLocale::Germany);
        const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("German decimal comma") << german << "1,5" << 1.5;
        QTest::newRow("German trailing letters") << german << "1,5x" << invalid;
        QTest::newRow("Turkish decimal comma") << turkish << "-0,25" << -0.25;
        QTest::newRow("English decimal point") << english << "1.5" << 1.5;
        QTest::newRow("English trailing letters") << english << "1.5x" << invalid;
    }
    void realNumbersFollowTheUsersLocale() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(double, value);
        const DefaultLocale pinned(locale);
        double result = 0;
        const QString message = errorOf([&] { result = toReal(text); });
        if (std::isnan(value))
            QCOMPARE(message, QStringLiteral("'%1' is not a valid floating point value").arg(text));
        else
            QCOMPARE(result, value);
    }

    void fitRule_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QRectF>("expected");
        const QRectF box(0, 0, 200, 100);
        QTest::newRow("smaller: own size, centred") << QSizeF(50, 20) << QRectF(75, 40, 50, 20);
        QTest::newRow("wider: reduced to the width") << QSizeF(400, 100) << QRectF(0, 25, 200, 50);
        QTest::newRow("taller: reduced to the height") << QSizeF(100, 400) << QRectF(87.5, 0, 25, 100);
        QTest::newRow("same size") << QSizeF(200, 100) << box;
    }
    void fitRule() {
        QFETCH(QSizeF, picture);
        QFETCH(QRectF, expected);
        QCOMPARE(fittedRect(picture, QRectF(0, 0, 200, 100)), expected);
    }
};

QTEST_MAIN(NumbersTest)
#include "test_numbers.moc"
