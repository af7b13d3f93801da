#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "res/dialog_template.h"

#include "ui/framework/backend.h"
#include "ui/framework/dialog_host.h"
#include "ui/framework/message_map.h"

namespace dlg {

class CDataExchange;

// A dialog built from a template and run modally. Subclasses bind their members to controls in
// DoDataExchange and their handlers to messages in a message map. Its window services are for
// the time it runs (from OnInitDialog until DoModal returns); asked at any other time, they end
// the program with a message, as a call on a window that does not exist is a fault in the caller.
class CDialog : public CCmdTarget {
  public:
    // parent: the window that owns the dialog while it runs, and takes no input meanwhile; with
    // none, the application's main window does, as with the platform's framework.
    explicit CDialog(int templateId, CDialog* parent = nullptr);
    ~CDialog() override;

    // 1 (OK) or 2 (Cancel); -1 when the template does not exist.
    int DoModal();

    // Write (false) shows every member in its control; read (true) takes the controls back and
    // stops at the first text that cannot be read. Returns whether every control was read.
    bool UpdateData(bool saveAndValidate = true);

    void EndDialog(int result);

    // The dialog's window procedure: the message map first, default processing otherwise.
    LResult WindowProc(unsigned message, WParam wParam, LParam lParam);

    // Called by the backend once the controls exist.
    void HandleInitDialog();

    // Window services.
    std::string GetItemText(int id) const;
    // The platform tells the dialog of the change, as of a user's (EN_CHANGE): a handler asks
    // SettingItemText() to tell the two apart.
    void SetItemText(int id, std::string_view text);
    bool SettingItemText() const { return m_settingText > 0; }
    // The control's name, after the label on its row; empty when it has none.
    std::string ItemName(int id) const;
    bool IsItemChecked(int id) const;
    void SetItemChecked(int id, bool checked);
    void FocusItem(int id);
    void EnableItem(int id, bool enabled);
    void ShowMessage(std::string_view text);
    CMenu* GetSystemMenu(bool revert);
    void SetIcon(HIcon icon, bool big);
    bool IsIconic() const;
    Rect GetClientRect() const;
    LResult SendMessageToWindow(unsigned message, WParam wParam, LParam lParam);
    // The window of the modal run: asked for outside it, the program ends with a message.
    DialogHost& Host();
    const DialogHost& Host() const;
    // The host of the window that owns this dialog, when that window runs; nullptr otherwise.
    DialogHost* OwnerHost() const;

    // The buttons of the radio group that starts at firstId, in tab order.
    std::vector<int> RadioGroup(int firstId) const;

  protected:
    virtual void DoDataExchange(CDataExchange& exchange);
    // Default: a write exchange; true puts the focus on the first tab stop.
    virtual bool OnInitDialog();
    // Default: a read exchange, and only when it succeeds the end of the dialog with OK.
    virtual void OnOK();
    // Default: the end of the dialog with Cancel, without an exchange.
    virtual void OnCancel();

    // Default processing of the message being handled.
    LResult Default();

    DECLARE_MESSAGE_MAP()

  private:
    struct CurrentMessage {
        unsigned message = 0;
        WParam wParam = 0;
        LParam lParam = 0;
    };

    void RequireHost() const;

    const res::DialogTemplate* m_template;
    CDialog* m_parent;
    std::unique_ptr<DialogHost> m_host;
    CurrentMessage m_current;
    int m_settingText = 0;  // SetItemText calls under way
};

// The radio buttons of the group that holds id, in tab order; none when id is not a radio button.
std::vector<int> RadioGroupOf(const res::DialogTemplate& layout, int id);

// The painting of one WM_PAINT message, as the platform's paint context does it.
class CPaintDC {
  public:
    explicit CPaintDC(CDialog* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    WParam GetSafeHdc() const { return m_hdc; }
    void DrawIcon(int x, int y, HIcon icon);

  private:
    DialogHost& m_host;
    WParam m_hdc;
};

}  // namespace dlg
