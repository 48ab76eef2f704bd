#include "dialoginput.h"
#include "ui/dialogs/bezeichnungform.h"
#include "ui/dialogs/nachkommaform.h"
#include "ui/dialogs/neigungform.h"
#include "ui/widgets/numberfield.h"

#include <QtTest>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class TestSmallDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config;

private slots:
    void init()
    {
        config = freshSettingsFolder();
    }

    void decimalPlacesTakenOnlyOnOk_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("typedNach");
        QTest::addColumn<QString>("typedNach2");
        QTest::addColumn<int>("lengthDecimals");
        QTest::addColumn<int>("areaDecimals");
        QTest::newRow("OK") << true << "0" << "7" << 0 << 7;
        QTest::newRow("OK beyond what numbers show") << true << "25" << "-3" << 25 << -3;
        QTest::newRow("close box") << false << "0" << "7" << 2 << 4;
    }

    void decimalPlacesTakenOnlyOnOk()
    {
        QFETCH(bool, ok);
        QFETCH(QString, typedNach);
        QFETCH(QString, typedNach2);
        QFETCH(int, lengthDecimals);
        QFETCH(int, areaDecimals);
        TNachkommaForm form;
        QCOMPARE(form.NachEd->value(), 2);
        QCOMPARE(form.Nach2Ed->value(), 4);
        whenShown(&form, [=] {
            auto *f = shownModal<TNachkommaForm>();
            QVERIFY(f);
            typeInto(f->NachEd, typedNach);
            typeInto(f->Nach2Ed, typedNach2);
            if (ok)
                f->BitBtn1->click();
            else
                f->close();
        });
        int n = 2, n2 = 4;
        QCOMPARE(askDecimalPlaces(form, n, n2), ok);
        QCOMPARE(n, lengthDecimals);
        QCOMPARE(n2, areaDecimals);
    }

    void inclinationOnOkOnly_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("degrees");
        QTest::newRow("OK") << true << "30" << 30.0;
        QTest::newRow("OK, more decimals typed than shown") << true << "12.345" << 12.345;
        QTest::newRow("OK, negative") << true << "-7.5" << -7.5;
        QTest::newRow("close box keeps the preset") << false << "30" << 0.0;
    }

    void inclinationOnOkOnly()
    {
        QFETCH(bool, ok);
        QFETCH(QString, typed);
        QFETCH(double, degrees);
        TNeigungForm form;
        QString presetShown;
        whenShown(&form, [&] {
            auto *f = shownModal<TNeigungForm>();
            QVERIFY(f);
            presetShown = f->neiged->text();
            typeInto(f->neiged, typed);
            if (ok)
                f->BitBtn1->click();
            else
                f->close();
        });
        double angle = 0.0;
        QCOMPARE(form.ask(angle), ok);
        QCOMPARE(presetShown, QStringLiteral("0.00"));
        QCOMPARE(angle, degrees);
    }

    void nameDialog_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("OK") << true << "Küche" << "Küche";
        QTest::newRow("OK with an emptied field") << true << "" << "";
        QTest::newRow("close box keeps the old name") << false << "Bad" << "Wohnzimmer";
        QTest::newRow("Escape keeps the old name") << false << "" << "Wohnzimmer";
    }

    void nameDialog()
    {
        QFETCH(bool, ok);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        TBezeichnungForm form;
        QString presetShown;
        bool focused = false;
        QString selected;
        whenShown(&form, [&] {
            auto *f = shownModal<TBezeichnungForm>();
            QVERIFY(f);
            presetShown = f->Edit1->text();
            focused = f->focusWidget() == f->Edit1;
            selected = f->Edit1->selectedText();
            // The preset name is selected, so what is typed replaces it.
            f->Edit1->insert(typed);
            if (ok)
                f->BitBtn1->click();
            else if (QTest::currentDataTag() == QByteArray("Escape keeps the old name"))
                QTest::keyClick(f->Edit1, Qt::Key_Escape);
            else
                f->close();
        });
        QString name = QStringLiteral("Wohnzimmer");
        QCOMPARE(form.ask(name), ok);
        QCOMPARE(presetShown, QStringLiteral("Wohnzimmer"));
        QVERIFY(focused);
        QCOMPARE(selected, QStringLiteral("Wohnzimmer"));
        QCOMPARE(name, result);
    }

    void enterInNameFieldMeansOk()
    {
        TBezeichnungForm form;
        whenShown(&form, [] {
            auto *f = shownModal<TBezeichnungForm>();
            QVERIFY(f);
            QTest::keyClicks(f->Edit1, QStringLiteral("Flur"));
            QTest::keyClick(f->Edit1, Qt::Key_Return);
        });
        QString name;
        QVERIFY(form.ask(name));
        QCOMPARE(name, QStringLiteral("Flur"));
    }

    void realFieldAcceptsOnlyNumberText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("state");
        QTest::newRow("number") << "12.5" << int(QValidator::Acceptable);
        QTest::newRow("negative") << "-0.25" << int(QValidator::Acceptable);
        QTest::newRow("exponent") << "1.5E+20" << int(QValidator::Acceptable);
        QTest::newRow("empty") << "" << int(QValidator::Intermediate);
        QTest::newRow("sign only") << "-" << int(QValidator::Intermediate);
        QTest::newRow("comma") << "12,5" << int(QValidator::Invalid);
        QTest::newRow("letters") << "abc" << int(QValidator::Invalid);
        QTest::newRow("two points") << "1.2.3" << int(QValidator::Invalid);
    }

    void realFieldAcceptsOnlyNumberText()
    {
        QFETCH(QString, input);
        QFETCH(int, state);
        RealSpinField field;
        int pos = 0;
        QCOMPARE(int(field.validate(input, pos)), state);
    }

    void realFieldTypingAndStepping()
    {
        RealSpinField field;
        field.setDecimals(2);
        field.findChild<QLineEdit *>()->selectAll();
        QTest::keyClicks(field.findChild<QLineEdit *>(), QStringLiteral("1,5x"));
        // The comma and the letter are refused as typed.
        QCOMPARE(field.findChild<QLineEdit *>()->text(), QStringLiteral("15"));
        QCOMPARE(field.value(), 15.0);
        field.setValue(1.5);
        field.stepBy(1);
        QCOMPARE(field.text(), QStringLiteral("2.50"));
        field.stepBy(-3);
        QCOMPARE(field.value(), -0.5);
        QSignalSpy changed(&field, &RealSpinField::valueChanged);
        field.setValue(7.0);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toDouble(), 7.0);
        field.setValue(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(field.text(), QStringLiteral("0.00"));
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "tst_smalldialogs.moc"
