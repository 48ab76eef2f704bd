#include "core/numberformat.h"
#include "core/translate.h"
#include "dialoginput.h"
#include "ui/dialogs/massstabform.h"
#include "ui/mainwindow/formstorage.h"
#include "ui/widgets/numberfield.h"

#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace {

TmassstabForm *shownForm()
{
    return qobject_cast<TmassstabForm *>(QApplication::activeModalWidget());
}

struct MessageSeen {
    bool shown = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
};

// Answers the next message box through its OK button and records what it showed. The answer
// is dropped with context, so a box that never came cannot leave it pending for a later case.
void answerMessage(QObject *context, MessageSeen &seen)
{
    QTimer::singleShot(0, context, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.shown = true;
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}

QList<SavedScale> threeRows()
{
    return {{QStringLiteral("Plan"), QStringLiteral("200.0000000000"), QStringLiteral("50.0000000000"),
             QStringLiteral("mm")},
            {QStringLiteral("A4 Plan"), QStringLiteral("123.4568000000"), QStringLiteral("2.5000000000"),
             QStringLiteral("cm")},
            {QStringLiteral("Karte"), QStringLiteral("1000.0000000000"), QStringLiteral("1.0000000000"),
             QStringLiteral("km")}};
}

} // namespace

class TestMassstabForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config;

private slots:
    void init()
    {
        // Each case starts without stored dialog settings.
        config = freshSettingsFolder();
    }

    void startsWithMillimetresAndFourDecimals()
    {
        TmassstabForm form;
        QCOMPARE(form.EinheitEd->count(), 13);
        QCOMPARE(form.EinheitEd->currentText(), QStringLiteral("mm"));
        QCOMPARE(form.EinheitEd->itemText(12), QStringLiteral("pm"));
        QCOMPARE(form.KommaEd->value(), 4);
        QCOMPARE(form.PixelEd->decimals(), 4);
        QCOMPARE(form.entsprichted->decimals(), 4);
    }

    void scaleTwoHundredPixelsIsFiftyMillimetres()
    {
        TmassstabForm form;
        int writes = 0;
        whenShown(&form, [] {
            TmassstabForm *f = shownForm();
            QVERIFY(f);
            typeInto(f->PixelEd, QStringLiteral("200"));
            typeInto(f->entsprichted, QStringLiteral("50"));
            f->EinheitEd->setEditText(QStringLiteral("mm"));
            f->BitBtn1->click();
        });
        const ScaleDialogValues r = runScaleDialog(form, {1.0, 1.0, QStringLiteral("Pixel"), true},
                                                   [&writes](const QList<SavedScale> &) { ++writes; });
        QCOMPARE(writes, 1);
        QCOMPARE(r.pixelLength, 200.0);
        QCOMPARE(r.realLength, 50.0);
        QCOMPARE(r.unit, QStringLiteral("mm"));
        QVERIFY(r.showScale);
        // A line of 100 pixels, multiplied by realLength first and then divided by pixelLength.
        QCOMPARE(F(100.0 * r.realLength / r.pixelLength, 2), QStringLiteral("25.00"));
    }

    void graphicScalePresetShowsMeasuredLength()
    {
        TmassstabForm form;
        QString pixelShown, valueShown;
        whenShown(&form, [&] {
            TmassstabForm *f = shownForm();
            QVERIFY(f);
            pixelShown = f->PixelEd->text();
            valueShown = f->entsprichted->text();
            typeInto(f->entsprichted, QStringLiteral("20"));
            f->EinheitEd->setCurrentIndex(1);
            f->BitBtn1->click();
        });
        const ScaleDialogValues r = runScaleDialog(form, {80.0, 80.0, QStringLiteral("Pixel"), true}, {});
        QCOMPARE(pixelShown, QStringLiteral("80.0000"));
        QCOMPARE(valueShown, QStringLiteral("80.0000"));
        QCOMPARE(r.realLength / r.pixelLength, 0.25);
        QCOMPARE(r.unit, QStringLiteral("cm"));
        QCOMPARE(F(80.0 * r.realLength / r.pixelLength, 2), QStringLiteral("20.00"));
    }

    void presetComesBackRoundedToShownDecimals_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("preset");
        QTest::addColumn<double>("expected");
        QTest::newRow("4 decimals") << 4 << 123.456789 << 123.4568;
        QTest::newRow("2 decimals") << 2 << 123.456789 << 123.46;
        QTest::newRow("whole numbers") << 0 << 123.456789 << 123.0;
        QTest::newRow("20 decimals shown as 18") << 20 << 0.1 << 0.1;
        QTest::newRow("beyond 15 digits") << 4 << 1234567890123456789.0 << 1.23456789012346e18;
    }

    void presetComesBackRoundedToShownDecimals()
    {
        QFETCH(int, decimals);
        QFETCH(double, preset);
        QFETCH(double, expected);
        TmassstabForm form;
        // What the user left in KommaEd last time is what the dialog restores.
        form.KommaEd->setValue(decimals);
        form.storage().storeNow();
        whenShown(&form, [] { shownForm()->BitBtn1->click(); });
        const ScaleDialogValues r = runScaleDialog(form, {preset, 1.0, QStringLiteral("mm"), true}, {});
        QCOMPARE(r.pixelLength, expected);
        QCOMPARE(form.PixelEd->value(), expected);
    }

    void komaEdAtZeroGivesWholeNumbers()
    {
        TmassstabForm form;
        form.KommaEd->setValue(0);
        QCOMPARE(form.PixelEd->decimals(), 0);
        QCOMPARE(form.entsprichted->decimals(), 0);
        form.PixelEd->setValue(12.7);
        QCOMPARE(form.PixelEd->text(), QStringLiteral("13"));
        QCOMPARE(form.PixelEd->value(), 13.0);
        form.PixelEd->stepBy(2);
        QCOMPARE(form.PixelEd->text(), QStringLiteral("15"));
    }

    void changingDecimalsReformatsTheShownValue()
    {
        TmassstabForm form;
        form.entsprichted->setValue(2.5);
        QCOMPARE(form.entsprichted->text(), QStringLiteral("2.5000"));
        form.KommaEd->setValue(1);
        QCOMPARE(form.entsprichted->text(), QStringLiteral("2.5"));
        form.KommaEd->setValue(0);
        QCOMPARE(form.entsprichted->text(), QStringLiteral("3"));
        // Rounding is not undone by showing more decimals again.
        form.KommaEd->setValue(4);
        QCOMPARE(form.entsprichted->text(), QStringLiteral("3.0000"));
    }

    void saveAppendsRowWithTenDecimals()
    {
        TmassstabForm form;
        form.setSavedScales(threeRows().mid(0, 1));
        form.NameEd->setText(QStringLiteral("A4 Plan"));
        form.PixelEd->setValue(123.456789);
        form.entsprichted->setValue(2.5);
        form.EinheitEd->setEditText(QStringLiteral("cm"));
        form.BitBtn2->click();
        // Empty and repeated names are accepted as they stand.
        form.NameEd->clear();
        form.BitBtn2->click();
        const QList<SavedScale> rows = form.savedScales();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(1), threeRows().at(1));
        QCOMPARE(rows.at(2).name, QString());
        QCOMPARE(rows.at(2).pixel, QStringLiteral("123.4568000000"));
    }

    void loadedRowsKeepTheirOrderAndTexts()
    {
        TmassstabForm form;
        form.setSavedScales(threeRows());
        QCOMPARE(form.savedScales(), threeRows());
        QCOMPARE(form.ListView1->topLevelItem(2)->text(0), QStringLiteral("Karte"));
        form.setSavedScales({});
        QCOMPARE(form.ListView1->topLevelItemCount(), 0);
    }

    void recallSelectedRow_data()
    {
        QTest::addColumn<QString>("pixel");
        QTest::addColumn<QString>("value");
        QTest::addColumn<double>("pixelAfter");
        QTest::addColumn<double>("valueAfter");
        QTest::addColumn<QString>("unitAfter");
        QTest::newRow("readable row") << "123.4568000000" << "2.5000000000" << 123.4568 << 2.5 << "cm";
        QTest::newRow("pixel text unreadable") << "12,5" << "2.5000000000" << 7.0 << 8.0 << "mm";
        QTest::newRow("value text unreadable") << "123.4568000000" << "" << 123.4568 << 8.0 << "mm";
    }

    void recallSelectedRow()
    {
        QFETCH(QString, pixel);
        QFETCH(QString, value);
        QFETCH(double, pixelAfter);
        QFETCH(double, valueAfter);
        QFETCH(QString, unitAfter);
        TmassstabForm form;
        QList<SavedScale> rows = threeRows();
        rows[1].pixel = pixel;
        rows[1].value = value;
        form.setSavedScales(rows);
        form.PixelEd->setValue(7.0);
        form.entsprichted->setValue(8.0);
        form.ListView1->topLevelItem(1)->setSelected(true);
        MessageSeen seen;
        answerMessage(&form, seen);
        form.BitBtn3->click();
        QVERIFY(!seen.shown);
        // The name comes first, so it is taken even when a number then stops the recall.
        QCOMPARE(form.NameEd->text(), QStringLiteral("A4 Plan"));
        QCOMPARE(form.PixelEd->value(), pixelAfter);
        QCOMPARE(form.entsprichted->value(), valueAfter);
        QCOMPARE(form.EinheitEd->currentText(), unitAfter);
        QCOMPARE(form.savedScales(), rows);
    }

    void deleteSelectedRow()
    {
        TmassstabForm form;
        form.setSavedScales(threeRows());
        form.ListView1->topLevelItem(1)->setSelected(true);
        form.BitBtn4->click();
        QList<SavedScale> expected = threeRows();
        expected.removeAt(1);
        QCOMPARE(form.savedScales(), expected);
        // Nothing is selected afterwards: a second press asks for a row instead of deleting one.
        MessageSeen seen;
        answerMessage(&form, seen);
        form.BitBtn4->click();
        QVERIFY(seen.shown);
        QCOMPARE(form.savedScales(), expected);
    }

    void recallOrDeleteWithoutSelectionShowsMessage29_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("recall") << "BitBtn3";
        QTest::newRow("delete") << "BitBtn4";
    }

    void recallOrDeleteWithoutSelectionShowsMessage29()
    {
        QFETCH(QString, button);
        TmassstabForm form;
        form.setSavedScales(threeRows());
        form.NameEd->setText(QStringLiteral("unchanged"));
        MessageSeen seen;
        answerMessage(&form, seen);
        form.findChild<QPushButton *>(button)->click();
        QVERIFY(seen.shown);
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.title, QString());
        QCOMPARE(seen.text, Message(29));
        QVERIFY(!seen.text.isEmpty());
        QCOMPARE(form.savedScales(), threeRows());
        QCOMPARE(form.NameEd->text(), QStringLiteral("unchanged"));
    }

    void closeBoxAppliesTheFields()
    {
        TmassstabForm form;
        QList<SavedScale> written;
        whenShown(&form, [] {
            TmassstabForm *f = shownForm();
            QVERIFY(f);
            typeInto(f->PixelEd, QStringLiteral("300"));
            f->CheckBox1->setChecked(false);
            f->NameEd->setText(QStringLiteral("Neu"));
            f->BitBtn2->click();
            f->close();
        });
        const ScaleDialogValues r = runScaleDialog(form, {1.0, 1.0, QStringLiteral("Pixel"), true},
                                                   [&written](const QList<SavedScale> &rows) { written = rows; });
        QCOMPARE(r.pixelLength, 300.0);
        QVERIFY(!r.showScale);
        QCOMPARE(r.unit, QStringLiteral("Pixel"));
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.at(0).pixel, QStringLiteral("300.0000000000"));
    }

    void zeroSideBecomesOne_data()
    {
        QTest::addColumn<QString>("pixel");
        QTest::addColumn<QString>("value");
        QTest::addColumn<double>("pixelLength");
        QTest::addColumn<double>("realLength");
        QTest::newRow("pixel side 0") << "0" << "5" << 1.0 << 5.0;
        QTest::newRow("real side 0") << "5" << "0" << 5.0 << 1.0;
        QTest::newRow("zero with decimals") << "0.0000" << "5" << 1.0 << 5.0;
        QTest::newRow("more decimals typed than shown") << "0.00001" << "5" << 0.00001 << 5.0;
        QTest::newRow("emptied field") << "" << "5" << 1.0 << 5.0;
        QTest::newRow("negative accepted") << "-40" << "-2" << -40.0 << -2.0;
    }

    void zeroSideBecomesOne()
    {
        QFETCH(QString, pixel);
        QFETCH(QString, value);
        QFETCH(double, pixelLength);
        QFETCH(double, realLength);
        TmassstabForm form;
        whenShown(&form, [pixel, value] {
            TmassstabForm *f = shownForm();
            QVERIFY(f);
            f->PixelEd->findChild<QLineEdit *>()->setText(pixel);
            f->entsprichted->findChild<QLineEdit *>()->setText(value);
            f->BitBtn1->click();
        });
        const ScaleDialogValues r = runScaleDialog(form, {3.0, 3.0, QStringLiteral("mm"), true}, {});
        QCOMPARE(r.pixelLength, pixelLength);
        QCOMPARE(r.realLength, realLength);
    }
};

QTEST_MAIN(TestMassstabForm)
#include "tst_massstabform.moc"
