#pragma once
// The program's two dialogs: the message box (one OK button, no icon) and the
// question with OK and Cancel. Both are modal and carry the program's title, so
// tests answer them by finding QApplication::activeModalWidget().

#include "merge/MergeTypes.h"

#include <QString>
#include <optional>

class QWidget;

namespace Dialogs {

// Caption of every box the program shows.
QString applicationTitle();

// Shows `text` and returns when the user has closed the box. Lines are
// separated by "\r\n", as the engine writes them.
void showMessage(QWidget* parent, const QString& text);

// Asks a question with an empty answer field; nothing when the user cancels.
std::optional<QString> askText(QWidget* parent, const QString& prompt);

}  // namespace Dialogs

// Lets the merge engine show its messages as the window's message boxes.
class WindowMessageSink : public torvanel::MessageSink {
public:
    explicit WindowMessageSink(QWidget* parent) : parent_(parent) {}
    void showMessage(const std::string& text) override;

private:
    QWidget* parent_;
};
