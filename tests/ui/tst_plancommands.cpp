#include "dialoginput.h"
#include "modalscript.h"
#include "support/testpdf.h"

#include "core/translate.h"
#include "core/translationtable.h"
#include "ui/dialogs/pdfpageform.h"
#include "ui/dialogs/perspektiveform.h"
#include "ui/dialogs/planmassstabform.h"
#include "ui/mainwindow/mainform.h"
#include "ui/widgets/numberfield.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include <memory>

// PDF plans, the scale from the picture's resolution and straightening, as a user does them in
// the main window.

namespace {

QPushButton *okButton(QWidget *dialog)
{
    return dialog->findChild<QPushButton *>(QStringLiteral("OkBtn"));
}

QPushButton *cancelButton(QWidget *dialog)
{
    return dialog->findChild<QPushButton *>(QStringLiteral("CancelBtn"));
}

// Chooses a page by clicking its picture and types the resolution.
ModalScript::Step choosePage(int page, const QString &dpi, bool confirm, QString *sizeText = nullptr)
{
    return [=](QWidget *modal) {
        auto *form = qobject_cast<TPdfSeiteForm *>(modal);
        QVERIFY(form);
        QListWidgetItem *item = form->Seiten->item(page);
        QTest::mouseClick(form->Seiten->viewport(), Qt::LeftButton, {}, form->Seiten->visualItemRect(item).center());
        typeInto(form->DpiEd, dpi);
        if (sizeText)
            *sizeText = form->Groesse->text();
        QTest::mouseClick(confirm && okButton(form)->isEnabled() ? okButton(form) : cancelButton(form), Qt::LeftButton);
    };
}

ModalScript::Step planRatio(const QString &ratio, const QString &unit)
{
    return [=](QWidget *modal) {
        auto *form = qobject_cast<TPlanmassstabForm *>(modal);
        QVERIFY(form);
        typeInto(form->VerhaeltnisEd, ratio);
        form->EinheitEd->setCurrentIndex(form->EinheitEd->findText(unit));
        QTest::mouseClick(okButton(form), Qt::LeftButton);
    };
}

// Checkerboard of 8 x 6 squares of 25 mm, photographed at an angle.
QTransform boardToPhoto()
{
    QTransform t;
    QTransform::quadToQuad(QPolygonF({QPointF(0, 0), QPointF(8, 0), QPointF(8, 6), QPointF(0, 6)}),
                           QPolygonF({QPointF(150, 90), QPointF(690, 130), QPointF(730, 510), QPointF(100, 540)}), t);
    return t;
}

} // namespace

class TestPlanCommands : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<QTemporaryDir> settings;
    std::unique_ptr<TMainForm> form;

    QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QAction *action(const char *name) const { return form->findChild<QAction *>(QLatin1String(name)); }
    QSize pictureSize() const { return QSize(DibWidth(form->workspace().picture()), DibHeight(form->workspace().picture())); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        translationTable().setPaths(file("translate.dat"), file("settings-translate.dat"));
        QVERIFY(writeTestPlan(file("plan.pdf")));
        QVERIFY(writeDamagedPlan(file("plan.pdf"), file("damaged.pdf")));
        QPdfWriter a0(file("a0.pdf"));
        a0.setPageSize(QPageSize(QPageSize::A0));
        QPainter p(&a0);
        p.end();
        QImage photo(800, 600, QImage::Format_RGB32);
        photo.fill(qRgb(128, 128, 128));
        QPainter board(&photo);
        board.setRenderHint(QPainter::Antialiasing);
        board.setTransform(boardToPhoto());
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 8; ++c)
                board.fillRect(QRectF(c, r, 1, 1), (r + c) % 2 ? Qt::black : Qt::white);
        board.end();
        QVERIFY(photo.save(file("photo.png")));
    }

    void init()
    {
        settings = freshSettingsFolder();
        form = std::make_unique<TMainForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup() { form.reset(); }

    // Page 2 at 300 dpi, then 1:100 in metres: 100 pixels of 1/300 inch are 8.47 m.
    void pdfPageAndScaleFromResolution()
    {
        QString sizeText;
        {
            ModalScript script({choosePage(1, QStringLiteral("300"), true, &sizeText)});
            QVERIFY(form->LadeBild(file("plan.pdf")));
            QVERIFY(script.finished());
        }
        // The size shown while typing is the size made; A3 lying is 420 x 297 mm.
        QVERIFY2(sizeText.contains(QStringLiteral("%1 × %2").arg(pictureSize().width()).arg(pictureSize().height())),
                 qPrintable(sizeText));
        QVERIFY(std::abs(pictureSize().width() - 420 / 25.4 * 300) <= 12);
        QVERIFY(std::abs(pictureSize().height() - 297 / 25.4 * 300) <= 12);

        ModalScript ratio({planRatio(QStringLiteral("1:100"), QStringLiteral("m"))});
        action("AusAuflsungundPlanmastab1")->trigger();
        QTRY_VERIFY(ratio.finished());
        QCOMPARE(form->workspace().numberSettings().unit, QStringLiteral("m"));
        QVERIFY(std::abs(form->workspace().scale().length(100) - 100 / 300.0 * 0.0254 * 100) < 1e-3);
    }

    void pdfRefused_data()
    {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QString>("dpi");
        QTest::addColumn<QString>("reason");
        QTest::newRow("damaged") << QStringLiteral("damaged.pdf") << QString() << QStringLiteral("beschädigt");
        QTest::newRow("resolution too large") << QStringLiteral("a0.pdf") << QStringLiteral("2000")
                                              << QStringLiteral("größer, als das Programm");
    }

    void pdfRefused()
    {
        QFETCH(QString, pdf);
        QFETCH(QString, dpi);
        QFETCH(QString, reason);
        const std::uint8_t *before = form->workspace().picture().poi;
        const QSize size = pictureSize();
        QString shown;
        std::deque<ModalScript::Step> steps;
        if (dpi.isEmpty())
            steps.push_back([&](QWidget *modal) {
                shown = qobject_cast<QMessageBox *>(modal)->text();
                qobject_cast<QMessageBox *>(modal)->accept();
            });
        else
            steps.push_back(choosePage(0, dpi, true, &shown));
        ModalScript script(steps);
        QVERIFY(!form->LadeBild(dir.filePath(pdf)));
        QVERIFY(script.finished());
        QVERIFY2(shown.contains(reason), qPrintable(shown));
        QCOMPARE(form->workspace().picture().poi, before);
        QCOMPARE(pictureSize(), size);
    }

    // The board's outer corners clicked in no order, the last one first misplaced and dragged;
    // a line placed before keeps its board corners, and the squares come out square and true.
    void straightenPhotograph()
    {
        QVERIFY(form->LadeBild(file("photo.png")));
        const QTransform t = boardToPhoto();
        Telemente *line = form->workspace().document().appendElement();
        line->typ = TypLine;
        line->x1 = t.map(QPointF(1, 1)).x();
        line->y1 = t.map(QPointF(1, 1)).y();
        line->x2 = t.map(QPointF(7, 5)).x();
        line->y2 = t.map(QPointF(7, 5)).y();

        ModalScript script({[&](QWidget *modal) {
            auto *dialog = qobject_cast<TPerspektiveForm *>(modal);
            QVERIFY(dialog);
            CornerView *view = dialog->Ecken;
            const auto at = [&](QPointF board) { return view->toWidget(t.map(board)).toPoint(); };
            for (const QPointF corner : {QPointF(8, 6), QPointF(0, 0), QPointF(8, 0)})
                QTest::mouseClick(view, Qt::LeftButton, {}, at(corner));
            QTest::mouseClick(view, Qt::LeftButton, {}, at(QPointF(0, 6)) + QPoint(30, -25));
            QTest::mousePress(view, Qt::LeftButton, {}, at(QPointF(0, 6)) + QPoint(30, -25));
            QTest::mouseMove(view, at(QPointF(0, 6)));
            QTest::mouseRelease(view, Qt::LeftButton, {}, at(QPointF(0, 6)));
            typeInto(dialog->BreiteEd, QStringLiteral("200"));
            typeInto(dialog->HoeheEd, QStringLiteral("150"));
            dialog->EinheitEd->setCurrentText(QStringLiteral("mm"));
            QVERIFY2(dialog->Ergebnis->text().contains(QStringLiteral("Pixel")), qPrintable(dialog->Ergebnis->text()));
            QTest::mouseClick(okButton(dialog), Qt::LeftButton);
        }});
        action("Perspektiveentzerren1")->trigger();
        QTRY_VERIFY(script.finished());
        QCOMPARE(form->workspace().numberSettings().unit, QStringLiteral("mm"));
        const Telemente *moved = form->workspace().document().element(0);
        // One board square is 25 mm; the line crosses 6 x 4 squares.
        const double dx = moved->x2 - moved->x1;
        const double dy = moved->y2 - moved->y1;
        QVERIFY(std::abs(form->workspace().scale().length(dx) - 150) < 150 * 0.01);
        QVERIFY(std::abs(form->workspace().scale().length(dy) - 100) < 100 * 0.01);
    }

    void straightenRefused_data()
    {
        QTest::addColumn<QList<QPoint>>("clicks");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("reason");
        const QList<QPoint> rectangle{QPoint(100, 100), QPoint(300, 100), QPoint(300, 250), QPoint(100, 250)};
        QTest::newRow("concave") << QList<QPoint>{QPoint(100, 100), QPoint(300, 100), QPoint(160, 140), QPoint(100, 250)}
                                 << QStringLiteral("1") << QStringLiteral("konvex");
        QTest::newRow("zero width") << rectangle << QStringLiteral("0") << QStringLiteral("größer als null");
    }

    void straightenRefused()
    {
        QFETCH(QList<QPoint>, clicks);
        QFETCH(QString, width);
        QFETCH(QString, reason);
        QVERIFY(form->LadeBild(file("photo.png")));
        const std::uint8_t *before = form->workspace().picture().poi;
        const Scale scaleBefore = form->workspace().scale();
        QString shown;
        bool okEnabled = true;
        ModalScript script({[&](QWidget *modal) {
            auto *dialog = qobject_cast<TPerspektiveForm *>(modal);
            QVERIFY(dialog);
            for (const QPoint &p : clicks)
                QTest::mouseClick(dialog->Ecken, Qt::LeftButton, {}, p);
            typeInto(dialog->BreiteEd, width);
            shown = dialog->Ergebnis->text();
            okEnabled = okButton(dialog)->isEnabled();
            QTest::mouseClick(cancelButton(dialog), Qt::LeftButton);
        }});
        action("Perspektiveentzerren1")->trigger();
        QTRY_VERIFY(script.finished());
        QVERIFY2(shown.contains(reason), qPrintable(shown));
        QVERIFY(!okEnabled);
        QCOMPARE(form->workspace().picture().poi, before);
        QCOMPARE(form->workspace().scale().pixelLength, scaleBefore.pixelLength);
    }

    void pictureWithoutResolution()
    {
        QVERIFY(form->LadeBild(file("photo.png")));
        QString asked;
        ModalScript script({[&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            asked = box->text();
            box->button(QMessageBox::No)->click();
        }});
        action("AusAuflsungundPlanmastab1")->trigger();
        QTRY_VERIFY(script.finished());
        QVERIFY(asked.contains(QStringLiteral("keine gespeicherte Auflösung")));
    }
};

QTEST_MAIN(TestPlanCommands)
#include "tst_plancommands.moc"
