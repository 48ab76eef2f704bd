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
    : QAbstractItemModel(parent),
      captions{QStringLiteral("Typ"), QStringLiteral("Bezeichnung"), QStringLiteral("Länge/Umfang"),
               QStringLiteral("Flächeninhalt"), QStringLiteral("Winkel")}
{
}

void ResultsModel::ListObjekte(Document &doc, int areaDecimals)
{
    ListObjekte(doc, areaDecimals, ResultsOptions{});
}

void ResultsModel::ListObjekte(Document &doc, int areaDecimals, const ResultsOptions &options)
{
    for (int k = 0; k < KindCount; ++k)
        kindTexts[static_cast<std::size_t>(k)] = Message(KindMessages[k]);
    if (options.uncertainty) {
        captions[ColumnPlusMinusLaenge] = Translate(QStringLiteral("± Länge/Umfang"));
        captions[ColumnPlusMinusFlaeche] = Translate(QStringLiteral("± Flächeninhalt"));
        captions[ColumnPlusMinusWinkel] = Translate(QStringLiteral("± Winkel"));
    }
    const bool sameDecimals =
        areaDecimals == decimals && options.uncertainty == uncertainty && options.fitDecimals == fitDecimals;
    decimals = areaDecimals;
    uncertainty = options.uncertainty;
    fitDecimals = options.fitDecimals;
    const bool needUncertainty = options.uncertainty || options.fitDecimals;

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
        std::vector<Side> sides;
        ValueUncertainty u;
        if (needUncertainty || (options.segments && (kind == KindPolygon || kind == KindPolyline))) {
            const Shape shape = shapeOf(e);
            const double zoom = doc.placementZoom(doc.elemente.cursor() - 1);
            if (needUncertainty)
                u = valueUncertainty(shape, zoom, options.scale, options.covariance);
            if (options.segments && (kind == KindPolygon || kind == KindPolyline)) {
                for (std::size_t i = 0; i + 1 < shape.points.size(); ++i) {
                    Side side;
                    side.value = segmentValue(shape, i, options.scale);
                    if (needUncertainty)
                        side.u = segmentUncertainty(shape, i, zoom, options.scale, options.covariance);
                    sides.push_back(side);
                }
            }
        }
        if (sides != row.sides || !sameBits(u.lang, row.u.lang) || !sameBits(u.flaeche, row.u.flaeche) ||
            !sameBits(u.winkel, row.u.winkel)) {
            row.sides = std::move(sides);
            row.u = u;
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

int ResultsModel::decimalsFor(double u) const
{
    return fitDecimals ? decimalsForUncertainty(u, decimals) : decimals;
}

void ResultsModel::format(const Row &row) const
{
    row.formatted = true;
    for (QString &text : row.numbers)
        text.clear();
    QString &laenge = row.numbers[0];
    QString &flaeche = row.numbers[1];
    QString &winkel = row.numbers[2];
    const int dl = decimalsFor(row.u.lang);
    const int df = decimalsFor(row.u.flaeche);
    const int dw = decimalsFor(row.u.winkel);
    const bool hasLength = row.kind != KindAngle;
    const bool hasArea = row.kind != KindAngle && row.kind != KindDistance;
    const bool hasAngle = row.kind == KindAngle || row.kind == KindDistance;
    if (row.kind == KindAngle)
        winkel = F(row.winkel, dw) + QStringLiteral("° / ") + F(360.0 - row.winkel, dw) + QStringLiteral("°");
    else if (hasAngle)
        winkel = F(row.winkel, dw);
    if (hasLength)
        laenge = F(row.lang, dl);
    if (hasArea)
        flaeche = F(row.flaeche, df);
    if (!uncertainty)
        return;
    if (hasLength)
        row.numbers[3] = F(row.u.lang, dl);
    if (hasArea)
        row.numbers[4] = F(row.u.flaeche, df);
    if (hasAngle)
        row.numbers[5] = F(row.u.winkel, dw);
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
    case ColumnPlusMinusLaenge:
    case ColumnPlusMinusFlaeche:
    case ColumnPlusMinusWinkel:
        if (!r.formatted)
            format(r);
        return r.numbers[static_cast<std::size_t>(column - ColumnLaenge)];
    default:
        return none;
    }
}

int ResultsModel::segmentCount(int row) const
{
    return static_cast<int>(rows[static_cast<std::size_t>(row)].sides.size());
}

QString ResultsModel::segmentText(int row, int side, int column) const
{
    const Side &s = rows[static_cast<std::size_t>(row)].sides[static_cast<std::size_t>(side)];
    const int dl = decimalsFor(s.u.lang);
    const int dw = decimalsFor(s.u.winkel);
    switch (column) {
    case ColumnTyp:
        return Translate(QStringLiteral("Segment %1")).arg(side + 1);
    case ColumnLaenge:
        return F(s.value.length, dl);
    case ColumnWinkel:
        return F(s.value.direction, dw);
    case ColumnPlusMinusLaenge:
        return uncertainty ? F(s.u.lang, dl) : QString();
    case ColumnPlusMinusWinkel:
        return uncertainty ? F(s.u.winkel, dw) : QString();
    default:
        return QString();
    }
}

// Element rows carry the id 0, a side's row the id of its element row plus one.
QModelIndex ResultsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount())
        return {};
    if (!parent.isValid())
        return row < rowCount() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.model() != this || parent.internalId() != 0 || row >= rowCount(parent))
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex ResultsModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.model() != this || child.internalId() == 0)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr(0));
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return static_cast<int>(rows.size());
    if (parent.model() != this || parent.internalId() != 0 || parent.column() != 0 || parent.row() >= rowCount())
        return 0;
    return segmentCount(parent.row());
}

int ResultsModel::columnCount(const QModelIndex &) const
{
    return uncertainty ? ColumnCountWithUncertainty : ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.model() != this || index.column() >= columnCount())
        return {};
    if (index.internalId() != 0) {
        const int row = static_cast<int>(index.internalId() - 1);
        if (row >= rowCount() || index.row() >= segmentCount(row))
            return {};
        return segmentText(row, index.row(), index.column());
    }
    if (index.row() >= rowCount())
        return {};
    return text(index.row(), index.column());
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractItemModel::headerData(section, orientation, role);
    return captions[static_cast<std::size_t>(section)];
}

bool ResultsModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
        section >= columnCount())
        return false;
    captions[static_cast<std::size_t>(section)] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
