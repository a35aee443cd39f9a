#include "app/ResultListModel.h"

#include <algorithm>
#include <climits>

void ResultListModel::setResult(const torvanel::ResultList& result)
{
    beginResetModel();
    result_ = result;
    endResetModel();
}

void ResultListModel::clear()
{
    beginResetModel();
    result_.clear();
    endResetModel();
}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    // The engine caps a merge below what a view can take; this only guards
    // the conversion.
    return static_cast<int>(std::min<std::uint64_t>(result_.count(), INT_MAX));
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return QString::fromStdString(result_.lineAt(static_cast<std::uint64_t>(index.row())));
}
