#pragma once
// Driving the real window in tests: filling lstResultat by a real merge, and
// answering the modal boxes the program shows.

#include "app/frmmenu.h"
#include "tests/window/WindowControls.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace driving {

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

// Every choice of `size` horses among 1..`horses`, in increasing order, as
// result lines ("01-02-03").
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

// Runs `action` while a timer, every few milliseconds, hands the modal
// widget that is open (a progress dialogue, a message box) to `answer`.
inline void whileModal(const std::function<void()>& action, const std::function<void(QWidget*)>& answer)
{
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            answer(modal);
    });
    timer.start();
    action();
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
    ui(window).lstBases->selectAll();
    ui(window).OptionQuoi[4]->click();
    ui(window).Option1[0]->click();
}

struct SeenBox {
    QString title;
    QString text;
    int buttons;
};

// While it lives, closes every message box that opens, keeping what it showed.
class MessageBoxCloser {
public:
    MessageBoxCloser()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.append({box->windowTitle(), box->text(), int(box->buttons().size())});
            box->close();
        });
        timer_.start();
    }
    QList<SeenBox> seen;

private:
    QTimer timer_;
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
