#pragma once
// The lines of the last merge as a list model for lstResultat. The model reads
// the merge engine's result, which owns the lines, and writes a line only when
// the view asks for it, so a merge of millions of lines is shown at once.

#include "generators/ResultList.h"

#include <QAbstractListModel>

class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // `result` must outlive the model.
    ResultListModel(const torvanel::ResultList& result, QObject* parent);

    // Tells the view that the result has changed (a merge, "Vider").
    void resultChanged();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const torvanel::ResultList& result_;
    // The count the view was last told of: a merge changes the result before
    // it is done, and may show a message in between.
    int rows_ = 0;
};
