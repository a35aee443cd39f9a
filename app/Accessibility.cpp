#include "app/Accessibility.h"

#include "app/frmmenu.h"

#include <QLabel>

namespace accessibility {
namespace {

struct AccessibleText {
    const char* control;      // objectName
    const char* name;         // nullptr: the caption Qt reads already, or the label's
    const char* label;        // objectName of the label beside it, or nullptr
    const char* description;  // nullptr: none
};

// clang-format off
constexpr AccessibleText kTexts[] = {
    // Controls named by the label beside them.
    {"txtPartants",     nullptr, "Label1_0", "Tapez le nombre de partants, puis ENTREE pour remplir les listes"},
    {"Option1_0",       nullptr, "Label4_0", "Type de fusion"},
    {"Option1_1",       nullptr, "Label4_4", "Type de fusion"},
    {"Option1_2",       nullptr, "Label4_3", "Type de fusion"},
    {"Option1_3",       nullptr, "Label4_2", "Type de fusion"},
    {"ChkInclure_0",    nullptr, "Label2_0", nullptr},
    {"ChkInclure_1",    nullptr, "Label2_1", nullptr},
    {"lstBases",        "Bases",     "Label1_1", "Espace sélectionne ou désélectionne le cheval"},
    {"lstOuts",         "Outsiders", "Label1_2", "Espace sélectionne ou désélectionne le cheval"},
    // The insert boxes share their label "Insérer".
    {"txtInserer_0",    "Insérer une base",    "Label1_6", "Tapez un numéro de cheval, puis ENTREE pour l'ajouter aux bases"},
    {"txtInserer_1",    "Insérer un outsider", "Label1_7", "Tapez un numéro de cheval, puis ENTREE pour l'ajouter aux outsiders"},
    // Controls with no label.
    {"lstResultat",     "Combinaisons",         nullptr, "Ctrl+C copie toutes les combinaisons"},
    {"txtUnite",        "Mise unitaire",        nullptr, "Mise d'une combinaison, en euros"},
    {"lblAide",         "Consigne du tutorial", nullptr, nullptr},
    // Buttons with one caption for two or three lists.
    {"cmdTous_0",       "Tous (bases)",         nullptr, "Sélectionne toutes les bases"},
    {"cmdTous_1",       "Tous (outsiders)",     nullptr, "Sélectionne tous les outsiders"},
    {"cmdAucun_0",      "Aucun (bases)",        nullptr, "Désélectionne toutes les bases"},
    {"cmdAucun_1",      "Aucun (outsiders)",    nullptr, "Désélectionne tous les outsiders"},
    {"cmdVider_0",      "Vider (bases)",        nullptr, "Vide la liste des bases"},
    {"cmdVider_1",      "Vider (outsiders)",    nullptr, "Vide la liste des outsiders"},
    {"cmdVider_2",      "Vider (combinaisons)", nullptr, "Vide la liste des combinaisons"},
    // The panels of splits, one for each bet type.
    {"PictureDetail_0", "Répartition du Couplé et du 2 sur 4", nullptr, nullptr},
    {"PictureDetail_2", "Répartition du Tiercé", nullptr, nullptr},
    {"PictureDetail_3", "Répartition du Quarté", nullptr, nullptr},
    {"PictureDetail_4", "Répartition du Quinté", nullptr, nullptr},
    // Counters: their value is their text, said with what they count.
    {"lblCout",         nullptr, nullptr, "Coût"},
    {"lblQtetotale",    nullptr, nullptr, "Quantité de combinaisons"},
    // Pictures.
    {"Image1",          "Sortie",             nullptr, "Quitte le programme"},
    {"Image2",          "Repère du tutorial", nullptr, nullptr},
};
// clang-format on

// A label's text as a name: on one line, without its closing colon.
QString captionOf(const QLabel& label)
{
    QString caption = label.text().simplified();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

}  // namespace

void applyNames(frmmenu& window)
{
    const auto find = [&window](const char* name) {
        auto* widget = window.findChild<QWidget*>(QLatin1String(name));
        if (!widget)
            qWarning("No control %s to name for screen readers", name);
        return widget;
    };
    for (const AccessibleText& text : kTexts) {
        QWidget* control = find(text.control);
        if (!control)
            continue;
        if (text.label) {
            if (auto* label = qobject_cast<QLabel*>(find(text.label))) {
                // The relation lets a screen reader read the label with the control.
                label->setBuddy(control);
                if (!text.name)
                    control->setAccessibleName(captionOf(*label));
            }
        }
        if (text.name)
            control->setAccessibleName(QString::fromUtf8(text.name));
        if (text.description)
            control->setAccessibleDescription(QString::fromUtf8(text.description));
    }
}

}  // namespace accessibility
