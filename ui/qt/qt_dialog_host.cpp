#include "ui/qt/qt_dialog_host.h"

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QWindow>

#include "res/app_icon.h"
#include "res/resource_ids.h"
#include "res/version.h"

#include "ui/qt/qt_accessibility.h"
#include "ui/qt/qt_resources.h"
#include "ui/qt/title_bar.h"

namespace dlg {

std::unique_ptr<DialogHost> CreateDialogHost(CDialog& dialog, const res::DialogTemplate& layout) {
    return std::make_unique<qt::QtDialogHost>(dialog, layout);
}

namespace qt {
namespace {

// The dialog that runs innermost: the opener of the next one.
QWidget* innermostWindow = nullptr;

constexpr std::string_view ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view CLOSE_ITEM = "关闭(&C)\tAlt+F4";
// A label stands on a field's row when their tops are this close, in dialog units.
constexpr int SAME_ROW = 4;

bool HasStyle(const res::ControlTemplate& control, std::uint32_t style) {
    return (control.style & style) != 0;
}

}  // namespace

QtSystemMenu::QtSystemMenu(QWidget& owner, QtDialogHost& host)
    : m_menu(new QMenu(&owner)), m_host(host) {
    m_menu->setObjectName(QStringLiteral("systemMenu"));
    AppendItem(SYSTEM_CLOSE, CLOSE_ITEM);
}

void QtSystemMenu::AppendSeparator() {
    m_menu->addSeparator();
}

void QtSystemMenu::AppendItem(unsigned command, std::string_view text) {
    QAction* action = m_menu->addAction(ToQString(text));
    action->setData(command);
    // Queued, so the menu is closed before the command (which may open a dialog) runs.
    QObject::connect(
        action, &QAction::triggered, m_menu,
        [this, command] { m_host.SendMessageToWindow(WM_SYSCOMMAND_MESSAGE, command, 0); },
        Qt::QueuedConnection);
}

void QtSystemMenu::Popup(const QPoint& where) {
    m_menu->popup(where);
}

// A dialog opened from another is transient for it, so the window manager or compositor keeps
// it over its opener (Wayland's xdg_toplevel parent, X11's WM_TRANSIENT_FOR).
DialogWindow::DialogWindow(QtDialogHost& host, QWidget* opener) : QDialog(opener), m_host(host) {}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Escape) {
        m_host.Command(RESULT_CANCEL);
    } else if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        m_host.Enter();
    } else {
        // Past QDialog on purpose: its own Enter and Escape handling is what is replaced above.
        QWidget::keyPressEvent(event);  // NOLINT(bugprone-parent-virtual-call)
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The close box asks; the dialog decides (as Cancel) whether and how it ends.
    event->ignore();
    m_host.Close();
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    m_host.Paint(event);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_host.PopupSystemMenu(event->globalPos());
}

// A Wayland compositor requires a maximised or full-screen window to be exactly the size it
// gives, and ends the program otherwise; some make every window full-screen, whatever its
// size. So when such a state is asked for, the window is let free to take that size; once
// in it, it asks to be normal again, and back at its own size it is fixed there again.
void DialogWindow::KeepSize(QSize size) {
    m_size = size;
    setFixedSize(size);
    winId();  // the platform window, whose state requests are followed from here on
    QObject::connect(windowHandle(), &QWindow::windowStateChanged, this,
                     [this](Qt::WindowState state) {
                         if (state == Qt::WindowMaximized || state == Qt::WindowFullScreen) {
                             setMinimumSize(0, 0);
                             setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                         }
                     });
}

void DialogWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && (isMaximized() || isFullScreen())) {
        QMetaObject::invokeMethod(this, "showNormal", Qt::QueuedConnection);
    }
    QDialog::changeEvent(event);
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
    if (event->size() == m_size && minimumSize() != m_size) {
        setFixedSize(m_size);
    }
    QDialog::resizeEvent(event);
}

bool DialogWindow::focusNextPrevChild(bool next) {
    m_host.MoveToNextTabStop(next);
    return true;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button == nullptr || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            return m_host.MoveWithinRadioGroup(button, -1);
        case Qt::Key_Down:
        case Qt::Key_Right:
            return m_host.MoveWithinRadioGroup(button, +1);
        default:
            return QDialog::eventFilter(watched, event);
    }
}

QtDialogHost::QtDialogHost(CDialog& dialog, const res::DialogTemplate& layout)
    : m_dialog(dialog), m_layout(layout) {}

QtDialogHost::~QtDialogHost() = default;

int QtDialogHost::RunModal() {
    InstallAccessibleInterfaces();
    QWidget* const opener = innermostWindow;
    m_window = std::make_unique<DialogWindow>(*this, opener);
    m_window->setObjectName(ToQString(m_layout.idName));
    m_window->setWindowTitle(ToQString(m_layout.caption));
    m_window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_window->setFont(DialogFont(m_layout.fontName, m_layout.pointSize));
    const QFontMetrics metrics(m_window->font());
    m_units = BaseUnitsFromFont(metrics.horizontalAdvance(ToQString(ALPHABET)), metrics.height());
    AddTitleBarWhereNeeded(*m_window);
    // The template gives the client area; a title bar of ours lies outside it.
    const Rect client = MapDialogRect({0, 0, m_layout.cx, m_layout.cy}, m_units);
    m_window->KeepSize(QSize(client.Width(), client.Height()).grownBy(m_window->contentsMargins()));
    if ((m_layout.style & res::STYLE_SYSMENU) != 0) {
        m_systemMenu = std::make_unique<QtSystemMenu>(*m_window, *this);
        for (const char* keys : {"Shift+F10", "Alt+Space"}) {
            auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), m_window.get());
            QObject::connect(shortcut, &QShortcut::activated, m_window.get(), [this] {
                PopupSystemMenu(m_window->mapToGlobal(m_window->contentsRect().topLeft()));
            });
        }
    }
    CreateControls();
    innermostWindow = m_window.get();
    m_dialog.HandleInitDialog();
    const int result = m_window->exec();
    innermostWindow = opener;
    m_painter.reset();
    m_window.reset();
    return result;
}

void QtDialogHost::CreateControls() {
    QWidget* lastTabStop = nullptr;
    QWidget* groupBox = nullptr;
    for (const res::ControlTemplate& control : m_layout.controls) {
        QWidget* widget = CreateControl(control, lastTabStop);
        if (control.kind == res::ControlKind::GroupBox) {
            groupBox = widget;
        }
        if (HasStyle(control, res::STYLE_TABSTOP)) {
            lastTabStop = widget;
        }
    }
    // A frame lies behind the controls it surrounds, whatever its place in the template.
    if (groupBox != nullptr) {
        groupBox->lower();
    }
    NameFieldsAfterTheirLabels();
}

QWidget* QtDialogHost::CreateControl(const res::ControlTemplate& control, QWidget* lastTabStop) {
    QWidget* parent = m_window.get();
    const QString text = ToQString(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
        case res::ControlKind::Edit: {
            auto* field = new QLineEdit(parent);
            field->setFrame(HasStyle(control, res::STYLE_BORDER));
            // A disabled field holds a result: drawn greyed it would be the faintest text on
            // screen, so it is shown read-only instead, in the text colour, selectable and
            // copyable, and (below) reached by a click but never by Tab.
            field->setReadOnly(HasStyle(control, res::STYLE_DISABLED));
            widget = field;
            break;
        }
        case res::ControlKind::PushButton:
        case res::ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);
            button->setDefault(control.kind == res::ControlKind::DefaultPushButton);
            button->setFlat(HasStyle(control, res::STYLE_BUTTON_FLAT));
            ConnectButton(button, control);
            widget = button;
            break;
        }
        case res::ControlKind::AutoRadioButton: {
            auto* button = new QRadioButton(text, parent);
            // Exclusivity is kept per template group, as the platform does, so that "none checked"
            // can be shown.
            button->setAutoExclusive(false);
            button->installEventFilter(m_window.get());
            ConnectButton(button, control);
            widget = button;
            break;
        }
        case res::ControlKind::AutoCheckBox: {
            auto* box = new QCheckBox(text, parent);
            ConnectButton(box, control);
            widget = box;
            break;
        }
        case res::ControlKind::Text: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            if (HasStyle(control, res::STYLE_STATIC_RIGHT)) {
                label->setAlignment(Qt::AlignRight | Qt::AlignTop);
            }
            widget = label;
            break;
        }
        case res::ControlKind::Icon: {
            auto* label = new QLabel(parent);
            label->setPixmap(PixmapFor(LoadIconResource(res::IDR_MAINFRAME)));
            widget = label;
            break;
        }
        case res::ControlKind::GroupBox:
            widget = new QGroupBox(text, parent);
            break;
    }
    const Rect area = MapDialogRect(
        {control.x, control.y, control.x + control.cx, control.y + control.cy}, m_units);
    widget->setGeometry(QRect(area.left, area.top, area.Width(), area.Height())
                            .translated(m_window->contentsRect().topLeft()));
    if (control.kind == res::ControlKind::Icon) {
        widget->resize(static_cast<int>(res::ICON_SIZE), static_cast<int>(res::ICON_SIZE));
    }
    const bool readOnlyField =
        control.kind == res::ControlKind::Edit && HasStyle(control, res::STYLE_DISABLED);
    widget->setEnabled(readOnlyField || !HasStyle(control, res::STYLE_DISABLED));
    if (!control.idName.empty()) {
        widget->setObjectName(ToQString(control.idName));
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setAccessibleName(AccessibleNameFromText(text));
    }
    if (!control.accessibleName.empty()) {
        widget->setAccessibleName(ToQString(control.accessibleName));
    }
    if (!control.description.empty()) {
        widget->setAccessibleDescription(ToQString(control.description));
    }
    const bool takesFocus = control.kind == res::ControlKind::Edit ||
                            control.kind == res::ControlKind::PushButton ||
                            control.kind == res::ControlKind::DefaultPushButton ||
                            control.kind == res::ControlKind::AutoRadioButton ||
                            control.kind == res::ControlKind::AutoCheckBox;
    if (takesFocus) {
        widget->setFocusPolicy(HasStyle(control, res::STYLE_TABSTOP) && !readOnlyField
                                   ? Qt::StrongFocus
                                   : Qt::ClickFocus);
    }
    if (HasStyle(control, res::STYLE_TABSTOP) && lastTabStop != nullptr) {
        QWidget::setTabOrder(lastTabStop, widget);
    }
    m_templates[widget] = &control;
    if (control.id != res::IDC_STATIC) {
        m_items[control.id] = widget;
    }
    return widget;
}

void QtDialogHost::ConnectButton(QAbstractButton* button, const res::ControlTemplate& control) {
    const bool radio = control.kind == res::ControlKind::AutoRadioButton;
    const int id = control.id;
    QObject::connect(button, &QAbstractButton::clicked, m_window.get(), [this, button, radio, id] {
        if (radio) {
            ClickRadio(button);
        }
        SendMessageToWindow(WM_COMMAND_MESSAGE, CommandParam(id, BUTTON_CLICKED), 0);
    });
}

void QtDialogHost::NameFieldsAfterTheirLabels() {
    for (const auto& [widget, control] : m_templates) {
        if (control->kind != res::ControlKind::Edit) {
            continue;
        }
        const res::ControlTemplate* label = nullptr;
        for (const auto& [other, candidate] : m_templates) {
            if (candidate->kind == res::ControlKind::Text && candidate->x < control->x &&
                std::abs(candidate->y - control->y) <= SAME_ROW &&
                (label == nullptr || candidate->x > label->x)) {
                label = candidate;
            }
        }
        if (label != nullptr) {
            widget->setAccessibleName(AccessibleNameFromText(ToQString(label->text)));
        }
    }
}

QWidget* QtDialogHost::Item(int id) const {
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : found->second;
}

void QtDialogHost::EndDialog(int result) {
    m_window->done(result);
}

std::string QtDialogHost::GetItemText(int id) const {
    QWidget* item = Item(id);
    QString text;
    if (auto* field = qobject_cast<QLineEdit*>(item)) {
        text = field->text();
    } else if (auto* label = qobject_cast<QLabel*>(item)) {
        text = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        text = button->text();
    }
    return text.toStdString();
}

void QtDialogHost::SetItemText(int id, std::string_view text) {
    QWidget* item = Item(id);
    if (auto* field = qobject_cast<QLineEdit*>(item)) {
        field->setText(ToQString(text));
        field->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(item)) {
        label->setText(ToQString(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        button->setText(ToQString(text));
        button->setAccessibleName(AccessibleNameFromText(button->text()));
    }
}

bool QtDialogHost::IsItemChecked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Item(id));
    return button != nullptr && button->isChecked();
}

void QtDialogHost::SetItemChecked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(Item(id))) {
        button->setChecked(checked);
    }
}

void QtDialogHost::EnableItem(int id, bool enabled) {
    if (QWidget* item = Item(id)) {
        item->setEnabled(enabled);
    }
}

void QtDialogHost::FocusItem(int id) {
    QWidget* item = Item(id);
    if (item == nullptr) {
        return;
    }
    item->setFocus(Qt::OtherFocusReason);
    if (auto* field = qobject_cast<QLineEdit*>(item)) {
        field->selectAll();
    }
}

void QtDialogHost::ShowMessage(std::string_view text) {
    QMessageBox message(QMessageBox::Warning, QStringLiteral(TRELLAN_PRODUCT_NAME), ToQString(text),
                        QMessageBox::NoButton, m_window.get());
    message.setObjectName(QStringLiteral("dialogMessage"));
    message.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    AddTitleBarWhereNeeded(message);
    message.exec();
}

CMenu* QtDialogHost::GetSystemMenu() {
    return m_systemMenu.get();
}

void QtDialogHost::SetIcon(HIcon icon, bool /*big*/) {
    m_window->setWindowIcon(IconFor(icon));
}

bool QtDialogHost::IsIconic() const {
    return m_window->isMinimized();
}

Rect QtDialogHost::GetClientRect() const {
    const QRect client = m_window->contentsRect();
    return {0, 0, client.width(), client.height()};
}

LResult QtDialogHost::SendMessageToWindow(unsigned message, WParam wParam, LParam lParam) {
    return m_dialog.WindowProc(message, wParam, lParam);
}

LResult QtDialogHost::DefaultProcessing(unsigned message, WParam wParam, LParam /*lParam*/) {
    switch (message) {
        case WM_PAINT_MESSAGE:
            if (m_paintEvent != nullptr) {
                m_window->PaintAsUsual(m_paintEvent);
            }
            break;
        case WM_CLOSE_MESSAGE:
            Command(RESULT_CANCEL);
            break;
        case WM_SYSCOMMAND_MESSAGE:
            if ((wParam & 0xFFF0) == SYSTEM_CLOSE) {
                Close();
            }
            break;
        default:
            break;
    }
    return 0;
}

WParam QtDialogHost::BeginPaint() {
    m_painter.emplace(m_window.get());
    m_painter->translate(m_window->contentsRect().topLeft());
    return reinterpret_cast<WParam>(&*m_painter);
}

void QtDialogHost::DrawIcon(int x, int y, HIcon icon) {
    if (m_painter) {
        m_painter->drawPixmap(x, y, PixmapFor(icon));
    }
}

void QtDialogHost::EndPaint() {
    m_painter.reset();
}

void QtDialogHost::Command(int id) {
    SendMessageToWindow(WM_COMMAND_MESSAGE, CommandParam(id, BUTTON_CLICKED), 0);
}

void QtDialogHost::Close() {
    SendMessageToWindow(WM_CLOSE_MESSAGE, 0, 0);
}

void QtDialogHost::Paint(QPaintEvent* event) {
    m_paintEvent = event;
    SendMessageToWindow(WM_PAINT_MESSAGE, 0, 0);
    m_paintEvent = nullptr;
}

void QtDialogHost::PopupSystemMenu(const QPoint& where) {
    if (m_systemMenu) {
        m_systemMenu->Popup(where);
    }
}

std::vector<QAbstractButton*> QtDialogHost::GroupOf(QAbstractButton* button) const {
    std::vector<QAbstractButton*> group;
    const auto control = m_templates.find(button);
    if (control != m_templates.end()) {
        for (const int id : RadioGroupOf(m_layout, control->second->id)) {
            group.push_back(qobject_cast<QAbstractButton*>(Item(id)));
        }
    }
    return group;
}

void QtDialogHost::ClickRadio(QAbstractButton* button) {
    for (QAbstractButton* other : GroupOf(button)) {
        other->setChecked(other == button);
    }
}

bool QtDialogHost::MoveWithinRadioGroup(QAbstractButton* button, int step) {
    const std::vector<QAbstractButton*> group = GroupOf(button);
    const auto at = std::find(group.begin(), group.end(), button);
    if (at == group.end()) {
        return false;
    }
    const auto count = static_cast<long>(group.size());
    const long next = ((at - group.begin()) + step + count) % count;
    QAbstractButton* target = group[static_cast<std::size_t>(next)];
    target->setFocus(Qt::OtherFocusReason);
    target->click();
    return true;
}

// The stop of a radio group is its checked button, or its first when none is checked.
std::vector<QWidget*> QtDialogHost::TabStops() const {
    std::vector<QWidget*> stops;
    for (const res::ControlTemplate& control : m_layout.controls) {
        QWidget* widget = Item(control.id);
        if (widget == nullptr || !HasStyle(control, res::STYLE_TABSTOP) ||
            HasStyle(control, res::STYLE_DISABLED) || !widget->isEnabled() ||
            !widget->isVisible()) {
            continue;
        }
        if (auto* radio = qobject_cast<QAbstractButton*>(widget)) {
            const std::vector<QAbstractButton*> group = GroupOf(radio);
            const auto checked = std::find_if(
                group.begin(), group.end(), [](const auto* button) { return button->isChecked(); });
            if (checked != group.end()) {
                widget = *checked;
            }
        }
        stops.push_back(widget);
    }
    return stops;
}

void QtDialogHost::MoveToNextTabStop(bool next) {
    const std::vector<QWidget*> stops = TabStops();
    if (stops.empty()) {
        return;
    }
    // A button of a radio group stands where the group's stop stands.
    QWidget* focus = m_window->focusWidget();
    if (auto* radio = qobject_cast<QAbstractButton*>(focus)) {
        for (QAbstractButton* member : GroupOf(radio)) {
            if (std::find(stops.begin(), stops.end(), member) != stops.end()) {
                focus = member;
            }
        }
    }
    const auto count = static_cast<long>(stops.size());
    const auto at = std::find(stops.begin(), stops.end(), focus);
    long index = next ? 0 : count - 1;
    if (at != stops.end()) {
        index = ((at - stops.begin()) + (next ? 1 : -1) + count) % count;
    }
    QWidget* target = stops[static_cast<std::size_t>(index)];
    // A field reached so has its whole text selected (Qt's own rule for these reasons).
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void QtDialogHost::Enter() {
    if (auto* button = qobject_cast<QPushButton*>(m_window->focusWidget())) {
        button->click();
        return;
    }
    const auto defaultButton = std::find_if(
        m_layout.controls.begin(), m_layout.controls.end(),
        [](const auto& control) { return control.kind == res::ControlKind::DefaultPushButton; });
    Command(defaultButton != m_layout.controls.end() ? defaultButton->id : RESULT_OK);
}

}  // namespace qt
}  // namespace dlg
