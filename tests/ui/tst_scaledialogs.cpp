#include "dialoginput.h"
#include "translationfixture.h"

#include "core/elements.h"
#include "support/elementbuilder.h"
#include "ui/dialogs/axisscaleform.h"
#include "ui/dialogs/scalecheckform.h"
#include "ui/widgets/numberfield.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>

class TestScaleDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        useTranslationRows(dir, {});
    }

    void checkKeepsTakesOrAverages_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<double>("factor");
        QTest::newRow("keep") << "keepButton" << 0.05;
        QTest::newRow("new") << "newButton" << 0.051;
        QTest::newRow("mean") << "meanButton" << 0.0505;
    }

    // 100 pixels are 5 m; a 500-pixel line the user knows to be 25.5 m long reads 25 m.
    void checkKeepsTakesOrAverages()
    {
        QFETCH(QString, button);
        QFETCH(double, factor);
        Document doc;
        add(doc, TypDistance, {10, 10}, {310, 410});
        doc.setPlacementZoom(0, 200);
        add(doc, TypRectangle, {0, 0}, {5, 5});
        Scale scale;
        scale.pixelLength = 100;
        scale.realLength = 5;
        const std::vector<ReferenceLine> earlier{ReferenceLine{{0, 0}, {1000, 0}, 50.2, 100}};

        ScaleCheckForm form;
        QString deviation;
        QString warning;
        int listed = 0;
        whenShown(&form, [&] {
            auto *f = shownModal<ScaleCheckForm>();
            QVERIFY(f);
            QCOMPARE(f->lineBox->count(), 1);
            QVERIFY(!f->keepButton->isEnabled());
            typeInto(f->realLengthField, QStringLiteral("25.5"));
            deviation = f->deviationLabel->text();
            warning = f->warningLabel->text();
            listed = f->checkList->topLevelItemCount();
            f->findChild<QPushButton *>(button)->click();
        });
        const std::optional<ScaleCheckOutcome> out = runScaleCheck(form, doc, earlier, scale, QStringLiteral("m"));
        QCOMPARE(deviation, QStringLiteral("Abweichung: -1.96 %"));
        QVERIFY(!warning.isEmpty());
        QCOMPARE(listed, 1);
        QVERIFY(out);
        QVERIFY(std::fabs(out->scale.xFactor() - factor) < 1e-12);
        QCOMPARE(out->check.realLength, 25.5);
        QCOMPARE(out->check.zoom, 200.0);
        QCOMPARE(out->check.b.y, 410.0);
    }

    void smallDeviationIsNoWarningAndCancelKeepsNothing()
    {
        Document doc;
        add(doc, TypDistance, {0, 0}, {500, 0});
        Scale scale;
        scale.pixelLength = 100;
        scale.realLength = 5;
        ScaleCheckForm form;
        QString warning = QStringLiteral("unset");
        whenShown(&form, [&] {
            auto *f = shownModal<ScaleCheckForm>();
            typeInto(f->realLengthField, QStringLiteral("25.2"));
            warning = f->warningLabel->text();
            f->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
        });
        QVERIFY(!runScaleCheck(form, doc, {}, scale, QStringLiteral("m")));
        QVERIFY(warning.isEmpty());
    }

    // A scan stretched by 4 % along y: the flat line is 16 m over 800 pixels, the upright one
    // 13.312 m over 640 pixels.
    void axisScaleFromTwoLines()
    {
        Document doc;
        add(doc, TypDistance, {20, 60}, {20, 700});
        add(doc, TypDistance, {50, 40}, {850, 40});
        AxisScaleForm form;
        bool okAtFirst = true;
        QString result;
        whenShown(&form, [&] {
            auto *f = shownModal<AxisScaleForm>();
            QVERIFY(f);
            okAtFirst = f->okButton->isEnabled();
            QCOMPARE(f->xLineBox->currentIndex(), 0); // the last drawn, flat line comes first
            QCOMPARE(f->yLineBox->currentIndex(), 1);
            typeInto(f->xLengthField, QStringLiteral("16"));
            typeInto(f->yLengthField, QStringLiteral("13.312"));
            result = f->resultLabel->text();
            f->okButton->click();
        });
        const std::optional<AxisScaleOutcome> out = runAxisScale(form, doc, QStringLiteral("m"));
        QVERIFY(!okAtFirst);
        QVERIFY(out);
        QVERIFY(out->scale.separateAxes);
        QVERIFY(std::fabs(out->scale.xFactor() - 0.02) < 1e-12);
        QVERIFY(std::fabs(out->scale.yFactor() - 0.0208) < 1e-12);
        QCOMPARE(out->lines[1].realLength, 13.312);
        QCOMPARE(result, QStringLiteral("X: 1 Pixel = 0.02000000 m, Y: 1 Pixel = 0.02080000 m, Y/X = 1.040000"));
    }

    void axisScaleNeedsTwoLines()
    {
        Document doc;
        add(doc, TypDistance, {50, 40}, {850, 40});
        AxisScaleForm form;
        bool ok = true;
        whenShown(&form, [&] {
            auto *f = shownModal<AxisScaleForm>();
            typeInto(f->xLengthField, QStringLiteral("16"));
            typeInto(f->yLengthField, QStringLiteral("16"));
            ok = f->okButton->isEnabled();
            f->reject();
        });
        QVERIFY(!runAxisScale(form, doc, QStringLiteral("m")));
        QVERIFY(!ok);
    }
};

QTEST_MAIN(TestScaleDialogs)
#include "tst_scaledialogs.moc"
