#include "app/ControlTable.h"

namespace controls {
namespace {

using enum Kind;
using enum Face;

constexpr const char* F2 = "Frame2";
constexpr const char* P0 = "PictureDetail_0";
constexpr const char* P2 = "PictureDetail_2";
constexpr const char* P3 = "PictureDetail_3";
constexpr const char* P4 = "PictureDetail_4";

// Context help. "\n" is a line break in txtAide: the list texts show their
// SHIFT+click line on a line of its own.
constexpr const char* kHelpPartants = "Insérez le nombre de partants, puis validez en appuyant sur ENTREE";
constexpr const char* kHelpInserer = "Tapez un numéro de cheval puis appuyez sur ENTREE pour l'insérer dans la liste";
constexpr const char* kHelpBases = "Cliquez les numéros pour sélectionner les bases.\n"
                                   "(MAJ - SHIFT en anglais) + Clic = changer numéro de place";
constexpr const char* kHelpOuts = "Cliquez les numéros pour sélectionner les outsiders.\n"
                                  "(MAJ - SHIFT en anglais) + Clic = changer numéro de place";
constexpr const char* kHelpTous = "Cliquez pour sélectionner la totalité des chevaux";
constexpr const char* kHelpAucun = "Cliquez pour désélectionner la totalité des chevaux";
constexpr const char* kHelpFusion = "Cochez pour choisir le type de fusion que vous désirez réaliser";
constexpr const char* kHelpJeu = "Cochez pour choisir le type de jeu pour lequel vous désirez réaliser la fusion";
constexpr const char* kHelpFusionner =
    "Cliquez ce bouton pour fusionner les bases avec les outsiders (ou bases seules ou outsiders seuls)";
constexpr const char* kHelpTutorial = "Cliquez pour assister à un tutorial automatique";

// clang-format off
constexpr ControlLayout kControls[] = {
    // name          index  kind        in       caption                                   left   top  width height text    back    face     look
    //     tab  help  reading: accessible name, label beside, description
    {"Label1",        0, Label,      nullptr, "Nombre de partants:",                  3285,   75, 1035,  375, Yellow, NoColour, Default, AlignRight | Wraps},
    {"txtPartants", NoIndex, TextBox, nullptr, "18",                                  4470,  105,  375,  300, NoColour, NoColour, Default, Plain,
        1, kHelpPartants, {nullptr, "Label1_0", "Tapez le nombre de partants, puis ENTREE pour remplir les listes"}},
    {"Label1",        4, Label,      nullptr, "Coût:",                                5100,  135,  465,  195, Yellow, NoColour, Default, SizedToText},
    {"lblCout",  NoIndex, Label,     nullptr, "0",                                    5730,   30,  195,  435, Yellow, NoColour, Arial18, SizedToText,
        NoTab, nullptr, {nullptr, nullptr, "Coût"}},
    {"Label1",        3, Label,      nullptr, "Quantité de combinaisons:",            3420,  615, 2265,  195, Yellow, NoColour, Default, SizedToText},
    {"lblQtetotale", NoIndex, Label, nullptr, "0",                                    5760,  540,  180,  390, Yellow, NoColour, Times18, SizedToText,
        NoTab, nullptr, {nullptr, nullptr, "Quantité de combinaisons"}},
    {"Label1",        1, Label,      nullptr, "Sélectionnez les chevaux pour BASES",    60,  105, 1380,  720, Cyan,   NoColour, Large,   AlignRight | Wraps},
    {"Label1",        2, Label,      nullptr, "Sélectionnez les OUTSIDERS",           1695,  135, 1515,  705, Cyan,   NoColour, Large,   Wraps},
    {"lstBases", NoIndex, ListBox,   nullptr, "",                                      165, 1080,  480, 4125, Black,  White, Default, Plain,
        0, kHelpBases, {"Bases", "Label1_1", "Espace sélectionne ou désélectionne le cheval"}},
    {"cmdVider",      0, Button,     nullptr, "Vider",                                 690, 1290,  645,  285, NoColour, NoColour, Regular, Plain,
        21, nullptr, {"Vider (bases)", nullptr, "Vide la liste des bases"}},
    {"txtInserer",    0, TextBox,    nullptr, "",                                      735, 1740,  465,  300, NoColour, NoColour, Default, Plain,
        23, kHelpInserer, {"Insérer une base", "Label1_6", "Tapez un numéro de cheval, puis ENTREE pour l'ajouter aux bases"}},
    {"Label1",        6, Label,      nullptr, "Insérer",                               705, 2040,  600,  195, White,  NoColour, Default, SizedToText},
    {"cmdTous",       0, Button,     nullptr, "Tous",                                   90, 5280,  700,  270, NoColour, NoColour, Regular, Plain,
        6, kHelpTous, {"Tous (bases)", nullptr, "Sélectionne toutes les bases"}},
    {"cmdAucun",      0, Button,     nullptr, "Aucun",                                 105, 5595,  700,  255, NoColour, NoColour, Regular, Plain,
        8, kHelpAucun, {"Aucun (bases)", nullptr, "Désélectionne toutes les bases"}},
    {"lstOuts",  NoIndex, ListBox,   nullptr, "",                                     1665, 1095,  465, 4125, Black,  White, Default, Plain,
        2, kHelpOuts, {"Outsiders", "Label1_2", "Espace sélectionne ou désélectionne le cheval"}},
    {"cmdVider",      1, Button,     nullptr, "Vider",                                1020, 2685,  645,  285, NoColour, NoColour, Regular, Plain,
        22, nullptr, {"Vider (outsiders)", nullptr, "Vide la liste des outsiders"}},
    {"txtInserer",    1, TextBox,    nullptr, "",                                     1185, 3135,  465,  300, NoColour, NoColour, Default, Plain,
        24, kHelpInserer, {"Insérer un outsider", "Label1_7", "Tapez un numéro de cheval, puis ENTREE pour l'ajouter aux outsiders"}},
    {"Label1",        7, Label,      nullptr, "Insérer",                              1065, 3435,  600,  195, White,  NoColour, Default, SizedToText},
    {"cmdTous",       1, Button,     nullptr, "Tous",                                 1425, 5265,  700,  270, NoColour, NoColour, Regular, Plain,
        7, kHelpTous, {"Tous (outsiders)", nullptr, "Sélectionne tous les outsiders"}},
    {"cmdAucun",      1, Button,     nullptr, "Aucun",                                1410, 5625,  700,  255, NoColour, NoColour, Regular, Plain,
        9, kHelpAucun, {"Aucun (outsiders)", nullptr, "Désélectionne tous les outsiders"}},
    {"Label3",   NoIndex, Label,     nullptr, "Cochez le type de fusion",             2745, 1125, 2640,  285, Cyan,   NoColour, Large,   Wraps},
    {"Option1",       0, Option,     nullptr, "",                                     2790, 1410,  210,  195, NoColour, Green, Default, Plain,
        19, kHelpFusion, {nullptr, "Label4_0", "Type de fusion"}},
    {"Label4",        0, Label,      nullptr, "Bases seulement",                      3045, 1410, 1440,  195, Cyan,   NoColour, Default, SizedToText},
    {"Option1",       1, Option,     nullptr, "",                                     2790, 1665,  210,  195, NoColour, Green, Default, Plain,
        18, kHelpFusion, {nullptr, "Label4_4", "Type de fusion"}},
    {"Label4",        4, Label,      nullptr, "Outsiders seulement",                  3045, 1650, 1725,  195, Cyan,   NoColour, Default, SizedToText},
    {"Option1",       2, Option,     nullptr, "",                                     2790, 1890,  210,  195, NoColour, Green, Default, Plain,
        16, kHelpFusion, {nullptr, "Label4_3", "Type de fusion"}},
    {"Label4",        3, Label,      nullptr, "Bases seules + Outsiders seuls",       3045, 1875, 2640,  195, Cyan,   NoColour, Default, SizedToText},
    {"Option1",       3, Option,     nullptr, "",                                     2295, 2340,  210,  195, NoColour, Green, Default, SetAtStart,
        17, kHelpFusion, {nullptr, "Label4_2", "Type de fusion"}},
    {"Label4",        2, Label,      nullptr, "Bases avec Outsiders (fusionner)",     2580, 2340, 2820,  195, Yellow, NoColour, Default, SizedToText},
    {"ChkInclure",    0, Check,      nullptr, "",                                     2295, 2565,  225,  195, NoColour, Green, Default, Plain,
        31, nullptr, {nullptr, "Label2_0", nullptr}},
    {"Label2",        0, Label,      nullptr, "Inclure aussi bases entre elles",      2550, 2535, 2595,  195, Yellow, NoColour, Default, SizedToText},
    {"ChkInclure",    1, Check,      nullptr, "",                                     2295, 2835,  210,  255, NoColour, Green, Default, Plain,
        20, nullptr, {nullptr, "Label2_1", nullptr}},
    {"Label2",        1, Label,      nullptr, "Inclure aussi outsiders entre eux",    2580, 2745, 1965,  375, Black,  NoColour, Default, Wraps},
    {"Label1",        5, Label,      nullptr, "Pour finir, cliquez sur \"Fusionner\"", 6150, 1020, 1455,  750, Cyan,   NoColour, Large,   AlignCenter | Wraps},
    {"cmdFusionner", NoIndex, Button, nullptr, "Fusionner",                           6450, 1860, 1080,  345, NoColour, NoColour, Default, Plain,
        4, kHelpFusionner, {}},
    {"lstResultat", NoIndex, ResultList, nullptr, "",                                 6390, 2250, 1425, 3540, Black,  White,  Regular, Plain,
        3, nullptr, {"Combinaisons", nullptr, "Ctrl+C copie toutes les combinaisons"}},
    {"lblAide",  NoIndex, TextBox,   nullptr, "",                                      705, 4275, 5520,  420, Red,    Yellow, Times12, Hidden,
        33, nullptr, {"Consigne du tutorial", nullptr, nullptr}},
    {"Command1", NoIndex, Button,    nullptr, "Montrez-moi!",                         2265, 4755, 1485,  300, NoColour, NoColour, Default, Plain,
        32, kHelpTutorial, {}},
    {"cmdVider",      2, Button,     nullptr, "Vider",                                5700, 4815,  645,  285, NoColour, NoColour, Regular, Plain,
        34, nullptr, {"Vider (combinaisons)", nullptr, "Vide la liste des combinaisons"}},
    {"Frame2",   NoIndex, Frame,     nullptr, "Cochez le type de jeu",                2250, 5100, 2565,  765, Red,    Grey},
    {"OptionQuoi",    0, Option,     F2,      "Couplé",                                105,  195,  825,  225, Black,  Grey,   Regular, Plain,
        10, kHelpJeu, {}},
    {"OptionQuoi",    1, Option,     F2,      "2 sur 4",                               930,  225,  825,  225, Black,  Grey,   Regular, Plain,
        11, kHelpJeu, {}},
    {"OptionQuoi",    2, Option,     F2,      "Tiercé",                               1755,  195,  765,  225, Black,  Grey,   Regular, SetAtStart,
        12, kHelpJeu, {}},
    {"OptionQuoi",    3, Option,     F2,      "Quarté",                                105,  480,  825,  225, Black,  Grey,   Regular, Plain,
        13, kHelpJeu, {}},
    {"OptionQuoi",    4, Option,     F2,      "Quinté",                                945,  450,  825,  225, Black,  Grey,   Regular, Plain,
        14, kHelpJeu, {}},
    {"txtUnite", NoIndex, TextBox,   F2,      "1",                                    1845,  420,  375,  285, NoColour, NoColour, Default, Plain,
        15, nullptr, {"Mise unitaire", nullptr, "Mise d'une combinaison, en euros"}},
    {"PictureDetail", 0, Panel,      nullptr, "",                                     4800, 5160, 1545,  750, NoColour, Grey, Default, Plain,
        40, nullptr, {"Répartition du Couplé et du 2 sur 4", nullptr, nullptr}},
    {"Label5",   NoIndex, Label,     P0,      "1 base +  1 out",                       180,  225, 1065,  195, Black,  NoColour, Regular, SizedToText},
    {"PictureDetail", 2, Panel,      nullptr, "",                                     4800, 5160, 1545,  750, NoColour, Grey, Default, Plain,
        25, nullptr, {"Répartition du Tiercé", nullptr, nullptr}},
    {"OptionTierce",  0, Option,     P2,      "1 base + 2 outs",                        45,  120, 1410,  195, Black,  Grey,   Regular, Plain,
        26, nullptr, {}},
    {"OptionTierce",  1, Option,     P2,      "2 bases + 1 out",                        45,  420, 1440,  195, Black,  Grey,   Regular, SetAtStart,
        27, nullptr, {}},
    {"PictureDetail", 3, Panel,      nullptr, "",                                     4800, 5160, 1545,  750, NoColour, Grey, Default, Plain,
        28, nullptr, {"Répartition du Quarté", nullptr, nullptr}},
    {"OptionTierce",  4, Option,     P3,      "3 bases + 1 out",                        45,   45, 1410,  195, Black,  Grey,   Regular, Plain,
        35, nullptr, {}},
    {"OptionTierce",  2, Option,     P3,      "2 bases + 2 outs",                       45,  270, 1590,  195, Black,  Grey,   Regular, SetAtStart,
        29, nullptr, {}},
    {"OptionTierce",  3, Option,     P3,      "1 base + 3 outs",                        45,  465, 1410,  195, Black,  Grey,   Regular, Plain,
        30, nullptr, {}},
    {"PictureDetail", 4, Panel,      nullptr, "",                                     4830, 5160, 1545,  750, NoColour, Grey, Default, Plain,
        36, nullptr, {"Répartition du Quinté", nullptr, nullptr}},
    {"OptionTierce",  7, Option,     P4,      "4 bases + 1 out",                        45,   45, 1440,  195, Black,  Grey,   Regular, Plain,
        39, nullptr, {}},
    {"OptionTierce",  5, Option,     P4,      "3 bases + 2 outs",                       60,  270, 1635,  195, Black,  Grey,   Regular, SetAtStart,
        37, nullptr, {}},
    {"OptionTierce",  6, Option,     P4,      "2 bases + 3 outs",                       60,  480, 1515,  195, Black,  Grey,   Regular, Plain,
        38, nullptr, {}},
    {"cmdImprimer", NoIndex, Button, nullptr, "Imprimer",                             6600, 5880, 1095,  300, NoColour, NoColour, Regular, Plain,
        5, nullptr, {}},
    {"txtAide",  NoIndex, Label,     nullptr, "",                                      120, 6060, 5325,  435, Black,  NoColour, Default, Wraps},
    {"Image1",   NoIndex, Image,     nullptr, "",                                     5805, 6045,  480,  480, NoColour, NoColour, Default, Plain,
        NoTab, nullptr, {"Sortie", nullptr, "Quitte le programme"}},
    {"Command2", NoIndex, Button,    nullptr, "Autres logiciels",                     6480, 6240, 1335,  300, NoColour, NoColour, Regular, Plain,
        41, nullptr, {}},
    {"Image2",   NoIndex, Image,     nullptr, "",                                     4350, 4830, 1230,  810, NoColour, NoColour, Default, Hidden,
        NoTab, nullptr, {"Repère du tutorial", nullptr, nullptr}},
};
// clang-format on

}  // namespace

std::span<const ControlLayout> windowControls()
{
    return kControls;
}

const char* const windowHelp = "Déplacez le curseur pour lire ici de l'aide";

QString objectNameOf(const char* name, int index)
{
    const QString plain = QString::fromLatin1(name);
    return index == NoIndex ? plain : plain + QLatin1Char('_') + QString::number(index);
}

}  // namespace controls
