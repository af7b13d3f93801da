#include "ui/qt/qt_dialog_host.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "ui/qt/fixed_size.h"
#include "ui/qt/message_box.h"
#include "ui/qt/qt_accessibility.h"
#include "ui/qt/qt_resources.h"
#include "ui/qt/title_bar.h"

namespace dlg {

std::unique_ptr<DialogHost> CreateDialogHost(CDialog& dialog, const res::DialogTemplate& layout) {
    return std::make_unique<qt::QtDialogHost>(dialog, layout);
}

namespace qt {
namespace {

constexpr std::string_view ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

QtDialogHost::QtDialogHost(CDialog& dialog, const res::DialogTemplate& layout)
    : m_dialog(dialog), m_layout(layout) {}

QtDialogHost::~QtDialogHost() = default;

int QtDialogHost::RunModal() {
    InstallAccessibleInterfaces();
    const auto* owner = static_cast<const QtDialogHost*>(m_dialog.OwnerHost());
    CreateWindow(owner != nullptr ? owner->m_window.get() : nullptr);
    m_dialog.HandleInitDialog();
    const int result = m_window->exec();
    m_paint.End();
    m_window.reset();
    return result;
}

void QtDialogHost::CreateWindow(QWidget* opener) {
    m_window = std::make_unique<DialogWindow>(*this, opener);
    m_window->setObjectName(ToQString(m_layout.idName));
    m_window->setWindowTitle(ToQString(m_layout.caption));
    m_window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_window->setFont(DialogFont(m_layout.fontName, m_layout.pointSize));
    const QFontMetrics metrics(m_window->font());
    const BaseUnits units =
        BaseUnitsFromFont(metrics.horizontalAdvance(ToQString(ALPHABET)), metrics.height());
    AddTitleBarWhereNeeded(*m_window);
    // The template gives the client area; a title bar of ours lies outside it.
    const Rect client = MapDialogRect({0, 0, m_layout.cx, m_layout.cy}, units);
    KeepFixedSize(*m_window,
                  QSize(client.Width(), client.Height()).grownBy(m_window->contentsMargins()));
    if ((m_layout.style & res::STYLE_SYSMENU) != 0) {
        AddSystemMenu();
    }
    m_controls = CreateTemplateControls(
        *m_window, m_layout, units,
        [this](QAbstractButton& button, const res::ControlTemplate& control) {
            ConnectButton(button, control);
        });
    ConnectFields();
}

void QtDialogHost::AddSystemMenu() {
    m_systemMenu = std::make_unique<QtSystemMenu>(*m_window, [this](unsigned command) {
        SendMessageToWindow(WM_SYSCOMMAND_MESSAGE, command, 0);
    });
    for (const char* keys : {"Shift+F10", "Alt+Space"}) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), m_window.get());
        QObject::connect(shortcut, &QShortcut::activated, m_window.get(), [this] {
            PopupSystemMenu(m_window->mapToGlobal(m_window->contentsRect().topLeft()));
        });
    }
}

void QtDialogHost::ConnectButton(QAbstractButton& button, const res::ControlTemplate& control) {
    const bool radio = control.kind == res::ControlKind::AutoRadioButton;
    if (radio) {
        button.installEventFilter(m_window.get());
    }
    const int id = control.id;
    QObject::connect(&button, &QAbstractButton::clicked, m_window.get(),
                     [this, button = &button, radio, id] {
                         if (radio) {
                             m_keyboard.ClickRadio(button);
                         }
                         Command(id);
                     });
}

// As the platform's fields do, a field tells its dialog of every change of its text, the
// program's own included.
void QtDialogHost::ConnectFields() {
    for (const auto& [id, widget] : m_controls.items) {
        if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            QObject::connect(field, &QLineEdit::textChanged, m_window.get(),
                             [this, id = id] { Notify(id, EDIT_CHANGED); });
        }
    }
}

void QtDialogHost::EndDialog(int result) {
    m_window->done(result);
}

std::string QtDialogHost::GetItemText(int id) const {
    QWidget* item = m_controls.Item(id);
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
    QWidget* item = m_controls.Item(id);
    if (auto* field = qobject_cast<QLineEdit*>(item)) {
        field->setText(ToQString(text));
        field->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(item)) {
        label->setText(ToQString(text));
        NameFigure(*label, m_layout, id);
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        button->setText(ToQString(text));
        button->setAccessibleName(AccessibleNameFromText(button->text()));
    }
}

bool QtDialogHost::IsItemChecked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(m_controls.Item(id));
    return button != nullptr && button->isChecked();
}

void QtDialogHost::SetItemChecked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(m_controls.Item(id))) {
        button->setChecked(checked);
    }
}

void QtDialogHost::EnableItem(int id, bool enabled) {
    if (QWidget* item = m_controls.Item(id)) {
        item->setEnabled(enabled);
    }
}

void QtDialogHost::FocusItem(int id) {
    QWidget* item = m_controls.Item(id);
    if (item == nullptr) {
        return;
    }
    item->setFocus(Qt::OtherFocusReason);
    if (auto* field = qobject_cast<QLineEdit*>(item)) {
        field->selectAll();
    }
}

void QtDialogHost::ShowMessage(std::string_view text) {
    ShowDialogMessage(*m_window, text);
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
    return m_paint.Begin(*m_window);
}

void QtDialogHost::DrawIcon(int x, int y, HIcon icon) {
    m_paint.DrawIcon(x, y, icon);
}

void QtDialogHost::EndPaint() {
    m_paint.End();
}

void QtDialogHost::Command(int id) {
    Notify(id, BUTTON_CLICKED);
}

void QtDialogHost::Notify(int id, unsigned code) {
    SendMessageToWindow(WM_COMMAND_MESSAGE, CommandParam(id, code), 0);
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

bool QtDialogHost::MoveWithinRadioGroup(QAbstractButton* button, int step) {
    return m_keyboard.MoveWithinRadioGroup(button, step);
}

void QtDialogHost::MoveToNextTabStop(bool next) {
    m_keyboard.MoveToNextTabStop(m_window->focusWidget(), next);
}

void QtDialogHost::Enter() {
    if (auto* button = qobject_cast<QPushButton*>(m_window->focusWidget())) {
        button->click();
        return;
    }
    Command(m_keyboard.EnterCommand());
}

}  // namespace qt
}  // namespace dlg
