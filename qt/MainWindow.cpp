#include "qt/MainWindow.h"

#include "qt/Application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <QValidator>
#include <memory>
#include <numeric>

#include "app/FieldRules.h"
#include "app/FormFields.h"
#include "app/PlayerActions.h"
#include "app/Texts.h"
#include "qt/FreeSpinBox.h"
#include "qt/GameToolbar.h"
#include "qt/GameColours.h"
#include "qt/Icons.h"
#include "qt/MessagePreview.h"
#include "qt/Latin1.h"
#include "qt/QtFileDialogs.h"
#include "base/AppError.h"

namespace qtgui {

using namespace platform;

namespace {

// What the form's field takes, as typed or pasted; a text that is already
// something else (a stored value) may still be shortened and corrected.
class FieldValidator : public QValidator {
public:
    FieldValidator(QLineEdit* edit, const app::FormField& field) : QValidator(edit), m_edit(edit), m_field(field) {}
    State validate(QString& input, int&) const override {
        if (app::acceptsText(m_field, toLatin1(input))) return Acceptable;
        return input.size() < m_edit->text().size() ? Intermediate : Invalid;
    }

private:
    QLineEdit* m_edit;
    const app::FormField& m_field;
};

QString labelOf(const char* control) { return fromLatin1(app::formFieldOf(control).label); }
QString afterOf(const char* control) { return fromLatin1(app::formFieldOf(control).after); }

FreeSpinBox* spinField(const char* control) {
    const app::SpinBounds arrows = app::formFieldOf(control).arrows;
    auto* spin = new FreeSpinBox(arrows.low, arrows.high);
    spin->setObjectName(control);
    return spin;
}

// A line of an area's text, and what its frame, margins and a scroll bar that
// keeps its room add to the lines (a text view scrolls unless a pixel is spare).
app::LineMetrics linesOf(const QAbstractScrollArea* area) {
    int chrome = 2 * area->frameWidth() + 1;
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(area))
        chrome += 2 * static_cast<int>(text->document()->documentMargin());
    if (area->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        chrome += area->horizontalScrollBar()->sizeHint().height();
    return app::LineMetrics{area->fontMetrics().lineSpacing(), chrome};
}

QString objectNameOf(std::string_view control) {
    return QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size()));
}

// A frame's layout with little room above and below its rows: the window
// keeps its height for the message and the console on a short screen.
template <class Layout>
Layout* framed(QWidget* frame) {
    auto* layout = new Layout(frame);
    const QMargins m = layout->contentsMargins();
    layout->setContentsMargins(m.left(), 4, m.right(), 4);
    return layout;
}

QLabel* label(const QString& text, const char* name, QWidget* buddy = nullptr) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    if (buddy) l->setBuddy(buddy);
    return l;
}

}  // namespace

int MessageBoxes::show(const std::string& text, int style, const std::string& title) {
    QMessageBox box(m_parent);
    box.setWindowTitle(fromLatin1(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(crlfToLf(fromLatin1(text)));
    // A text laid out in lines of its own is shown as laid out, not re-wrapped.
    for (QLabel* label : box.findChildren<QLabel*>())
        if (label->text() == box.text()) label->setWordWrap(!box.text().contains('\n'));
    switch (style & 0x70) {
    case mb::kCritical: box.setIcon(QMessageBox::Critical); break;
    case mb::kQuestion: box.setIcon(QMessageBox::Question); break;
    case mb::kExclamation: box.setIcon(QMessageBox::Warning); break;
    case mb::kInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    QList<QMessageBox::StandardButton> buttons;
    switch (style & 0x7) {
    case mb::kYesNo: buttons = {QMessageBox::Yes, QMessageBox::No}; break;
    case 1: buttons = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case 3: buttons = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    default: buttons = {QMessageBox::Ok}; break;
    }
    for (auto b : buttons) box.addButton(b);
    const int defaultIndex = (style & mb::kDefaultButton2) ? 1 : 0;
    if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex]);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
    case QMessageBox::Yes: return mb::kAnswerYes;
    case QMessageBox::No: return mb::kAnswerNo;
    case QMessageBox::Cancel: return 2;
    default: return mb::kAnswerOk;
    }
}

class MainWindow::FormAdapter : public IForm {
public:
    explicit FormAdapter(MainWindow& window) : m_window(window) {}
    std::string caption() const override { return m_window.caption(); }
    void setCaption(const std::string& caption) override { m_window.setCaption(caption); }
    platform::WindowHandle hWnd() const override { return m_window.hWnd(); }
    double screenWidth() const override { return m_window.screenWidth(); }
    double screenHeight() const override { return m_window.screenHeight(); }
    double width() const override { return m_window.frameGeometry().width(); }
    double height() const override { return m_window.frameGeometry().height(); }
    void move(double left, double top) override { m_window.moveFrame(left, top); }
    std::int32_t systemMenuItemId(int position) const override { return m_window.systemMenuItemId(position); }
    bool modifySystemMenuItem(std::int32_t id, std::uint32_t flags, std::int32_t newId,
                              const std::string& text) override {
        return m_window.modifySystemMenuItem(id, flags, newId, text);
    }
    void destroy() override { m_window.takeDown(); }
    void statusChanged() override { m_window.showPreview(); }

private:
    MainWindow& m_window;
};

MainWindow::MainWindow(ISocket& socket, platform::IDatagramSource& datagrams)
    : m_socket(socket), m_formAdapter(std::make_unique<FormAdapter>(*this)), m_watcher(datagrams) {
    m_loop.setWatcher(&m_watcher);
    setObjectName("frmMain");
    setWindowTitle("Vexmond");
    setWindowIcon(appIcon());
    buildControls();
}

MainWindow::~MainWindow() = default;

// The controls frame by frame, then what joins them: the timers, the
// keyboard's order, the fields' descriptions and the control interfaces.
void MainWindow::buildControls() {
    m_toolbar = new GameToolbar(this);
    setMenuBar(m_toolbar->menuBar());
    addToolBar(Qt::TopToolBarArea, m_toolbar->toolRow());

    m_central = new QWidget(this);
    m_page = framed<QVBoxLayout>(m_central);
    m_page->addWidget(buildServer());
    m_page->addWidget(buildMessage(), 1);
    m_page->addLayout(buildMiddle());
    m_page->addWidget(buildConsole(), 2);
    m_page->addLayout(buildBottomRow());
    setCentralWidget(m_central);

    makeTimers();
    setTabOrders();
    describeFields();
    makeInterfaces();
    showColours();
    fitToScreen();
}

QGroupBox* MainWindow::buildServer() {
    auto* fraServer = new QGroupBox("&Server Information:");
    fraServer->setObjectName("fraServer");
    auto* server = framed<QGridLayout>(fraServer);
    m_txtIP = new QComboBox;
    m_txtIP->setObjectName("txtIP");
    m_txtIP->setEditable(true);
    m_txtIP->setInsertPolicy(QComboBox::NoInsert);
    m_txtIP->setCompleter(nullptr);
    m_txtIP->setMinimumContentsLength(18);
    m_cmdIP = new QPushButton("Get Local I.P");
    m_cmdIP->setObjectName("cmdIP");
    m_cmdIP->setFont(QFont("Arial"));
    m_txtPort = new QLineEdit;
    m_txtPort->setObjectName("txtPort");
    m_txtPort->setMaximumWidth(90);
    m_txtPassword = new QLineEdit;
    m_txtPassword->setObjectName("txtPassword");
    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_txtPassword->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    server->addWidget(label(labelOf("txtIP"), "lblIP", m_txtIP), 0, 0);
    server->addWidget(m_txtIP, 0, 1, 1, 3);
    server->addWidget(m_cmdIP, 0, 4);
    server->addWidget(label(labelOf("txtPort"), "lblPort", m_txtPort), 1, 0);
    server->addWidget(m_txtPort, 1, 1);
    server->addWidget(label(labelOf("txtPassword"), "lblRconPass", m_txtPassword), 1, 2);
    server->addWidget(m_txtPassword, 1, 3, 1, 2);
    server->setColumnStretch(3, 1);
    return fraServer;
}

// The message, its preview and its timing.
QGroupBox* MainWindow::buildMessage() {
    auto* frame2 = new QGroupBox(labelOf("txtMsg"));
    frame2->setObjectName("Frame2");
    auto* message = framed<QVBoxLayout>(frame2);
    // Its four rows a little closer than the style's spacing: with the
    // message's rules the window still fits a laptop's 768 lines at 150%.
    message->setSpacing(3);
    m_txtMsg = new QPlainTextEdit;
    m_txtMsg->setObjectName("txtMsg");
    m_txtMsg->setTabChangesFocus(true);
    message->addWidget(m_txtMsg, 1);
    m_preview = new MessagePreview;
    message->addWidget(m_preview);
    auto* timing = new QHBoxLayout;
    m_txtSeverMessageTime = spinField("txtSeverMessageTime");
    m_txtMsgDelay = spinField("txtMsgDelay");
    timing->addWidget(label(labelOf("txtSeverMessageTime"), "lblMinutes", m_txtSeverMessageTime));
    timing->addWidget(m_txtSeverMessageTime);
    timing->addWidget(label(labelOf("txtMsgDelay"), "lblMinutes", m_txtMsgDelay));
    timing->addWidget(m_txtMsgDelay);
    timing->addWidget(label(afterOf("txtMsgDelay"), "lblMinutes"));
    timing->addStretch(1);
    auto* warning = label("Do not abuse!!!", "lblWarning");
    warning->setStyleSheet("QLabel { color: #c0392b; font-weight: bold; }");
    timing->addWidget(warning);
    message->addLayout(timing);
    // Which lines go, and when: one each time in turn, only with players on.
    auto* rules = new QHBoxLayout;
    m_chkMsgRotate = new QCheckBox(labelOf("chkMsgRotate"));
    m_chkMsgRotate->setObjectName("chkMsgRotate");
    m_txtMinPlayers = spinField("txtMinPlayers");
    rules->addWidget(m_chkMsgRotate);
    rules->addStretch(1);
    rules->addWidget(label(labelOf("txtMinPlayers"), "lblMinPlayers", m_txtMinPlayers));
    rules->addWidget(m_txtMinPlayers);
    rules->addWidget(label(afterOf("txtMinPlayers"), "lblPlayersOn"));
    message->addLayout(rules);
    return frame2;
}

// Options and the manual rcon command, side by side.
QHBoxLayout* MainWindow::buildMiddle() {
    auto* middle = new QHBoxLayout;
    auto* frame1 = new QGroupBox("Options: ");
    frame1->setObjectName("Frame1");
    auto* options = framed<QHBoxLayout>(frame1);
    m_txtStatus = spinField("txtStatus");
    options->addWidget(label(labelOf("txtStatus"), "lblMinutes", m_txtStatus));
    options->addWidget(m_txtStatus);
    options->addWidget(label(afterOf("txtStatus"), "lblMinutes"));
    options->addStretch(1);
    middle->addWidget(frame1);
    auto* fraManualRcon = new QGroupBox("Rcon:");
    fraManualRcon->setObjectName("fraManualRcon");
    auto* rcon = framed<QHBoxLayout>(fraManualRcon);
    m_txtSendCommand = new QLineEdit;
    m_txtSendCommand->setObjectName("txtSendCommand");
    m_txtSendCommand->setAccessibleName("Rcon command");
    m_txtSendCommand->setPlaceholderText("an rcon command, e.g. status");
    m_cmdSend = new QPushButton("Send");
    m_cmdSend->setObjectName("cmdSend");
    rcon->addWidget(m_txtSendCommand, 1);
    rcon->addWidget(m_cmdSend);
    middle->addWidget(fraManualRcon, 1);
    return middle;
}

// The output console and its buttons.
QGroupBox* MainWindow::buildConsole() {
    auto* fraStatus = new QGroupBox("Status:");
    fraStatus->setObjectName("fraStatus");
    auto* status = framed<QVBoxLayout>(fraStatus);
    m_txtOutput = new ConsoleView;
    m_txtOutput->setObjectName("txtOutput");
    m_txtOutput->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_txtOutput->setAccessibleName("Server replies");
    // The players take the console's place while their button is down, at
    // its height: the window keeps its own, which a short screen has none
    // to spare of.
    m_players = new PlayerTable;
    m_players->setObjectName("tblPlayers");
    m_players->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_players->hide();
    status->addWidget(m_txtOutput, 1);
    status->addWidget(m_players, 1);
    m_cmdPlayers = new QPushButton(app::kShowPlayersText);
    m_cmdPlayers->setObjectName("cmdPlayers");
    m_cmdPlayers->setCheckable(true);
    m_cmdPlayers->setAccessibleName(app::kShowPlayersName);
    m_cmdPlayers->setToolTip(app::kShowPlayersTip);
    connect(m_cmdPlayers, &QPushButton::toggled, this, [this](bool on) {
        m_txtOutput->setVisible(!on);
        m_players->setVisible(on);
        m_cmdSave->setEnabled(!on);
        m_cmdClear->setEnabled(!on);
    });
    auto* consoleButtons = new QHBoxLayout;
    m_cmdSave = new QPushButton("&Save");
    m_cmdSave->setObjectName("cmdSave");
    m_cmdClear = new QPushButton("Clear");
    m_cmdClear->setObjectName("cmdClear");
    // The link stands under the console, so that the row of the indicator
    // has room for what the server made of the last broadcast.
    auto* link = new QLabel(QString("<a href=\"%1\">Author's website</a>").arg(app::kAuthorWebsite));
    link->setObjectName("SSHotLink1");
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setAccessibleName("Author's website");
    consoleButtons->addWidget(link);
    consoleButtons->addStretch(1);
    consoleButtons->addWidget(m_cmdPlayers);
    consoleButtons->addWidget(m_cmdSave);
    consoleButtons->addWidget(m_cmdClear);
    status->addLayout(consoleButtons);
    return fraStatus;
}

// Start, stop, close, and the running indicator.
QHBoxLayout* MainWindow::buildBottomRow() {
    auto* bottom = new QHBoxLayout;
    m_cmdStart = new QPushButton("Start");
    m_cmdStart->setObjectName("cmdStart");
    m_cmdStop = new QPushButton("S&top");
    m_cmdStop->setObjectName("cmdStop");
    m_cmdClose = new QPushButton("&Close");
    m_cmdClose->setObjectName("cmdClose");
    bottom->addWidget(m_cmdStart);
    bottom->addWidget(m_cmdStop);
    bottom->addWidget(m_cmdClose);
    bottom->addSpacing(16);
    bottom->addWidget(label("Status:", "lblRunning"));
    bottom->addLayout(buildIndicator());
    auto* lblOnLine = label("Offline", "lblOnLine");
    lblOnLine->setFont(QFont("MS Sans Serif"));
    bottom->addWidget(lblOnLine);
    bottom->addSpacing(12);
    m_lblHeard = new QLabel;
    m_lblHeard->setObjectName("lblHeard");
    m_lblHeard->setAccessibleName("What the server made of the last broadcast");
    // It takes the room the row has and no more: a long line is cut, and its tooltip holds it whole.
    m_lblHeard->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bottom->addWidget(m_lblHeard, 1);
    return bottom;
}

// Both images lie on the same spot; exactly one is shown.
QGridLayout* MainWindow::buildIndicator() {
    m_imgConnected = new QLabel;
    m_imgConnected->setObjectName("imgConnected");
    m_imgConnected->setPixmap(indicatorPixmap(true, 18, std::max<qreal>(2.0, devicePixelRatioF())));
    m_imgNotConnected = new QLabel;
    m_imgNotConnected->setObjectName("imgNotConnected");
    m_imgNotConnected->setPixmap(indicatorPixmap(false, 18, std::max<qreal>(2.0, devicePixelRatioF())));
    for (QLabel* img : {m_imgConnected, m_imgNotConnected}) {
        img->setToolTip(app::kIndicatorTip);
        img->setFixedSize(18, 18);
    }
    m_imgConnected->setAccessibleName("Running");
    m_imgNotConnected->setAccessibleName("Not running");
    auto* indicatorSpot = new QGridLayout;
    indicatorSpot->setContentsMargins(0, 0, 0, 0);
    indicatorSpot->addWidget(m_imgConnected, 0, 0);
    indicatorSpot->addWidget(m_imgNotConnected, 0, 0);
    m_imgConnected->hide();
    return indicatorSpot;
}

void MainWindow::makeTimers() {
    m_tmrServerMessage = new QTimer(this);
    m_tmrServerMessage->setObjectName("tmrServerMessage");
    m_tmrServerMessage->setTimerType(Qt::PreciseTimer);
    m_tmrStatus = new QTimer(this);
    m_tmrStatus->setObjectName("tmrStatus");
    m_tmrStatus->setTimerType(Qt::PreciseTimer);
    m_tmrHeard = new QTimer(this);
    m_tmrHeard->setObjectName("tmrHeard");
}

void MainWindow::setTabOrders() {
    QWidget* const order[] = {m_txtIP,           m_cmdIP,
                              m_txtPort,         m_txtPassword,
                              m_txtMsg,          m_txtSeverMessageTime,
                              m_txtMsgDelay,     m_chkMsgRotate,
                              m_txtMinPlayers,   m_txtStatus,
                              m_txtSendCommand,  m_cmdSend,
                              m_txtOutput,       m_players->findChild<QPushButton*>("cmdRefresh"),
                              m_players->view(), m_cmdPlayers,
                              m_cmdSave,         m_cmdClear,
                              m_cmdStart,        m_cmdStop,
                              m_cmdClose};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

// Each text field's design value, tooltip and length limit.
// Each field as the form's table has it: its name for a screen reader, its
// design value, tooltip, length and what it takes.
void MainWindow::describeFields() {
    for (const app::FormField& f : app::formFields()) {
        auto* widget = findChild<QWidget*>(QLatin1String(f.control));
        widget->setAccessibleName(fromLatin1(f.accessibleName));
        widget->setToolTip(fromLatin1(f.tooltip));
        QLineEdit* line = nullptr;
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            box->setChecked(std::string_view(f.designValue) == "1");
        } else if (auto* spin = qobject_cast<FreeSpinBox*>(widget)) {
            spin->setText(fromLatin1(f.designValue));
            if (f.maxLength > 0) spin->setMaxLength(f.maxLength);
            spin->setAccepts([&f](const std::string& text) { return app::acceptsText(f, text); });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            line = combo->lineEdit();
        } else {
            line = qobject_cast<QLineEdit*>(widget);
        }
        if (!line) continue;  // the message: any lines
        line->setText(fromLatin1(f.designValue));
        if (f.maxLength > 0) line->setMaxLength(f.maxLength);
        line->setValidator(new FieldValidator(line, f));
    }
}

// The control interfaces the logic reaches the widgets through.
void MainWindow::makeInterfaces() {
    m_ipField = std::make_unique<ComboField>(m_txtIP);
    m_portField = std::make_unique<LineField>(m_txtPort);
    m_passwordField = std::make_unique<LineField>(m_txtPassword);
    m_sendCommandField = std::make_unique<LineField>(m_txtSendCommand);
    m_msgField = std::make_unique<MultiLineField>(m_txtMsg);
    m_messageTimeField = std::make_unique<SpinField>(m_txtSeverMessageTime);
    m_msgDelayField = std::make_unique<SpinField>(m_txtMsgDelay);
    m_minPlayersField = std::make_unique<SpinField>(m_txtMinPlayers);
    m_msgRotateField = std::make_unique<CheckField>(m_chkMsgRotate);
    m_statusField = std::make_unique<SpinField>(m_txtStatus);
    m_startButton = std::make_unique<Button>(m_cmdStart);
    m_connectedImage = std::make_unique<Image>(m_imgConnected);
    m_notConnectedImage = std::make_unique<Image>(m_imgNotConnected);
    m_messageTimer = std::make_unique<Timer>(m_tmrServerMessage);
    m_statusTimer = std::make_unique<Timer>(m_tmrStatus);
    m_heardTimer = std::make_unique<Timer>(m_tmrHeard);
    m_heardNotice = std::make_unique<Notice>(m_lblHeard);
}

app::FormControls MainWindow::controls() {
    return app::FormControls{.form = *m_formAdapter,
                             .SSActiveToolBars1 = *m_toolbar,
                             .txtIP = *m_ipField,
                             .txtPort = *m_portField,
                             .txtPassword = *m_passwordField,
                             .txtMsg = *m_msgField,
                             .txtSeverMessageTime = *m_messageTimeField,
                             .txtMsgDelay = *m_msgDelayField,
                             .txtMinPlayers = *m_minPlayersField,
                             .chkMsgRotate = *m_msgRotateField,
                             .txtStatus = *m_statusField,
                             .txtSendCommand = *m_sendCommandField,
                             .txtOutput = *m_txtOutput,
                             .cmdStart = *m_startButton,
                             .imgConnected = *m_connectedImage,
                             .imgNotConnected = *m_notConnectedImage,
                             .tmrServerMessage = *m_messageTimer,
                             .tmrStatus = *m_statusTimer,
                             .udpPeerA = m_socket,
                             .lblHeard = *m_heardNotice,
                             .tmrHeard = *m_heardTimer,
                             .players = *m_players};
}

void MainWindow::showPreview() {
    const std::string game = toLatin1(m_toolbar->gameBox()->currentText());
    m_preview->showMessage(m_txtMsg->toPlainText(), game,
                           m_form ? m_form->placeholderValues() : app::placeholderValues(nullptr, {}));
}

// The preview and the console's colours follow the message, the game box
// and the menu item; they only paint, and nothing of theirs reaches the logic.
void MainWindow::showColours() {
    auto update = [this] {
        const std::string game = toLatin1(m_toolbar->gameBox()->currentText());
        const app::ColourCodes rule = app::colourCodesOf(game);
        showPreview();
        if (!m_areas.empty()) shareAreas(m_central->height());
        if (m_toolbar->consoleColours()->isChecked()) m_txtOutput->setColours(rule);
    };
    connect(m_txtMsg, &QPlainTextEdit::textChanged, this, update);
    connect(m_toolbar->gameBox(), &QComboBox::currentTextChanged, this, update);
    connect(m_toolbar->consoleColours(), &QAction::toggled, this, [this](bool on) {
        useGameGround(m_txtOutput, on);
        m_txtOutput->setColours(on ? std::optional(app::colourCodesOf(toLatin1(m_toolbar->gameBox()->currentText())))
                                   : std::nullopt);
    });
    update();
}

void MainWindow::bind(app::frmMain& form) {
    m_form = &form;
    connect(m_cmdClose, &QPushButton::clicked, this, [this] { m_form->cmdClose_Click(); });
    connect(m_cmdIP, &QPushButton::clicked, this, [this] { m_form->cmdIP_Click(); });
    connect(m_cmdStart, &QPushButton::clicked, this, [this] { m_form->cmdStart_Click(); });
    connect(m_cmdSend, &QPushButton::clicked, this, [this] { m_form->cmdSend_Click(); });
    connect(m_cmdSave, &QPushButton::clicked, this, [this] { m_form->cmdSave_Click(); });
    connect(m_cmdClear, &QPushButton::clicked, this, [this] { m_form->cmdClear_Click(); });
    connect(m_cmdStop, &QPushButton::clicked, this, [this] { m_form->cmdStop_Click(); });
    connect(m_txtSendCommand, &QLineEdit::returnPressed, this, [this] { m_form->cmdSend_Click(); });
    connect(m_tmrServerMessage, &QTimer::timeout, this, [this] { m_form->tmrServerMessage_Timer(); });
    connect(m_tmrStatus, &QTimer::timeout, this, [this] { m_form->tmrStatus_Timer(); });
    connect(m_tmrHeard, &QTimer::timeout, this, [this] { m_form->tmrHeard_Timer(); });
    connect(&m_watcher, &SocketWatcher::arrived, this,
            [this](std::int32_t bytes) { m_form->udpPeerA_DataArrival(bytes); });
    connect(m_toolbar, &GameToolbar::toolClicked, this,
            [this](const ITool& tool) { m_form->SSActiveToolBars1_ToolClick(tool); });
    connect(m_toolbar, &GameToolbar::comboSelChanged, this,
            [this](const ITool& tool) { m_form->SSActiveToolBars1_ComboSelChange(tool); });
}

void MainWindow::pressStart() {
    QTimer::singleShot(0, this, [this] {
        if (m_form) m_form->cmdStart_Click();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Without its own close command the window is closed only by Close and
    // Exit: a request from the title bar or the window manager (a
    // spontaneous close) does nothing. The application closing its windows
    // to quit (the end of the desktop session) is let through; the unload
    // runs once the event loop is over (Lifetime).
    bool cancel = false;
    if (!m_destroyed && event->spontaneous() && m_form) m_form->Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_destroyed) leaveEventLoop();
}

QScreen* MainWindow::shownOn() const { return screen() ? screen() : QGuiApplication::primaryScreen(); }
double MainWindow::screenWidth() const { return shownOn()->geometry().width(); }
double MainWindow::screenHeight() const { return shownOn()->geometry().height(); }

// The frame's centre where the logic asks, as the core fits the window to
// the work area there.
void MainWindow::moveFrame(double left, double top) {
    const QSize frame = frameGeometry().size();
    m_centre = QPointF(left + frame.width() / 2.0, top + frame.height() / 2.0);
    m_keepCentre = !isVisible();
    place();
}

void MainWindow::place() {
    const QRect work = shownOn()->availableGeometry();
    const app::WindowFit fit =
        app::fitWindow(shape(), m_edges, platform::Rect{work.left(), work.top(), work.right() + 1, work.bottom() + 1},
                       m_centre.x(), m_centre.y());
    resize(fit.clientWidth, fit.clientHeight);
    QWidget::move(fit.frame.left, fit.frame.top);
    m_placedSize = QSize(fit.frame.right - fit.frame.left, fit.frame.bottom - fit.frame.top);
}

// Until the window is shown its frame is unknown, so a place worked out
// without it misses the window manager's border and title bar. Each move or
// resize that the window system reports until the frame is there (the
// window manager reparents the window, then tells it where it now is) fits
// the window again with the frame as it is, around the centre asked for.
// Once placed with its frame, a move by the user is left alone.
void MainWindow::keepCentre() {
    if (!m_keepCentre || !isVisible()) return;
    const QRect frame = frameGeometry(), inner = geometry();
    m_edges = app::FrameEdges{inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                              frame.bottom() - inner.bottom()};
    if (frame.size() != inner.size()) m_keepCentre = false;
    if (frame.size() != m_placedSize) place();
}

// The table's stretching areas, each measured in its own font.
std::vector<app::StretchArea> MainWindow::stretchAreas() const {
    return app::stretchAreas(
        [this](std::string_view control) {
            const auto* area = findChild<QAbstractScrollArea*>(objectNameOf(control));
            return area ? linesOf(area) : app::LineMetrics{};
        },
        static_cast<std::size_t>(m_txtMsg->document()->blockCount()));
}

// Everything but the stretching areas, as the window's least size holds it.
app::WindowShape MainWindow::shape() const {
    auto areas = stretchAreas();
    const int least = std::accumulate(areas.begin(), areas.end(), 0,
                                      [](int sum, const app::StretchArea& a) { return sum + a.least; });
    const QSize minimum = minimumSizeHint();
    return app::WindowShape{.fixedHeight = minimum.height() - least,
                            .leastWidth = minimum.width(),
                            .preferredWidth = app::kPreferredWindowWidth,
                            .areas = std::move(areas)};
}

// The areas' heights in the central widget's height by the core's rule, and
// its least height, with every area at its least.
void MainWindow::shareAreas(int height) {
    const int fixed = m_page->sizeHint().height() - std::accumulate(m_areaHeights.begin(), m_areaHeights.end(), 0);
    const auto areas = stretchAreas();
    m_areaHeights = app::shareHeight(areas, height - fixed);
    int least = fixed;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (m_areas[i]->minimumHeight() != m_areaHeights[i] || m_areas[i]->maximumHeight() != m_areaHeights[i]) {
            m_areas[i]->setFixedHeight(m_areaHeights[i]);
            if (m_areas[i] == m_txtOutput) m_players->setFixedHeight(m_areaHeights[i]);
            // Its frame's size hint is cached in the page's layout.
            m_areas[i]->parentWidget()->updateGeometry();
        }
        least += areas[i].least;
    }
    m_central->setMinimumHeight(least);
}

// Laid out and polished now, at the size the core fits to the screen's work
// area, so that the size the window is centred with is the size it shows
// with; its frame comes once it is shown.
void MainWindow::fitToScreen() {
    ensurePolished();
    for (const app::StretchLines& area : app::kStretchAreas) {
        m_areas.push_back(findChild<QWidget*>(objectNameOf(area.control)));
        m_areas.back()->setFixedHeight(0);
    }
    m_areaHeights.assign(m_areas.size(), 0);
    shareAreas(0);
    m_central->installEventFilter(this);
    if (layout()) layout()->activate();
    m_centre = QRectF(shownOn()->availableGeometry()).center();
    place();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Before the central widget's layout hears of its new size.
    if (watched == m_central && event->type() == QEvent::Resize)
        shareAreas(static_cast<QResizeEvent*>(event)->size().height());
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show) keepCentre();
    return handled;
}

std::int32_t MainWindow::systemMenuItemId(int position) const {
    if (position < 0 || position >= static_cast<int>(m_systemMenu.size())) return -1;
    return m_systemMenu[static_cast<std::size_t>(position)].id;
}

bool MainWindow::modifySystemMenuItem(std::int32_t id, std::uint32_t flags, std::int32_t newId,
                                      const std::string& text) {
    for (auto& item : m_systemMenu) {
        if (item.id != id) continue;
        item = MenuItem{newId, flags, text};
        if (!closeCommandEnabled()) {
            // The window manager greys its close button and menu entry.
            const bool shown = isVisible();
            setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint);
            if (shown) show();
        }
        return true;
    }
    return false;
}

std::string MainWindow::caption() const { return toLatin1(windowTitle()); }
void MainWindow::setCaption(const std::string& caption) { setWindowTitle(fromLatin1(caption)); }

platform::WindowHandle MainWindow::hWnd() const {
    const_cast<MainWindow*>(this)->winId();  // a handle exists only once asked for
    return QtFileDialogs::handleOf(const_cast<MainWindow*>(this));
}

void MainWindow::takeDown() {
    if (m_destroyed) return;
    m_destroyed = true;
    hide();
    leaveEventLoop();
}

}  // namespace qtgui
