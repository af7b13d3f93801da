#pragma once

#include <map>
#include <memory>
#include <optional>

#include <QDialog>
#include <QMenu>
#include <QPainter>

#include "ui/framework/dialog.h"
#include "ui/qt/dialog_units.h"

class QAbstractButton;
class QPushButton;

namespace dlg::qt {

class QtDialogHost;

// The system menu: Windows keeps it in the title bar, where on Linux the window manager has its
// own; ours opens with a right click on the dialog or Shift+F10 (or Alt+Space).
class QtSystemMenu final : public CMenu {
  public:
    QtSystemMenu(QWidget& owner, QtDialogHost& host);
    QtSystemMenu(const QtSystemMenu&) = delete;
    QtSystemMenu& operator=(const QtSystemMenu&) = delete;

    void AppendSeparator() override;
    void AppendItem(unsigned command, std::string_view text) override;
    void Popup(const QPoint& where);

  private:
    QMenu* m_menu;
    QtDialogHost& m_host;
};

// The dialog window; every event of interest goes to the host as a window message.
class DialogWindow final : public QDialog {
  public:
    DialogWindow(QtDialogHost& host, QWidget* opener);

    void PaintAsUsual(QPaintEvent* event) { QDialog::paintEvent(event); }
    // The window keeps the template's size whatever state the desktop puts it in.
    void KeepSize(QSize size);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QtDialogHost& m_host;
    QSize m_size;
};

class QtDialogHost final : public DialogHost {
  public:
    QtDialogHost(CDialog& dialog, const res::DialogTemplate& layout);
    ~QtDialogHost() override;

    int RunModal() override;
    void EndDialog(int result) override;
    std::string GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text) override;
    bool IsItemChecked(int id) const override;
    void SetItemChecked(int id, bool checked) override;
    void EnableItem(int id, bool enabled) override;
    void FocusItem(int id) override;
    void ShowMessage(std::string_view text) override;
    CMenu* GetSystemMenu() override;
    void SetIcon(HIcon icon, bool big) override;
    bool IsIconic() const override;
    Rect GetClientRect() const override;
    LResult SendMessageToWindow(unsigned message, WParam wParam, LParam lParam) override;
    LResult DefaultProcessing(unsigned message, WParam wParam, LParam lParam) override;
    WParam BeginPaint() override;
    void DrawIcon(int x, int y, HIcon icon) override;
    void EndPaint() override;

    // Events of the window, as the platform's dialog manager turns them into messages.
    void Command(int id);
    void Close();
    void Paint(QPaintEvent* event);
    void PopupSystemMenu(const QPoint& where);
    void ClickRadio(QAbstractButton* button);
    bool MoveWithinRadioGroup(QAbstractButton* button, int step);
    // Tab and Shift+Tab as the platform's dialog manager has them: through the tab stops in
    // template order, a radio group being one stop entered at its checked button.
    void MoveToNextTabStop(bool next);
    // The command Enter gives: the focused push button's, else the default button's, else OK.
    void Enter();

  private:
    void CreateControls();
    QWidget* CreateControl(const res::ControlTemplate& control, QWidget* lastTabStop);
    void ConnectButton(QAbstractButton* button, const res::ControlTemplate& control);
    void NameFieldsAfterTheirLabels();
    QWidget* Item(int id) const;
    std::vector<QAbstractButton*> GroupOf(QAbstractButton* button) const;
    std::vector<QWidget*> TabStops() const;

    CDialog& m_dialog;
    const res::DialogTemplate& m_layout;
    std::unique_ptr<DialogWindow> m_window;
    std::unique_ptr<QtSystemMenu> m_systemMenu;
    std::map<int, QWidget*> m_items;
    std::map<QWidget*, const res::ControlTemplate*> m_templates;
    BaseUnits m_units;
    QPaintEvent* m_paintEvent = nullptr;
    std::optional<QPainter> m_painter;
};

}  // namespace dlg::qt
