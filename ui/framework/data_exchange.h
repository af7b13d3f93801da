#pragma once

#include <cstdint>

namespace dlg {

class CDialog;

// One exchange between a dialog's controls and its members. After the first control that
// cannot be read, the exchange has failed and every later DDX call leaves its member alone.
class CDataExchange {
  public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

    CDialog& Dialog() const { return m_dialog; }
    bool Saving() const { return m_saveAndValidate; }
    bool Failed() const { return m_failed; }

    // Tells the user, puts the focus on the control that could not be read, and fails.
    void Fail(int id, const char* message);

  private:
    CDialog& m_dialog;
    bool m_saveAndValidate;
    bool m_failed = false;
};

// A text field as a double: shown as "%.15g" would show it, in any locale.
void DDX_Text(CDataExchange& exchange, int id, double& value);
// A text field as a signed 32-bit integer.
void DDX_Text(CDataExchange& exchange, int id, std::int32_t& value);
// A check box as whether it is checked.
void DDX_Check(const CDataExchange& exchange, int id, bool& value);
// A radio group as the position of its checked button, -1 when none is checked.
void DDX_Radio(CDataExchange& exchange, int firstId, std::int32_t& value);

}  // namespace dlg
