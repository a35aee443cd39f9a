#include "app/frmmenu.h"

#include "app/Accessibility.h"
#include "app/ArrivalDialog.h"
#include "app/ControlTable.h"
#include "app/Dialogs.h"
#include "app/ForecastCommands.h"
#include "app/GuidedTour.h"
#include "app/KeyCodes.h"
#include "app/PictureBox.h"
#include "app/ReduceCommand.h"
#include "app/ResultClipboard.h"
#include "app/ResultListModel.h"
#include "app/ResultView.h"
#include "app/SaveCommand.h"
#include "app/WindowLook.h"
#include "generators/Numbers.h"
#include "merge/EntryRules.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

// Resources live in the static library; this pulls them into every program
// that links it (the application and its tests).
static void initAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace {

using controls::ControlLayout;
using controls::Kind;

constexpr QSize kClientSize{521, 438};      // 7815 x 6570 twips
// The smallest pixel size the count and cost labels shrink to.
constexpr int kSmallestPixelSize = 11;

const QString kTitle = QStringLiteral("Torvanel de pronostics");

QWidget* makeControl(Kind kind, QWidget* parent)
{
    switch (kind) {
    case Kind::Label:
        return new QLabel(parent);
    case Kind::TextBox:
        return new QLineEdit(parent);
    case Kind::ListBox: {
        auto* list = new QListWidget(parent);
        // A click toggles one entry; there is no range selection.
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->setUniformItemSizes(true);
        return list;
    }
    case Kind::ResultList: {
        auto* view = new ResultView(parent);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return view;
    }
    case Kind::Button:
        return new QPushButton(parent);
    case Kind::Option: {
        auto* option = new QRadioButton(parent);
        option->setStyle(look::compactIndicatorStyle());
        return option;
    }
    case Kind::Check: {
        auto* check = new QCheckBox(parent);
        check->setStyle(look::compactIndicatorStyle());
        return check;
    }
    case Kind::Frame:
        return new QGroupBox(parent);
    case Kind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return panel;
    }
    case Kind::Image:
        return new PictureBox(parent);
    }
    return nullptr;
}

void setCaption(QWidget* widget, Kind kind, const QString& caption)
{
    if (auto* label = qobject_cast<QLabel*>(widget); label && kind == Kind::Label)
        label->setText(caption);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* frame = qobject_cast<QGroupBox*>(widget))
        frame->setTitle(caption);
}

// Text and background colours. Item views and text boxes paint their text on
// Base; the other controls fill their own background role (Button for option
// buttons and check boxes, Window for frames and panels).
void setColours(QWidget* widget, Kind kind, QRgb text, QRgb back)
{
    const bool editable = kind == Kind::TextBox || kind == Kind::ListBox || kind == Kind::ResultList;
    QPalette palette = widget->palette();
    if (qAlpha(text) != 0)
        palette.setColor(editable ? QPalette::Text : QPalette::WindowText, QColor::fromRgba(text));
    if (qAlpha(back) != 0) {
        palette.setColor(editable ? QPalette::Base : widget->backgroundRole(), QColor::fromRgba(back));
        if (!editable)
            widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

void applyLook(QWidget* widget, const ControlLayout& layout)
{
    using namespace controls;
    if (layout.face != Face::Default)
        widget->setFont(look::fontFor(layout.face));
    setColours(widget, layout.kind, layout.text, layout.back);

    if (auto* label = qobject_cast<QLabel*>(widget); label && layout.kind == Kind::Label) {
        Qt::Alignment align = Qt::AlignTop;
        align |= (layout.look & AlignRight) ? Qt::AlignRight
               : (layout.look & AlignCenter) ? Qt::AlignHCenter
                                           : Qt::AlignLeft;
        label->setAlignment(align);
        label->setWordWrap(layout.look & Wraps);
        label->setTextFormat(Qt::PlainText);
        if (layout.look & SizedToText)
            label->adjustSize();
        // A wrapped caption keeps its width; where its lines need a pixel or
        // two more than the layout gives, the label grows downward rather
        // than cut the last line.
        if ((layout.look & Wraps) && label->heightForWidth(label->width()) > label->height())
            label->resize(label->width(), label->heightForWidth(label->width()));
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget); button && (layout.look & SetAtStart))
        button->setChecked(true);
    if (layout.look & Hidden)
        widget->hide();
}

}  // namespace

frmmenu::frmmenu(QWidget* parent)
    : QWidget(parent), messages_(std::make_unique<WindowMessageSink>(this))
{
    initAssets();
    setObjectName(QStringLiteral("frmmenu"));
    setWindowTitle(kTitle);
    setFixedSize(kClientSize);
    setFont(look::fontFor(controls::Face::Default));
    background_ = look::SharpPicture(QStringLiteral(":/assets/background.svg"), QColor::fromRgba(controls::Olive));
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.svg")));  // vector: sharp at every size

    createControls();
    bindControls();
    guidedTour = new GuidedTour(this, {*this, Timer1, lblAide, Image2, lstBases, lstOuts, txtInserer, Option1,
                                       OptionQuoi, OptionTierce});
    applyTabOrder();
    wireSignals();
    createCommands();
    accessibility::applyNames(registry_);
    Form_Load();
}

frmmenu::~frmmenu() = default;

// ---- Building the window ----------------------------------------------------

void frmmenu::createControls()
{
    QList<QWidget*> onSurface;  // labels and images, drawn beneath the rest
    for (const ControlLayout& layout : controls::windowControls()) {
        QWidget* container = layout.container ? registry_.at(QLatin1String(layout.container)) : this;
        QWidget* widget = makeControl(layout.kind, container);
        widget->setObjectName(controls::objectNameOf(layout.name, layout.index));
        registry_.add(widget);
        widget->setGeometry(controls::twipsToPixels(layout.left), controls::twipsToPixels(layout.top),
                            controls::twipsToPixels(layout.width), controls::twipsToPixels(layout.height));
        setCaption(widget, layout.kind, QString::fromUtf8(layout.caption));
        applyLook(widget, layout);
        if (layout.kind == Kind::Label || layout.kind == Kind::Image)
            onSurface.append(widget);
    }
    // Lowering in reverse keeps the table's order among them.
    for (auto it = onSurface.rbegin(); it != onSurface.rend(); ++it)
        (*it)->lower();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
}

void frmmenu::bindControls()
{
    const auto get = [this]<typename T>(T*& member, const char* name, int index = controls::NoIndex) {
        member = registry_.as<T>(name, index);
    };
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7})
        get(Label1[i], "Label1", i);
    for (int i : {0, 2, 3, 4})
        get(Label4[i], "Label4", i);
    for (int i : {0, 2, 3, 4})
        get(PictureDetail[i], "PictureDetail", i);
    for (int i = 0; i < 2; ++i) {
        get(Label2[i], "Label2", i);
        get(txtInserer[i], "txtInserer", i);
        get(cmdTous[i], "cmdTous", i);
        get(cmdAucun[i], "cmdAucun", i);
        get(ChkInclure[i], "ChkInclure", i);
    }
    for (int i = 0; i < 3; ++i)
        get(cmdVider[i], "cmdVider", i);
    for (int i = 0; i < 4; ++i)
        get(Option1[i], "Option1", i);
    // The fusion types lie on the window itself, where an auto-exclusive
    // option button would group itself with every option beneath the window,
    // those of Frame2 and of the panels too: a group of their own keeps one
    // of them selected and their arrow keys among them.
    auto* fusionTypes = new QButtonGroup(this);
    for (QRadioButton* option : Option1)
        fusionTypes->addButton(option);
    for (int i = 0; i < 5; ++i)
        get(OptionQuoi[i], "OptionQuoi", i);
    for (int i = 0; i < 8; ++i)
        get(OptionTierce[i], "OptionTierce", i);
    get(Label3, "Label3");
    get(Label5, "Label5");
    get(lblCout, "lblCout");
    get(lblQtetotale, "lblQtetotale");
    get(txtAide, "txtAide");
    get(lblAide, "lblAide");
    get(txtPartants, "txtPartants");
    get(txtUnite, "txtUnite");
    get(lstBases, "lstBases");
    get(lstOuts, "lstOuts");
    get(lstResultat, "lstResultat");
    get(cmdFusionner, "cmdFusionner");
    get(cmdImprimer, "cmdImprimer");
    get(Command1, "Command1");
    get(Command2, "Command2");
    get(Frame2, "Frame2");
    get(Image1, "Image1");
    get(Image2, "Image2");

    resultModel = new ResultListModel(this);
    ticket_ = torvanel::Ticket(ResultView::kMaxRows, measureCostTextCap());
    lstResultat->setModel(resultModel);
    Image1->setPicture(QStringLiteral(":/assets/exit.svg"));
    Image2->setPicture(QStringLiteral(":/assets/starburst.svg"));
    bringPanelToFront(2);
}

void frmmenu::applyTabOrder()
{
    std::vector<const ControlLayout*> stops;
    for (const ControlLayout& layout : controls::windowControls())
        if (layout.tab != controls::NoTab)
            stops.push_back(&layout);
    std::sort(stops.begin(), stops.end(), [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
    QWidget* previous = nullptr;
    for (const ControlLayout* layout : stops) {
        QWidget* widget = registry_.of(*layout);
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;  // the panels only group their buttons
        if (previous)
            setTabOrder(previous, widget);
        tabOrder_.append(widget);
        previous = widget;
    }
}

bool frmmenu::isTabStop(const QWidget* widget) const
{
    if (!widget->isVisibleTo(this) || !widget->isEnabled())
        return false;
    // A group of options is one stop, at its selected option; the arrows
    // move within the group.
    if (const auto* option = qobject_cast<const QRadioButton*>(widget))
        return option->isChecked();
    return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

// Tab walks the window's own order rather than the toolkit's focus chain,
// which keeps the first option of a group as its stop (not the selected one)
// and knows nothing of the panels' stacking.
bool frmmenu::focusNextPrevChild(bool next)
{
    const qsizetype count = tabOrder_.size();
    qsizetype current = -1;
    for (QWidget* focused = QApplication::focusWidget(); focused && current < 0; focused = focused->parentWidget())
        current = tabOrder_.indexOf(focused);
    const qsizetype step = next ? 1 : count - 1;
    qsizetype candidate = current < 0 ? (next ? count - 1 : 0) : current;
    for (qsizetype tried = 0; tried < count; ++tried) {
        candidate = (candidate + step) % count;
        if (isTabStop(tabOrder_[candidate])) {
            tabOrder_[candidate]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void frmmenu::wireSignals()
{
    // clicked fires for every click, also on the option already chosen, and
    // for an arrow key that moves the choice within a group; code that sets
    // an option (the guided tour) clicks it too, so each runs its handler once.
    const auto onClick = [this](QAbstractButton* button, void (frmmenu::*handler)(int), int index) {
        connect(button, &QAbstractButton::clicked, this, [this, handler, index] { (this->*handler)(index); });
    };
    for (int i = 0; i < int(OptionQuoi.size()); ++i)
        onClick(OptionQuoi[i], &frmmenu::OptionQuoi_Click, i);
    for (int i = 0; i < int(Option1.size()); ++i)
        onClick(Option1[i], &frmmenu::Option1_Click, i);
    for (int i = 0; i < int(OptionTierce.size()); ++i)
        onClick(OptionTierce[i], &frmmenu::OptionTierce_Click, i);
    for (int i = 0; i < int(ChkInclure.size()); ++i)
        connect(ChkInclure[i], &QAbstractButton::toggled, this, [this, i] { ChkInclure_Click(i); });

    connect(cmdFusionner, &QPushButton::clicked, this, &frmmenu::cmdFusionner_Click);
    connect(cmdImprimer, &QPushButton::clicked, this, &frmmenu::cmdImprimer_Click);
    connect(Command2, &QPushButton::clicked, this, &frmmenu::Command2_Click);
    connect(Image1, &PictureBox::clicked, this, &frmmenu::Image1_Click);
    installContextHelp();
    connect(Command1, &QPushButton::clicked, this, &frmmenu::Command1_Click);
    connect(Timer1, &QTimer::timeout, this, &frmmenu::Timer1_Timer);
    txtPartants->installEventFilter(this);
    // The horse lists, their insert boxes and Tous/Aucun/Vider; after the
    // context help, so that its filter sees the lists' mouse moves first.
    new HorseEntryEvents(this, {{lstBases, lstOuts}, txtInserer, cmdTous, cmdAucun, cmdVider}, *this);
}

void frmmenu::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgba(controls::Olive));
    painter.drawPixmap(0, 0, background_.at(look::BackgroundSize, devicePixelRatioF()));
}

bool frmmenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == txtPartants)
            txtPartants_KeyDown(keys::keyCodeOf(key), keys::shiftStateOf(key->modifiers()));
    }
    return QWidget::eventFilter(watched, event);
}

void frmmenu::setTotalCaption(QLabel* label, const QString& text)
{
    // The count and the cost of a big merge would run off the window's right
    // edge in their 24-pixel font: the caption then takes a smaller size.
    QFont font = look::fontFor(label == lblCout ? controls::Face::Arial18 : controls::Face::Times18);
    label->setText(text);
    for (;;) {
        label->setFont(font);
        label->adjustSize();
        if (label->geometry().right() < width() || font.pixelSize() <= kSmallestPixelSize)
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
}

// Longest cost text lblCout shows whole: its caption at the smallest size,
// every character of the number as wide as the widest a cost is written with,
// must end inside the window. Runs before the first caption is set.
std::size_t frmmenu::measureCostTextCap()
{
    QFont smallest = look::fontFor(controls::Face::Arial18);
    smallest.setPixelSize(kSmallestPixelSize);
    const QFontMetrics metrics(smallest);
    QChar widest = QLatin1Char('0');
    for (QChar c : QStringLiteral("0123456789.-"))
        if (metrics.horizontalAdvance(c) > metrics.horizontalAdvance(widest))
            widest = c;
    const QString caption = lblCout->text();
    const QString unit = QStringLiteral(" Euros");
    qsizetype digits = 0;
    for (;; ++digits) {
        setTotalCaption(lblCout, QLatin1Char(' ') + QString(digits + 1, widest) + unit);
        if (lblCout->geometry().right() >= width())
            break;
    }
    setTotalCaption(lblCout, caption);
    return static_cast<std::size_t>(1 + digits + unit.size());
}

// The panels behind are hidden as well as covered, so that neither the
// keyboard nor a screen reader reaches the buttons no one can see.
void frmmenu::bringPanelToFront(int panelIndex)
{
    QFrame* front = PictureDetail.value(panelIndex);
    if (!front)
        return;
    front->raise();
    for (QFrame* panel : std::as_const(PictureDetail))
        panel->setVisible(panel == front);
}

// ---- Start-up and starters ----------------------------------------------------

void frmmenu::Form_Load()
{
    FillStarterLists();
    ticket_.setFusionMode(torvanel::FusionType::Fused);
}

void frmmenu::FillStarterLists()
{
    const double starters = std::floor(torvanel::ReadNumber(txtPartants->text().toStdString()));
    if (starters > torvanel::entry::kMaxEntries) {
        Dialogs::showMessage(this, QStringLiteral("Le nombre de partants ne peut pas dépasser %1. "
                                                  "Veuillez recommencer.")
                                       .arg(torvanel::entry::kMaxEntries));
        return;
    }
    QStringList numbers;
    for (int horse = 1; horse <= starters; ++horse)
        numbers.append(QString::number(horse));
    for (QListWidget* list : {lstBases, lstOuts}) {
        list->clear();
        list->addItems(numbers);
    }
}

void frmmenu::txtPartants_KeyDown(int keyCode, int /*shift*/)
{
    if (keyCode == keys::kEnter)
        FillStarterLists();
}

// ---- Merge and option panels ----------------------------------------------------

torvanel::StarterList frmmenu::starterList(const QListWidget* list) const
{
    torvanel::StarterList entries;
    entries.reserve(list->count());
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        entries.push_back({item->text().toStdString(), item->isSelected()});
    }
    return entries;
}

torvanel::MergeChoices frmmenu::currentChoices() const
{
    torvanel::MergeChoices choices;
    choices.betType = checkedBetType();
    choices.fusionMode = ticket_.selection().FusionMode;
    for (int i = 0; i < int(OptionTierce.size()); ++i)
        choices.split[i] = OptionTierce[i]->isChecked();
    for (int i = 0; i < int(ChkInclure.size()); ++i)
        choices.include[i] = ChkInclure[i]->isChecked();
    choices.stake = txtUnite->text().toStdString();
    return choices;
}

void frmmenu::cmdFusionner_Click()
{
    const bool filtered = ticket_.hasConditions();
    showTicket(ticket_.merge(starterList(lstBases), starterList(lstOuts), currentChoices(), *messages_,
                             [this](const torvanel::ResultList& full, const torvanel::conditions::Conditions& conditions) {
                                 return filterLines(full, conditions);
                             }));
    if (filtered && !ticket_.hasConditions())
        Dialogs::showMessage(this, QStringLiteral("Filtrage annulé : la liste complète est affichée, sans les conditions."));
}

void frmmenu::showTicket(const torvanel::MergeOutcome& labels)
{
    resultModel->show(ticket_.shown(), arrivalLook(ticket_));
    if (labels.updated) {
        setTotalCaption(lblQtetotale, QString::fromStdString(labels.countText));
        setTotalCaption(lblCout, QString::fromStdString(labels.costText));
    }
    showTitle();
    mnuListeComplete->setEnabled(ticket_.hasStage());
}

void frmmenu::showTitle()
{
    QString title = kTitle;
    if (const QString forecast = forecast_ ? forecast_->name() : QString(); !forecast.isEmpty())
        title = forecast + QStringLiteral("[*] — ") + title;
    std::string stage = ticket_.stageTitle();
    // A stage on the conditions' (a reduction of the kept lines) keeps them.
    if (ticket_.hasConditions() && ticket_.stages().back().kind != torvanel::StageKind::Conditions)
        stage += std::string(" — ") + torvanel::kConditionsTitle;
    setWindowTitle(stage.empty() ? title : title + QStringLiteral(" — ") + QString::fromStdString(stage));
}

torvanel::BetType frmmenu::checkedBetType() const
{
    for (int i = 0; i < int(OptionQuoi.size()); ++i)
        if (OptionQuoi[i]->isChecked())
            return static_cast<torvanel::BetType>(i);
    return torvanel::BetType::Tierce;
}

bool frmmenu::showArrivalStage(torvanel::LineSelection paidFull, std::vector<torvanel::bets::Horse> arrival,
                               std::string title, torvanel::MessageSink& messages)
{
    const std::optional<torvanel::MergeOutcome> labels = ticket_.pushArrivalStage(
        std::move(paidFull), std::move(arrival), std::move(title), stakeText(), messages);
    if (!labels)
        return false;
    showTicket(*labels);
    return true;
}

std::string frmmenu::stakeText() const
{
    return txtUnite->text().toStdString();
}

bool frmmenu::showStage(torvanel::StageKind kind, const std::vector<std::uint64_t>& kept, std::string title,
                        torvanel::MessageSink& messages, std::optional<torvanel::ReducedFor> reducedFor)
{
    const std::optional<torvanel::MergeOutcome> labels =
        ticket_.pushStage(kind, kept, std::move(title), txtUnite->text().toStdString(), messages, reducedFor);
    if (!labels)
        return false;
    showTicket(*labels);
    return true;
}

bool frmmenu::showConditions(const torvanel::conditions::Conditions& conditions, torvanel::LineSelection kept,
                             torvanel::MessageSink& messages)
{
    const auto labels = ticket_.setConditions(conditions, std::move(kept), txtUnite->text().toStdString(), messages);
    if (!labels)
        return false;
    showTicket(*labels);
    return true;
}

void frmmenu::OptionQuoi_Click(int index)
{
    bringPanelToFront(index == 1 ? 0 : index);
    const std::string_view stake = torvanel::bets::RuleOf(static_cast<torvanel::BetType>(index)).unitStake;
    txtUnite->setText(QString::fromLatin1(stake.data(), static_cast<qsizetype>(stake.size())));
    cmdFusionner_Click();
}

void frmmenu::Option1_Click(int index)
{
    ticket_.setFusionMode(static_cast<torvanel::FusionType>(index));
    cmdFusionner_Click();
}

void frmmenu::OptionTierce_Click(int /*index*/)
{
    // The merge reads the split buttons itself.
    cmdFusionner_Click();
}

void frmmenu::ChkInclure_Click(int /*index*/)
{
    cmdFusionner_Click();
}
