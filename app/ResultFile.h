#pragma once
// Writing the result lines to a file: one line per result line, in list
// order, exactly as the list shows them and with a final line break, or one
// horse per column for a name ending in ".csv". The file is written beside
// its final place and put there only once whole, so a cancelled or failed
// save leaves either the old file untouched or no file at all.

#include "app/ResultClipboard.h"
#include "generators/ShownLines.h"
#include "merge/MergeTypes.h"

#include <QDate>
#include <QString>

namespace resultfile {

enum class Format { Text, Csv };

// Csv for a name ending in ".csv" (whatever the case), Text otherwise.
Format formatOf(const QString& fileName);

// The name offered for a save: the bet type and the day, "quinte-2026-12-08.txt".
QString suggestedName(torvanel::BetType betType, const QDate& day);

// What stands in the way of writing `fileName` before anything is written
// (a folder, a protected file); empty when nothing does.
QString obstacleToWriting(const QString& fileName);

enum class Outcome { Saved, Cancelled, Failed };

struct Saving {
    Outcome outcome;
    QString reason;  // why it failed, in French, for the message
};

// Why writing `fileName` failed, in the user's words ("le disque est plein"),
// from the error text Qt gave; for the save's message and the printer's.
QString frenchReason(const QString& qtError, const QString& fileName);

// Writes `lines` to `fileName`, telling `progress` how far it is as the copy
// to the clipboard does; `progress` answering false cancels the save.
Saving save(const torvanel::ShownLines& lines, const QString& fileName, const clipboard::LineProgress& progress);

}  // namespace resultfile
