#include "qt/PlayerTable.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "qt/GameColours.h"
#include "qt/Latin1.h"

namespace qtgui {

namespace {

constexpr int kNameColumn = static_cast<int>(platform::PlayerColumn::Name);

// The name cell: the view's own background and selection, then the name's
// runs in their colours where its text would stand.
class NameDelegate : public QStyledItemDelegate {
public:
    NameDelegate(const std::vector<platform::PlayerRow>& rows, QObject* parent)
        : QStyledItemDelegate(parent), m_rows(rows) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        o.text.clear();
        const QStyle* style = o.widget ? o.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
        if (index.row() < 0 || static_cast<std::size_t>(index.row()) >= m_rows.size()) return;
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &o, o.widget);
        painter->save();
        painter->setFont(o.font);
        painter->setClipRect(text);
        int x = text.left();
        for (const platform::NameRun& run : m_rows[static_cast<std::size_t>(index.row())].runs) {
            const QString piece = fromLatin1(run.text);
            painter->setPen(QColor(QRgb(run.rgb)));
            painter->drawText(QRect(x, text.top(), text.right() - x + 1, text.height()),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece);
            x += o.fontMetrics.horizontalAdvance(piece);
        }
        painter->restore();
    }

private:
    const std::vector<platform::PlayerRow>& m_rows;
};

}  // namespace

PlayerTable::PlayerTable(QWidget* parent)
    : QWidget(parent),
      m_summary(new QLabel(QString::fromLatin1(app::kNoStatusYet))),
      m_refresh(new QPushButton(QString::fromLatin1(app::kRefreshText))),
      m_view(new QTableWidget(0, platform::kPlayerColumnCount)) {
    m_summary->setObjectName("lblPlayers");
    m_summary->setTextFormat(Qt::PlainText);
    m_refresh->setObjectName("cmdRefresh");
    m_view->setObjectName("lstPlayers");
    m_view->setAccessibleName(QString::fromLatin1(app::kPlayersName));
    QStringList titles;
    for (const char* title : app::kPlayerColumnTitles) titles << QString::fromLatin1(title);
    m_view->setHorizontalHeaderLabels(titles);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().lineSpacing() + 6);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setTabKeyNavigation(false);  // Tab leaves the table, the arrows move in it
    m_view->setWordWrap(false);
    m_view->setPalette(gameGround());
    m_view->setItemDelegateForColumn(kNameColumn, new NameDelegate(m_rows, m_view));
    QHeaderView* header = m_view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    header->setSortIndicator(0, Qt::AscendingOrder);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);

    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        m_order.headerClicked(static_cast<platform::PlayerColumn>(column));
        m_order.sort(m_rows);
        fill();
    });
    connect(m_refresh, &QPushButton::clicked, this, [this] {
        if (m_events) m_events->refreshClicked();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_refresh);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
}

std::string PlayerTable::summary() const { return toLatin1(m_summary->text()); }

void PlayerTable::showPlayers(const std::vector<platform::PlayerRow>& rows, const std::string& summary) {
    m_summary->setText(fromLatin1(summary));
    m_view->setAccessibleDescription(fromLatin1(summary));
    m_rows = rows;
    m_order.sort(m_rows);
    fill();
}

// The rows into the view, the keyboard's row kept on the same slot.
void PlayerTable::fill() {
    const int current = m_view->currentRow();
    const QTableWidgetItem* currentSlot = current >= 0 ? m_view->item(current, 0) : nullptr;
    const QString keptSlot = currentSlot ? currentSlot->text() : QString();
    m_view->setRowCount(static_cast<int>(m_rows.size()));
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const platform::PlayerRow& row = m_rows[static_cast<std::size_t>(r)];
        const QString cells[] = {QString::number(row.slot), fromLatin1(row.plainName), QString::number(row.score),
                                 fromLatin1(row.pingText), fromLatin1(row.address)};
        for (int c = 0; c < platform::kPlayerColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            const bool number = c == 0 || c == 2 || c == 3;
            item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
            if (row.bot) {
                QFont italic = m_view->font();
                italic.setItalic(true);
                item->setFont(italic);
                item->setData(Qt::AccessibleDescriptionRole, QStringLiteral("bot"));
            }
            m_view->setItem(r, c, item);
        }
        if (!keptSlot.isEmpty() && cells[0] == keptSlot) m_view->setCurrentCell(r, 0);
    }
    m_view->horizontalHeader()->setSortIndicator(static_cast<int>(m_order.column),
                                                 m_order.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    m_view->resizeColumnsToContents();
    m_view->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
}

bool PlayerTable::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (key->key() == Qt::Key_Menu || shiftF10) {
            m_menuKeyDown = key->key() == Qt::Key_Menu;
            openMenuOfCurrentRow();
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu) {
        m_menuKeyDown = false;
    } else if (event->type() == QEvent::ContextMenu) {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() != QContextMenuEvent::Mouse) {
            // The window system's own for the menu key, already answered.
            if (!m_menuKeyDown) openMenuOfCurrentRow();
        } else if (watched == m_view->viewport()) {
            const int row = m_view->rowAt(menu->pos().y());
            if (row >= 0) {
                m_view->setCurrentCell(row, 0);
                openMenu(row, menu->globalPos());
            }
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PlayerTable::openMenuOfCurrentRow() {
    if (m_rows.empty()) return;
    if (m_view->currentRow() < 0) m_view->setCurrentCell(0, 0);
    const int row = m_view->currentRow();
    const QRect cell = m_view->visualRect(m_view->model()->index(row, kNameColumn));
    openMenu(row, m_view->viewport()->mapToGlobal(cell.center()));
}

void PlayerTable::openMenu(int row, QPoint at) {
    const platform::PlayerRow chosenRow = m_rows.at(static_cast<std::size_t>(row));
    QMenu menu(this);
    for (const platform::PlayerAction action : app::kMenuOrder)
        if (chosenRow.actions & action)
            menu.addAction(QString::fromLatin1(app::actionText(action)))->setData(static_cast<int>(action));
    if (menu.isEmpty()) return;
    const QAction* chosen = menu.exec(at);
    if (!chosen) return;
    const auto action = static_cast<platform::PlayerAction>(chosen->data().toInt());
    if (action == platform::kCopyAddress) QGuiApplication::clipboard()->setText(fromLatin1(chosenRow.address));
    if (m_events) m_events->actionChosen(chosenRow, action);
}

}  // namespace qtgui
