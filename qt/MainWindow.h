#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "app/Pauses.h"
#include "app/WindowFit.h"
#include "app/frmMain.h"
#include "platform/DatagramSource.h"
#include "qt/EventLoop.h"
#include "qt/SocketWatcher.h"
#include "qt/GameColours.h"
#include "qt/MessagePreview.h"
#include "qt/AppCursor.h"
#include "qt/ComboField.h"
#include "qt/ConsoleView.h"
#include "qt/PlayerTable.h"
#include "qt/QtControls.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScreen;
class QTimer;
class QVBoxLayout;

namespace qtgui {

class FreeSpinBox;
class GameToolbar;

class MessageBoxes : public platform::IMessageBox {
public:
    explicit MessageBoxes(QWidget* parent) : m_parent(parent) {}
    int show(const std::string& text, int style, const std::string& title) override;

private:
    QPointer<QWidget> m_parent;
};

// The main window on Qt: builds every control under its name, implements the
// control interfaces over the widgets and calls the frmMain procedure of
// each widget's event. What it decides itself is how Qt draws and lays out
// the window and its preview, and how its event loop waits; its size and
// place, and the heights of the areas that stretch with it, are the core's.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(platform::ISocket& socket, platform::IDatagramSource& datagrams);
    ~MainWindow() override;

    app::FormControls controls();
    platform::IMessageBox& messageBoxes() { return m_messageBoxes; }
    // The pauses and failure boxes, on this window's event loop.
    app::Pauses& sleeper() { return m_pauses; }
    EventLoop& eventLoop() { return m_loop; }
    // Connects the widgets' events to the form's procedures.
    void bind(app::frmMain& form);
    // Clicks Start once the event loop runs, as the user would: the same
    // checks, boxes and failures. Nothing happens while Start is disabled.
    void pressStart();

    GameToolbar& toolbar() { return *m_toolbar; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the logic sees of the window (IForm), as an adapter of its own.
    class FormAdapter;
    std::string caption() const;
    void setCaption(const std::string& caption);
    platform::WindowHandle hWnd() const;
    QScreen* shownOn() const;
    double screenWidth() const;
    double screenHeight() const;
    void moveFrame(double left, double top);
    void place();
    void keepCentre();
    std::vector<app::StretchArea> stretchAreas() const;
    app::WindowShape shape() const;
    void shareAreas(int height);
    void fitToScreen();
    std::int32_t systemMenuItemId(int position) const;
    bool modifySystemMenuItem(std::int32_t id, std::uint32_t flags, std::int32_t newId, const std::string& text);
    void takeDown();

public:
    // False once the window's own close command has been taken away.
    bool closeCommandEnabled() const { return m_systemMenu[6].id == kScClose; }

private:
    static constexpr std::int32_t kScClose = 0xF060;
    struct MenuItem {
        std::int32_t id;
        std::uint32_t flags;
        std::string text;
    };
    // The system menu of a window: Restore, Move, Size, Minimize, Maximize, a separator, Close.
    std::vector<MenuItem> m_systemMenu{{0xF120, 0, "Restore"},  {0xF010, 0, "Move"},     {0xF000, 0, "Size"},
                                       {0xF020, 0, "Minimize"}, {0xF030, 0, "Maximize"}, {0, 0, ""},
                                       {kScClose, 0, "Close"}};

    void buildControls();
    QGroupBox* buildServer();
    QGroupBox* buildMessage();
    QHBoxLayout* buildMiddle();
    QGroupBox* buildConsole();
    QHBoxLayout* buildBottomRow();
    QGridLayout* buildIndicator();
    void makeTimers();
    void setTabOrders();
    void describeFields();
    void makeInterfaces();
    void showColours();
    void showPreview();

    platform::ISocket& m_socket;
    app::frmMain* m_form = nullptr;
    bool m_destroyed = false;
    std::unique_ptr<FormAdapter> m_formAdapter;
    MessageBoxes m_messageBoxes{this};
    EventLoop m_loop;
    app::Pauses m_pauses{m_loop};
    SocketWatcher m_watcher;
    // The centre asked for, kept while the window manager's frame appears
    // around the window; the frame as last known, and the size it was placed at.
    QPointF m_centre;
    bool m_keepCentre = false;
    app::FrameEdges m_edges;
    QSize m_placedSize;
    QWidget* m_central = nullptr;
    QVBoxLayout* m_page = nullptr;
    std::vector<QWidget*> m_areas;  // the stretching areas, in the core's order
    std::vector<int> m_areaHeights;
    GameToolbar* m_toolbar = nullptr;

    QComboBox* m_txtIP = nullptr;
    QLineEdit* m_txtPort = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QPlainTextEdit* m_txtMsg = nullptr;
    MessagePreview* m_preview = nullptr;
    FreeSpinBox* m_txtSeverMessageTime = nullptr;
    FreeSpinBox* m_txtMsgDelay = nullptr;
    FreeSpinBox* m_txtStatus = nullptr;
    FreeSpinBox* m_txtMinPlayers = nullptr;
    QCheckBox* m_chkMsgRotate = nullptr;
    QLineEdit* m_txtSendCommand = nullptr;
    ConsoleView* m_txtOutput = nullptr;
    PlayerTable* m_players = nullptr;
    QPushButton* m_cmdPlayers = nullptr;
    QPushButton* m_cmdSend = nullptr;
    QPushButton* m_cmdIP = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QPushButton* m_cmdStart = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QLabel* m_imgConnected = nullptr;
    QLabel* m_imgNotConnected = nullptr;
    QTimer* m_tmrServerMessage = nullptr;
    QTimer* m_tmrStatus = nullptr;
    QTimer* m_tmrHeard = nullptr;
    QLabel* m_lblHeard = nullptr;

    std::unique_ptr<ComboField> m_ipField;
    std::unique_ptr<LineField> m_portField, m_passwordField, m_sendCommandField;
    std::unique_ptr<MultiLineField> m_msgField;
    std::unique_ptr<SpinField> m_messageTimeField, m_msgDelayField, m_minPlayersField, m_statusField;
    std::unique_ptr<CheckField> m_msgRotateField;
    std::unique_ptr<Button> m_startButton;
    std::unique_ptr<Image> m_connectedImage, m_notConnectedImage;
    std::unique_ptr<Timer> m_messageTimer, m_statusTimer, m_heardTimer;
    std::unique_ptr<Notice> m_heardNotice;
};

}  // namespace qtgui
