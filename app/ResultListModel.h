#pragma once
// The lines of the last merge as a list model for lstResultat. The model keeps
// its own copy of the result blocks (a few small vectors, whatever the number
// of lines) and writes a line only when the view asks for it, so a merge of
// millions of lines is shown at once.

#include "generators/ResultList.h"

#include <QAbstractListModel>

class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setResult(const torvanel::ResultList& result);
    void clear();
    const torvanel::ResultList& result() const { return result_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    torvanel::ResultList result_;
};
