#pragma once
// The program's one window. Its handlers are public and named after the
// control and the event; they take the array index where the control is an
// array. Its controls are private members named as on the screen; a control
// array is a std::array (or a QMap where its indexes have gaps) indexed by the
// control's index, so `txtInserer[0]` feeds lstBases and `PictureDetail[4]`
// is the Quinté panel. The handler groups get what they use through small
// interfaces (HorseEntryHandlers, ResultHost); the guided tour drives the
// whole window through its handlers.

#include "app/ControlRegistry.h"
#include "app/HorseEntry.h"
#include "app/ResultHost.h"
#include "app/WindowLook.h"
#include "app/Commands.h"
#include "ticket/Ticket.h"

#include <QMap>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QCloseEvent;
class QFrame;
class QKeyEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class ForecastCommands;
class GuidedTour;
class PictureBox;
class ResultListModel;
class WindowMessageSink;

class frmmenu : public QWidget, public HorseEntryHandlers, private ResultHost {
    Q_OBJECT
public:
    explicit frmmenu(QWidget* parent = nullptr);
    ~frmmenu() override;

    // The punter's ticket: the selection state, the full list and the stage
    // lstResultat shows. Its line cap (maxLines()) is the most rows
    // lstResultat shows.
    const torvanel::Ticket& ticket() const override { return ticket_; }
    // The commands of the menu bar, menu by menu (the result list's context
    // menu shows them too).
    const QList<CommandMenu>& commandMenus() const { return commandMenus_; }

    // ---- Start-up and starters ------------------------------------------
    void Form_Load();
    void FillStarterLists();
    void txtPartants_KeyDown(int keyCode, int shift);

    // ---- Merge and option panels ------------------------------------------
    void cmdFusionner_Click();
    void OptionQuoi_Click(int index);
    void Option1_Click(int index);
    void OptionTierce_Click(int index);
    void ChkInclure_Click(int index);

    // ---- Horse entry and reordering ---------------------------------------
    void txtInserer_KeyDown(int index, int keyCode, int shift) override;
    void lstBases_LostFocus() override;
    void lstOuts_LostFocus() override;
    void lstBases_MouseDown(int button, int shift, float x, float y) override;
    void lstOuts_MouseDown(int button, int shift, float x, float y) override;
    void cmdTous_Click(int index) override;
    void cmdAucun_Click(int index) override;
    void cmdVider_Click(int index) override;

    // ---- Context help -------------------------------------------------------
    // Mouse-move handlers: each shows its control's help text in txtAide.
    // They take the toolkit's arguments (array index, button, shift state,
    // pointer position in pixels) and ignore them.
    void Form_MouseMove(int button, int shift, float x, float y);
    void txtPartants_MouseMove(int button, int shift, float x, float y);
    void txtInserer_MouseMove(int index, int button, int shift, float x, float y);
    void lstBases_MouseMove(int button, int shift, float x, float y);
    void lstOuts_MouseMove(int button, int shift, float x, float y);
    void cmdTous_MouseMove(int index, int button, int shift, float x, float y);
    void cmdAucun_MouseMove(int index, int button, int shift, float x, float y);
    void Option1_MouseMove(int index, int button, int shift, float x, float y);
    void OptionQuoi_MouseMove(int index, int button, int shift, float x, float y);
    void cmdFusionner_MouseMove(int button, int shift, float x, float y);
    void Command1_MouseMove(int button, int shift, float x, float y);

    // ---- Printing -----------------------------------------------------------
    void cmdImprimer_Click();

    // ---- Guided tour --------------------------------------------------------
    void Command1_Click();
    void Timer1_Timer();
    // Phase of the blink, kept from tour to tour.
    int blinkCount() const { return BlinkCount; }
    void setBlinkCount(int count) { BlinkCount = count; }

    // ---- Menu commands --------------------------------------------------------
    // "Revenir à la liste complète": the full list again, with its count and cost.
    void mnuListeComplete_Click();
    // "Conditions…": the conditions dialog, then the lines they keep.
    void mnuConditions_Click();
    // "À propos de Torvanel de pronostics".
    void mnuAPropos_Click();
    // "Quitter": closes the window, as its frame's close button does.
    void mnuQuitter_Click();

    // ---- Forecasts -------------------------------------------------------------
    // Rebuilds the window from a forecast file; a bad file leaves it as it
    // was, after a message. True when the forecast was opened.
    bool openForecast(const QString& fileName);
    // Before the window closes: with unsaved changes to a named forecast,
    // asks whether to save them; false when the window must stay.
    bool mayClose();

    // ---- Notice and exit ----------------------------------------------------
    void Command2_Click();
    void Image1_Click();
    // What the exit picture runs instead of ending the program (tests).
    void setEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // ---- Building the window ------------------------------------------------
    void createControls();
    void bindControls();
    void applyTabOrder();
    void wireSignals();
    void installContextHelp();
    void createCommands();
    bool isTabStop(const QWidget* widget) const;
    std::size_t measureCostTextCap();

    // ---- What the handlers share ---------------------------------------------
    torvanel::StarterList starterList(const QListWidget* list) const;
    torvanel::MergeChoices currentChoices() const;
    QListWidget* horseList(int index) const { return std::array{lstBases, lstOuts}.at(index); }
    // Shows what the ticket shows in lstResultat and says in the title bar
    // which stage it is (after a merge, "Vider", a new stage), and writes
    // `labels` into the count and cost labels when they were updated.
    void showTicket(const torvanel::MergeOutcome& labels = {});
    // The title bar: the open forecast's name, if any, with its unsaved
    // changes mark, the program's name and the stage shown.
    void showTitle();
    // Writes the count or the cost in its label, smaller if it would not fit.
    void setTotalCaption(QLabel* label, const QString& text);
    // Brings a split panel to the front of the stack.
    void bringPanelToFront(int panelIndex);
    // Puts the help text of `control` (a control's or an array's name) in txtAide.
    void showContextHelp(const char* control);

    // ---- ResultHost ----------------------------------------------------------
    QWidget& hostWindow() override { return *this; }
    QListView& resultView() override { return *lstResultat; }
    bool showStage(torvanel::StageKind kind, const std::vector<std::uint64_t>& kept, std::string title,
                   torvanel::MessageSink& messages, std::optional<torvanel::ReducedFor> reducedFor) override;
    bool showConditions(const torvanel::conditions::Conditions& conditions, torvanel::LineSelection kept,
                        torvanel::MessageSink& messages) override;
    std::optional<torvanel::LineSelection> filterLines(const torvanel::ResultList& full,
                                                       const torvanel::conditions::Conditions& conditions) override;
    bool showArrivalStage(torvanel::LineSelection paidFull, std::vector<torvanel::bets::Horse> arrival,
                          std::string title, torvanel::MessageSink& messages) override;
    std::string stakeText() const override;
    void keepArrivalEntry(torvanel::ArrivalEntry entry) override { ticket_.setArrivalEntry(std::move(entry)); }
    torvanel::BetType checkedBetType() const;

    // ---- Controls on the window ------------------------------------------
    ControlRegistry registry_;
    QMap<int, QLabel*> Label1;              // 0..7
    std::array<QLabel*, 2> Label2{};
    QLabel* Label3 = nullptr;
    QMap<int, QLabel*> Label4;              // 0, 2, 3, 4
    QLabel* Label5 = nullptr;               // on PictureDetail[0]
    QLabel* lblCout = nullptr;
    QLabel* lblQtetotale = nullptr;
    QLabel* txtAide = nullptr;              // the context help area (a label)
    QLineEdit* lblAide = nullptr;           // the guided tour's instruction (a text box)

    QLineEdit* txtPartants = nullptr;
    QLineEdit* txtUnite = nullptr;          // in Frame2
    std::array<QLineEdit*, 2> txtInserer{};

    QListWidget* lstBases = nullptr;
    QListWidget* lstOuts = nullptr;
    QListView* lstResultat = nullptr;
    ResultListModel* resultModel = nullptr;

    std::array<QPushButton*, 3> cmdVider{};
    std::array<QPushButton*, 2> cmdTous{};
    std::array<QPushButton*, 2> cmdAucun{};
    QPushButton* cmdFusionner = nullptr;
    QPushButton* cmdImprimer = nullptr;
    QPushButton* Command1 = nullptr;        // "Montrez-moi!"
    QPushButton* Command2 = nullptr;        // "Autres logiciels"

    std::array<QRadioButton*, 4> Option1{};      // fusion type
    std::array<QRadioButton*, 5> OptionQuoi{};   // bet type, in Frame2
    std::array<QRadioButton*, 8> OptionTierce{}; // splits, on the panels
    std::array<QCheckBox*, 2> ChkInclure{};

    QGroupBox* Frame2 = nullptr;
    QMap<int, QFrame*> PictureDetail;       // 0, 2, 3, 4, stacked

    PictureBox* Image1 = nullptr;           // exit picture
    PictureBox* Image2 = nullptr;           // the tour's highlight
    QTimer* Timer1 = nullptr;

    // ---- Window-level state ---------------------------------------------
    // The one owner of the selection state (FusionMode too), the result and its stages.
    torvanel::Ticket ticket_;
    QList<CommandMenu> commandMenus_;
    QAction* mnuListeComplete = nullptr;
    ForecastCommands* forecast_ = nullptr;
    int BlinkCount = 0;
    GuidedTour* guidedTour = nullptr;    // runs the tours' waits on this window
    std::function<void()> endProgram_;   // empty: the exit picture ends the program

    QList<QWidget*> tabOrder_;  // every control Tab can stop on, in order
    look::SharpPicture background_;
    std::unique_ptr<WindowMessageSink> messages_;
};
