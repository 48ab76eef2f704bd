#include "ui/dialogs/printform.h"

#include "render/printjob.h"
#include "ui/dialogs/printpreview.h"
#include "ui/mainwindow/formstorage.h"
#include "ui/mainwindow/namedwidget.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>

namespace {

QSpinBox *percentField(QWidget *parent, const char *name)
{
    auto *field = new QSpinBox(parent);
    field->setObjectName(QLatin1String(name));
    field->setLocale(QLocale::c());
    field->setRange(1, 100);
    field->setValue(50);
    return field;
}

QList<StoredProperty> printFormStoredProperties()
{
    // The check marks first, since the percentage rules read them; the height before the
    // width, so that the width rule, which the dialog's showing applies too, has the last word.
    return {
        componentProperty(QStringLiteral("UseFullCheck"), QStringLiteral("Checked"), "checked", true),
        componentProperty(QStringLiteral("UserdefCheck"), QStringLiteral("Checked"), "checked", false),
        componentProperty(QStringLiteral("ZentrCheck"), QStringLiteral("Checked"), "checked", true),
        componentProperty(QStringLiteral("SverhCheck"), QStringLiteral("Checked"), "checked", true),
        componentProperty(QStringLiteral("HochEdit"), QStringLiteral("Value"), "value", 50),
        componentProperty(QStringLiteral("BreitEdit"), QStringLiteral("Value"), "value", 50),
    };
}

} // namespace

TPrintForm::TPrintForm(PrinterSource source, QWidget *parent) : QDialog(parent), printer(std::move(source))
{
    setObjectName(QStringLiteral("PrintForm"));
    setWindowTitle(QStringLiteral("Bild drucken..."));
    // A fixed dialog border with only the system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    buildLayout();
    wire();
    FormStorage1 = std::make_unique<FormStorage>(this, printFormStoredProperties(), FormStorage::Placement::StateOnly);
}

TPrintForm::~TPrintForm()
{
    // The storage reads the components, so it goes while they still exist.
    FormStorage1.reset();
}

void TPrintForm::buildLayout()
{
    Label1 = named(new QLabel(QStringLiteral("Vorschau:"), this), "Label1");
    Panel1 = named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PrintPaintBox = new PrintPreviewBox(
        [this] { return PrintPreviewContent{&di.get(), imgSize, page(), choice()}; }, Panel1);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(PrintPaintBox);
    Label1->setBuddy(Panel1);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Druckgröße"), this), "GroupBox1");
    UseFullCheck = named(new QRadioButton(QStringLiteral("Seite voll nutzen"), GroupBox1), "UseFullCheck");
    UseFullCheck->setChecked(true);
    UserdefCheck = named(new QRadioButton(QStringLiteral("Benutzerdefiniert"), GroupBox1), "UserdefCheck");
    Label2 = named(new QLabel(QStringLiteral("Breite in %:"), GroupBox1), "Label2");
    BreitEdit = percentField(GroupBox1, "BreitEdit");
    Label2->setBuddy(BreitEdit);
    Label3 = named(new QLabel(QStringLiteral("Höhe in %:"), GroupBox1), "Label3");
    HochEdit = percentField(GroupBox1, "HochEdit");
    Label3->setBuddy(HochEdit);
    auto *sizeLayout = new QGridLayout(GroupBox1);
    sizeLayout->addWidget(UseFullCheck, 0, 0, 1, 2);
    sizeLayout->addWidget(UserdefCheck, 1, 0, 1, 2);
    sizeLayout->addWidget(Label2, 2, 0);
    sizeLayout->addWidget(BreitEdit, 2, 1);
    sizeLayout->addWidget(Label3, 3, 0);
    sizeLayout->addWidget(HochEdit, 3, 1);

    GroupBox2 = named(new QGroupBox(QStringLiteral("Druckoptionen"), this), "GroupBox2");
    SverhCheck = named(new QCheckBox(QStringLiteral("Seitenverhältnis beibehalten"), GroupBox2), "SverhCheck");
    SverhCheck->setChecked(true);
    ZentrCheck = named(new QCheckBox(QStringLiteral("Zentrierte Ausgabe"), GroupBox2), "ZentrCheck");
    ZentrCheck->setChecked(true);
    auto *optionsLayout = new QVBoxLayout(GroupBox2);
    optionsLayout->addWidget(SverhCheck);
    optionsLayout->addWidget(ZentrCheck);

    PrintSetupBtn = named(new QPushButton(QStringLiteral("Drucker &einrichten..."), this), "PrintSetupBtn");
    PrintSetupBtn->setAutoDefault(false);
    OkBitBtn1 = named(new QPushButton(QStringLiteral("&OK"), this), "OkBitBtn1");
    OkBitBtn1->setDefault(true);
    CancelBitBtn2 = named(new QPushButton(QStringLiteral("A&bbrechen"), this), "CancelBitBtn2");
    CancelBitBtn2->setAutoDefault(false);

    auto *previewColumn = new QVBoxLayout;
    previewColumn->addWidget(Label1);
    previewColumn->addWidget(Panel1);
    previewColumn->addStretch(1);

    auto *choicesColumn = new QVBoxLayout;
    choicesColumn->addWidget(GroupBox1);
    choicesColumn->addWidget(GroupBox2);
    choicesColumn->addWidget(PrintSetupBtn);
    choicesColumn->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addLayout(previewColumn);
    top->addLayout(choicesColumn);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBitBtn1);
    buttons->addWidget(CancelBitBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    // The size follows the (translated) captions, never the user.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPrintForm::wire()
{
    connect(UseFullCheck, &QRadioButton::clicked, this, &TPrintForm::PrintPaintBoxPaint);
    connect(UserdefCheck, &QRadioButton::clicked, this, &TPrintForm::UserdefCheckClick);
    connect(SverhCheck, &QCheckBox::clicked, this, &TPrintForm::PrintPaintBoxPaint);
    connect(ZentrCheck, &QCheckBox::clicked, this, &TPrintForm::PrintPaintBoxPaint);
    connect(BreitEdit, &QSpinBox::valueChanged, this, &TPrintForm::BreitEditChange);
    connect(HochEdit, &QSpinBox::valueChanged, this, &TPrintForm::HochEditChange);
    connect(PrintSetupBtn, &QPushButton::clicked, this, &TPrintForm::PrintSetupBtnClick);
    connect(OkBitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrintForm::setPicture(dib &picture, QSize size)
{
    di = Picture(std::move(picture));
    imgSize = size;
    PrintPaintBoxPaint();
}

PrintSizeChoice TPrintForm::choice() const
{
    PrintSizeChoice c;
    c.useFullPage = !UserdefCheck->isChecked();
    c.keepProportions = SverhCheck->isChecked();
    c.centred = ZentrCheck->isChecked();
    c.widthPercent = BreitEdit->value();
    c.heightPercent = HochEdit->value();
    return c;
}

QSize TPrintForm::page() const
{
    QPrinter *device = printer();
    return device ? printablePage(*device) : QSize();
}

void TPrintForm::PrintPaintBoxPaint()
{
    PrintPaintBox->update();
    BreitEditChange();
}

void TPrintForm::UserdefCheckClick()
{
    if (!UserdefCheck->isChecked())
        return;
    BreitEditChange();
    PrintPaintBox->update();
}

void TPrintForm::BreitEditChange()
{
    if (followingPercent)
        return;
    followingPercent = true;
    if (SverhCheck->isChecked()) {
        if (const std::optional<int> h = heightPercentFor(BreitEdit->value(), imgSize, page()))
            HochEdit->setValue(*h);
    }
    PrintPaintBox->update();
    followingPercent = false;
}

void TPrintForm::HochEditChange()
{
    if (followingPercent)
        return;
    followingPercent = true;
    if (SverhCheck->isChecked()) {
        if (const std::optional<int> w = widthPercentFor(HochEdit->value(), imgSize, page()))
            BreitEdit->setValue(*w);
    }
    PrintPaintBox->update();
    followingPercent = false;
}

void TPrintForm::PrintSetupBtnClick()
{
    if (QPrinter *device = printer()) {
        QPageSetupDialog setup(device, this);
        setup.exec();
    }
    // The page may have changed its shape.
    PrintPaintBoxPaint();
}

void TPrintForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen();
    // FormShow: the stored values are back by now; the width rule also repaints the preview.
    BreitEditChange();
}

void TPrintForm::centreOnScreen()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
