#pragma once
// The window's controls as tests and benchmarks reach them: through the rows
// of the window's control table (app/ControlTable.h), by the objectName each
// row gives its control, the way a user or a screen reader finds them, never
// through the window's own members. `ui(window).lstBases` is the bases list,
// `ui(window).Option1[3]` a member of an array, and
// `ui(window).control<QLabel>("Label4", 2)` any row without a member below.
// A name that is no row of the table, an index the table does not give that
// name, or a control of another kind stops the test.

#include "app/ControlTable.h"
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

#include <map>
#include <memory>

// The members of one control array, by their index in the table (the
// indices need not follow each other: PictureDetail has no 1).
template <class T>
class ControlArray {
public:
    ControlArray(const char* name, QMap<int, T*> byIndex) : name_(name), byIndex_(std::move(byIndex)) {}

    T* operator[](int index) const
    {
        const auto at = byIndex_.constFind(index);
        if (at == byIndex_.constEnd())
            qFatal("The control table has no %s_%d", name_, index);
        return *at;
    }
    // In index order; an iterator gives the control.
    auto begin() const { return byIndex_.cbegin(); }
    auto end() const { return byIndex_.cend(); }
    qsizetype size() const { return byIndex_.size(); }
    T* first() const { return byIndex_.first(); }
    QList<T*> values() const { return byIndex_.values(); }

private:
    const char* name_;
    QMap<int, T*> byIndex_;
};

class WindowControls {
    const frmmenu& window_;  // first: the members below are found in it

public:
    explicit WindowControls(const frmmenu& window) : window_(window) {}

    // The control of the table's row `name` (and `index` for an array member).
    template <class T = QWidget>
    T* control(const char* name, int index = controls::NoIndex) const
    {
        if (!isRow(name, index))
            qFatal("The control table has no %s", qPrintable(controls::objectNameOf(name, index)));
        return child<T>(controls::objectNameOf(name, index));
    }
    // Every member of the table's array `name`.
    template <class T>
    ControlArray<T> array(const char* name) const
    {
        QMap<int, T*> byIndex;
        for (const controls::ControlLayout& row : controls::windowControls())
            if (qstrcmp(row.name, name) == 0 && row.index != controls::NoIndex)
                byIndex.insert(row.index, control<T>(name, row.index));
        if (byIndex.isEmpty())
            qFatal("The control table has no array %s", name);
        return {name, byIndex};
    }

    // The controls the tests use most, each the row of its own name.
#define WINDOW_CONTROL(Type, name) Type* name = control<Type>(#name)
#define WINDOW_ARRAY(Type, name) ControlArray<Type> name = array<Type>(#name)
    WINDOW_ARRAY(QLabel, Label1);
    WINDOW_ARRAY(QFrame, PictureDetail);
    WINDOW_ARRAY(QLineEdit, txtInserer);
    WINDOW_ARRAY(QPushButton, cmdVider);
    WINDOW_ARRAY(QPushButton, cmdTous);
    WINDOW_ARRAY(QPushButton, cmdAucun);
    WINDOW_ARRAY(QRadioButton, Option1);
    WINDOW_ARRAY(QRadioButton, OptionQuoi);
    WINDOW_ARRAY(QRadioButton, OptionTierce);
    WINDOW_ARRAY(QCheckBox, ChkInclure);
    WINDOW_CONTROL(QLabel, lblCout);
    WINDOW_CONTROL(QLabel, lblQtetotale);
    WINDOW_CONTROL(QLabel, txtAide);
    WINDOW_CONTROL(QLineEdit, lblAide);
    WINDOW_CONTROL(QLineEdit, txtPartants);
    WINDOW_CONTROL(QLineEdit, txtUnite);
    WINDOW_CONTROL(QListWidget, lstBases);
    WINDOW_CONTROL(QListWidget, lstOuts);
    WINDOW_CONTROL(QListView, lstResultat);
    WINDOW_CONTROL(QPushButton, cmdFusionner);
    WINDOW_CONTROL(QPushButton, cmdImprimer);
    WINDOW_CONTROL(QPushButton, Command1);
    WINDOW_CONTROL(QPushButton, Command2);
    WINDOW_CONTROL(QGroupBox, Frame2);
    WINDOW_CONTROL(PictureBox, Image1);
    WINDOW_CONTROL(PictureBox, Image2);
#undef WINDOW_CONTROL
#undef WINDOW_ARRAY
    // The tour's blink, a timer rather than a control of the table.
    QTimer* Timer1 = child<QTimer>(QStringLiteral("Timer1"));
    ResultListModel* resultModel = modelOf(lstResultat);  // after lstResultat

private:
    static bool isRow(const char* name, int index)
    {
        for (const controls::ControlLayout& row : controls::windowControls())
            if (qstrcmp(row.name, name) == 0 && row.index == index)
                return true;
        return false;
    }
    template <class T>
    T* child(const QString& objectName) const
    {
        auto* found = window_.findChild<T*>(objectName);
        if (!found)
            qFatal("The window has no %s of the kind the test expects", qPrintable(objectName));
        return found;
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
