#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

class Document;

// The results list: one row of texts per measuring element, rebuilt from the document at the
// end of every repaint. Rows hold texts only and never refer back to their elements.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ColumnTyp, ColumnBezeichnung, ColumnLaenge, ColumnFlaeche, ColumnWinkel, ColumnCount };

    explicit ResultsModel(QObject *parent = nullptr);

    // Replaces all rows in one reset, numbers with nachkomma2 decimals.
    void ListObjekte(Document &doc, int nachkomma2);

    const QString &text(int row, int column) const { return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The translation walk puts the translated column captions here.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role = Qt::EditRole) override;

private:
    using Row = std::array<QString, ColumnCount>;
    std::vector<Row> rows;
    std::array<QString, ColumnCount> captions;
};
