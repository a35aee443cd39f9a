#include "app/ResultListModel.h"

#include <algorithm>
#include <climits>

ResultListModel::ResultListModel(QObject* parent) : QAbstractListModel(parent) {}

void ResultListModel::show(torvanel::ShownLines lines)
{
    beginResetModel();
    lines_ = std::move(lines);
    // The engine caps a merge below what a view can take; this only guards
    // the conversion.
    rows_ = static_cast<int>(std::min<std::uint64_t>(lines_.count(), INT_MAX));
    endResetModel();
}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return QString::fromStdString(lines_.lineAt(static_cast<std::uint64_t>(index.row())));
}
