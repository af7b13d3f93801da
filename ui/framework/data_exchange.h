#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

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
    bool Failed() const { return m_failedId != NO_CONTROL; }
    // The control that could not be read, or NO_CONTROL.
    int FailedId() const { return m_failedId; }
    static constexpr int NO_CONTROL = -1;

    // Tells the user what the control takes, naming it after its label ("数量：请输入..."),
    // puts the focus on it with its text selected, and fails.
    void Fail(int id, std::string_view takes);

  private:
    CDialog& m_dialog;
    bool m_saveAndValidate;
    int m_failedId = NO_CONTROL;
};

// The text fields read what a user types: blanks around the number, and the full-width forms of
// a Chinese input method (trellan::PlainNumberText). A text that is not a number of the field's
// kind and range is refused, and the member keeps its value.

// A text field as a finite double of at least `least`, shown as "%.15g" would show it, in any
// locale.
void DDX_Text(CDataExchange& exchange, int id, double& value, double least);
// The same, where an empty field stands for no value.
void DDX_Text(CDataExchange& exchange, int id, std::optional<double>& value, double least);
// A text field as a signed 32-bit integer of at least `least`.
void DDX_Text(CDataExchange& exchange, int id, std::int32_t& value, std::int32_t least);
// What DDX_Text reads from this text as a double of at least `least`; none where it would refuse
// it. For a window that follows a field as it is typed in, and tells nothing until it is read.
std::optional<double> ReadDoubleText(std::string_view typed, double least);

// The number a field shown value and left untouched gives back (value itself where its text
// reads back as no allowed number).
double DoubleAsShown(double value);
// A field that only shows: a write sets its text, a read leaves it alone.
void DDX_Shown(const CDataExchange& exchange, int id, std::string_view text);
// A check box as whether it is checked.
void DDX_Check(const CDataExchange& exchange, int id, bool& value);
// A radio group as the position of its checked button, -1 when none is checked.
void DDX_Radio(CDataExchange& exchange, int firstId, std::int32_t& value);

}  // namespace dlg
