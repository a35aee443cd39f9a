#pragma once
// The lines the ticket shows, as a list model for lstResultat. The model holds
// the shown lines (a cheap value sharing the ticket's list) and writes a line
// only when the view asks for it, so a merge of millions of lines is shown at
// once.

#include "generators/ShownLines.h"

#include <QAbstractListModel>

class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultListModel(QObject* parent);

    // Shows `lines` (after a merge, "Vider", a new stage).
    void show(torvanel::ShownLines lines);
    const torvanel::ShownLines& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    torvanel::ShownLines lines_;
    int rows_ = 0;
};
