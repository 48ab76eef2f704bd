#include "core/optionsfile.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "translationfixture.h"
#include "ui/commands/languagecommands.h"
#include "ui/translation/qttranslations.h"
#include "ui/translation/translateform.h"
#include "ui/translation/translationmodel.h"

#include <QtTest>

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

const QList<QStringList> rows = {
    {"Bitte schließen Sie das Programm und starten Sie es erneut.", "Please close the program and start it again.",
     "Chiudere il programma e riavviarlo."},
    {"Übersetzen", "Translation", "Traduzione"},
};

// The language menu as the main window has it: three exclusive items and the editor's item.
struct Window {
    std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
    QAction *items[3] = {};
    QAction *editorItem = nullptr;
    TTranslateForm *editor = nullptr;
    int languageIndex = 1;
    bool tickingLanguage = false;
    LanguageCommands *commands = nullptr;

    explicit Window(const QString &optionsPath)
    {
        QMenu *menu = window->menuBar()->addMenu(QStringLiteral("Sprache"));
        auto *group = new QActionGroup(window.get());
        const char *names[3] = {"Deutsch1", "English1", "Italiano1"};
        const char *captions[3] = {"Deutsch", "English", "Italiano"};
        for (int i = 0; i < 3; ++i) {
            items[i] = new QAction(QString::fromUtf8(captions[i]), window.get());
            items[i]->setObjectName(QLatin1String(names[i]));
            items[i]->setCheckable(true);
            // The window makes the items available only once their commands are wired.
            items[i]->setEnabled(false);
            group->addAction(items[i]);
            menu->addAction(items[i]);
        }
        items[1]->setChecked(true);
        editorItem = new QAction(QStringLiteral("Übersetzen..."), window.get());
        editorItem->setObjectName(QStringLiteral("bersetzen1"));
        editorItem->setEnabled(false);
        menu->addAction(editorItem);
        editor = new TTranslateForm(window.get());
        commands = new LanguageCommands(window.get(), languageIndex, tickingLanguage, editor);
        commands->setOptionsPath(optionsPath);
    }

    int ticked() const
    {
        for (int i = 0; i < 3; ++i)
            if (items[i]->isChecked())
                return i;
        return -1;
    }
};

} // namespace

class TestLanguageCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString optionsPath;

private slots:
    void init();
    void cleanup();

    void choosingWritesOptionsAndNoticeInNewLanguage_data();
    void choosingWritesOptionsAndNoticeInNewLanguage();
    void savedScalesAreKept();
    void scaleSourceGivesTheScales();
    void guardStopsTheCommand();
    void tickLanguageRunsNoCommand();
    void unwritableOptionsAreReported();
    void editorOpensAndNoticeFollows();
    void defaultOptionsPathIsTheSettingsFolder();
    void qtTranslations_data();
    void qtTranslations();
};

void TestLanguageCommands::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    useTranslationRows(*dir, rows);
    optionsPath = dir->filePath(QStringLiteral("config/options.dat"));
    setLanguageIndex(1);
}

void TestLanguageCommands::cleanup()
{
    setLanguageIndex(0);
    installQtTranslations(1);
    dir.reset();
}

void TestLanguageCommands::choosingWritesOptionsAndNoticeInNewLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("Deutsch") << 0 << "Bitte schließen Sie das Programm und starten Sie es erneut." << "Übersetzen"
                             << "Abbrechen";
    QTest::newRow("English again") << 1 << "Please close the program and start it again." << "Translation"
                                   << "Cancel";
    QTest::newRow("Italiano") << 2 << "Chiudere il programma e riavviarlo." << "Traduzione" << "Annulla";
}

void TestLanguageCommands::choosingWritesOptionsAndNoticeInNewLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, notice);
    QFETCH(QString, caption);
    QFETCH(QString, cancel);
    Window w(optionsPath);
    QVERIFY(w.items[language]->isEnabled());

    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);
    w.items[language]->trigger();

    QCOMPARE(box.text, notice);
    QCOMPARE(box.caption, caption);
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(w.ticked(), language);
    QCOMPARE(w.languageIndex, language);
    QCOMPARE(languageIndex(), language);
    QVERIFY(!w.tickingLanguage);
    Options stored;
    QVERIFY(LoadOptions(optionsPath, stored));
    QCOMPARE(stored.language, language);
    // Qt's own texts follow at once, like the messages.
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove(u'&'), cancel);
}

void TestLanguageCommands::savedScalesAreKept()
{
    Options before;
    before.language = 1;
    before.scales = {{QStringLiteral("A4 Plan"), QStringLiteral("123.4568000000"), QStringLiteral("2.5000000000"),
                      QStringLiteral("cm")}};
    QVERIFY(SaveOptions(optionsPath, before));
    Window w(optionsPath);
    answerNextBox(QMessageBox::Ok);
    w.items[2]->trigger();
    Options after;
    QVERIFY(LoadOptions(optionsPath, after));
    QCOMPARE(after.language, 2);
    QCOMPARE(after.scales, before.scales);
}

void TestLanguageCommands::scaleSourceGivesTheScales()
{
    const QList<SavedScale> listed{{QStringLiteral("Plan"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("m")}};
    Window w(optionsPath);
    w.commands->setScaleSource([listed] { return listed; });
    answerNextBox(QMessageBox::Ok);
    w.items[0]->trigger();
    Options after;
    QVERIFY(LoadOptions(optionsPath, after));
    QCOMPARE(after.language, 0);
    QCOMPARE(after.scales, listed);
}

void TestLanguageCommands::guardStopsTheCommand()
{
    Window w(optionsPath);
    w.tickingLanguage = true;
    w.items[2]->trigger();
    QTest::qWait(50);
    QVERIFY(!QFile::exists(optionsPath));
    QCOMPARE(w.languageIndex, 1);
    QCOMPARE(languageIndex(), 1);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestLanguageCommands::tickLanguageRunsNoCommand()
{
    Window w(optionsPath);
    int triggered = 0;
    for (QAction *item : w.items)
        connect(item, &QAction::triggered, [&triggered] { ++triggered; });
    w.commands->tickLanguage(2);
    QCOMPARE(w.ticked(), 2);
    QVERIFY(!w.tickingLanguage);
    QCOMPARE(triggered, 0);
    QVERIFY(!QFile::exists(optionsPath));
}

void TestLanguageCommands::unwritableOptionsAreReported()
{
    // A file where the folder should be: the options cannot be written.
    QFile blocker(dir->filePath(QStringLiteral("config")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Window w(optionsPath);
    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);
    w.items[2]->trigger();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY(box.text.contains(QStringLiteral("options.dat")));
}

void TestLanguageCommands::editorOpensAndNoticeFollows()
{
    Window w(optionsPath);
    QVERIFY(w.editorItem->isEnabled());
    translationTable().addRow(QStringLiteral("Neu gesammelt"));
    int rowsShown = -1;
    QTimer::singleShot(0, [&] {
        rowsShown = w.editor->model->rowCount();
        w.editor->BackBtn->click();
    });
    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);
    w.editorItem->trigger();
    // The editor was filled before it showed, and the notice came after it closed.
    QCOMPARE(rowsShown, translationTable().rowCount());
    QCOMPARE(box.text, QStringLiteral("Please close the program and start it again."));
    QVERIFY(!w.editor->isVisible());
}

void TestLanguageCommands::defaultOptionsPathIsTheSettingsFolder()
{
    QMainWindow window;
    int language = 0;
    bool guard = false;
    LanguageCommands commands(&window, language, guard, nullptr);
    QCOMPARE(commands.optionsPath(), settingsFolder() + QStringLiteral("options.dat"));
}

void TestLanguageCommands::qtTranslations_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("German") << 0 << "Abbrechen";
    QTest::newRow("English") << 1 << "Cancel";
    QTest::newRow("Italian") << 2 << "Annulla";
    QTest::newRow("further language") << 7 << "Cancel";
}

void TestLanguageCommands::qtTranslations()
{
    QFETCH(int, language);
    QFETCH(QString, cancel);
    QVERIFY(installQtTranslations(2));
    QVERIFY(installQtTranslations(language));
    // A button box made now speaks the language, as the message boxes and Qt's dialogs do.
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), cancel);
}

QTEST_MAIN(TestLanguageCommands)
#include "tst_languagecommands.moc"
