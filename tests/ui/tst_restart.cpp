// A first start on a new account, and what survives a restart: the language and saved scales
// (options file) and the stored window settings.
#include "core/optionsfile.h"
#include "core/translate.h"
#include "translationfixture.h"
#include "ui/dialogs/massstabform.h"
#include "ui/mainwindow/formstorage.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/mainmenus.h"
#include "ui/mainwindow/settingsrow.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QTreeView>
#include <QtTest>

#include <memory>

class TestRestart : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void firstStartComesUpInEnglish();
    void settingsSurviveARestart();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestRestart::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    qputenv("XDG_CONFIG_HOME", dir->filePath(QStringLiteral("config")).toUtf8());
    useTranslationRows(*dir, {{QStringLiteral("Pixel"), QStringLiteral("Pixel"), QStringLiteral("Pixel")}});
}

void TestRestart::firstStartComesUpInEnglish()
{
    QVERIFY(!QFile::exists(optionsFilePath()));
    TMainForm form;
    form.show();
    QCOMPARE(form.language(), 1);
    QCOMPARE(languageIndex(), 1);
    QVERIFY(form.menus.english->isChecked());
    QVERIFY(!form.menus.german->isChecked());
    QVERIFY(form.massstabForm->savedScales().isEmpty());
    QVERIFY(form.ListView1->isVisible());
}

void TestRestart::settingsSurviveARestart()
{
    const QList<SavedScale> scales{{QStringLiteral("A4 Plan"), QStringLiteral("123.4568000000"),
                                    QStringLiteral("2.5000000000"), QStringLiteral("cm")}};
    {
        TMainForm form;
        form.show();
        form.settings.WidthEd->setValue(4.5);
        form.menus.showResultsList->trigger();
        form.settings.ShowPicCheck->setChecked(false);
        form.massstabForm->setSavedScales(scales);
        form.setLanguage(2);
        QVERIFY(form.SaveOptions());
        form.close();
    }
    TMainForm again;
    again.show();
    QCOMPARE(again.language(), 2);
    QCOMPARE(languageIndex(), 2);
    QVERIFY(again.menus.italian->isChecked());
    QCOMPARE(again.settings.WidthEd->value(), 4.5);
    QVERIFY(!again.settings.ShowPicCheck->isChecked());
    QVERIFY(!again.menus.showResultsList->isChecked());
    QVERIFY(!again.ListView1->isVisible());
    const QList<SavedScale> restored = again.massstabForm->savedScales();
    QCOMPARE(restored.size(), 1);
    QCOMPARE(restored.first().name, scales.first().name);
    QCOMPARE(restored.first().pixel, scales.first().pixel);
    QCOMPARE(restored.first().value, scales.first().value);
    QCOMPARE(restored.first().unit, scales.first().unit);
}

QTEST_MAIN(TestRestart)
#include "tst_restart.moc"
