#include "dialoginput.h"
#include "modalscript.h"
#include "ui/commands/backgroundjob.h"
#include "ui/commands/projectcommands.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"

#include <QtTest>

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

// Presses "Abbrechen" in the status bar as soon as it shows, as a user would. The task is held
// until then, so that even a fast disk cannot finish it first.
class CancelWhenShown
{
public:
    explicit CancelWhenShown(QWidget *window)
    {
        BackgroundJob::setTaskGate([this] { held.acquire(); });
        QObject::connect(&poll, &QTimer::timeout, &poll, [this, window] {
            if (auto *cancel = window->findChild<QPushButton *>(QStringLiteral("BackgroundJobCancel"))) {
                QTest::mouseClick(cancel, Qt::LeftButton);
                pressed = true;
                poll.stop();
                held.release();
            }
        });
        poll.start(5);
    }
    ~CancelWhenShown() { BackgroundJob::setTaskGate({}); }

    bool pressed = false;

private:
    QTimer poll;
    QSemaphore held;
};

} // namespace

// A picture of 100 megapixels, as big as the scans and photographs the background work is for.
constexpr int LargeWidth = 10000;
constexpr int LargeHeight = 10000;

// Opening and saving large files leaves the window alive, and a cancel leaves the work and the
// files as they were.
class TestBackgroundWork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void theWindowAnswersWhileAPictureOpens();
    void cancellingAnOpenKeepsThePicture();
    void cancellingASaveKeepsTheFile();

private:
    void openPicture(const QString &path);
    int pictureWidth() const { return DibWidth(form->workspace().picture()); }

    QTemporaryDir dir;
    QString large;
    QString small;
    std::unique_ptr<QTemporaryDir> folders;
    std::unique_ptr<TMainForm> form;
};

void TestBackgroundWork::initTestCase()
{
    BackgroundJob::setPanelDelay(0);
    QImage picture(LargeWidth, LargeHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int x = 0; x < picture.width(); x += 97)
        painter.drawLine(x, 0, picture.width() - x, picture.height());
    painter.end();
    large = dir.filePath(QStringLiteral("large.jpg"));
    QVERIFY(picture.save(large, "JPG", 90));
    small = dir.filePath(QStringLiteral("small.png"));
    QVERIFY(picture.copy(0, 0, 200, 100).save(small));
}

void TestBackgroundWork::init()
{
    folders = freshSettingsFolder();
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->menus.askElementNames->setChecked(false);
}

void TestBackgroundWork::cleanup()
{
    form.reset();
    folders.reset();
}

void TestBackgroundWork::openPicture(const QString &path)
{
    ModalScript script({typeFileName(path)});
    form->menus.openPicture->trigger();
    QVERIFY(script.finished());
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestBackgroundWork::theWindowAnswersWhileAPictureOpens()
{
    int ticksWhileOpening = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (form->findChild<QWidget *>(QStringLiteral("BackgroundJobPanel")))
            ++ticksWhileOpening;
    });
    ticker.start(5);
    openPicture(large);
    QCOMPARE(pictureWidth(), LargeWidth);
    QVERIFY(ticksWhileOpening > 0);
    // The commands are back once the picture is in.
    QVERIFY(form->menus.openPicture->isEnabled());
    QVERIFY(!form->findChild<QWidget *>(QStringLiteral("BackgroundJobPanel")));
}

void TestBackgroundWork::cancellingAnOpenKeepsThePicture()
{
    openPicture(small);
    form->tools.RectBtn->click();
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));

    {
        CancelWhenShown cancel(form.get());
        openPicture(large);
        QVERIFY(cancel.pressed);
    }
    QCOMPARE(pictureWidth(), 200);
    QCOMPARE(form->workspace().document().count(), 1);
    QVERIFY(form->menus.openPicture->isEnabled());
}

void TestBackgroundWork::cancellingASaveKeepsTheFile()
{
    openPicture(large);
    const QString file = dir.filePath(QStringLiteral("plan.ver"));
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the previous project");
    }
    form->projectCommands->setFileChooser([file](QFileDialog &) { return file; });
    {
        CancelWhenShown cancel(form.get());
        QTest::keyClick(form->PaintBox1, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(cancel.pressed);
    }
    QFile old(file);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the previous project"));
    QVERIFY(form->workspace().fileName().isEmpty());

    QTest::keyClick(form->PaintBox1, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(form->workspace().fileName(), file);
    QVERIFY(QFileInfo(file).size() > qint64(LargeWidth) * LargeHeight * 3);
}

QTEST_MAIN(TestBackgroundWork)
#include "tst_backgroundwork.moc"
