#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>

class TranslationTable;

// The translation table as a grid: one row per German text, one column per language. Cell edits
// go into the table at once. The row count is taken when the grid is filled, so rows the table
// gains meanwhile appear at the next fill and never surprise a view.
class TranslationModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int Columns = 30;

    explicit TranslationModel(TranslationTable &table, QObject *parent = nullptr);

    // Takes the table's current rows; called before the editor is shown and after a deletion.
    void fill();

    TranslationTable &table() const { return source; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The translation walk puts the translated captions here.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

    // The caption a column starts with: "German", "English", then "language" and its number.
    static QString defaultCaption(int column);

signals:
    // A cell's text went into the table.
    void edited(int row, int column);

private:
    TranslationTable &source;
    int rows = 0;
    std::array<QString, Columns> captions;
};
