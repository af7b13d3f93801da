#include "ui/qt/system_menu.h"

#include "ui/qt/qt_resources.h"

namespace dlg::qt {
namespace {

constexpr std::string_view CLOSE_ITEM = "关闭(&C)\tAlt+F4";

}  // namespace

QtSystemMenu::QtSystemMenu(QWidget& owner, Send send)
    : m_menu(new QMenu(&owner)), m_send(std::move(send)) {
    m_menu->setObjectName(QStringLiteral("systemMenu"));
    AppendItem(SYSTEM_CLOSE, CLOSE_ITEM);
}

void QtSystemMenu::AppendSeparator() {
    m_menu->addSeparator();
}

// A tab in an item's text leads the keys that give the same command: they are shown as the
// item's shortcut, apart from its name, which is all a screen reader reads.
void QtSystemMenu::AppendItem(unsigned command, std::string_view text) {
    const QString item = ToQString(text);
    const qsizetype tab = item.indexOf(QLatin1Char('\t'));
    QAction* action = m_menu->addAction(item.left(tab));
    if (tab >= 0) {
        action->setShortcut(QKeySequence(item.mid(tab + 1)));
        // Only while the menu is open: everywhere else the keys are the desktop's.
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    action->setData(command);
    // Queued, so the menu is closed before the command (which may open a dialog) runs.
    QObject::connect(
        action, &QAction::triggered, m_menu, [this, command] { m_send(command); },
        Qt::QueuedConnection);
}

void QtSystemMenu::Popup(const QPoint& where) {
    m_menu->popup(where);
}

}  // namespace dlg::qt
