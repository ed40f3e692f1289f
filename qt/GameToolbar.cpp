#include "qt/GameToolbar.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSaveFile>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "app/GameProfiles.h"
#include "qt/Latin1.h"

namespace qtgui {

using namespace platform;

class GameToolbar::Tool : public ITool {
public:
    Tool(QString id, QString caption, QAction* action, QComboBox* combo = nullptr)
        : m_id(std::move(id)), m_caption(std::move(caption)), m_action(action), m_combo(combo) {}
    std::string id() const override { return toLatin1(m_id); }
    std::string text() const override { return toLatin1(m_combo ? m_combo->currentText() : m_caption); }
    const QString& qid() const { return m_id; }
    QAction* action() const { return m_action; }

private:
    QString m_id;
    QString m_caption;
    QPointer<QAction> m_action;
    QPointer<QComboBox> m_combo;
};

namespace {
constexpr const char* kLayoutMagic = "Vexmond toolbar layout 1";

}  // namespace

GameToolbar::GameToolbar(QMainWindow* window) : QObject(window), m_window(window) {
    m_menuBar = new QMenuBar(window);
    m_menuBar->setObjectName("tbrMenus");
    m_toolRow = new QToolBar(QObject::tr("Game"), window);
    m_toolRow->setObjectName("SSActiveToolBars1");
    m_toolRow->setMovable(true);

    QMenu* file = m_menuBar->addMenu("&File");
    QMenu* games = m_menuBar->addMenu("&Games");
    QMenu* help = m_menuBar->addMenu("&Help");

    m_gameBox = new QComboBox(m_toolRow);
    m_gameBox->setObjectName("ID_SelectGame");
    m_gameBox->setEditable(true);
    m_gameBox->setInsertPolicy(QComboBox::NoInsert);
    m_gameBox->setCompleter(nullptr);
    m_gameBox->setToolTip("Select the game type for your server");
    m_gameBox->setAccessibleName("Game");
    // The games of the box, in the order of their names.
    std::vector<const app::GameProfile*> boxGames;
    for (const auto& g : app::gameProfiles())
        if (g.boxCode) boxGames.push_back(&g);
    std::sort(boxGames.begin(), boxGames.end(),
              [](const auto* a, const auto* b) { return std::string_view(a->gameName) < b->gameName; });
    for (const auto* g : boxGames) m_gameBox->addItem(g->gameName, QString(g->boxCode));
    showGame("Return to Castle Wolfenstein");
    m_gameBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    // The "Game" tool names the game box in the tool row; choosing it opens the box.
    auto* gameTool = new QAction("Game", this);
    gameTool->setObjectName("ID_Game");
    gameTool->setToolTip("Select the game type for your server");
    auto* gameLabel = new QToolButton(m_toolRow);
    gameLabel->setDefaultAction(gameTool);
    gameLabel->setToolButtonStyle(Qt::ToolButtonTextOnly);
    gameLabel->setAutoRaise(true);
    m_toolRow->addWidget(gameLabel);
    m_toolRow->addWidget(m_gameBox);

    auto* exitAction = file->addAction("E&xit");
    exitAction->setObjectName("ID_Exit");
    exitAction->setShortcut(QKeySequence::Quit);
    auto* select = games->addAction("Select");
    select->setObjectName("ID_SelectGame");
    // A view setting, not a tool of the collection: the logic never sees it.
    games->addSeparator();
    m_consoleColours = games->addAction("&Colours in the Console");
    m_consoleColours->setObjectName("consoleColours");
    m_consoleColours->setCheckable(true);
    m_consoleColours->setToolTip("Show the console's text in the game's colours; the codes stay in the text, dimmed");
    auto* info = help->addAction("Information");
    info->setObjectName("ID_Information");
    auto* about = help->addAction("&About");
    about->setObjectName("ID_About");
    file->menuAction()->setObjectName("ID_File");
    games->menuAction()->setObjectName("ID_Games");
    help->menuAction()->setObjectName("ID_Help");

    add("ID_File", "&File", file->menuAction());
    add("ID_Exit", "E&xit", exitAction);
    add("ID_Game", "Game", gameTool);
    add("ID_Help", "&Help", help->menuAction());
    add("ID_Information", "Information", info);
    add("ID_About", "&About", about);
    m_tools.push_back(std::make_unique<Tool>("ID_SelectGame", "Select", select, m_gameBox));
    add("ID_Games", "&Games", games->menuAction());

    Tool* selectTool = m_tools[6].get();
    connect(select, &QAction::triggered, this, [this, selectTool] {
        m_gameBox->setFocus(Qt::MenuBarFocusReason);
        m_gameBox->showPopup();
        choose(selectTool);
    });
    connect(gameTool, &QAction::triggered, this, [this] {
        m_gameBox->setFocus(Qt::OtherFocusReason);
        m_gameBox->showPopup();
    });
    for (QMenu* menu : {file, games, help}) {
        Tool* t = nullptr;
        for (auto& candidate : m_tools)
            if (candidate->action() == menu->menuAction()) t = candidate.get();
        connect(menu, &QMenu::aboutToShow, this, [this, t] { choose(t); });
    }
    connect(m_gameBox, &QComboBox::activated, this, [this, selectTool] { emit comboSelChanged(*selectTool); });
}

GameToolbar::~GameToolbar() = default;

GameToolbar::Tool* GameToolbar::add(const QString& id, const QString& caption, QAction* action) {
    m_tools.push_back(std::make_unique<Tool>(id, caption, action));
    Tool* t = m_tools.back().get();
    if (!action->menu()) connect(action, &QAction::triggered, this, [this, t] { choose(t); });
    return t;
}

// The box shows the game and its list highlights the same one; a name that
// is not in the list (a hand-edited layout) is shown with nothing highlighted.
void GameToolbar::showGame(const QString& name) {
    const int index = m_gameBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_gameBox->setCurrentIndex(index);
    if (index < 0) m_gameBox->setEditText(name);
}

void GameToolbar::choose(Tool* tool) {
    if (tool) emit toolClicked(*tool);
}

ITool* GameToolbar::tool(int number) {
    if (number < 1 || number > static_cast<int>(m_tools.size())) return nullptr;
    return m_tools[static_cast<std::size_t>(number - 1)].get();
}

QAction* GameToolbar::action(const QString& id) const {
    for (const auto& t : m_tools)
        if (t->qid() == id) return t->action();
    return nullptr;
}

// The layout file: a first line naming the format, the game box's text, and
// the window's toolbar arrangement. It carries the game between runs.
void GameToolbar::saveLayout(const std::string& path) {
    QSaveFile file(pathText(path));
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write the toolbar layout");
    QByteArray text = QByteArray(kLayoutMagic) + "\n";
    text += "game=" + m_gameBox->currentText().toUtf8().toBase64() + "\n";
    text += "state=" + (m_window ? m_window->saveState().toBase64() : QByteArray()) + "\n";
    text += QByteArray("colours=") + (m_consoleColours->isChecked() ? "1" : "0") + "\n";
    file.write(text);
    if (!file.commit()) throw std::runtime_error("cannot write the toolbar layout");
}

void GameToolbar::loadLayout(const std::string& path) {
    QFile file(pathText(path));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read the toolbar layout");
    const QList<QByteArray> lines = file.read(1 << 20).split('\n');
    if (lines.isEmpty() || lines[0].trimmed() != kLayoutMagic) throw std::runtime_error("not a toolbar layout");
    for (const QByteArray& line : lines) {
        if (line.startsWith("game=")) showGame(QString::fromUtf8(QByteArray::fromBase64(line.mid(5))));
        if (line.startsWith("state=") && m_window) m_window->restoreState(QByteArray::fromBase64(line.mid(6)));
        if (line.startsWith("colours=")) m_consoleColours->setChecked(line.mid(8).trimmed() == "1");
    }
}

}  // namespace qtgui
