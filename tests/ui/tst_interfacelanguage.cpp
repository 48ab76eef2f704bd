#include "core/optionsfile.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "translationfixture.h"
#include "ui/mainwindow/mainform.h"
#include "ui/translation/qttranslations.h"
#include "ui/translation/translatewalk.h"

#include <QtTest>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractPrintDialog>
#include <QAbstractSpinBox>
#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QErrorMessage>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>

#include <memory>

// Starts the main window as a user would, in each language, and reads every text it and its
// dialogs show. The walk that translates them is tested on its own; this test finds what the
// walk or the shipped table leave German: a kind of text the walk misses, a text the table lacks,
// a text set after the windows were translated.

namespace {

const char *const languageNames[] = {"German", "English", "Italian"};

QString shippedTablePath()
{
    return QStringLiteral(TESSELON_BINARY_DIR "/bin/translate.dat");
}

// One text as the user sees it, with where it was found for the failure report.
struct ShownText {
    QString text;
    QString where;
};

bool insideQtDialog(const QObject *object)
{
    for (const QObject *up = object->parent(); up; up = up->parent())
        if (isQtDialog(up))
            return true;
    return false;
}

// The description of a file dialog filter entry, without its "(*.ext)" part.
QString filterDescription(const QString &entry)
{
    if (entry.endsWith(u')')) {
        const qsizetype open = entry.lastIndexOf(u'(');
        if (open >= 0)
            return entry.left(open).trimmed();
    }
    return entry.trimmed();
}

// Collects every text a window shows or can show: its title, the captions, hints, items and
// column titles of everything it owns, the actions of its menus and the file types of its file
// dialogs. Texts the user types or loads (names, scales, table cells) are not the interface's.
class TextCollector
{
public:
    QList<ShownText> texts;

    void collect(QWidget *window)
    {
        visit(window);
        const QList<QObject *> owned = window->findChildren<QObject *>();
        for (QObject *object : owned)
            if (!insideQtDialog(object))
                visit(object);
    }

private:
    QSet<const QAbstractItemModel *> models;

    void add(const QString &text, const QObject *object, const char *kind)
    {
        const QString trimmed = text.trimmed();
        if (trimmed.isEmpty())
            return;
        QString where = object->objectName();
        for (const QObject *up = object->parent(); up; up = up->parent())
            if (!up->objectName().isEmpty()) {
                where = up->objectName() + u'/' + where;
                if (up->isWidgetType() && static_cast<const QWidget *>(up)->isWindow())
                    break;
            }
        texts.append({trimmed, QStringLiteral("%1 [%2 %3]").arg(where, QLatin1String(object->metaObject()->className()),
                                                                QLatin1String(kind))});
    }

    void addLines(const QString &text, const QObject *object)
    {
        for (const QString &line : text.split(u'\n'))
            add(line, object, "line");
    }

    void addFilters(const QStringList &entries, const QObject *object)
    {
        for (const QString &entry : entries)
            add(filterDescription(entry), object, "file type");
    }

    void visit(QObject *object)
    {
        const QVariant filter = object->property("filter");
        if (filter.typeId() == QMetaType::QString)
            addFilters(filter.toString().split(QStringLiteral(";;")), object);
        if (auto *action = qobject_cast<QAction *>(object))
            visitAction(action);
        else if (auto *widget = qobject_cast<QWidget *>(object))
            visitWidget(widget);
    }

    void visitAction(QAction *action)
    {
        if (action->isSeparator())
            return;
        add(action->text(), action, "text");
        if (action->toolTip() != derivedToolTip(action->text()))
            add(action->toolTip(), action, "hint");
        add(action->statusTip(), action, "status tip");
    }

    void visitWidget(QWidget *widget)
    {
        if (auto *dialog = qobject_cast<QFileDialog *>(widget)) {
            // Qt names a file dialog "Open" or "Save As" in the language of its own translations.
            const QString title = dialog->windowTitle();
            if (title != QFileDialog::tr("Open") && title != QFileDialog::tr("Save As"))
                add(title, dialog, "title");
            addFilters(dialog->nameFilters(), dialog);
            return;
        }
        if (isQtDialog(widget))
            return;
        if (widget->isWindow())
            add(widget->windowTitle(), widget, "title");
        add(widget->toolTip(), widget, "hint");
        add(widget->statusTip(), widget, "status tip");

        if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            add(button->text(), button, "caption");
        } else if (auto *menu = qobject_cast<QMenu *>(widget)) {
            add(menu->title(), menu, "title");
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            add(label->text(), label, "caption");
        } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
            add(group->title(), group, "title");
        } else if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(tabs->tabText(i), tabs, "tab");
                add(tabs->tabToolTip(i), tabs, "tab hint");
            }
        } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            if (!qobject_cast<QFontComboBox *>(combo))
                for (int i = 0; i < combo->count(); ++i)
                    add(combo->itemText(i), combo, "item");
        } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget)) {
            add(spin->specialValueText(), spin, "special value");
            if (auto *whole = qobject_cast<QSpinBox *>(spin)) {
                add(whole->prefix(), spin, "prefix");
                add(whole->suffix(), spin, "suffix");
            } else if (auto *real = qobject_cast<QDoubleSpinBox *>(spin)) {
                add(real->prefix(), spin, "prefix");
                add(real->suffix(), spin, "suffix");
            }
        } else if (auto *view = qobject_cast<QAbstractItemView *>(widget)) {
            visitHeaders(view->model(), view);
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
            addLines(plain->toPlainText(), plain);
        } else if (auto *rich = qobject_cast<QTextEdit *>(widget)) {
            addLines(rich->toPlainText(), rich);
        } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            // The line edits of spin boxes and combo boxes show their owner's value.
            if (!qobject_cast<QAbstractSpinBox *>(edit->parent()) && !qobject_cast<QComboBox *>(edit->parent()))
                add(edit->text(), edit, "text");
            add(edit->placeholderText(), edit, "placeholder");
        } else if (auto *status = qobject_cast<QStatusBar *>(widget)) {
            add(status->currentMessage(), status, "message");
        }
    }

    void visitHeaders(const QAbstractItemModel *model, const QObject *view)
    {
        if (!model || models.contains(model))
            return;
        models.insert(model);
        for (int section = 0; section < model->columnCount(); ++section) {
            const QVariant caption = model->headerData(section, Qt::Horizontal, Qt::DisplayRole);
            if (caption.typeId() == QMetaType::QString)
                add(caption.toString(), view, "column title");
        }
    }
};

bool isNumber(const QString &text)
{
    bool ok = false;
    QLocale::c().toDouble(text, &ok);
    return ok;
}

// A file type named by its format's abbreviation ("PNG", "JPEG2000") reads the same everywhere.
bool isFormatName(const QString &text)
{
    for (const QChar c : text)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

QSet<QString> germanKeys(const TranslationTable &table)
{
    QSet<QString> keys;
    for (int row = 0; row < table.rowCount(); ++row)
        keys.insert(table.text(row, 0));
    return keys;
}

} // namespace

class TestInterfaceLanguage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    // The shipped table as the build made it, never written to.
    TranslationTable shipped;
    QString tableCopy;

    // Points the program's table at a copy of the shipped one in the test's folder.
    bool useShippedTable();
    // Writes the options of a previous run: the language it chose.
    static bool storeLanguage(int language);
    QString shippedText(const QString &german, int language) const;

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyTextInTheLanguage_data();
    void everyTextInTheLanguage();
    void germanStartAddsOnlyTheMessages_data();
    void germanStartAddsOnlyTheMessages();
    void languageChoiceTakesEffectAtNextStart_data();
    void languageChoiceTakesEffectAtNextStart();
};

void TestInterfaceLanguage::initTestCase()
{
    QVERIFY2(QFile::exists(shippedTablePath()), "build the translate_dat target first");
    shipped.setPaths(shippedTablePath(), QString());
    QVERIFY(shipped.load());
    QVERIFY(shipped.rowCount() > 0);
}

void TestInterfaceLanguage::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    // Options and stored window settings of the test's own, fresh for every start.
    qputenv("XDG_CONFIG_HOME", dir->filePath(QStringLiteral("config")).toUtf8());
    tableCopy = dir->filePath(QStringLiteral("translate.dat"));
    setLanguageIndex(0);
}

void TestInterfaceLanguage::cleanup()
{
    setLanguageIndex(0);
    installQtTranslations(1);
    translationTable().clear();
    dir.reset();
}

bool TestInterfaceLanguage::useShippedTable()
{
    if (!QFile::copy(shippedTablePath(), tableCopy) ||
        !QFile::setPermissions(tableCopy, QFile::ReadOwner | QFile::WriteOwner))
        return false;
    TranslationTable &table = translationTable();
    table.setPaths(tableCopy, dir->filePath(QStringLiteral("config/Kovrant/Tesselon/translate.dat")));
    return table.load() && table.rowCount() == shipped.rowCount();
}

bool TestInterfaceLanguage::storeLanguage(int language)
{
    Options options;
    options.language = language;
    return SaveOptions(optionsFilePath(), options);
}

QString TestInterfaceLanguage::shippedText(const QString &german, int language) const
{
    const int row = shipped.find(german);
    return row < 0 ? QString() : shipped.text(row, language);
}

void TestInterfaceLanguage::everyTextInTheLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < 3; ++language)
        QTest::newRow(languageNames[language]) << language;
}

void TestInterfaceLanguage::everyTextInTheLanguage()
{
    QFETCH(int, language);
    QVERIFY(useShippedTable());
    QVERIFY(storeLanguage(language));

    auto form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(languageIndex(), language);

    TextCollector collector;
    collector.collect(form.get());
    QVERIFY(collector.texts.size() > 100);

    // Every text the interface shows in this language, and the German texts that should not be.
    QSet<QString> known;
    QHash<QString, QString> translationOf;
    for (int row = 0; row < shipped.rowCount(); ++row) {
        known.insert(shipped.text(row, language));
        if (shipped.text(row, language) != shipped.text(row, 0))
            translationOf.insert(shipped.text(row, 0), shipped.text(row, language));
    }

    QStringList problems;
    for (const ShownText &shown : std::as_const(collector.texts)) {
        if (translationOf.contains(shown.text))
            problems << QStringLiteral("left in German: \"%1\" (should be \"%2\") at %3")
                            .arg(shown.text, translationOf.value(shown.text), shown.where);
        else if (!known.contains(shown.text) && !isNumber(shown.text) && !isFormatName(shown.text))
            problems << QStringLiteral("not from the table: \"%1\" at %2").arg(shown.text, shown.where);
    }
    // Texts the walk met for the first time: the shipped table lacks them.
    const TranslationTable &table = translationTable();
    for (int row = shipped.rowCount(); row < table.rowCount(); ++row)
        problems << QStringLiteral("added to the table: \"%1\"").arg(table.text(row, 0));
    // One line each, as a long failure message would be cut short.
    for (const QString &problem : std::as_const(problems))
        qWarning().noquote() << problem;
    QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1 texts not in the language, listed above").arg(problems.size())));
}

void TestInterfaceLanguage::germanStartAddsOnlyTheMessages_data()
{
    QTest::addColumn<bool>("emptyTable");
    QTest::newRow("shipped table without the messages") << false;
    QTest::newRow("empty table") << true;
}

void TestInterfaceLanguage::germanStartAddsOnlyTheMessages()
{
    QFETCH(bool, emptyTable);
    QVERIFY(useShippedTable());
    TranslationTable &table = translationTable();
    QStringList messages;
    for (int n = 1; n <= MessageCount; ++n)
        if (!messageGerman(n).isEmpty())
            messages << messageGerman(n);
    if (emptyTable) {
        table.clear();
    } else {
        for (const QString &message : std::as_const(messages))
            for (int row = table.find(message); row >= 0; row = table.find(message))
                QVERIFY(table.deleteRow(row));
    }
    QVERIFY(table.save());
    QVERIFY(table.load());
    const int rowsBefore = table.rowCount();
    QSet<QString> expected = germanKeys(table);
    for (const QString &message : std::as_const(messages))
        QVERIFY2(!expected.contains(message), qPrintable(message));
    QVERIFY(storeLanguage(0));

    auto form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(languageIndex(), 0);

    // The messages came in once each, and nothing else did.
    QCOMPARE(table.rowCount(), rowsBefore + messages.size());
    expected.unite(QSet<QString>(messages.cbegin(), messages.cend()));
    QCOMPARE(germanKeys(table), expected);
    // And they are in the file, for the editor of the next start.
    TranslationTable written;
    written.setPaths(tableCopy, QString());
    QVERIFY(written.load());
    QCOMPARE(written.rowCount(), table.rowCount());
}

void TestInterfaceLanguage::languageChoiceTakesEffectAtNextStart_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("English to Italian") << 1 << 2;
    QTest::newRow("Italian to German") << 2 << 0;
    QTest::newRow("German to English") << 0 << 1;
}

void TestInterfaceLanguage::languageChoiceTakesEffectAtNextStart()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QVERIFY(useShippedTable());
    QVERIFY(storeLanguage(from));
    const QString edit = QStringLiteral("Bearbeiten");

    auto form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->menus.editMenu->title(), shippedText(edit, from));
    QVERIFY(form->menus.languageItem(from)->isChecked());

    AnsweredBox notice;
    answerNextBox(QMessageBox::Ok, &notice);
    form->menus.languageItem(to)->trigger();
    QVERIFY(!notice.text.isEmpty());
    QCOMPARE(notice.text, shippedText(messageGerman(1), to));
    QCOMPARE(notice.caption, shippedText(messageGerman(2), to));
    QVERIFY(form->menus.languageItem(to)->isChecked());
    // The windows keep their texts until the program starts again.
    QCOMPARE(form->menus.editMenu->title(), shippedText(edit, from));
    form.reset();

    // The next start: a new process begins in German until the options are read.
    setLanguageIndex(0);
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(languageIndex(), to);
    QVERIFY(form->menus.languageItem(to)->isChecked());
    const QList<QMenu *> menus{form->menus.fileMenu,  form->menus.editMenu, form->menus.settingsMenu,
                               form->menus.scaleMenu, form->menus.languageMenu,    form->menus.helpMenu};
    const QStringList german{QStringLiteral("Datei"),   QStringLiteral("Bearbeiten"), QStringLiteral("Einstellungen"),
                             QStringLiteral("Maßstab"), QStringLiteral("Sprache"),    QStringLiteral("Hilfe")};
    for (int i = 0; i < menus.size(); ++i)
        QCOMPARE(menus.at(i)->title(), shippedText(german.at(i), to));
    QCOMPARE(form->windowTitle(), shippedText(QStringLiteral("Kovrant Tesselon 1.0"), to));
}

QTEST_MAIN(TestInterfaceLanguage)
#include "tst_interfacelanguage.moc"
