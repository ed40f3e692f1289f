#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"

class QAction;
class QComboBox;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

namespace qtgui {

// The toolbar component: the menu bar "&File", "&Games", "&Help", a tool
// row with the game box, and the collection of tools counted from 1:
// ID_File, ID_Exit, ID_Game, ID_Help, ID_Information, ID_About,
// ID_SelectGame (the game box), ID_Games. All in the category "General".
class GameToolbar : public QObject, public platform::IToolbar {
    Q_OBJECT
public:
    explicit GameToolbar(QMainWindow* window);
    ~GameToolbar() override;

    platform::ITool* tool(int number) override;
    platform::ToolbarLayout layout() const override;
    void setLayout(const platform::ToolbarLayout& layout) override;

    QMenuBar* menuBar() const { return m_menuBar; }
    QToolBar* toolRow() const { return m_toolRow; }
    QComboBox* gameBox() const { return m_gameBox; }
    QAction* action(const QString& id) const;
    // "Colours in the Console", checkable, kept with the layout.
    QAction* consoleColours() const { return m_consoleColours; }

signals:
    // The two events: a tool chosen, and an item picked in the game box.
    void toolClicked(const platform::ITool& tool);
    void comboSelChanged(const platform::ITool& tool);

private:
    class Tool;
    void makeGameBox();
    Tool* add(const QString& id, const QString& caption, QAction* action);
    void choose(Tool* tool);
    void showGame(const QString& name);

    QPointer<QMainWindow> m_window;
    QMenuBar* m_menuBar;
    QToolBar* m_toolRow;
    QComboBox* m_gameBox;
    QAction* m_gameToolInRow = nullptr;  // the row's place of the "Game" tool, and of the game box
    QAction* m_gameBoxInRow = nullptr;
    QAction* m_consoleColours;
    std::vector<std::unique_ptr<Tool>> m_tools;
};

}  // namespace qtgui
