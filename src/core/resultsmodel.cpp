#include "core/resultsmodel.h"

#include "core/elements.h"
#include "core/numberformat.h"
#include "core/translate.h"

ResultsModel::ResultsModel(QObject *parent)
    : QAbstractTableModel(parent),
      captions{QStringLiteral("Typ"), QStringLiteral("Bezeichnung"), QStringLiteral("Länge/Umfang"),
               QStringLiteral("Flächeninhalt"), QStringLiteral("Winkel")}
{
}

void ResultsModel::ListObjekte(Document &doc, int nachkomma2)
{
    // Looked up once per rebuild: the rebuild runs on every mouse move of a drag.
    const QString abstand = Message(18);
    const QString polygon = Message(19);
    const QString strecke = Message(20);
    const QString rechteck = Message(21);
    const QString ellipse = Message(22);
    const QString winkel = Message(30);
    const QString degree = QStringLiteral("°");
    const QString separator = QStringLiteral("° / ");

    beginResetModel();
    rows.clear();
    rows.reserve(static_cast<std::size_t>(doc.count()));
    doc.elemente.First();
    while (doc.elemente.WhileNext()) {
        const Telemente &e = *doc.aele();
        const QString *typ = nullptr;
        switch (e.typ) {
        case TypRectangle:
            typ = &rechteck;
            break;
        case TypEllipse:
            typ = &ellipse;
            break;
        case TypDistance:
            typ = &abstand;
            break;
        case TypAngle:
            typ = &winkel;
            break;
        case TypPolygon:
            typ = &polygon;
            break;
        case TypPolyline:
            typ = &strecke;
            break;
        default:
            continue;
        }
        Row &row = rows.emplace_back();
        row[ColumnTyp] = *typ;
        row[ColumnBezeichnung] = Document::name(e);
        if (e.typ == TypAngle) {
            row[ColumnWinkel] = F(e.winkel, nachkomma2) + separator + F(360.0 - e.winkel, nachkomma2) + degree;
            continue;
        }
        row[ColumnLaenge] = F(e.lang, nachkomma2);
        if (e.typ == TypDistance)
            row[ColumnWinkel] = F(e.winkel, nachkomma2);
        else
            row[ColumnFlaeche] = F(e.flaeche, nachkomma2);
    }
    endResetModel();
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
