#include "app/Dialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace Dialogs {

namespace {

// The user a test plays, while one lives.
TestAnswers* testUser = nullptr;

// The question dialogue both questions share: the program's title, OK and "Annuler".
void prepareQuestion(QInputDialog& dialog, const QString& prompt)
{
    dialog.setWindowTitle(applicationTitle());
    dialog.setLabelText(prompt);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    dialog.setWindowModality(Qt::ApplicationModal);
}

// A lone "\r" would show as a blank square; the boxes want "\n".
QString boxText(const QString& text)
{
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// The box of messages and of questions whether to go on: the program's
// title, no icon, the text as it is.
void prepareBox(QMessageBox& box, const QString& text)
{
    box.setWindowTitle(applicationTitle());
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowModality(Qt::ApplicationModal);
}

}  // namespace

QString applicationTitle()
{
    return QStringLiteral("Torvanel de pronos");
}

void showMessage(QWidget* parent, const QString& text)
{
    const QString shownText = boxText(text);
    if (testUser) {
        testUser->answer({Shown::Kind::Message, applicationTitle(), shownText, {}});
        return;
    }
    QMessageBox box(parent);
    prepareBox(box, shownText);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool askToGoOn(QWidget* parent, const QString& question, const QString& action)
{
    const QString cancel = QStringLiteral("Annuler");
    if (testUser) {
        const auto answer = testUser->answer({Shown::Kind::Question, applicationTitle(), boxText(question), {action, cancel}});
        return answer && answer->item == 0;
    }
    QMessageBox box(parent);
    prepareBox(box, boxText(question));
    const QAbstractButton* goOn = box.addButton(action, QMessageBox::AcceptRole);
    // Enter or Escape cancels: going on is what has to be chosen.
    box.setDefaultButton(box.addButton(cancel, QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == goOn;
}

std::optional<QString> askText(QWidget* parent, const QString& prompt)
{
    if (testUser) {
        const auto answer = testUser->answer({Shown::Kind::Question, applicationTitle(), prompt, {}});
        return answer ? std::optional<QString>(answer->text) : std::nullopt;
    }
    QInputDialog dialog(parent);
    prepareQuestion(dialog, prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(QString());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<int> askItem(QWidget* parent, const QString& prompt, const QStringList& items)
{
    QString chosen;
    if (testUser) {
        const auto answer = testUser->answer({Shown::Kind::Question, applicationTitle(), prompt, items});
        if (!answer)
            return std::nullopt;
        chosen = answer->item >= 0 ? items.value(answer->item) : answer->text;
    } else {
        QInputDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("dlgReduire"));
        prepareQuestion(dialog, prompt);
        dialog.setComboBoxItems(items);
        dialog.setComboBoxEditable(false);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        chosen = dialog.textValue();
    }
    const int index = static_cast<int>(items.indexOf(chosen));
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

namespace {

// The toolkit's save dialogue under `caption`, its first filter the default;
// `suffixes` gives the suffix each filter adds.
QString askSaveName(QWidget* parent, const QString& caption, const QString& suggested, const QStringList& filters,
                    const QStringList& suffixes)
{
    if (testUser) {
        const auto answer = testUser->answer({Shown::Kind::Question, caption, suggested, {}});
        return answer ? answer->text : QString();
    }
    QFileDialog dialog(parent, caption, suggested);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixes.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(suffixes.value(int(filters.indexOf(filter)), suffixes.value(0)));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

const QString kAllFiles = QStringLiteral("Tous les fichiers (*)");

}  // namespace

QString askSaveFileName(QWidget* parent, const QString& suggested)
{
    return askSaveName(parent, QStringLiteral("Enregistrer les combinaisons"), suggested,
                       {QStringLiteral("Texte, une combinaison par ligne (*.txt)"),
                        QStringLiteral("Tableur CSV, un cheval par colonne (*.csv)"), kAllFiles},
                       {QStringLiteral("txt"), QStringLiteral("csv"), QStringLiteral("txt")});
}

QString askSaveTextFileName(QWidget* parent, const QString& caption, const QString& suggested)
{
    return askSaveName(parent, caption, suggested, {QStringLiteral("Texte (*.txt)"), kAllFiles},
                       {QStringLiteral("txt"), QStringLiteral("txt")});
}

QString askForecastFileName(QWidget* parent, ForecastFileRole role, const QString& suggested)
{
    const bool saving = role == ForecastFileRole::Save;
    const QString caption = saving ? QStringLiteral("Enregistrer le pronostic") : QStringLiteral("Ouvrir un pronostic");
    if (testUser) {
        const auto answer = testUser->answer({Shown::Kind::Question, caption, suggested, {}});
        return answer ? answer->text : QString();
    }
    QFileDialog dialog(parent, caption, suggested);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Pronostics (*.torvanel)"), QStringLiteral("Tous les fichiers (*)")});
    dialog.setDefaultSuffix(QStringLiteral("torvanel"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

UnsavedChanges askUnsavedChanges(QWidget* parent, const QString& question)
{
    const QStringList buttons{QStringLiteral("Enregistrer"), QStringLiteral("Ne pas enregistrer"),
                              QStringLiteral("Annuler")};
    if (testUser) {
        const auto answer = testUser->answer({Shown::Kind::Question, applicationTitle(), question, buttons});
        return !answer || answer->item == 2 ? UnsavedChanges::Cancel
             : answer->item == 0            ? UnsavedChanges::Save
                                            : UnsavedChanges::Discard;
    }
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("dlgModifications"));
    box.setWindowTitle(applicationTitle());
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(question);
    // The question on one line where it fits: the box would break it before the closing guillemet.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setMinimumWidth(std::min(label->fontMetrics().horizontalAdvance(question) + 8, 640));
    QPushButton* save = box.addButton(buttons[0], QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(buttons[1], QMessageBox::DestructiveRole);
    box.setEscapeButton(box.addButton(buttons[2], QMessageBox::RejectRole));
    box.setDefaultButton(save);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == save      ? UnsavedChanges::Save
         : box.clickedButton() == discard ? UnsavedChanges::Discard
                                          : UnsavedChanges::Cancel;
}

std::optional<ForecastNote> askForecastNote(QWidget* parent, const ForecastNote& current)
{
    const QString caption = QStringLiteral("Note du pronostic");
    if (testUser) {
        const auto answer = testUser->answer({Shown::Kind::Question, applicationTitle(), caption,
                                              {current.race, current.note}});
        if (!answer)
            return std::nullopt;
        return ForecastNote{answer->fields.value(0), answer->fields.value(1)};
    }
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgNotePronostic"));
    dialog.setWindowTitle(applicationTitle());
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* race = new QLineEdit(current.race);
    race->setObjectName(QStringLiteral("txtCourse"));
    race->setPlaceholderText(QStringLiteral("date, hippodrome, numéro de la course"));
    race->setMinimumWidth(320);
    auto* note = new QPlainTextEdit(current.note);
    note->setObjectName(QStringLiteral("txtNote"));
    note->setTabChangesFocus(true);
    note->setPlaceholderText(QStringLiteral("vos remarques : la forme des chevaux, le terrain…"));
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(new QLabel(QStringLiteral("Ce que le pronostic garde avec lui ; la feuille imprimée le montre en tête.")));
    form->addRow(QStringLiteral("&Course :"), race);
    form->addRow(QStringLiteral("&Note :"), note);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ForecastNote{race->text(), note->toPlainText()};
}

bool progressAtOnceForTest()
{
    return testUser && testUser->progressAtOnce;
}

bool answeredByTest(const Shown& box, std::optional<TestAnswers::Answer>& answer)
{
    if (!testUser)
        return false;
    answer = testUser->answer(box);
    return true;
}

std::optional<bool> progressCancelledByTest(const QString& label)
{
    if (!testUser)
        return std::nullopt;
    testUser->answer({Shown::Kind::Progress, applicationTitle(), label, {}});
    return testUser->cancelProgress;
}

TestAnswers::TestAnswers() : outer_(std::exchange(testUser, this)) {}

TestAnswers::~TestAnswers()
{
    testUser = outer_;
}

TestAnswers& TestAnswers::type(const QString& text)
{
    queued_.append({text, -1, 0, {}});
    return *this;
}

TestAnswers& TestAnswers::choose(int index)
{
    queued_.append({QString(), index, 0, {}});
    return *this;
}

TestAnswers& TestAnswers::fill(const QStringList& fields)
{
    queued_.append({QString(), -1, 0, fields});
    return *this;
}

TestAnswers& TestAnswers::chooseWithinBudget(int index, std::uint64_t lines)
{
    queued_.append({QString(), index, lines, {}});
    return *this;
}

QStringList TestAnswers::texts(Shown::Kind kind) const
{
    QStringList said;
    for (const Shown& box : shown)
        if (box.kind == kind)
            said << box.text;
    return said;
}

std::optional<TestAnswers::Answer> TestAnswers::answer(const Shown& box)
{
    shown.append(box);
    if (whileShown)
        whileShown(box);
    if (box.kind != Shown::Kind::Question || queued_.isEmpty())
        return std::nullopt;
    return queued_.takeFirst();
}

}  // namespace Dialogs

void WindowMessageSink::showMessage(const std::string& text)
{
    Dialogs::showMessage(parent_, QString::fromStdString(text));
}
