#include "core/dib.h"
#include "support/solidpicture.h"
#include "ui/dialogs/printform.h"
#include "ui/dialogs/printpreview.h"
#include "ui/mainwindow/formstorage.h"

#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// The print dialog: its components, the percentage rules as the user types, and what it keeps
// between runs.

namespace {

// A printer whose printable page is exactly width x height pixels at 1200 dots per inch.
void setPage(QPrinter &printer, int width, int height)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(1200);
    const QPageSize size(QSizeF(width * 72.0 / 1200.0, height * 72.0 / 1200.0), QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

void typeInto(QSpinBox *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

class TestPrintForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void components_data();
    void components();
    void dialogFrame();
    void typingTheWidth_data();
    void typingTheWidth();
    void typingTheHeight_data();
    void typingTheHeight();
    void ruleResultHeldByTheFieldIsNotPassedBack();
    void withoutProportionsFieldsAreIndependent();
    void userdefClickAppliesTheWidthRule();
    void showingAppliesTheWidthRule();
    void printerSetUpReshapesThePage();
    void previewPicture_data();
    void previewPicture();
    void storedPropertiesStartWithTheirInitialValues();
    void storedPropertiesComeBack();

private:
    QTemporaryDir config;
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<TPrintForm> form;
};

void TestPrintForm::initTestCase()
{
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
}

void TestPrintForm::init()
{
    QFile::remove(FormStorage::fileName());
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    setPage(*printer, 4800, 6800);
    form = std::make_unique<TPrintForm>([this] { return printer.get(); });
}

void TestPrintForm::cleanup()
{
    form.reset();
    printer.reset();
}

void TestPrintForm::components_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Label1") << "Label1" << "QLabel" << "Vorschau:";
    QTest::newRow("GroupBox1") << "GroupBox1" << "QGroupBox" << "Druckgröße";
    QTest::newRow("UseFullCheck") << "UseFullCheck" << "QRadioButton" << "Seite voll nutzen";
    QTest::newRow("UserdefCheck") << "UserdefCheck" << "QRadioButton" << "Benutzerdefiniert";
    QTest::newRow("Label2") << "Label2" << "QLabel" << "Breite in %:";
    QTest::newRow("Label3") << "Label3" << "QLabel" << "Höhe in %:";
    QTest::newRow("GroupBox2") << "GroupBox2" << "QGroupBox" << "Druckoptionen";
    QTest::newRow("SverhCheck") << "SverhCheck" << "QCheckBox" << "Seitenverhältnis beibehalten";
    QTest::newRow("ZentrCheck") << "ZentrCheck" << "QCheckBox" << "Zentrierte Ausgabe";
    QTest::newRow("PrintSetupBtn") << "PrintSetupBtn" << "QPushButton" << "Drucker &einrichten...";
    QTest::newRow("OkBitBtn1") << "OkBitBtn1" << "QPushButton" << "&OK";
    QTest::newRow("CancelBitBtn2") << "CancelBitBtn2" << "QPushButton" << "A&bbrechen";
}

void TestPrintForm::components()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, caption);
    QObject *component = form->findChild<QObject *>(name);
    QVERIFY2(component, qPrintable(name));
    QVERIFY(component->inherits(className.toLatin1().constData()));
    if (auto *label = qobject_cast<QLabel *>(component))
        QCOMPARE(label->text(), caption);
    else if (auto *group = qobject_cast<QGroupBox *>(component))
        QCOMPARE(group->title(), caption);
    else
        QCOMPARE(qobject_cast<QAbstractButton *>(component)->text(), caption);
}

void TestPrintForm::dialogFrame()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Bild drucken..."));
    QVERIFY(form->UseFullCheck->isChecked());
    QVERIFY(!form->UserdefCheck->isChecked());
    QVERIFY(form->SverhCheck->isChecked());
    QVERIFY(form->ZentrCheck->isChecked());
    QCOMPARE(form->BreitEdit->value(), 50);
    QCOMPARE(form->HochEdit->value(), 50);
    QCOMPARE(form->BreitEdit->minimum(), 1);
    QCOMPARE(form->BreitEdit->maximum(), 100);
    QCOMPARE(form->HochEdit->minimum(), 1);
    QCOMPARE(form->HochEdit->maximum(), 100);

    auto *box = form->findChild<QWidget *>(QStringLiteral("PrintPaintBox"));
    QVERIFY(box);
    QCOMPARE(box->size(), QSize(190, 190));
    auto *panel = qobject_cast<QFrame *>(box->parentWidget());
    QVERIFY(panel);
    QCOMPARE(panel->frameShadow(), QFrame::Sunken);
    // The two radio buttons are one group: choosing one clears the other.
    form->UserdefCheck->click();
    QVERIFY(!form->UseFullCheck->isChecked());
}

void TestPrintForm::typingTheWidth_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("height");
    QTest::newRow("Trunc(500 x 100 / 1000 x 4800 / 6800)") << QSize(1000, 500) << "100" << 35;
    QTest::newRow("two digits") << QSize(1000, 500) << "80" << 28;
    QTest::newRow("square picture") << QSize(300, 300) << "70" << 49;
}

void TestPrintForm::typingTheWidth()
{
    QFETCH(QSize, image);
    QFETCH(QString, typed);
    QFETCH(int, height);
    dib picture = solidPicture(image.width(), image.height(), qRgb(0, 0, 255));
    form->setPicture(picture, image);
    QVERIFY(!picture.poi);
    typeInto(form->BreitEdit, typed);
    QCOMPARE(form->BreitEdit->value(), typed.toInt());
    QCOMPARE(form->HochEdit->value(), height);
}

void TestPrintForm::typingTheHeight_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("width");
    QTest::newRow("Trunc(1000 x 35 / 500 x 6800 / 4800)") << "35" << 99;
    QTest::newRow("one digit") << "7" << 19;
}

// The width the height rule sets does not start the width rule, which would move the height
// (35 -> width 99 -> height 34).
void TestPrintForm::typingTheHeight()
{
    QFETCH(QString, typed);
    QFETCH(int, width);
    dib picture = solidPicture(1000, 500, qRgb(0, 0, 255));
    form->setPicture(picture, QSize(1000, 500));
    typeInto(form->HochEdit, typed);
    QCOMPARE(form->HochEdit->value(), typed.toInt());
    QCOMPARE(form->BreitEdit->value(), width);
}

// A tall picture: 100 % of the width would need 141 % of the height, which the field holds at
// 100; the height rule would answer with a width of 70, but does not run.
void TestPrintForm::ruleResultHeldByTheFieldIsNotPassedBack()
{
    dib picture = solidPicture(500, 1000, qRgb(0, 0, 255));
    form->setPicture(picture, QSize(500, 1000));
    typeInto(form->BreitEdit, QStringLiteral("100"));
    QCOMPARE(form->HochEdit->value(), 100);
    QCOMPARE(form->BreitEdit->value(), 100);
}

void TestPrintForm::withoutProportionsFieldsAreIndependent()
{
    dib picture = solidPicture(1000, 500, qRgb(0, 0, 255));
    form->setPicture(picture, QSize(1000, 500));
    form->SverhCheck->click();
    QVERIFY(!form->SverhCheck->isChecked());
    typeInto(form->BreitEdit, QStringLiteral("90"));
    typeInto(form->HochEdit, QStringLiteral("20"));
    QCOMPARE(form->BreitEdit->value(), 90);
    QCOMPARE(form->HochEdit->value(), 20);
    // Keeping the proportions again puts the height in step with the width.
    form->SverhCheck->click();
    QCOMPARE(form->HochEdit->value(), 31);
}

void TestPrintForm::userdefClickAppliesTheWidthRule()
{
    form->SverhCheck->setChecked(false);
    dib picture = solidPicture(1000, 500, qRgb(0, 0, 255));
    form->setPicture(picture, QSize(1000, 500));
    form->BreitEdit->setValue(100);
    form->HochEdit->setValue(90);
    form->SverhCheck->setChecked(true);
    form->UserdefCheck->click();
    QCOMPARE(form->HochEdit->value(), 35);
    QVERIFY(!form->choice().useFullPage);
}

// Showing restores the stored values (here: none, so the initial ones) and then applies the
// width rule to them.
void TestPrintForm::showingAppliesTheWidthRule()
{
    form->SverhCheck->setChecked(false);
    form->BreitEdit->setValue(100);
    form->HochEdit->setValue(90);
    dib picture = solidPicture(1000, 500, qRgb(0, 0, 255));
    form->setPicture(picture, QSize(1000, 500));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(form->SverhCheck->isChecked());
    QCOMPARE(form->BreitEdit->value(), 50);
    QCOMPARE(form->HochEdit->value(), 17);
    form->hide();
}

// The user turns the page to landscape in the set-up dialog: the preview and the height
// percentage follow the new page.
void TestPrintForm::printerSetUpReshapesThePage()
{
    dib picture = solidPicture(1000, 500, qRgb(0, 0, 255));
    form->setPicture(picture, QSize(1000, 500));
    QCOMPARE(form->HochEdit->value(), 17);
    QString seen;
    QTimer::singleShot(0, form.get(), [this, &seen] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seen = QString::fromLatin1(modal->metaObject()->className());
        setPage(*printer, 6800, 4800);
        QMetaObject::invokeMethod(modal, "reject");
    });
    form->PrintSetupBtn->click();
    QCOMPARE(seen, QStringLiteral("QPageSetupDialog"));
    QCOMPARE(form->page(), QSize(6800, 4800));
    QCOMPARE(form->HochEdit->value(), 35);
}

void TestPrintForm::previewPicture_data()
{
    QTest::addColumn<bool>("userdef");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QRect>("picture");
    QTest::newRow("full page, centred") << false << true << QRect(28, 61, 134, 67);
    QTest::newRow("full page, top left") << false << false << QRect(28, 0, 134, 67);
    QTest::newRow("50 % and 35 %, centred") << true << true << QRect(61, 62, 67, 66);
}

// The preview as painted: the button face around the page, the white page, the picture.
void TestPrintForm::previewPicture()
{
    QFETCH(bool, userdef);
    QFETCH(bool, centred);
    QFETCH(QRect, picture);
    dib d = solidPicture(1000, 500, qRgb(0, 0, 255));
    PrintPreviewContent content{&d, QSize(1000, 500), QSize(4800, 6800), {}};
    content.choice.useFullPage = !userdef;
    content.choice.centred = centred;
    content.choice.widthPercent = 50;
    content.choice.heightPercent = 35;
    QImage area(190, 190, QImage::Format_RGB32);
    area.fill(Qt::black);
    const QColor face(212, 208, 200);
    {
        QPainter p(&area);
        paintPrintPreview(p, area.size(), face, content);
    }
    deldib(d);
    QCOMPARE(area.pixelColor(5, 5), face);
    QCOMPARE(area.pixelColor(27, 100), face);
    QCOMPARE(area.pixelColor(162, 100), face);
    const QRect page(28, 0, 134, 190);
    for (const QPoint p : {page.topLeft(), page.bottomRight(), QPoint(30, 188)}) {
        if (!picture.contains(p))
            QCOMPARE(area.pixelColor(p), QColor(Qt::white));
    }
    for (const QPoint p : {picture.topLeft(), picture.bottomRight(), picture.center()})
        QCOMPARE(area.pixelColor(p), QColor(0, 0, 255));
    if (picture.top() > 0)
        QCOMPARE(area.pixelColor(picture.left(), picture.top() - 1), QColor(Qt::white));
    QCOMPARE(area.pixelColor(picture.left(), picture.bottom() + 1), QColor(Qt::white));
}

void TestPrintForm::storedPropertiesStartWithTheirInitialValues()
{
    form->storage().restoreNow();
    QVERIFY(form->UseFullCheck->isChecked());
    QVERIFY(!form->UserdefCheck->isChecked());
    QVERIFY(form->ZentrCheck->isChecked());
    QVERIFY(form->SverhCheck->isChecked());
    QCOMPARE(form->BreitEdit->value(), 50);
    QCOMPARE(form->HochEdit->value(), 50);
    QCOMPARE(form->storage().group(), QStringLiteral("TPrintForm"));
    QStringList keys;
    for (const StoredProperty &p : form->storage().properties())
        keys << p.key();
    keys.sort();
    QCOMPARE(keys, QStringList({"BreitEdit_Value", "HochEdit_Value", "SverhCheck_Checked", "UseFullCheck_Checked",
                                "UserdefCheck_Checked", "ZentrCheck_Checked"}));
}

void TestPrintForm::storedPropertiesComeBack()
{
    form->SverhCheck->setChecked(false);
    form->UserdefCheck->setChecked(true);
    form->ZentrCheck->setChecked(false);
    form->BreitEdit->setValue(80);
    form->HochEdit->setValue(20);
    QVERIFY(form->storage().storeNow());
    {
        QSettings ini(FormStorage::fileName(), QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("TPrintForm"));
        QCOMPARE(ini.value(QStringLiteral("BreitEdit_Value")).toString(), QStringLiteral("80"));
        QCOMPARE(ini.value(QStringLiteral("UserdefCheck_Checked")).toString(), QStringLiteral("true"));
        // The dialog keeps its state, never its place.
        QVERIFY(!ini.contains(QStringLiteral("Left")));
    }

    form = std::make_unique<TPrintForm>([this] { return printer.get(); });
    dib picture = solidPicture(1000, 500, qRgb(0, 0, 255));
    form->setPicture(picture, QSize(1000, 500));
    form->storage().restoreNow();
    QVERIFY(form->UserdefCheck->isChecked());
    QVERIFY(!form->UseFullCheck->isChecked());
    QVERIFY(!form->ZentrCheck->isChecked());
    QVERIFY(!form->SverhCheck->isChecked());
    QCOMPARE(form->BreitEdit->value(), 80);
    QCOMPARE(form->HochEdit->value(), 20);
}

QTEST_MAIN(TestPrintForm)
#include "tst_printform.moc"
