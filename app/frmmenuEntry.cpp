// The window's handlers of horse entry, purge, selection and reordering in
// lstBases and lstOuts.

#include "app/frmmenu.h"

#include "app/Dialogs.h"
#include "app/KeyCodes.h"
#include "merge/EntryRules.h"

#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

namespace {

using torvanel::entry::InsertDecision;
using torvanel::entry::PositionAnswer;

using keys::kEnter;
constexpr int kShiftOnly = 1;

QString fromRules(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string toRules(const QString& text)
{
    return text.toStdString();
}

// Drops every worthless entry; the others keep their order and their
// selection. One pass from the bottom drops the same entries as rescanning
// from the top after each removal.
void dropWorthlessEntries(QListWidget* list)
{
    for (int row = list->count() - 1; row >= 0; --row)
        if (torvanel::entry::IsWorthless(toRules(list->item(row)->text())))
            delete list->takeItem(row);
}

// Keeps only the topmost selected entry selected and returns its row, or -1.
int keepTopmostSelected(QListWidget* list)
{
    QItemSelectionModel* selection = list->selectionModel();
    int top = list->count();
    for (const QItemSelectionRange& range : selection->selection())
        top = std::min(top, range.top());
    if (top == list->count())
        return -1;
    selection->select(list->model()->index(top, 0), QItemSelectionModel::ClearAndSelect);
    return top;
}

// Only the texts change places; each selection flag stays with its row.
void swapTexts(QListWidget* list, int rowA, int rowB)
{
    const QString text = list->item(rowA)->text();
    list->item(rowA)->setText(list->item(rowB)->text());
    list->item(rowB)->setText(text);
}

// SHIFT+press: asks where the topmost selected horse goes and swaps it there.
void moveTopmostSelected(QWidget& window, QListWidget* list)
{
    const int from = keepTopmostSelected(list);
    if (from < 0)
        return;
    const QString question = fromRules(torvanel::entry::PositionQuestion(toRules(list->item(from)->text())));
    const std::optional<QString> answer = Dialogs::askText(&window, question);
    // The question is modal, yet the guided tour keeps running behind it and
    // may have emptied the list.
    if (!answer || from >= list->count())
        return;
    const PositionAnswer reply = torvanel::entry::ReadPositionAnswer(toRules(*answer), list->count());
    if (reply.kind == PositionAnswer::Kind::Refused)
        Dialogs::showMessage(&window, fromRules(reply.message));
    else if (reply.kind == PositionAnswer::Kind::Move)
        swapTexts(list, from, reply.row);
}

}  // namespace

// ---- Handlers -------------------------------------------------------------------

void frmmenu::txtInserer_KeyDown(int index, int keyCode, int /*shift*/)
{
    if (keyCode != kEnter)
        return;
    QLineEdit* box = txtInserer.at(index);
    QListWidget* list = horseList(index);
    const QString typed = box->text();
    const InsertDecision decision =
        torvanel::entry::DecideInsert(toRules(txtPartants->text()), toRules(typed), list->count());
    if (decision.verdict == InsertDecision::Verdict::Append)
        list->addItem(typed);
    else
        Dialogs::showMessage(this, fromRules(decision.message));
    if (decision.verdict != InsertDecision::Verdict::RefuseAndKeep)
        box->clear();
}

void frmmenu::lstBases_LostFocus()
{
    dropWorthlessEntries(lstBases);
}

void frmmenu::lstOuts_LostFocus()
{
    dropWorthlessEntries(lstOuts);
}

void frmmenu::lstBases_MouseDown(int /*button*/, int shift, float /*x*/, float /*y*/)
{
    if (shift == kShiftOnly)
        moveTopmostSelected(*this, lstBases);
}

void frmmenu::lstOuts_MouseDown(int /*button*/, int shift, float /*x*/, float /*y*/)
{
    if (shift == kShiftOnly)
        moveTopmostSelected(*this, lstOuts);
}

void frmmenu::cmdTous_Click(int index)
{
    horseList(index)->selectAll();
}

void frmmenu::cmdAucun_Click(int index)
{
    horseList(index)->clearSelection();
}

void frmmenu::cmdVider_Click(int index)
{
    if (index == 2) {
        // The count and cost labels keep showing the last merge.
        ticket_.clearResult();
        showTicket();
        return;
    }
    horseList(index)->clear();
}

