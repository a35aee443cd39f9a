#pragma once
// The lines the ticket shows, as a list model for lstResultat. The model holds
// the shown lines (a cheap value sharing the ticket's list) and writes a line
// only when the view asks for it, so a merge of millions of lines is shown at
// once.

#include "generators/ShownLines.h"

#include <QAbstractListModel>

#include <functional>

class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultListModel(QObject* parent);

    // What a row shows beside its line for a role (its background, its
    // tooltip), from the line's horses; an invalid value for nothing.
    using RowLook = std::function<QVariant(const torvanel::LineHorses& line, int role)>;

    // Shows `lines` (after a merge, "Vider", a new stage), each row as `look`
    // says beyond its text, which stays the line itself.
    void show(torvanel::ShownLines lines, RowLook look = {});
    const torvanel::ShownLines& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    torvanel::ShownLines lines_;
    RowLook look_;
    int rows_ = 0;
};
