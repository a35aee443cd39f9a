#pragma once
// The program's one window. Every control is a public member named as on the
// screen; a control array is a std::array (or a QMap where its indexes have
// gaps) indexed by the control's index, so `txtInserer[0]` feeds lstBases and
// `PictureDetail[4]` is the Quinté panel. Handlers are named after the control
// and the event and take the array index where the control is an array.

#include "app/WindowLook.h"
#include "merge/MergeEngine.h"

#include <QMap>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
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
class GuidedTour;
class PictureBox;
class ResultListModel;
class WindowMessageSink;

class frmmenu : public QWidget {
    Q_OBJECT
public:
    // The race picture behind the controls, from the top left corner.
    static constexpr QSize BackgroundSize{504, 398};

    explicit frmmenu(QWidget* parent = nullptr);
    ~frmmenu() override;

    // ---- Controls on the window ------------------------------------------
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
    std::int16_t FusionMode = 0;
    // Its line cap (engine.maxLines()) is the most rows lstResultat shows.
    torvanel::MergeEngine engine;

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

    // Shows the engine's current result in lstResultat (after a merge, or
    // after the engine's result was emptied).
    void showEngineResult();
    // Writes the count or the cost in its label, smaller if it would not fit.
    void setTotalCaption(QLabel* label, const QString& text);
    // Brings a split panel to the front of the stack.
    void bringPanelToFront(int panelIndex);

    // Key code and shift state as the handlers take them: ENTER is 13;
    // SHIFT 1, CTRL 2, ALT 4.
    static int keyCodeOf(const QKeyEvent* event);
    static int shiftStateOf(Qt::KeyboardModifiers modifiers);

    // ---- Horse entry and reordering ---------------------------------------
    void txtInserer_KeyDown(int index, int keyCode, int shift);
    void lstBases_LostFocus();
    void lstOuts_LostFocus();
    // Pointer position in pixels; only the shift state is read.
    void lstBases_MouseDown(int button, int shift, float x, float y);
    void lstOuts_MouseDown(int button, int shift, float x, float y);
    void cmdTous_Click(int index);
    void cmdAucun_Click(int index);
    void cmdVider_Click(int index);

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
    // Puts the help text of `control` (a control's or an array's name) in txtAide.
    void showContextHelp(const char* control);

    // ---- Printing -----------------------------------------------------------
    void cmdImprimer_Click();

    // ---- Guided tour --------------------------------------------------------
    void Command1_Click();
    void Timer1_Timer();
    int BlinkCount = 0;                  // phase of the blink, kept from tour to tour
    GuidedTour* guidedTour = nullptr;    // runs the tours' waits on this window

    // ---- Notice and exit ----------------------------------------------------
    void Command2_Click();
    void Image1_Click();
    // What the exit picture runs; empty, it ends the program at once.
    std::function<void()> endProgram;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void createControls();
    void bindControls();
    void applyTabOrder();
    bool isTabStop(const QWidget* widget) const;
    std::size_t measureCostTextCap();
    void wireSignals();
    torvanel::StarterList starterList(const QListWidget* list) const;
    torvanel::MergeChoices currentChoices() const;

    QList<QWidget*> tabOrder_;  // every control Tab can stop on, in order
    look::SharpPicture background_;
    std::unique_ptr<WindowMessageSink> messages_;
};
