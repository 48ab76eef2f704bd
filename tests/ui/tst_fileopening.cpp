#include "core/dib.h"
#include "dialoginput.h"
#include "modalscript.h"
#include "support/elementbuilder.h"
#include "ui/commands/fileopening.h"
#include "ui/commands/projectcommands.h"
#include "ui/commands/recentfiles.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"

#include <QtTest>

#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUndoStack>
#include <QUrl>

#include <memory>

// Opening files the ways a desktop offers besides the menu commands: dropped onto the window,
// named on the command line, chosen from the recently opened files.

class TestFileOpening : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drop_data();
    void drop();
    void dropAsksAboutUnsavedChangesFirst();
    void dropOfSomethingElseIsRefused();
    void commandLine_data();
    void commandLine();
    void recentFiles();
    void recentFileGone();
    void openDialogShowsTheCurrentFolder();

private:
    void newWindow();
    FileOpening &opening() { return *form->findChild<FileOpening *>(QStringLiteral("FileOpening")); }
    QStringList recent() { return opening().recentFiles().files(); }
    // Drops the local files onto the drawing as a file manager does; whether the drag was taken.
    bool dropFiles(const QStringList &files);
    QString picture(const QString &name, QSize size);
    QString project(const QString &name, int elements);

    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestFileOpening::init()
{
    config = freshSettingsFolder();
    dir = std::make_unique<QTemporaryDir>();
    newWindow();
}

void TestFileOpening::cleanup()
{
    form.reset();
    dir.reset();
    config.reset();
}

void TestFileOpening::newWindow()
{
    form.reset();
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

bool TestFileOpening::dropFiles(const QStringList &files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &f : files)
        urls.append(f.contains(QLatin1String("://")) ? QUrl(f) : QUrl::fromLocalFile(f));
    data.setUrls(urls);
    const QPointF at = form->PaintBox1->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->PaintBox1, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->PaintBox1, &drop);
    return drop.isAccepted();
}

QString TestFileOpening::picture(const QString &name, QSize size)
{
    const QString path = dir->filePath(name);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    return image.save(path) ? path : QString();
}

// A project saved by a window of its own, with a picture 300 pixels wide.
QString TestFileOpening::project(const QString &name, int elements)
{
    TMainForm source;
    if (!source.LadeBild(picture(name + QStringLiteral(".png"), QSize(300, 200))))
        return {};
    for (int i = 0; i < elements; ++i)
        add(source.workspace().document(), TypRectangle, {10.0 + i, 10}, {50, 40});
    const QString path = dir->filePath(name);
    return source.findChild<ProjectCommands *>()->saveprojekt(path) ? path : QString();
}

void TestFileOpening::drop_data()
{
    QTest::addColumn<bool>("isProject");
    QTest::newRow("picture") << false;
    QTest::newRow("project") << true;
}

void TestFileOpening::drop()
{
    QFETCH(bool, isProject);
    const QString file = isProject ? project(QStringLiteral("plan.ver"), 2) : picture(QStringLiteral("foto.png"), QSize(640, 480));
    QVERIFY(!file.isEmpty());

    QVERIFY(dropFiles({file}));
    QTRY_COMPARE(DibWidth(form->workspace().picture()), isProject ? 300 : 640);
    QCOMPARE(form->workspace().document().count(), isProject ? 2 : 0);
    QCOMPARE(form->workspace().fileName(), isProject ? file : QString());
    QCOMPARE(recent(), QStringList{file});
}

void TestFileOpening::dropAsksAboutUnsavedChangesFirst()
{
    const QString file = project(QStringLiteral("plan.ver"), 3);
    add(form->workspace().document(), TypRectangle, {1, 1}, {9, 9});
    form->workspace().commitStep(QStringLiteral("Rechteck"));

    // Cancelled: the drawing stays.
    auto cancel = [](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QCOMPARE(modal->objectName(), QStringLiteral("UnsavedChangesQuestion"));
        box->button(QMessageBox::Cancel)->click();
    };
    {
        ModalScript script({cancel});
        QVERIFY(dropFiles({file}));
        QTRY_VERIFY(script.finished());
        QTest::qWait(50);
        QCOMPARE(form->workspace().document().count(), 1);
        QVERIFY(form->workspace().isModified());
    }
    // Given up: the project opens.
    ModalScript script({[](QWidget *modal) {
        qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Discard)->click();
    }});
    QVERIFY(dropFiles({file}));
    QTRY_COMPARE(form->workspace().document().count(), 3);
    QVERIFY(!form->workspace().isModified());
    QVERIFY(script.unexpected().isEmpty());
}

void TestFileOpening::dropOfSomethingElseIsRefused()
{
    const auto before = form->workspace().sharedPicture();
    QVERIFY(!dropFiles({dir->path()}));
    QVERIFY(!dropFiles({QStringLiteral("https://example.org/plan.png")}));
    QTest::qWait(20);
    QCOMPARE(form->workspace().sharedPicture(), before);
}

void TestFileOpening::commandLine_data()
{
    QTest::addColumn<bool>("isProject");
    QTest::newRow("picture") << false;
    QTest::newRow("project") << true;
}

void TestFileOpening::commandLine()
{
    QFETCH(bool, isProject);
    const QString file = isProject ? project(QStringLiteral("plan.ver"), 1) : picture(QStringLiteral("foto.png"), QSize(500, 100));
    form = std::make_unique<TMainForm>();
    form->setCommandLineImage(file);
    form->show();
    QTRY_COMPARE(DibWidth(form->workspace().picture()), isProject ? 300 : 500);
    QCOMPARE(form->workspace().document().count(), isProject ? 1 : 0);
    QCOMPARE(form->workspace().fileName(), isProject ? file : QString());
    // What the window starts with is nothing to undo or to save.
    QVERIFY(!form->workspace().isModified());
    QCOMPARE(form->workspace().history().count(), 0);
}

void TestFileOpening::recentFiles()
{
    const QString plan = project(QStringLiteral("plan.ver"), 1);
    const QString photo = picture(QStringLiteral("foto.png"), QSize(64, 64));
    // The menu commands put what they opened first, once.
    QVERIFY(form->findChild<ProjectCommands *>()->openprojekt(plan));
    QVERIFY(form->LadeBild(photo));
    QVERIFY(form->findChild<ProjectCommands *>()->openprojekt(plan));
    QCOMPARE(recent(), (QStringList{plan, photo}));

    // Kept for the next run, shown in the file menu.
    newWindow();
    QCOMPARE(recent(), (QStringList{plan, photo}));
    QMenu *menu = form->findChild<QMenu *>(QStringLiteral("Zuletztgeffnet1"));
    QVERIFY(menu && menu->isEnabled());
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("&1 plan.ver"));
    QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("&2 foto.png"));
    menu->actions().at(1)->trigger();
    QCOMPARE(DibWidth(form->workspace().picture()), 64);
    QCOMPARE(recent(), (QStringList{photo, plan}));

    // Eight at most, the newest first.
    for (int i = 0; i < 10; ++i)
        opening().recentFiles().add(picture(QStringLiteral("bild%1.png").arg(i), QSize(8, 8)));
    QCOMPARE(recent().size(), RecentFiles::MaxFiles);
    QCOMPARE(recent().constFirst(), dir->filePath(QStringLiteral("bild9.png")));
}

void TestFileOpening::recentFileGone()
{
    const QString photo = picture(QStringLiteral("foto.png"), QSize(64, 64));
    QVERIFY(form->LadeBild(photo));
    QVERIFY(QFile::remove(photo));
    newWindow();
    const auto before = form->workspace().sharedPicture();

    QString message;
    ModalScript script({[&message](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        message = box ? box->text() : QString();
        modal->close();
    }});
    QMenu *menu = form->findChild<QMenu *>(QStringLiteral("Zuletztgeffnet1"));
    menu->actions().at(0)->trigger();
    QVERIFY(script.finished());
    QVERIFY2(message.contains(QStringLiteral("foto.png")), qPrintable(message));
    QCOMPARE(recent(), QStringList());
    QVERIFY(!menu->isEnabled());
    QCOMPARE(form->workspace().sharedPicture(), before);
}

// The window's file dialogs look at the current folder only once they are shown; a name typed
// there then opens the file of that folder, as it did when the dialogs looked at it from the start.
void TestFileOpening::openDialogShowsTheCurrentFolder()
{
    QVERIFY(!picture(QStringLiteral("here.png"), QSize(20, 10)).isEmpty());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->path()));
    newWindow();
    QString shownFolder;
    const ModalScript::Step typeName = typeFileName(QStringLiteral("here.png"));
    ModalScript script({[&shownFolder, typeName](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            shownFolder = dialog->directory().absolutePath();
        typeName(modal);
    }});
    form->menus.openPicture->trigger();
    QDir::setCurrent(previous);
    QVERIFY(script.finished());
    QCOMPARE(shownFolder, QDir(dir->path()).absolutePath());
    QCOMPARE(DibWidth(form->workspace().picture()), 20);
}

QTEST_MAIN(TestFileOpening)
#include "tst_fileopening.moc"
