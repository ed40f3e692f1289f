#include "qt/GameToolbar.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "app/Toolbar.h"
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

// Where the row stands, as the layout names it.
const std::pair<Qt::ToolBarArea, const char*> kPlaces[] = {
    {Qt::TopToolBarArea, "top"},
    {Qt::BottomToolBarArea, "bottom"},
    {Qt::LeftToolBarArea, "left"},
    {Qt::RightToolBarArea, "right"},
};

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

    makeGameBox();

    // The "Game" tool names the game box in the tool row; choosing it opens the box.
    auto* gameTool = new QAction(app::kTools[2].caption, this);
    gameTool->setObjectName("ID_Game");
    gameTool->setToolTip(app::kGameBoxTip);
    auto* gameLabel = new QToolButton(m_toolRow);
    gameLabel->setDefaultAction(gameTool);
    gameLabel->setToolButtonStyle(Qt::ToolButtonTextOnly);
    gameLabel->setAutoRaise(true);
    m_gameToolInRow = m_toolRow->addWidget(gameLabel);
    m_gameBoxInRow = m_toolRow->addWidget(m_gameBox);

    auto* exitAction = file->addAction("E&xit");
    exitAction->setObjectName("ID_Exit");
    exitAction->setShortcut(QKeySequence::Quit);
    auto* select = games->addAction("Select");
    select->setObjectName("ID_SelectGame");
    // A view setting, not a tool of the collection: the logic never sees it.
    games->addSeparator();
    m_consoleColours = games->addAction(app::kConsoleColoursItem);
    m_consoleColours->setObjectName("consoleColours");
    m_consoleColours->setCheckable(true);
    m_consoleColours->setToolTip(app::kConsoleColoursTip);
    auto* info = help->addAction("Information");
    info->setObjectName("ID_Information");
    auto* about = help->addAction("&About");
    about->setObjectName("ID_About");
    file->menuAction()->setObjectName("ID_File");
    games->menuAction()->setObjectName("ID_Games");
    help->menuAction()->setObjectName("ID_Help");

    // The collection, in the order of its numbers.
    QAction* actions[] = {file->menuAction(), exitAction, gameTool, help->menuAction(), info, about, select,
                          games->menuAction()};
    static_assert(std::size(actions) == std::size(app::kTools));
    for (std::size_t i = 0; i < std::size(actions); ++i) {
        if (actions[i] == select)
            m_tools.push_back(std::make_unique<Tool>(app::kTools[i].id, app::kTools[i].caption, select, m_gameBox));
        else
            add(app::kTools[i].id, app::kTools[i].caption, actions[i]);
    }

    Tool* selectTool = m_tools[app::kGameBoxTool - 1].get();
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

void GameToolbar::makeGameBox() {
    m_gameBox = new QComboBox(m_toolRow);
    m_gameBox->setObjectName("ID_SelectGame");
    m_gameBox->setEditable(true);
    m_gameBox->setInsertPolicy(QComboBox::NoInsert);
    m_gameBox->setCompleter(nullptr);
    m_gameBox->setToolTip(app::kGameBoxTip);
    m_gameBox->setAccessibleName("Game");
    for (const auto* g : app::boxGames()) m_gameBox->addItem(g->gameName, QString(g->boxCode));
    showGame(app::kFirstGame);
    m_gameBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

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

platform::ToolbarLayout GameToolbar::layout() const {
    platform::ToolbarLayout layout;
    layout.game = toLatin1(m_gameBox->currentText());
    for (QAction* place : m_toolRow->actions()) {
        if (place == m_gameToolInRow) layout.row.push_back("ID_Game");
        if (place == m_gameBoxInRow) layout.row.push_back("ID_SelectGame");
    }
    layout.place = "top";
    if (m_window)
        for (const auto& [area, name] : kPlaces)
            if (m_window->toolBarArea(m_toolRow) == area) layout.place = name;
    layout.consoleColours = m_consoleColours->isChecked();
    return layout;
}

void GameToolbar::setLayout(const platform::ToolbarLayout& layout) {
    showGame(fromLatin1(layout.game));
    m_consoleColours->setChecked(layout.consoleColours);
    if (!m_window) return;
    // The first layout files kept the window's own saved state.
    if (!layout.earlierState.empty()) {
        m_window->restoreState(QByteArray::fromStdString(layout.earlierState));
        return;
    }
    for (const auto& [area, name] : kPlaces)
        if (layout.place == name && m_window->toolBarArea(m_toolRow) != area) m_window->addToolBar(area, m_toolRow);
    // The "Game" tool stands where the row has it, or nowhere; the box is always there.
    const auto game = std::find(layout.row.begin(), layout.row.end(), "ID_Game");
    const auto box = std::find(layout.row.begin(), layout.row.end(), "ID_SelectGame");
    m_toolRow->removeAction(m_gameToolInRow);
    if (game != layout.row.end()) m_toolRow->insertAction(game < box ? m_gameBoxInRow : nullptr, m_gameToolInRow);
}

}  // namespace qtgui
