// The window's mouse-move handlers: each shows its control's help text in
// txtAide. They take the toolkit's arguments and ignore them.

#include "app/frmmenu.h"

#include "app/ContextHelp.h"
#include "app/ControlRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

void frmmenu::installContextHelp()
{
    auto* help = new ContextHelp(*this, [this](int b, int s, float x, float y) { Form_MouseMove(b, s, x, y); });
    const auto plain = [help, this](QWidget* control, void (frmmenu::*handler)(int, int, float, float)) {
        help->watch(control, [this, handler](int b, int s, float x, float y) { (this->*handler)(b, s, x, y); });
    };
    const auto array = [help, this](auto& controls, void (frmmenu::*handler)(int, int, int, float, float)) {
        for (int i = 0; i < int(controls.size()); ++i)
            help->watch(controls[i], [this, handler, i](int b, int s, float x, float y) { (this->*handler)(i, b, s, x, y); });
    };
    plain(txtPartants, &frmmenu::txtPartants_MouseMove);
    plain(lstBases, &frmmenu::lstBases_MouseMove);
    plain(lstOuts, &frmmenu::lstOuts_MouseMove);
    plain(cmdFusionner, &frmmenu::cmdFusionner_MouseMove);
    plain(Command1, &frmmenu::Command1_MouseMove);
    array(txtInserer, &frmmenu::txtInserer_MouseMove);
    array(cmdTous, &frmmenu::cmdTous_MouseMove);
    array(cmdAucun, &frmmenu::cmdAucun_MouseMove);
    array(Option1, &frmmenu::Option1_MouseMove);
    array(OptionQuoi, &frmmenu::OptionQuoi_MouseMove);
    help->checkEveryHelpIsWatched(registry_);
}

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
