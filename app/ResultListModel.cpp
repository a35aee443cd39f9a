#include "app/ResultListModel.h"

#include <algorithm>
#include <climits>

ResultListModel::ResultListModel(QObject* parent) : QAbstractListModel(parent) {}

void ResultListModel::show(torvanel::ShownLines lines, RowLook look)
{
    beginResetModel();
    lines_ = std::move(lines);
    look_ = std::move(look);
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
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::uint64_t>(index.row());
    if (role == Qt::DisplayRole)
        return QString::fromStdString(lines_.lineAt(row));
    if (look_ && (role == Qt::BackgroundRole || role == Qt::ToolTipRole))
        return look_(lines_.horsesAt(row), role);
    return {};
}
