#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

#include <vector>

#include "app/PlayerActions.h"
#include "platform/PlayerTable.h"

namespace qtgui {

// The players of the last status: the line above them with the Refresh
// button, and a table with the accessible name "Players" whose names are
// drawn in their colours on the game's dark ground (their text, for the
// keyboard and screen readers, without the codes), bots in italics, sorted
// by the header clicked. A row's menu opens on a right click, the menu key
// or Shift+F10, and lists what the row offers.
class PlayerTable : public QWidget, public platform::IPlayerTable {
public:
    explicit PlayerTable(QWidget* parent = nullptr);

    void showPlayers(const std::vector<platform::PlayerRow>& rows, const std::string& summary) override;
    std::vector<platform::PlayerRow> rows() const override { return m_rows; }
    std::string summary() const override;
    bool refreshEnabled() const override { return m_refresh->isEnabled(); }
    void setRefreshEnabled(bool enabled) override { m_refresh->setEnabled(enabled); }
    void setEvents(platform::IPlayerTableEvents* events) override { m_events = events; }

    QTableWidget* view() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void openMenu(int row, QPoint at);
    void openMenuOfCurrentRow();

    QLabel* m_summary;
    QPushButton* m_refresh;
    QTableWidget* m_view;
    std::vector<platform::PlayerRow> m_rows;  // as shown
    app::PlayerOrder m_order;
    platform::IPlayerTableEvents* m_events = nullptr;
    bool m_menuKeyDown = false;  // the menu key's own context-menu event is not a second request
};

}  // namespace qtgui
