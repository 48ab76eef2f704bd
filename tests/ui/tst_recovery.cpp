#include "core/resultsmodel.h"
#include "dialoginput.h"
#include "modalscript.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"

#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QToolButton>

#include <cstdio>

namespace {

// The child's role: measure in a window of its own, wait until the recovery copy is on disk, say
// what the results list shows and keep running until it is killed.
constexpr char ChildVariable[] = "TESSELON_RECOVERY_CHILD";

QStringList resultRows(const TMainForm &form)
{
    QStringList rows;
    for (int row = 0; row < form.results->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < form.results->columnCount(); ++column)
            cells.append(form.results->text(row, column));
        rows.append(cells.join(QLatin1Char('\t')));
    }
    return rows;
}

QString documentPart()
{
    const QDir root(QFile::decodeName(qgetenv("XDG_STATE_HOME")) + QStringLiteral("/Kovrant/Tesselon/recovery"));
    for (const QString &id : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFile::exists(root.filePath(id + QStringLiteral("/document.ver"))))
            return root.filePath(id + QStringLiteral("/document.ver"));
    return {};
}

int runChild()
{
    TMainForm form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    form.menus.askElementNames->setChecked(false);
    form.tools.RectBtn->click();
    QTest::mouseClick(form.PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseClick(form.PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(140, 90));
    form.tools.CircleBtn->click();
    QTest::mouseClick(form.PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(30, 150));
    QTest::mouseClick(form.PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(200, 170));
    // Nothing is saved or flushed by hand: the copy must appear by itself.
    if (!QTest::qWaitFor([] { return !documentPart().isEmpty(); }, 10000))
        return 2;
    std::printf("%s\nready\n", qPrintable(resultRows(form).join(QLatin1Char('\n'))));
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void workOfAKilledSessionIsRestored();
    void aDamagedCopyIsReportedAndKept();

private:
    // Runs the child until its copy is on disk; returns its results rows.
    QStringList startChild();
    void killChild();
    std::unique_ptr<TMainForm> showWindow();

    std::unique_ptr<QTemporaryDir> folders;
    QProcess child;
};

void TestRecovery::init()
{
    folders = freshSettingsFolder();
}

void TestRecovery::cleanup()
{
    killChild();
    folders.reset();
}

QStringList TestRecovery::startChild()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(ChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForStarted())
        return {};
    QByteArray out;
    while (!out.contains("ready\n") && child.waitForReadyRead(30000))
        out += child.readAllStandardOutput();
    QStringList rows = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    rows.removeAll(QStringLiteral("ready"));
    return rows;
}

void TestRecovery::killChild()
{
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished();
    }
}

std::unique_ptr<TMainForm> TestRecovery::showWindow()
{
    auto form = std::make_unique<TMainForm>();
    form->show();
    if (QTest::qWaitForWindowExposed(form.get()))
        QTest::qWait(50);
    return form;
}

void TestRecovery::workOfAKilledSessionIsRestored()
{
    const QStringList measured = startChild();
    QCOMPARE(measured.size(), 2);

    // The copy of a session still running is its own: no offer.
    {
        ModalScript none({});
        auto form = showWindow();
        QTest::qWait(200);
        QVERIFY(none.unexpected().isEmpty());
    }

    killChild();
    QString offer;
    ModalScript script({[&offer](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        offer = box->text();
        for (QAbstractButton *button : box->buttons())
            if (button->text() == QStringLiteral("Wiederherstellen"))
                button->click();
    }});
    auto form = showWindow();
    QTRY_VERIFY(script.finished());
    QVERIFY(offer.contains(QStringLiteral("Elemente: 2")));
    QTRY_COMPARE(resultRows(*form), measured);
    QVERIFY(form->workspace().isModified());
    QVERIFY(form->workspace().fileName().isEmpty());

    // The restored work is this session's copy now; ending normally leaves none behind.
    form.reset();
    QVERIFY(documentPart().isEmpty());
}

void TestRecovery::aDamagedCopyIsReportedAndKept()
{
    QCOMPARE(startChild().size(), 2);
    killChild();
    const QString part = documentPart();
    QFile file(part);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() / 2));
    file.close();

    QString report;
    ModalScript script({[&report](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        report = box->text();
        box->accept();
    }});
    auto form = showWindow();
    QTRY_VERIFY(script.finished());
    QVERIFY(report.startsWith(QStringLiteral("Die Wiederherstellungskopie kann nicht gelesen werden:")));
    QCOMPARE(form->workspace().document().count(), 0);
    form.reset();
    QVERIFY(QFile::exists(part));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(ChildVariable))
        return runChild();
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
