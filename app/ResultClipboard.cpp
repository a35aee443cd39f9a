#include "app/ResultClipboard.h"

#include "app/Dialogs.h"
#include "app/frmmenu.h"
#include "app/JobProgress.h"
#include "app/ResultListModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QLocale>
#include <QMenu>

namespace clipboard {

std::optional<QString> linesText(const torvanel::ResultList& lines, const LineProgress& progress)
{
    const std::uint64_t count = lines.count();
    if (!progress(0, count))
        return std::nullopt;
    QString text;
    if (count > 0)  // every line of a list has about the length of its first
        text.reserve(static_cast<qsizetype>(count * (lines.lineAt(0).size() + 1)));
    std::uint64_t written = 0;
    bool stopped = false;
    lines.forEachLine([&](std::string_view line) {
        if (written > 0)
            text += QLatin1Char('\n');
        text += QLatin1StringView(line.data(), static_cast<qsizetype>(line.size()));
        ++written;
        if (written % kLinesPerStep == 0 && written < count)
            stopped = !progress(written, count);
        return !stopped;
    });
    if (stopped || !progress(count, count))
        return std::nullopt;
    return text;
}

}  // namespace clipboard

namespace {

QString frenchNumber(std::uint64_t number)
{
    return QLocale(QLocale::French, QLocale::France).toString(static_cast<qulonglong>(number));
}

QString tooManyLines(std::uint64_t count)
{
    return QStringLiteral("La liste compte %1 combinaisons : c'est trop pour le presse-papiers, "
                          "qui en prend au plus %2.\r\n"
                          "Réduisez votre sélection, puis recommencez.")
        .arg(frenchNumber(count), frenchNumber(clipboard::kMaxCopiedLines));
}

}  // namespace

ResultClipboard::ResultClipboard(frmmenu& window)
    : QObject(&window), window_(window), copy_(new QAction(QStringLiteral("Copier les combinaisons"), this))
{
    QListView* list = window.lstResultat;
    copy_->setObjectName(QStringLiteral("actCopierCombinaisons"));
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
    QMenu menu(window_.lstResultat);
    menu.setObjectName(QStringLiteral("mnuResultat"));
    copy_->setEnabled(window_.resultModel->rowCount() > 0);
    menu.addAction(copy_);
    menu.exec(window_.lstResultat->viewport()->mapToGlobal(position));
    copy_->setEnabled(true);
}

void ResultClipboard::copyLines()
{
    // A copy of the result blocks (a few small vectors): the list may be
    // refilled while the progress dialogue lets events through.
    const torvanel::ResultList lines = window_.engine.result();
    if (lines.empty())
        return;
    if (lines.count() > clipboard::kMaxCopiedLines) {
        Dialogs::showMessage(&window_, tooManyLines(lines.count()));
        return;
    }
    JobProgress progress(&window_, clipboard::kLinesWithoutProgress, [](std::uint64_t done, std::uint64_t total) {
        return QStringLiteral("Copie des combinaisons : %1 sur %2").arg(frenchNumber(done), frenchNumber(total));
    });
    const std::optional<QString> text = clipboard::linesText(
        lines, [&progress](std::uint64_t done, std::uint64_t total) { return progress.step(done, total); });
    if (text)
        QApplication::clipboard()->setText(*text);
}
