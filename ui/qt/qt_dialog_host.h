#pragma once

#include <memory>
#include <optional>

#include "ui/framework/dialog.h"
#include "ui/qt/dialog_keyboard.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/paint_context.h"
#include "ui/qt/system_menu.h"
#include "ui/qt/template_controls.h"

class QAbstractButton;
class QPaintEvent;
class QPoint;

namespace dlg::qt {

// One dialog on Qt: its window made from the template, run modally; the window's events reach
// the dialog layer as the window messages the platform would send, and the layer's calls on its
// controls go to their widgets.
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
    void Notify(int id, unsigned code);  // WM_COMMAND with a control's notification
    void Close();
    void Paint(QPaintEvent* event);
    void PopupSystemMenu(const QPoint& where);
    bool MoveWithinRadioGroup(QAbstractButton* button, int step);
    void MoveToNextTabStop(bool next);
    // The command Enter gives: the focused push button's, else the default button's, else OK.
    void Enter();

  private:
    void CreateWindow(QWidget* opener);
    void AddSystemMenu();
    void ConnectButton(QAbstractButton& button, const res::ControlTemplate& control);
    void ConnectFields();

    CDialog& m_dialog;
    const res::DialogTemplate& m_layout;
    std::unique_ptr<DialogWindow> m_window;
    std::unique_ptr<QtSystemMenu> m_systemMenu;
    TemplateControls m_controls;
    DialogKeyboard m_keyboard{m_layout, m_controls};
    QPaintEvent* m_paintEvent = nullptr;
    PaintContext m_paint;
};

}  // namespace dlg::qt
