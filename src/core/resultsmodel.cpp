#include "core/resultsmodel.h"

#include "core/elements.h"
#include "core/numberformat.h"
#include "core/translate.h"

#include <QStringView>

#include <bit>

namespace {

constexpr int KindMessages[] = {21, 22, 18, 30, 19, 20};

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

}

ResultsModel::ResultsModel(QObject *parent)
    : QAbstractTableModel(parent),
      captions{QStringLiteral("Typ"), QStringLiteral("Bezeichnung"), QStringLiteral("Länge/Umfang"),
               QStringLiteral("Flächeninhalt"), QStringLiteral("Winkel")}
{
}

void ResultsModel::ListObjekte(Document &doc, int nachkomma2)
{
    for (int k = 0; k < KindCount; ++k)
        kindTexts[static_cast<std::size_t>(k)] = Message(KindMessages[k]);
    const bool sameDecimals = nachkomma2 == decimals;
    decimals = nachkomma2;

    beginResetModel();
    rows.reserve(static_cast<std::size_t>(doc.count()));
    std::size_t n = 0;
    int position = -1;
    doc.elemente.First();
    while (doc.elemente.WhileNext()) {
        ++position;
        const Telemente &e = *doc.aele();
        Kind kind;
        switch (e.typ) {
        case TypRectangle:
            kind = KindRectangle;
            break;
        case TypEllipse:
            kind = KindEllipse;
            break;
        case TypDistance:
            kind = KindDistance;
            break;
        case TypAngle:
            kind = KindAngle;
            break;
        case TypPolygon:
            kind = KindPolygon;
            break;
        case TypPolyline:
            kind = KindPolyline;
            break;
        default:
            continue;
        }
        if (n == rows.size())
            rows.emplace_back();
        Row &row = rows[n++];
        row.element = position;
        const double lang = e.lang;
        const double flaeche = e.flaeche;
        const double winkel = e.winkel;
        if (!sameDecimals || row.kind != kind || !sameBits(row.lang, lang) || !sameBits(row.flaeche, flaeche) ||
            !sameBits(row.winkel, winkel)) {
            row.kind = kind;
            row.lang = lang;
            row.flaeche = flaeche;
            row.winkel = winkel;
            row.formatted = false;
        }
        // The name is copied, never pointed to: a later edit may free the element's block.
        const char16_t *name = e.name;
        if (QStringView(name) != row.name)
            row.name = nameText(name);
    }
    rows.resize(n);
    endResetModel();
}

void ResultsModel::format(const Row &row) const
{
    row.formatted = true;
    QString &laenge = row.numbers[0];
    QString &flaeche = row.numbers[1];
    QString &winkel = row.numbers[2];
    if (row.kind == KindAngle) {
        laenge.clear();
        flaeche.clear();
        winkel = F(row.winkel, decimals) + QStringLiteral("° / ") + F(360.0 - row.winkel, decimals)
                 + QStringLiteral("°");
        return;
    }
    laenge = F(row.lang, decimals);
    if (row.kind == KindDistance) {
        flaeche.clear();
        winkel = F(row.winkel, decimals);
    } else {
        flaeche = F(row.flaeche, decimals);
        winkel.clear();
    }
}

int ResultsModel::elementOfRow(int row) const
{
    return row >= 0 && row < rowCount() ? rows[static_cast<std::size_t>(row)].element : -1;
}

int ResultsModel::rowOfElement(int element) const
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].element == element)
            return static_cast<int>(i);
    return -1;
}

const QString &ResultsModel::text(int row, int column) const
{
    const Row &r = rows[static_cast<std::size_t>(row)];
    switch (column) {
    case ColumnTyp:
        return kindTexts[r.kind];
    case ColumnBezeichnung:
        return r.name;
    case ColumnLaenge:
    case ColumnFlaeche:
    case ColumnWinkel:
        if (!r.formatted)
            format(r);
        return r.numbers[static_cast<std::size_t>(column - ColumnLaenge)];
    default:
        return none;
    }
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.model() != this || index.row() >= rowCount() ||
        index.column() >= ColumnCount)
        return {};
    return text(index.row(), index.column());
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return captions[static_cast<std::size_t>(section)];
}

bool ResultsModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
        section >= ColumnCount)
        return false;
    captions[static_cast<std::size_t>(section)] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
