#include "ui/translation/translationmodel.h"

#include "core/translationtable.h"

static_assert(TranslationModel::Columns == TranslationTable::Columns);

TranslationModel::TranslationModel(TranslationTable &table, QObject *parent)
    : QAbstractTableModel(parent), source(table)
{
    for (int column = 0; column < Columns; ++column)
        captions[static_cast<std::size_t>(column)] = defaultCaption(column);
}

QString TranslationModel::defaultCaption(int column)
{
    switch (column) {
    case 0: return QStringLiteral("German");
    case 1: return QStringLiteral("English");
    default: return QStringLiteral("language") + QString::number(column);
    }
}

void TranslationModel::fill()
{
    beginResetModel();
    rows = source.rowCount();
    endResetModel();
}

int TranslationModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows;
}

int TranslationModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant TranslationModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return source.text(index.row(), index.column());
}

bool TranslationModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rows || index.row() >= source.rowCount())
        return false;
    const QString text = value.toString();
    if (source.text(index.row(), index.column()) != text) {
        source.setText(index.row(), index.column(), text);
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
    emit edited(index.row(), index.column());
    return true;
}

Qt::ItemFlags TranslationModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant TranslationModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return captions[static_cast<std::size_t>(section)];
}

bool TranslationModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
        section >= Columns)
        return false;
    captions[static_cast<std::size_t>(section)] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
