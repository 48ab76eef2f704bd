#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class Document;

// The results list: one row of texts per measuring element, rebuilt from the document at the
// end of every repaint. Rows hold copies of what they show and only the position of their
// element, never the element itself.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ColumnTyp, ColumnBezeichnung, ColumnLaenge, ColumnFlaeche, ColumnWinkel, ColumnCount };

    explicit ResultsModel(QObject *parent = nullptr);

    // Replaces all rows in one reset, numbers with nachkomma2 decimals.
    void ListObjekte(Document &doc, int nachkomma2);

    // The document position of the element a row shows, and the row of an element; -1 for none.
    int elementOfRow(int row) const;
    int rowOfElement(int element) const;

    // row and column must be in range.
    const QString &text(int row, int column) const;

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
    struct Row {
        Kind kind = KindRectangle;
        double lang = 0;
        double flaeche = 0;
        double winkel = 0;
        QString name;
        int element = -1;
        mutable bool formatted = false;
        mutable std::array<QString, 3> numbers; // ColumnLaenge .. ColumnWinkel
    };
    void format(const Row &row) const;

    std::vector<Row> rows;
    int decimals = 0;
    std::array<QString, KindCount> kindTexts;
    std::array<QString, ColumnCount> captions;
    const QString none;
};
