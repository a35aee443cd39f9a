#pragma once
// The window's controls as tests and benchmarks reach them: by their
// objectName, the way a user or a screen reader finds them, never through
// the window's own members. `ui(window).lstBases` is the bases list.

#include "app/PictureBox.h"
#include "app/ResultListModel.h"
#include "app/frmmenu.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <array>
#include <map>
#include <memory>

class WindowControls {
    const frmmenu& window_;  // first: the members below are found in it

public:
    explicit WindowControls(const frmmenu& window) : window_(window) {}

    std::array<QLabel*, 8> Label1 = all<QLabel, 8>("Label1");
    QMap<int, QFrame*> PictureDetail{{0, find<QFrame>("PictureDetail", 0)}, {2, find<QFrame>("PictureDetail", 2)},
                                     {3, find<QFrame>("PictureDetail", 3)}, {4, find<QFrame>("PictureDetail", 4)}};
    std::array<QLineEdit*, 2> txtInserer = all<QLineEdit, 2>("txtInserer");
    std::array<QPushButton*, 3> cmdVider = all<QPushButton, 3>("cmdVider");
    std::array<QPushButton*, 2> cmdTous = all<QPushButton, 2>("cmdTous");
    std::array<QPushButton*, 2> cmdAucun = all<QPushButton, 2>("cmdAucun");
    std::array<QRadioButton*, 4> Option1 = all<QRadioButton, 4>("Option1");
    std::array<QRadioButton*, 5> OptionQuoi = all<QRadioButton, 5>("OptionQuoi");
    std::array<QRadioButton*, 8> OptionTierce = all<QRadioButton, 8>("OptionTierce");
    std::array<QCheckBox*, 2> ChkInclure = all<QCheckBox, 2>("ChkInclure");
    QLabel* lblCout = find<QLabel>("lblCout");
    QLabel* lblQtetotale = find<QLabel>("lblQtetotale");
    QLabel* txtAide = find<QLabel>("txtAide");
    QLineEdit* lblAide = find<QLineEdit>("lblAide");
    QLineEdit* txtPartants = find<QLineEdit>("txtPartants");
    QLineEdit* txtUnite = find<QLineEdit>("txtUnite");
    QListWidget* lstBases = find<QListWidget>("lstBases");
    QListWidget* lstOuts = find<QListWidget>("lstOuts");
    QListView* lstResultat = find<QListView>("lstResultat");
    QPushButton* cmdFusionner = find<QPushButton>("cmdFusionner");
    QPushButton* cmdImprimer = find<QPushButton>("cmdImprimer");
    QPushButton* Command1 = find<QPushButton>("Command1");
    QPushButton* Command2 = find<QPushButton>("Command2");
    QGroupBox* Frame2 = find<QGroupBox>("Frame2");
    PictureBox* Image1 = find<PictureBox>("Image1");
    PictureBox* Image2 = find<PictureBox>("Image2");
    QTimer* Timer1 = find<QTimer>("Timer1");
    ResultListModel* resultModel = modelOf(lstResultat);  // after lstResultat

private:
    template <class T>
    T* find(const char* name, int index = -1) const
    {
        const QString objectName = index < 0 ? QString::fromLatin1(name) : QStringLiteral("%1_%2").arg(name).arg(index);
        auto* control = window_.findChild<T*>(objectName);
        if (!control)
            qFatal("The window has no %s", qPrintable(objectName));
        return control;
    }
    // Members 0 to N - 1 of the array `name`.
    template <class T, std::size_t N>
    std::array<T*, N> all(const char* name) const
    {
        std::array<T*, N> controls{};
        for (std::size_t i = 0; i < N; ++i)
            controls[i] = find<T>(name, int(i));
        return controls;
    }
    static ResultListModel* modelOf(const QListView* list)
    {
        auto* model = qobject_cast<ResultListModel*>(list->model());
        if (!model)
            qFatal("lstResultat shows no result model");
        return model;
    }
};

// The controls of `window`, found once while it lives.
inline const WindowControls& ui(const frmmenu& window)
{
    static std::map<const frmmenu*, std::unique_ptr<WindowControls>> found;
    auto known = found.find(&window);
    if (known == found.end()) {
        known = found.emplace(&window, std::make_unique<WindowControls>(window)).first;
        QObject::connect(&window, &QObject::destroyed, [&window] { found.erase(&window); });
    }
    return *known->second;
}
// The same through a pointer of any kind to the window.
template <class Pointer>
inline const WindowControls& ui(const Pointer& window)
{
    return ui(*window);
}
