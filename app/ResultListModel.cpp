#include "app/ResultListModel.h"

#include <algorithm>
#include <climits>

ResultListModel::ResultListModel(const torvanel::ResultList& result, QObject* parent)
    : QAbstractListModel(parent), result_(result)
{
}

void ResultListModel::resultChanged()
{
    beginResetModel();
    // The engine caps a merge below what a view can take; this only guards
    // the conversion.
    rows_ = static_cast<int>(std::min<std::uint64_t>(result_.count(), INT_MAX));
    endResetModel();
}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()
        || static_cast<std::uint64_t>(index.row()) >= result_.count())
        return {};
    return QString::fromStdString(result_.lineAt(static_cast<std::uint64_t>(index.row())));
}
