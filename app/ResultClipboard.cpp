#include "app/ResultClipboard.h"

#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "app/ResultHost.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QMenu>

namespace clipboard {

namespace {

// Walks `lines` with `walk` (a line at a time, as text or as numbers), telling
// `progress` as visitLines says.
template <typename Line, typename Walk>
bool visitWith(const torvanel::ShownLines& lines, const LineProgress& progress, Walk walk,
               const std::function<bool(Line)>& visit)
{
    const std::uint64_t count = lines.count();
    if (!progress(0, count))
        return false;
    std::uint64_t written = 0;
    bool stopped = false;
    walk([&](Line line) {
        stopped = !visit(line);
        ++written;
        if (!stopped && written % kLinesPerStep == 0 && written < count)
            stopped = !progress(written, count);
        return !stopped;
    });
    return !stopped && progress(count, count);
}

}  // namespace

bool visitLines(const torvanel::ShownLines& lines, const LineProgress& progress,
                const std::function<bool(std::string_view line)>& visit)
{
    return visitWith<std::string_view>(
        lines, progress, [&lines](const auto& each) { lines.forEachLine(each); }, visit);
}

bool visitHorses(const torvanel::ShownLines& lines, const LineProgress& progress,
                 const std::function<bool(const torvanel::LineHorses& line)>& visit)
{
    return visitWith<const torvanel::LineHorses&>(
        lines, progress, [&lines](const auto& each) { lines.forEachHorses(each); }, visit);
}

std::optional<QString> linesText(const torvanel::ShownLines& lines, const LineProgress& progress)
{
    QString text;
    if (!lines.empty())  // every line of a list has about the length of its first
        text.reserve(static_cast<qsizetype>(lines.count() * (lines.lineAt(0).size() + 1)));
    const bool done = visitLines(lines, progress, [&text](std::string_view line) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QLatin1StringView(line.data(), static_cast<qsizetype>(line.size()));
        return true;
    });
    if (!done)
        return std::nullopt;
    return text;
}

}  // namespace clipboard

namespace {

QString tooManyLines(std::uint64_t count)
{
    return QStringLiteral("La liste compte %1 combinaisons : c'est trop pour le presse-papiers, "
                          "qui en prend au plus %2.\r\n"
                          "Réduisez votre sélection, puis recommencez.")
        .arg(frenchCount(count), frenchCount(clipboard::kMaxCopiedLines));
}

}  // namespace

ResultClipboard::ResultClipboard(ResultHost& host)
    : QObject(&host.hostWindow()),
      host_(host),
      window_(host.hostWindow()),
      copy_(new QAction(QStringLiteral("Copier"), this))
{
    QListView* list = &host.resultView();
    copy_->setObjectName(QStringLiteral("mnuCopier"));
    copy_->setToolTip(QStringLiteral("Copier toutes les combinaisons dans le presse-papiers"));
    commands::markAsActingOnLines(copy_);
    copy_->setShortcut(QKeySequence::Copy);
    // Ctrl+C copies the whole list only while the list has the focus; the
    // text boxes keep their own Ctrl+C.
    copy_->setShortcutContext(Qt::WidgetShortcut);
    copy_->setShortcutVisibleInContextMenu(true);
    list->addAction(copy_);
    connect(copy_, &QAction::triggered, this, &ResultClipboard::copyLines);

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &ResultClipboard::showMenu);
}

void ResultClipboard::showMenu(const QPoint& position)
{
    QListView& list = host_.resultView();
    QMenu menu(&list);
    menu.setObjectName(QStringLiteral("mnuResultat"));
    commands::fillContextMenu(menu, menus_);
    const bool empty = host_.ticket().shown().empty();
    QList<QAction*> turnedOff;
    for (QAction* entry : menu.actions())
        if (commands::actsOnLines(entry) && entry->isEnabled() && empty) {
            entry->setEnabled(false);
            turnedOff.append(entry);
        }
    menu.exec(list.viewport()->mapToGlobal(position));
    // Their shortcuts answer an empty list themselves.
    for (QAction* entry : std::as_const(turnedOff))
        entry->setEnabled(true);
}

void ResultClipboard::copyLines()
{
    // A copy of the result blocks (a few small vectors): the list may be
    // refilled while the progress dialogue lets events through.
    const torvanel::ShownLines lines = host_.ticket().shown();
    if (lines.empty())
        return;
    if (lines.count() > clipboard::kMaxCopiedLines) {
        Dialogs::showMessage(&window_, tooManyLines(lines.count()));
        return;
    }
    JobProgress progress(&window_, clipboard::kLinesWithoutProgress, [](std::uint64_t done, std::uint64_t total) {
        return QStringLiteral("Copie des combinaisons : %1 sur %2").arg(frenchCount(done), frenchCount(total));
    });
    const std::optional<QString> text = clipboard::linesText(
        lines, [&progress](std::uint64_t done, std::uint64_t total) { return progress.step(done, total); });
    if (text)
        QApplication::clipboard()->setText(*text);
}
