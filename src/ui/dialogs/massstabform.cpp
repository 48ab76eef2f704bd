#include "ui/dialogs/massstabform.h"

#include "core/numberformat.h"
#include "core/translate.h"
#include "ui/mainwindow/formstorage.h"
#include "ui/mainwindow/namedwidget.h"
#include "ui/widgets/numberfield.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { ColumnName, ColumnPixel, ColumnWert, ColumnEinheit };

constexpr int SavedDecimals = 10;

RealSpinField *scaleField(QWidget *parent, const char *name)
{
    auto *field = new RealSpinField(parent);
    field->setObjectName(QLatin1String(name));
    field->setDecimals(4);
    return field;
}

QList<StoredProperty> massstabStoredProperties()
{
    const QString decimal = QStringLiteral("Decimal");
    return {componentProperty(QStringLiteral("KommaEd"), QStringLiteral("Value"), "value", 4),
            componentProperty(QStringLiteral("PixelEd"), decimal, "decimals", 4),
            componentProperty(QStringLiteral("entsprichted"), decimal, "decimals", 4)};
}

} // namespace

TmassstabForm::TmassstabForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("massstabForm"));
    setWindowTitle(QStringLiteral("Maßstab"));
    setSizeGripEnabled(true);
    buildLayout();
    connect(KommaEd, &QSpinBox::valueChanged, this, &TmassstabForm::KommaEdChange);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &TmassstabForm::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TmassstabForm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TmassstabForm::BitBtn4Click);
    FormStorage1 = std::make_unique<FormStorage>(this, massstabStoredProperties());
}

TmassstabForm::~TmassstabForm() = default;

QStringList TmassstabForm::units()
{
    return {QStringLiteral("mm"),   QStringLiteral("cm"),     QStringLiteral("dm"),     QStringLiteral("m"),
            QStringLiteral("km"),   QStringLiteral("Fuß"),    QStringLiteral("Yard"),   QStringLiteral("Inch"),
            QStringLiteral("Meilen"), QStringLiteral("Seemeilen"), QStringLiteral("µm"), QStringLiteral("nm"),
            QStringLiteral("pm")};
}

void TmassstabForm::buildLayout()
{
    PixelEd = scaleField(this, "PixelEd");
    Label1 = namedLabel(this, "Label1", QStringLiteral("Pixel"));
    Label2 = namedLabel(this, "Label2", QStringLiteral("Entsprechen:"));
    entsprichted = scaleField(this, "entsprichted");

    EinheitEd = new QComboBox(this);
    EinheitEd->setObjectName(QStringLiteral("EinheitEd"));
    EinheitEd->setEditable(true);
    EinheitEd->setInsertPolicy(QComboBox::NoInsert);
    EinheitEd->addItems(units());
    EinheitEd->setCurrentIndex(0);

    CheckBox1 = new QCheckBox(QStringLiteral("Maßstab anzeigen"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    Label3 = namedLabel(this, "Label3", QStringLiteral("Name zum Speichern des Maßstabs:"));
    NameEd = new QLineEdit(this);
    NameEd->setObjectName(QStringLiteral("NameEd"));

    Label4 = namedLabel(this, "Label4", QStringLiteral("Anzahl der Nachkommastellen:"));
    KommaEd = new QSpinBox(this);
    KommaEd->setObjectName(QStringLiteral("KommaEd"));
    KommaEd->setLocale(QLocale::c());
    KommaEd->setRange(0, 20);
    KommaEd->setValue(4);
    KommaEd->setAlignment(Qt::AlignRight);

    BitBtn2 = namedButton(this, "BitBtn2", QStringLiteral("Maßstab speichern"));
    BitBtn3 = namedButton(this, "BitBtn3", QStringLiteral("Maßstab zurückholen"));
    BitBtn4 = namedButton(this, "BitBtn4", QStringLiteral("Löschen"));
    BitBtn1 = namedButton(this, "BitBtn1", QStringLiteral("OK"));
    BitBtn1->setDefault(true);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(4);
    ListView1->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Pixel"), QStringLiteral("Wert"), QStringLiteral("Einheit")});
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setColumnWidth(ColumnName, 100);
    ListView1->setColumnWidth(ColumnPixel, 100);
    ListView1->setColumnWidth(ColumnWert, 100);
    ListView1->setColumnWidth(ColumnEinheit, 90);
    // The selection stays as visible as with focus when the buttons take the focus.
    QPalette palette = ListView1->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    ListView1->setPalette(palette);

    auto *fields = new QGridLayout;
    fields->addWidget(PixelEd, 0, 0);
    fields->addWidget(Label1, 0, 1);
    fields->addWidget(Label2, 1, 0, 1, 2);
    fields->addWidget(entsprichted, 2, 0);
    fields->addWidget(EinheitEd, 2, 1);
    fields->addWidget(CheckBox1, 3, 0, 1, 2);
    fields->addWidget(Label3, 4, 0, 1, 2);
    fields->addWidget(NameEd, 5, 0, 1, 2);
    fields->addWidget(Label4, 6, 0, 1, 2);
    fields->addWidget(KommaEd, 7, 0);
    fields->setColumnStretch(0, 1);

    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(BitBtn2);
    listButtons->addWidget(BitBtn3);
    listButtons->addWidget(BitBtn4);
    listButtons->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(listButtons);
    layout->addWidget(ListView1, 1);
    layout->addLayout(bottom);
}

QList<SavedScale> TmassstabForm::savedScales() const
{
    QList<SavedScale> scales;
    scales.reserve(ListView1->topLevelItemCount());
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = ListView1->topLevelItem(i);
        scales.append({row->text(ColumnName), row->text(ColumnPixel), row->text(ColumnWert), row->text(ColumnEinheit)});
    }
    return scales;
}

void TmassstabForm::setSavedScales(const QList<SavedScale> &scales)
{
    ListView1->setUpdatesEnabled(false);
    ListView1->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(scales.size());
    for (const SavedScale &s : scales)
        rows.append(new QTreeWidgetItem(QStringList{s.name, s.pixel, s.value, s.unit}));
    ListView1->addTopLevelItems(rows);
    ListView1->setUpdatesEnabled(true);
}

void TmassstabForm::BitBtn2Click()
{
    ListView1->addTopLevelItem(new QTreeWidgetItem(QStringList{
        NameEd->text(), F(PixelEd->value(), SavedDecimals), F(entsprichted->value(), SavedDecimals),
        EinheitEd->currentText()}));
}

void TmassstabForm::BitBtn3Click()
{
    const QList<QTreeWidgetItem *> selected = ListView1->selectedItems();
    if (selected.isEmpty()) {
        showSelectFirstMessage();
        return;
    }
    const QTreeWidgetItem *row = selected.first();
    NameEd->setText(row->text(ColumnName));
    // A row text that does not read as a number ends the recall there; earlier fields keep
    // their new values.
    double v = 0.0;
    if (!parseNumber(row->text(ColumnPixel), v))
        return;
    PixelEd->setValue(v);
    if (!parseNumber(row->text(ColumnWert), v))
        return;
    entsprichted->setValue(v);
    EinheitEd->setEditText(row->text(ColumnEinheit));
}

void TmassstabForm::BitBtn4Click()
{
    const QList<QTreeWidgetItem *> selected = ListView1->selectedItems();
    if (selected.isEmpty()) {
        showSelectFirstMessage();
        return;
    }
    delete selected.first();
    // Deleting leaves no row selected, so a second press does not delete a neighbour unseen.
    ListView1->clearSelection();
}

void TmassstabForm::KommaEdChange()
{
    PixelEd->setDecimals(KommaEd->value());
    entsprichted->setDecimals(KommaEd->value());
}

void TmassstabForm::showSelectFirstMessage()
{
    QMessageBox box(QMessageBox::Critical, QString(), Message(29), QMessageBox::Ok, this);
    box.exec();
}

ScaleDialogValues runScaleDialog(TmassstabForm &form, const ScaleDialogValues &current,
                                 const std::function<void(const QList<SavedScale> &)> &writeOptions)
{
    // The stored decimals first, so the preset values are rounded once, to what will be shown.
    form.storage().restoreNow();
    form.PixelEd->setValue(current.pixelLength);
    form.entsprichted->setValue(current.realLength);
    form.EinheitEd->setEditText(current.unit);
    form.CheckBox1->setChecked(current.showScale);

    form.exec();

    if (writeOptions)
        writeOptions(form.savedScales());

    ScaleDialogValues result;
    result.showScale = form.CheckBox1->isChecked();
    result.pixelLength = form.PixelEd->value();
    result.realLength = form.entsprichted->value();
    result.unit = form.EinheitEd->currentText();
    if (result.pixelLength == 0.0)
        result.pixelLength = 1.0;
    if (result.realLength == 0.0)
        result.realLength = 1.0;
    return result;
}
