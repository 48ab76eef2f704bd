#include "ui/dialogs/nachkommaform.h"

#include "ui/mainwindow/formstorage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The fields have no range of their own; the number text clamps what it cannot show.
constexpr int Widest = 2147483647;

QSpinBox *placesField(QWidget *parent, const char *name, int value)
{
    auto *field = new QSpinBox(parent);
    field->setObjectName(QLatin1String(name));
    field->setLocale(QLocale::c());
    field->setRange(-Widest, Widest);
    field->setValue(value);
    field->setAlignment(Qt::AlignRight);
    return field;
}

} // namespace

TNachkommaForm::TNachkommaForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NachkommaForm"));
    setWindowTitle(QStringLiteral("Nachkommastellen"));

    Label1 = new QLabel(QStringLiteral("Nachkommastellen für Strecken:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    NachEd = placesField(this, "NachEd", 2);
    Label2 = new QLabel(QStringLiteral("Nachkommastellen für alles andere:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Nach2Ed = placesField(this, "Nach2Ed", 4);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(NachEd, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(Nach2Ed, 1, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(bottom);
    // A fixed dialog border: the size follows the (translated) captions, never the user.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormStorage1 = std::make_unique<FormStorage>(
        this, QList<StoredProperty>{
                  componentProperty(QStringLiteral("Nach2Ed"), QStringLiteral("Value"), "value", 4),
                  componentProperty(QStringLiteral("NachEd"), QStringLiteral("Value"), "value", 2)});
}

TNachkommaForm::~TNachkommaForm() = default;

bool askDecimalPlaces(TNachkommaForm &form, int &lengthDecimals, int &areaDecimals)
{
    if (form.exec() != QDialog::Accepted)
        return false;
    lengthDecimals = form.NachEd->value();
    areaDecimals = form.Nach2Ed->value();
    return true;
}
