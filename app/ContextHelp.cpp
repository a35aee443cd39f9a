#include "app/ContextHelp.h"

#include "app/ControlTable.h"
#include "app/frmmenu.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QMouseEvent>

#include <cstring>

namespace contexthelp {

using PlainHandler = void (frmmenu::*)(int button, int shift, float x, float y);
using ArrayHandler = void (frmmenu::*)(int index, int button, int shift, float x, float y);

// One control (or control array) with its help text and its mouse-move
// handler: `plain` for a single control, `member` for an array.
struct HelpEntry {
    const char* control;
    const char* text;
    PlainHandler plain = nullptr;
    ArrayHandler member = nullptr;
};

namespace {

constexpr const char* kWindow = "frmmenu";

// "\n" is a line break in txtAide: the list texts show their SHIFT+click
// line on a line of its own.
const HelpEntry kHelp[] = {
    {kWindow, "Déplacez le curseur pour lire ici de l'aide", &frmmenu::Form_MouseMove},
    {"txtPartants", "Insérez le nombre de partants, puis validez en appuyant sur ENTREE",
     &frmmenu::txtPartants_MouseMove},
    {"txtInserer", "Tapez un numéro de cheval puis appuyez sur ENTREE pour l'insérer dans la liste",
     nullptr, &frmmenu::txtInserer_MouseMove},
    {"lstBases",
     "Cliquez les numéros pour sélectionner les bases.\n"
     "(MAJ - SHIFT en anglais) + Clic = changer numéro de place",
     &frmmenu::lstBases_MouseMove},
    {"lstOuts",
     "Cliquez les numéros pour sélectionner les outsiders.\n"
     "(MAJ - SHIFT en anglais) + Clic = changer numéro de place",
     &frmmenu::lstOuts_MouseMove},
    {"cmdTous", "Cliquez pour sélectionner la totalité des chevaux", nullptr, &frmmenu::cmdTous_MouseMove},
    {"cmdAucun", "Cliquez pour désélectionner la totalité des chevaux", nullptr,
     &frmmenu::cmdAucun_MouseMove},
    {"Option1", "Cochez pour choisir le type de fusion que vous désirez réaliser", nullptr,
     &frmmenu::Option1_MouseMove},
    {"OptionQuoi", "Cochez pour choisir le type de jeu pour lequel vous désirez réaliser la fusion", nullptr,
     &frmmenu::OptionQuoi_MouseMove},
    {"cmdFusionner",
     "Cliquez ce bouton pour fusionner les bases avec les outsiders (ou bases seules ou outsiders seuls)",
     &frmmenu::cmdFusionner_MouseMove},
    {"Command1", "Cliquez pour assister à un tutorial automatique", &frmmenu::Command1_MouseMove},
};

const HelpEntry* entryFor(const char* control)
{
    for (const HelpEntry& entry : kHelp)
        if (std::strcmp(entry.control, control) == 0)
            return &entry;
    return nullptr;
}

// Mouse button as the handlers take it: left 1, right 2, middle 4.
int buttonCodeOf(Qt::MouseButtons buttons)
{
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) | (buttons.testFlag(Qt::RightButton) ? 2 : 0)
         | (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

}  // namespace

const char* textFor(const char* control)
{
    const HelpEntry* entry = entryFor(control);
    return entry ? entry->text : nullptr;
}

}  // namespace contexthelp

// ---- Watching the mouse ------------------------------------------------------

void ContextHelp::install(frmmenu& window)
{
    new ContextHelp(window);  // owned by the window
}

ContextHelp::ContextHelp(frmmenu& window) : QObject(&window), window_(window)
{
    watch(&window, contexthelp::entryFor(contexthelp::kWindow), controls::NoIndex);
    for (const controls::ControlLayout& layout : controls::windowControls()) {
        const contexthelp::HelpEntry* entry = contexthelp::entryFor(layout.name);
        if (!entry)
            continue;
        auto* control = window.findChild<QWidget*>(controls::objectNameOf(layout.name, layout.index));
        Q_ASSERT(control);
        watch(control, entry, layout.index);
    }
}

void ContextHelp::watch(QWidget* control, const contexthelp::HelpEntry* entry, int index)
{
    QList<QWidget*> surfaces{control};
    // A list's entries lie on its viewport, which gets the mouse moves.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        surfaces.append(area->viewport());
    for (QWidget* surface : surfaces) {
        surface->setMouseTracking(true);
        surface->installEventFilter(this);
        watched_.insert(surface, {entry, index});
    }
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto target = watched_.constFind(watched);
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (target != watched_.cend() && (watched != &window_ || overBareBackground(mouse)))
            callHandler(*target, mouse);
    }
    return false;  // the control still sees the move (hover, drag selection)
}

// A move that a child control passes on to the window is not over the
// background: labels, images and controls without help keep the last text.
bool ContextHelp::overBareBackground(const QMouseEvent& mouse) const
{
    return window_.childAt(mouse.position().toPoint()) == nullptr;
}

void ContextHelp::callHandler(const Watched& target, const QMouseEvent& mouse)
{
    const int button = contexthelp::buttonCodeOf(mouse.buttons());
    const int shift = frmmenu::shiftStateOf(mouse.modifiers());
    const auto x = static_cast<float>(mouse.position().x());
    const auto y = static_cast<float>(mouse.position().y());
    if (target.entry->member)
        (window_.*target.entry->member)(target.index, button, shift, x, y);
    else
        (window_.*target.entry->plain)(button, shift, x, y);
}

// ---- The window's mouse-move handlers -----------------------------------------

void frmmenu::showContextHelp(const char* control)
{
    if (const char* text = contexthelp::textFor(control))
        txtAide->setText(QString::fromUtf8(text));
}

void frmmenu::Form_MouseMove(int, int, float, float) { showContextHelp("frmmenu"); }
void frmmenu::txtPartants_MouseMove(int, int, float, float) { showContextHelp("txtPartants"); }
void frmmenu::txtInserer_MouseMove(int, int, int, float, float) { showContextHelp("txtInserer"); }
void frmmenu::lstBases_MouseMove(int, int, float, float) { showContextHelp("lstBases"); }
void frmmenu::lstOuts_MouseMove(int, int, float, float) { showContextHelp("lstOuts"); }
void frmmenu::cmdTous_MouseMove(int, int, int, float, float) { showContextHelp("cmdTous"); }
void frmmenu::cmdAucun_MouseMove(int, int, int, float, float) { showContextHelp("cmdAucun"); }
void frmmenu::Option1_MouseMove(int, int, int, float, float) { showContextHelp("Option1"); }
void frmmenu::OptionQuoi_MouseMove(int, int, int, float, float) { showContextHelp("OptionQuoi"); }
void frmmenu::cmdFusionner_MouseMove(int, int, float, float) { showContextHelp("cmdFusionner"); }
void frmmenu::Command1_MouseMove(int, int, float, float) { showContextHelp("Command1"); }
