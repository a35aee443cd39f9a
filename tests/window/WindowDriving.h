#pragma once
// Driving the real window in tests: filling lstResultat by a real merge, the
// lines it then shows, and the reference of what a merge makes. Tests answer
// the program's boxes through Dialogs::TestAnswers. With WindowControls.h it
// brings the window, the kinds of its controls and QtTest: a window test
// includes it first, then only what else it uses.

#include "app/Dialogs.h"
#include "generators/Combinatorics.h"
#include "tests/window/WindowControls.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace driving {

// `window` shown and active, as the user finds it.
inline void openWindow(frmmenu& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}
inline void openWindow(std::unique_ptr<frmmenu>& window)
{
    window = std::make_unique<frmmenu>();
    openWindow(*window);
}

// The texts of a horse list's entries, or of its selected ones only.
inline QStringList entries(const QListWidget* list, bool selectedOnly = false)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        if (!selectedOnly || list->item(row)->isSelected())
            texts.append(list->item(row)->text());
    return texts;
}

// Selects horses 1 to `bases` as bases and merges them alone ("Bases
// seulement") for the bet type `betType` (OptionQuoi index), by clicks.
inline void mergeBasesAlone(frmmenu& window, int bases, int betType)
{
    for (int row = 0; row < bases; ++row)
        ui(window).lstBases->item(row)->setSelected(true);
    QTest::mouseClick(ui(window).Option1[0], Qt::LeftButton);
    if (!ui(window).OptionQuoi[betType]->isChecked())
        QTest::mouseClick(ui(window).OptionQuoi[betType], Qt::LeftButton);
}

// ---- What a merge makes, worked out apart from the window ----
// A block of lines takes `baseTake` of the selected bases, in list order,
// then `outTake` of the selected outsiders.

// How many lines such a block holds, of `bases` bases and `outs` outsiders.
inline torvanel::WideCount linesOfBlock(std::uint64_t bases, int baseTake, std::uint64_t outs = 0, int outTake = 0)
{
    return torvanel::SaturatingMul(torvanel::Binomial(bases, std::uint64_t(baseTake)),
                                   torvanel::Binomial(outs, std::uint64_t(outTake)));
}

// Its lines for bases 1 to `horses` alone, `size` to a line, in increasing
// order ("01-02-03").
inline QStringList linesOfBasesAlone(int horses, int size)
{
    QStringList lines;
    std::function<void(int, QStringList)> extend = [&](int next, QStringList chosen) {
        if (chosen.size() == size) {
            lines.append(chosen.join(QLatin1Char('-')));
            return;
        }
        for (int horse = next; horse <= horses; ++horse)
            extend(horse + 1, chosen + QStringList{QStringLiteral("%1").arg(horse, 2, 10, QLatin1Char('0'))});
    };
    extend(1, {});
    return lines;
}

// The lines lstResultat shows, top to bottom.
inline QStringList shownLines(const frmmenu& window)
{
    QStringList lines;
    const QAbstractItemModel* model = ui(window).lstResultat->model();
    for (int row = 0; row < model->rowCount(); ++row)
        lines << model->index(row, 0).data().toString();
    return lines;
}

// Opens lstResultat's context menu and runs `use` on it while it shows,
// then closes it if `use` has not.
inline void useContextMenu(const frmmenu& window, const std::function<void(QMenu&)>& use)
{
    QTimer::singleShot(0, [&use] {
        auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(shown);
        const QPointer<QMenu> menu = shown;  // `use` may close it, and its boxes delete it
        use(*shown);
        if (menu)
            menu->close();
    });
    emit ui(window).lstResultat->customContextMenuRequested(QPoint(10, 10));
}

inline void selectHorses(QListWidget* list, std::initializer_list<int> horses)
{
    for (int horse : horses)
        list->item(horse - 1)->setSelected(true);
}

inline void setStarters(frmmenu& window, int starters)
{
    ui(window).txtPartants->setText(QString::number(starters));
    QTest::keyClick(ui(window).txtPartants, Qt::Key_Return);
}

// Every line of bases 1..starters among themselves, five to a line (Quinté,
// bases only).
inline void mergeQuinteOfAllBases(frmmenu& window, int starters)
{
    setStarters(window, starters);
    mergeBasesAlone(window, starters, 4);
}

// A tmpfs of its own (mount options `options`) while it lives; only root
// may mount one.
class ScratchDisk {
public:
    explicit ScratchDisk(const QString& options)
        : mounted_(QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", options, "tmpfs", dir_.path()}) == 0)
    {
    }
    ~ScratchDisk()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    bool mounted_;
};

// Runs the test object TestCase with no printer within reach: CUPS is pointed
// at a server that does not exist, and a fresh HOME holds no lpoptions naming
// a default printer.
template <class TestCase>
int execWithoutPrinter(int argc, char* argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    QApplication app(argc, argv);
    TestCase test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace driving
