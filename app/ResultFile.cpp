#include "app/ResultFile.h"

#include "generators/Numbers.h"

#include <QByteArray>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>

namespace resultfile {

namespace {

// The lines go to the file in pieces of about this size.
constexpr qsizetype kBytesPerWrite = 1 << 20;

// Why a write failed, in the user's words, by the system's reason that Qt
// gives in its error text.
struct FrenchReason {
    int error;
    const char* text;
};

constexpr FrenchReason kReasons[] = {
    {ENOSPC, "le disque est plein"},  // first: also said when the disk is found full
    {EDQUOT, "votre quota d'espace disque est atteint"},
    {EROFS, "le disque est en lecture seule"},
    {EACCES, "l'écriture y est refusée"},
    {EPERM, "l'écriture y est refusée"},
    {ENOENT, "son dossier n'existe pas"},
    {ENOTDIR, "son chemin passe par un fichier qui n'est pas un dossier"},
    {EISDIR, "c'est un dossier"},
    {ENAMETOOLONG, "le nom est trop long"},
    {EFBIG, "le fichier serait trop grand"},
    {EIO, "le disque ne répond pas"},
};

void appendLine(QByteArray& out, std::string_view line)
{
    out.append(line.data(), static_cast<qsizetype>(line.size()));
    out.append('\n');
}

// One horse a column, each written as the list writes it (-3 is "0-3").
void appendCsvLine(QByteArray& out, const torvanel::LineHorses& line)
{
    for (int m = 0; m < line.size; ++m) {
        if (m > 0)
            out.append(';');
        out.append(torvanel::FormatHorseNumber(line.horses[static_cast<std::size_t>(m)]));
    }
    out.append('\n');
}

Saving failed(const QString& reason)
{
    return {Outcome::Failed, reason};
}

}  // namespace

QString frenchReason(const QString& qtError, const QString& fileName)
{
    for (const FrenchReason& reason : kReasons)
        if (qtError.contains(qt_error_string(reason.error), Qt::CaseInsensitive))
            return QString::fromUtf8(reason.text);
    // A write cut short by a full disk can come back without its reason
    // ("Unknown error"): what is left on the disk tells it.
    const QStorageInfo disk(QFileInfo(fileName).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < kBytesPerWrite)
        return QString::fromUtf8(kReasons[0].text);
    return QStringLiteral("erreur du système (%1)").arg(qtError);
}

QString obstacleToWriting(const QString& fileName)
{
    const QFileInfo existing(fileName);
    if (existing.isDir())
        return QStringLiteral("c'est un dossier");
    if (existing.exists() && !existing.isWritable())
        return QStringLiteral("le fichier existant est protégé contre l'écriture");
    return {};
}

Format formatOf(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? Format::Csv : Format::Text;
}

QString suggestedName(torvanel::BetType betType, const QDate& day)
{
    const std::string_view stem = torvanel::bets::RuleOf(betType).fileStem;
    return QStringLiteral("%1-%2.txt")
        .arg(QLatin1String(stem.data(), static_cast<qsizetype>(stem.size())), day.toString(Qt::ISODate));
}

Saving save(const torvanel::ShownLines& lines, const QString& fileName, const clipboard::LineProgress& progress)
{
    if (const QString reason = obstacleToWriting(fileName); !reason.isEmpty())
        return failed(reason);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failed(frenchReason(file.errorString(), fileName));

    const Format format = formatOf(fileName);
    QByteArray pending;
    pending.reserve(kBytesPerWrite + 64);
    bool writeFailed = false;
    const auto flush = [&] {
        writeFailed = file.write(pending) != pending.size();
        pending.clear();
        return !writeFailed;
    };
    const auto written = [&] { return pending.size() < kBytesPerWrite || flush(); };
    const bool complete =
        format == Format::Csv
            ? clipboard::visitHorses(lines, progress,
                                     [&](const torvanel::LineHorses& line) { appendCsvLine(pending, line); return written(); })
            : clipboard::visitLines(lines, progress, [&](std::string_view line) { appendLine(pending, line); return written(); });
    // An unfinished QSaveFile removes what it wrote when it goes.
    if (writeFailed)
        return failed(frenchReason(file.errorString(), fileName));
    if (!complete)
        return {Outcome::Cancelled, {}};
    if (!flush() || !file.commit())
        return failed(frenchReason(file.errorString(), fileName));
    return {Outcome::Saved, {}};
}

}  // namespace resultfile
