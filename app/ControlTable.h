#pragma once
// The window's controls as data: name, array index, kind, container, caption,
// place and size in twips (15 to a pixel at 96 dpi), colours, font, the few
// flags of their initial state, their place in the Tab order, their context
// help and what a screen reader says of them. frmmenu creates them in this
// order, which is also their stacking order among the controls that are not
// labels.

#include <QRgb>
#include <QString>

#include <span>

namespace controls {

enum class Kind { Label, TextBox, ListBox, ResultList, Button, Option, Check, Frame, Panel, Image };

// Fonts, named as on the original layout; look::fontFor maps them to installed ones.
enum class Face {
    Default,   // MS Sans Serif 8.25 pt bold, the window's own font
    Regular,   // MS Sans Serif 8.25 pt
    Large,     // MS Sans Serif 9.75 pt bold
    Arial18,   // Arial 18 pt bold
    Times18,   // Times New Roman 18 pt bold
    Times12,   // Times New Roman 12 pt bold
};

enum Look : unsigned {
    Plain = 0,
    AlignRight = 1u << 0,
    AlignCenter = 1u << 1,
    Wraps = 1u << 2,
    SizedToText = 1u << 3,
    Hidden = 1u << 4,
    SetAtStart = 1u << 5,
};

constexpr QRgb NoColour = 0;  // alpha 0: keep the style's colour
constexpr QRgb Yellow = 0xFFFFFF00;
constexpr QRgb Cyan = 0xFF00FFFF;
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF008000;
constexpr QRgb Grey = 0xFFC0C0C0;
constexpr QRgb Olive = 0xFF808000;

constexpr int NoIndex = -1;
constexpr int NoTab = -1;

// What a screen reader says of a control besides what Qt reads itself.
struct Reading {
    const char* name = nullptr;         // nullptr: the caption, or the label's text
    const char* label = nullptr;        // objectName of the label beside it
    const char* description = nullptr;
};

struct ControlLayout {
    const char* name;
    int index;            // NoIndex for a control that is not in an array
    Kind kind;
    const char* container;  // objectName of the container, nullptr for the window
    const char* caption;
    int left, top, width, height;  // twips
    QRgb text = NoColour;
    QRgb back = NoColour;
    Face face = Face::Default;
    unsigned look = Plain;
    int tab = NoTab;              // place in the Tab order (panels only group their buttons)
    const char* help = nullptr;   // shown in txtAide while the pointer moves over it
    Reading reading = {};
};

std::span<const ControlLayout> windowControls();

// Context help over the window's bare background.
extern const char* const windowHelp;

// Qt's objectName of a control: its name, and "_Index" for an array member.
QString objectNameOf(const char* name, int index);

// To the nearest pixel, negative places as positive ones (-180 -> -12).
constexpr int twipsToPixels(int twips)
{
    const int shifted = twips + 7;
    return shifted >= 0 ? shifted / 15 : -((14 - shifted) / 15);
}

}  // namespace controls
