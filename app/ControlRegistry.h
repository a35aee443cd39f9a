#pragma once
// The window's controls by objectName, filled as the control table is built.
// Every name the table or the window asks for must answer: a row that names a
// control no row creates, or a control of another kind, is a fault of the
// program and stops it at start-up, in every build.

#include "app/ControlTable.h"

#include <QHash>
#include <QString>
#include <QWidget>

class ControlRegistry {
public:
    void add(QWidget* control) { controls_.insert(control->objectName(), control); }

    QWidget* at(const QString& objectName) const;
    QWidget* at(const char* name, int index = controls::NoIndex) const
    {
        return at(controls::objectNameOf(name, index));
    }
    QWidget* of(const controls::ControlLayout& row) const { return at(row.name, row.index); }

    template <class T>
    T* as(const char* name, int index = controls::NoIndex) const
    {
        auto* typed = qobject_cast<T*>(at(name, index));
        if (!typed)
            wrongKind(controls::objectNameOf(name, index));
        return typed;
    }

private:
    [[noreturn]] static void wrongKind(const QString& objectName);

    QHash<QString, QWidget*> controls_;
};
