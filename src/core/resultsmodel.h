#pragma once

#include "core/geometry.h"
#include "core/uncertainty.h"

#include <QAbstractItemModel>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class Document;

// What the results list shows beyond the element rows.
struct ResultsOptions {
    Scale scale;               // for the sides' lengths and directions and for the uncertainties
    bool segments = false;     // a child row per side of each polyline and polygon
    bool uncertainty = false;  // the three "±" columns
    bool fitDecimals = false;  // each value with the decimals its uncertainty warrants
    ScaleCovariance covariance;
    // The zoom each element was placed at comes from the document.
};

// The results list: one row of texts per measuring element, rebuilt from the document at the
// end of every repaint, with a child row per side under each polyline and polygon when asked.
// Rows hold copies of what they show and only the position of their element, never the element
// itself.
class ResultsModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column {
        ColumnTyp,
        ColumnBezeichnung,
        ColumnLaenge,
        ColumnFlaeche,
        ColumnWinkel,
        ColumnCount,
        // Standard uncertainties of the three values, shown only with ResultsOptions::uncertainty.
        ColumnPlusMinusLaenge = ColumnCount,
        ColumnPlusMinusFlaeche,
        ColumnPlusMinusWinkel,
        ColumnCountWithUncertainty
    };

    explicit ResultsModel(QObject *parent = nullptr);

    // Replaces all rows in one reset, numbers with areaDecimals decimals.
    void ListObjekte(Document &doc, int areaDecimals);
    void ListObjekte(Document &doc, int areaDecimals, const ResultsOptions &options);

    bool showsUncertainty() const { return uncertainty; }
    // The decimals of the numbers, as last given to ListObjekte.
    int decimalPlaces() const { return decimals; }
    // The document position of the element a row shows, and the row of an element; -1 for none.
    int elementOfRow(int row) const;
    int rowOfElement(int element) const;

    // row and column must be in range (column below columnCount()).
    const QString &text(int row, int column) const;
    // Sides of element row `row`, and the texts of side `side` ("Segment 1", "", length, "",
    // direction and the uncertainties); both in range.
    int segmentCount(int row) const;
    QString segmentText(int row, int side, int column) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The translation walk puts the translated column captions here.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role = Qt::EditRole) override;

private:
    // The rebuild runs at every repaint, also on every mouse move of a drag, while the view asks
    // only for the rows it shows: a row keeps the element's values and makes its number texts on
    // the first request. A row whose values did not change since the last rebuild keeps them.
    enum Kind : std::uint8_t { KindRectangle, KindEllipse, KindDistance, KindAngle, KindPolygon, KindPolyline, KindCount };
    struct Side {
        SegmentValue value;
        ValueUncertainty u;
        bool operator==(const Side &o) const
        {
            return value.length == o.value.length && value.direction == o.value.direction && u.lang == o.u.lang &&
                   u.winkel == o.u.winkel;
        }
    };
    struct Row {
        Kind kind = KindRectangle;
        double lang = 0;
        double flaeche = 0;
        double winkel = 0;
        ValueUncertainty u;
        std::vector<Side> sides;
        QString name;
        int element = -1;
        mutable bool formatted = false;
        mutable std::array<QString, 6> numbers; // ColumnLaenge .. ColumnPlusMinusWinkel
    };
    void format(const Row &row) const;
    int decimalsFor(double u) const;

    std::vector<Row> rows;
    int decimals = 0;
    bool uncertainty = false;
    bool fitDecimals = false;
    std::array<QString, KindCount> kindTexts;
    std::array<QString, ColumnCountWithUncertainty> captions;
    const QString none;
};
