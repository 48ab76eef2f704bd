#include "core/optionsfile.h"
#include "dialoginput.h"
#include "ui/dialogs/massstabform.h"
#include "ui/dialogs/nachkommaform.h"
#include "ui/mainwindow/formstorage.h"
#include "ui/widgets/colorswatch.h"
#include "ui/widgets/numberfield.h"
#include "workspace/workspace.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

#include <memory>

namespace {

// Stands in for the main window: the components its stored values live in, found by name, and
// the label font it keeps in a work of its own.
class FakeMainWindow : public QWidget
{
public:
    FakeMainWindow()
    {
        for (const char *name : {"Anzeigen1", "BezeichnungfrElementeeingebenlassen1", "Ergebnisslisteanzeigen1",
                                 "NachMessungwiederdenZeigerauswhlen1",
                                 "PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1",
                                 "SchriftumrandenumdieLesbarkeitzuverbessern1"}) {
            auto *action = new QAction(this);
            action->setObjectName(QLatin1String(name));
            action->setCheckable(true);
        }
        auto *check = new QCheckBox(this);
        check->setObjectName(QStringLiteral("ShowPicCheck"));
        for (const char *name : {"WidthEd", "PfeillangEd"}) {
            auto *field = new QDoubleSpinBox(this);
            field->setObjectName(QLatin1String(name));
            field->setRange(0.1, 1000.0);
        }
        auto *swatch = new ColorSwatch(this);
        swatch->setObjectName(QStringLiteral("Shape1"));
        work.setLabelFont(LabelFont{QFont(QStringLiteral("Courier")), QColor(Qt::black)});
        storage = std::make_unique<FormStorage>(this, mainFormStoredProperties(work), FormStorage::Placement::Full,
                                                QStringLiteral("TMainForm"));
    }

    QAction *action(const char *name) const { return findChild<QAction *>(QLatin1String(name)); }
    QDoubleSpinBox *field(const char *name) const { return findChild<QDoubleSpinBox *>(QLatin1String(name)); }
    QCheckBox *showPic() const { return findChild<QCheckBox *>(QStringLiteral("ShowPicCheck")); }
    ColorSwatch *swatch() const { return findChild<ColorSwatch *>(QStringLiteral("Shape1")); }

    // Every stored value away from its initial value.
    void changeEverything()
    {
        const QList<QAction *> actions = findChildren<QAction *>();
        for (QAction *a : actions)
            a->setChecked(!a->isChecked());
        showPic()->setChecked(false);
        field("WidthEd")->setValue(3.5);
        field("PfeillangEd")->setValue(12.25);
        swatch()->setBrushColor(QColor(0, 128, 255));
        QFont changed(QStringLiteral("DejaVu Sans"));
        changed.setPixelSize(22);
        changed.setBold(true);
        changed.setUnderline(true);
        work.setLabelFont(LabelFont{changed, QColor(10, 20, 30)});
    }

    QFont font() const { return work.labelFont().font; }
    QColor fontColor() const { return work.labelFont().color; }

    Workspace work;
    std::unique_ptr<FormStorage> storage;
};

QString iniPath()
{
    return settingsFolder() + QStringLiteral("Tesselon.ini");
}

} // namespace

class TestFormStorage : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config;

private slots:
    void init()
    {
        config = freshSettingsFolder();
    }

    void nothingStoredGivesInitialValues()
    {
        FakeMainWindow main;
        main.changeEverything();
        QSignalSpy restored(main.storage.get(), &FormStorage::restored);
        main.storage->restoreNow();
        QCOMPARE(restored.size(), 1);
        QVERIFY(main.action("Anzeigen1")->isChecked());
        QVERIFY(main.action("BezeichnungfrElementeeingebenlassen1")->isChecked());
        QVERIFY(main.action("Ergebnisslisteanzeigen1")->isChecked());
        QVERIFY(!main.action("NachMessungwiederdenZeigerauswhlen1")->isChecked());
        QVERIFY(main.action("PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1")->isChecked());
        QVERIFY(!main.action("SchriftumrandenumdieLesbarkeitzuverbessern1")->isChecked());
        QVERIFY(main.showPic()->isChecked());
        QCOMPARE(main.field("WidthEd")->value(), 2.0);
        QCOMPARE(main.field("PfeillangEd")->value(), 30.0);
        QCOMPARE(main.swatch()->brushColor(), QColor(Qt::red));
        QCOMPARE(main.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(main.font().pixelSize(), 15);
        QVERIFY(!main.font().bold() && !main.font().italic() && !main.font().underline() && !main.font().strikeOut());
        QCOMPARE(main.fontColor(), QColor(Qt::red));

        TmassstabForm scale;
        scale.KommaEd->setValue(9);
        scale.PixelEd->setDecimals(1);
        scale.storage().restoreNow();
        QCOMPARE(scale.KommaEd->value(), 4);
        QCOMPARE(scale.PixelEd->decimals(), 4);
        QCOMPARE(scale.entsprichted->decimals(), 4);

        TNachkommaForm places;
        places.NachEd->setValue(9);
        places.Nach2Ed->setValue(9);
        places.storage().restoreNow();
        QCOMPARE(places.NachEd->value(), 2);
        QCOMPARE(places.Nach2Ed->value(), 4);
    }

    void mainWindowValuesSurviveARestart()
    {
        {
            FakeMainWindow main;
            main.show();
            main.changeEverything();
            main.close();
        }
        FakeMainWindow main;
        main.show();
        QVERIFY(!main.action("Anzeigen1")->isChecked());
        QVERIFY(main.action("NachMessungwiederdenZeigerauswhlen1")->isChecked());
        QVERIFY(!main.showPic()->isChecked());
        QCOMPARE(main.field("WidthEd")->value(), 3.5);
        QCOMPARE(main.field("PfeillangEd")->value(), 12.25);
        QCOMPARE(main.swatch()->brushColor(), QColor(0, 128, 255));
        QCOMPARE(main.font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(main.font().pixelSize(), 22);
        QVERIFY(main.font().bold() && main.font().underline() && !main.font().italic());
        QCOMPARE(main.fontColor(), QColor(10, 20, 30));

        const QSettings ini(iniPath(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("TMainForm/FontDialog1_Font_Height")).toString(), QStringLiteral("-22"));
        QCOMPARE(ini.value(QStringLiteral("TMainForm/FontDialog1_Font_Style")).toString(), QStringLiteral("5"));
        QCOMPARE(ini.value(QStringLiteral("TMainForm/Shape1_Brush_Color")).toString(), QStringLiteral("#0080ff"));
        QCOMPARE(ini.value(QStringLiteral("TMainForm/Anzeigen1_Checked")).toString(), QStringLiteral("false"));
    }

    void scaleDialogDecimalsSurviveARestart()
    {
        {
            TmassstabForm form;
            QTimer::singleShot(0, &form, [&form] {
                form.KommaEd->setValue(2);
                form.BitBtn1->click();
            });
            form.exec();
        }
        const QSettings ini(iniPath(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("TmassstabForm/KommaEd_Value")).toString(), QStringLiteral("2"));
        QCOMPARE(ini.value(QStringLiteral("TmassstabForm/PixelEd_Decimal")).toString(), QStringLiteral("2"));

        TmassstabForm form;
        QTimer::singleShot(0, &form, [&form] { form.BitBtn1->click(); });
        form.PixelEd->setValue(1.23456);
        form.exec();
        QCOMPARE(form.KommaEd->value(), 2);
        QCOMPARE(form.PixelEd->decimals(), 2);
        QCOMPARE(form.PixelEd->text(), QStringLiteral("1.23"));
    }

    void dialogDismissedWithoutOkStillStores()
    {
        {
            TNachkommaForm form;
            QTimer::singleShot(0, &form, [&form] {
                form.NachEd->setValue(7);
                form.Nach2Ed->setValue(1);
                form.close();
            });
            QCOMPARE(form.exec(), int(QDialog::Rejected));
        }
        TNachkommaForm form;
        form.storage().restoreNow();
        QCOMPARE(form.NachEd->value(), 7);
        QCOMPARE(form.Nach2Ed->value(), 1);
    }

    void storesAtDestructionOnlyAfterRestoring()
    {
        {
            TNachkommaForm form;
            form.storage().restoreNow();
            form.NachEd->setValue(5);
        }
        {
            // Never shown nor restored in this run: its designer values must not replace the 5.
            TNachkommaForm form;
            form.NachEd->setValue(0);
        }
        TNachkommaForm form;
        form.storage().restoreNow();
        QCOMPARE(form.NachEd->value(), 5);
    }

    void placementSurvives()
    {
        QRect placed;
        {
            TmassstabForm form;
            form.show();
            form.setGeometry(60, 70, 520, 430);
            placed = form.geometry();
            form.close();
        }
        TmassstabForm form;
        form.show();
        QCOMPARE(form.geometry(), placed);
        QVERIFY(!form.isMaximized());
        form.showMaximized();
        form.close();

        TmassstabForm again;
        again.show();
        QVERIFY(again.isMaximized());
        QCOMPARE(again.normalGeometry().size(), placed.size());
    }

    void placementOffEveryScreenKeepsOnlyTheSize()
    {
        {
            QSettings ini(iniPath(), QSettings::IniFormat);
            ini.beginGroup(QStringLiteral("TmassstabForm"));
            ini.setValue(QStringLiteral("Left"), -30000);
            ini.setValue(QStringLiteral("Top"), -30000);
            ini.setValue(QStringLiteral("Width"), 510);
            ini.setValue(QStringLiteral("Height"), 420);
            ini.setValue(QStringLiteral("State"), 1);
        }
        TmassstabForm form;
        form.show();
        QCOMPARE(form.size(), QSize(510, 420));
        QVERIFY(form.geometry().left() > -30000);
        // Left minimized last time, it comes back where it can be seen.
        QVERIFY(!form.isMinimized());
    }

    void stateOnlyPlacementStoresNoPosition()
    {
        {
            QWidget window;
            FormStorage storage(&window, {}, FormStorage::Placement::StateOnly, QStringLiteral("TPrintForm"));
            window.showMaximized();
            window.close();
        }
        QSettings ini(iniPath(), QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("TPrintForm"));
        QCOMPARE(ini.childKeys(), QStringList{QStringLiteral("State")});
        QCOMPARE(ini.value(QStringLiteral("State")).toInt(), 2);
    }

    void unreadableValuesFallBackToInitial_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters for a number") << "NachEd_Value" << "zwei";
        QTest::newRow("decimal comma") << "WidthEd_Value" << "3,5";
        QTest::newRow("word for a check mark") << "Anzeigen1_Checked" << "vielleicht";
        QTest::newRow("no colour") << "Shape1_Brush_Color" << "#zzzzzz";
        QTest::newRow("no font colour") << "FontDialog1_Font_Color" << "rot";
    }

    void unreadableValuesFallBackToInitial()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        {
            QSettings ini(iniPath(), QSettings::IniFormat);
            ini.setValue(QStringLiteral("TNachkommaForm/") + key, text);
            ini.setValue(QStringLiteral("TMainForm/") + key, text);
        }
        TNachkommaForm places;
        places.NachEd->setValue(9);
        places.storage().restoreNow();
        QCOMPARE(places.NachEd->value(), 2);

        FakeMainWindow main;
        main.changeEverything();
        main.storage->restoreNow();
        QCOMPARE(main.field("WidthEd")->value(), 2.0);
        QVERIFY(main.action("Anzeigen1")->isChecked());
        QCOMPARE(main.swatch()->brushColor(), QColor(Qt::red));
        QCOMPARE(main.fontColor(), QColor(Qt::red));
    }
};

QTEST_MAIN(TestFormStorage)
#include "tst_formstorage.moc"
