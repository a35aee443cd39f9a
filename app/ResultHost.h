#pragma once
// What the commands on the result list (copy, save, reduce, check an
// arrival, and the like) take from the window and hand back to it, so that
// they know nothing else of it: the ticket they read, and a way to show a
// new stage of it.

#include "ticket/Ticket.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QListView;
class QWidget;

class ResultHost {
public:
    // The window: the parent of the commands' dialogues and the holder of
    // their shortcuts.
    virtual QWidget& hostWindow() = 0;
    virtual QListView& resultView() = 0;
    // The punter's ticket; its shown() lines are those lstResultat shows.
    virtual const torvanel::Ticket& ticket() const = 0;
    // Shows only the lines `kept` (increasing indices of the lines shown now)
    // as a new stage of the ticket, with their count and their cost at the
    // stake in txtUnite; false (and a message) when that stake is refused,
    // and the list stays as it was. A reduction names what it was made for.
    virtual bool showStage(torvanel::StageKind kind, const std::vector<std::uint64_t>& kept, std::string title,
                           torvanel::MessageSink& messages, std::optional<torvanel::ReducedFor> reducedFor) = 0;
    // Sets `conditions` and shows `kept`, the lines of the full list they
    // keep, as "Conditions…" does; false (and a message) when the stake in
    // txtUnite is refused.
    virtual bool showConditions(const torvanel::conditions::Conditions& conditions, torvanel::LineSelection kept,
                                torvanel::MessageSink& messages) = 0;
    // The lines of `full` that `conditions` keep: at once for short lists, on
    // a worker thread with the progress dialogue for long ones; nothing when
    // the user cancelled.
    virtual std::optional<torvanel::LineSelection> filterLines(const torvanel::ResultList& full,
                                                               const torvanel::conditions::Conditions& conditions) = 0;
    // Shows the lines `paidFull` (of the full list) that `arrival` pays
    // among the ticket's playedLines(), in place of an earlier arrival's;
    // false (and a message) when the stake in txtUnite is refused.
    virtual bool showArrivalStage(torvanel::LineSelection paidFull, std::vector<torvanel::bets::Horse> arrival,
                                  std::string title, torvanel::MessageSink& messages) = 0;
    // The stake typed in txtUnite.
    virtual std::string stakeText() const = 0;
    // Keeps what the punter typed of the race's result in the ticket.
    virtual void keepArrivalEntry(torvanel::ArrivalEntry entry) = 0;

protected:
    ~ResultHost() = default;
};
