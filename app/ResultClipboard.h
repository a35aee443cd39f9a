#pragma once
// Copying the result list, the way a punter carries the lines to a betting
// site: Ctrl+C in lstResultat, or its context menu entry "Copier les
// combinaisons", puts every line of the list on the clipboard, one per line
// in list order, whatever is selected. A long list shows how far the copy is
// and can be cancelled; a cancelled copy leaves the clipboard as it was.

#include "app/Commands.h"
#include "generators/ShownLines.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

class QAction;
class QPoint;
class QWidget;
class ResultHost;

namespace clipboard {

// The clipboard takes at most this many lines (about 150 MB of text): a
// longer list is refused with a message rather than exhausting the memory.
constexpr std::uint64_t kMaxCopiedLines = 10'000'000;
// A list of up to this many lines is copied without a progress dialogue.
constexpr std::uint64_t kLinesWithoutProgress = 200'000;
// Lines written between two reports of progress.
constexpr std::uint64_t kLinesPerStep = 20'000;

// Told before the first line (0 written), every kLinesPerStep lines and after
// the last; answers false to stop.
using LineProgress = std::function<bool(std::uint64_t linesWritten, std::uint64_t lineCount)>;

// Hands every line to `visit`, in list order, telling `progress` as above;
// false when `progress` or `visit` (answering false) stopped it.
bool visitLines(const torvanel::ShownLines& lines, const LineProgress& progress,
                const std::function<bool(std::string_view line)>& visit);

// The same walk over the lines as horse numbers.
bool visitHorses(const torvanel::ShownLines& lines, const LineProgress& progress,
                 const std::function<bool(const torvanel::LineHorses& line)>& visit);

// The lines joined by "\n", in list order; nothing when `progress` stopped it.
std::optional<QString> linesText(const torvanel::ShownLines& lines, const LineProgress& progress);

}  // namespace clipboard

// Puts the copy on lstResultat: the Ctrl+C shortcut and the context menu.
class ResultClipboard : public QObject {
    Q_OBJECT
public:
    explicit ResultClipboard(ResultHost& host);

    // What Ctrl+C and the menu entry do.
    void copyLines();
    QAction* copyAction() const { return copy_; }

    // The menus whose entries the context menu shows, in order; entries that
    // act on the lines are off while the menu shows an empty list.
    void setMenus(QList<CommandMenu> menus) { menus_ = std::move(menus); }

private:
    void showMenu(const QPoint& position);

    ResultHost& host_;
    QWidget& window_;
    QAction* copy_;
    QList<CommandMenu> menus_;
};
