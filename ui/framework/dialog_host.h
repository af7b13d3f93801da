#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "res/dialog_template.h"

#include "ui/framework/messages.h"

// What the dialog layer needs of a window toolkit's windows (backend.h lists all a backend
// defines). The window classes never see it.
namespace dlg {

class CDialog;

// A window's system menu, to which commands can be appended.
class CMenu {
  public:
    virtual ~CMenu() = default;

    virtual void AppendSeparator() = 0;
    // text may carry an "&" before the item's keyboard mnemonic.
    virtual void AppendItem(unsigned command, std::string_view text) = 0;
};

class DialogHost {
  public:
    virtual ~DialogHost() = default;

    // Creates the window from its template, lets the dialog initialise, runs until EndDialog
    // and returns its code.
    virtual int RunModal() = 0;
    virtual void EndDialog(int result) = 0;

    virtual std::string GetItemText(int id) const = 0;
    virtual void SetItemText(int id, std::string_view text) = 0;
    virtual bool IsItemChecked(int id) const = 0;
    virtual void SetItemChecked(int id, bool checked) = 0;
    // A disabled control takes no input and looks so.
    virtual void EnableItem(int id, bool enabled) = 0;
    // Moves the focus to the control and, for a field, selects its whole text.
    virtual void FocusItem(int id) = 0;

    // A modal message owned by the dialog, naming a problem to the user.
    virtual void ShowMessage(std::string_view text) = 0;

    virtual CMenu* GetSystemMenu() = 0;
    virtual void SetIcon(HIcon icon, bool big) = 0;
    virtual bool IsIconic() const = 0;
    virtual Rect GetClientRect() const = 0;
    virtual LResult SendMessageToWindow(unsigned message, WParam wParam, LParam lParam) = 0;
    virtual LResult DefaultProcessing(unsigned message, WParam wParam, LParam lParam) = 0;

    // Painting, between BeginPaint and EndPaint only; the device context is opaque to callers.
    virtual WParam BeginPaint() = 0;
    virtual void DrawIcon(int x, int y, HIcon icon) = 0;
    virtual void EndPaint() = 0;
};

}  // namespace dlg
