#include "app/Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace Dialogs {

QString applicationTitle()
{
    return QStringLiteral("Torvanel de pronos");
}

void showMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(parent);
    box.setWindowTitle(applicationTitle());
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    // A lone "\r" would show as a blank square; the box wants "\n".
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

std::optional<QString> askText(QWidget* parent, const QString& prompt)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(applicationTitle());
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

}  // namespace Dialogs

void WindowMessageSink::showMessage(const std::string& text)
{
    Dialogs::showMessage(parent_, QString::fromStdString(text));
}
