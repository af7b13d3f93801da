#include "ui/framework/dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "res/control_names.h"

#include "ui/framework/data_exchange.h"
#include "ui/framework/win_app.h"

namespace dlg {

CDialog::CDialog(int templateId, CDialog* parent)
    : m_template(res::FindDialogTemplate(templateId)), m_parent(parent) {}

CDialog::~CDialog() = default;

DEFINE_MESSAGE_MAP(CDialog, CCmdTarget, MapCommand(RESULT_OK, &CDialog::OnOK),
                   MapCommand(RESULT_CANCEL, &CDialog::OnCancel))

int CDialog::DoModal() {
    if (m_template == nullptr) {
        return -1;
    }
    m_host = CreateDialogHost(*this, *m_template);
    const int result = m_host->RunModal();
    m_host.reset();
    return result;
}

void CDialog::HandleInitDialog() {
    if (!OnInitDialog()) {
        return;
    }
    // The focus goes to the first control in tab order that can take it.
    for (const res::ControlTemplate& control : m_template->controls) {
        if ((control.style & res::STYLE_TABSTOP) != 0 &&
            (control.style & res::STYLE_DISABLED) == 0) {
            Host().FocusItem(control.id);
            return;
        }
    }
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange& /*exchange*/) {}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

void CDialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(RESULT_OK);
    }
}

void CDialog::OnCancel() {
    EndDialog(RESULT_CANCEL);
}

void CDialog::EndDialog(int result) {
    Host().EndDialog(result);
}

LResult CDialog::WindowProc(unsigned message, WParam wParam, LParam lParam) {
    const CurrentMessage outer = m_current;
    m_current = {message, wParam, lParam};
    LResult result = 0;
    bool handled = OnWndMsg(message, wParam, lParam, result);
    // Commands the window does not handle go on to the application, as menu commands do.
    if (!handled && message == WM_COMMAND_MESSAGE && AfxGetApp() != nullptr) {
        handled = AfxGetApp()->OnWndMsg(message, wParam, lParam, result);
    }
    if (!handled) {
        result = Host().DefaultProcessing(message, wParam, lParam);
    }
    m_current = outer;
    return result;
}

LResult CDialog::Default() {
    return Host().DefaultProcessing(m_current.message, m_current.wParam, m_current.lParam);
}

std::string CDialog::GetItemText(int id) const {
    return Host().GetItemText(id);
}
void CDialog::SetItemText(int id, std::string_view text) {
    ++m_settingText;
    Host().SetItemText(id, text);
    --m_settingText;
}
std::string CDialog::ItemName(int id) const {
    return res::FieldName(*m_template, id);
}
bool CDialog::IsItemChecked(int id) const {
    return Host().IsItemChecked(id);
}
void CDialog::SetItemChecked(int id, bool checked) {
    Host().SetItemChecked(id, checked);
}
void CDialog::EnableItem(int id, bool enabled) {
    Host().EnableItem(id, enabled);
}
void CDialog::FocusItem(int id) {
    Host().FocusItem(id);
}
void CDialog::ShowMessage(std::string_view text) {
    Host().ShowMessage(text);
}
CMenu* CDialog::GetSystemMenu(bool /*revert*/) {
    return Host().GetSystemMenu();
}
void CDialog::SetIcon(HIcon icon, bool big) {
    Host().SetIcon(icon, big);
}
bool CDialog::IsIconic() const {
    return Host().IsIconic();
}
Rect CDialog::GetClientRect() const {
    return Host().GetClientRect();
}
DialogHost& CDialog::Host() {
    RequireHost();
    return *m_host;
}
const DialogHost& CDialog::Host() const {
    RequireHost();
    return *m_host;
}
void CDialog::RequireHost() const {
    if (m_host == nullptr) {
        (void)std::fprintf(stderr,
                           "dialog %d: a window service was asked while the dialog does not run\n",
                           m_template != nullptr ? m_template->id : -1);
        std::abort();
    }
}

DialogHost* CDialog::OwnerHost() const {
    const CDialog* owner = m_parent;
    if (owner == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != this) {
        owner = AfxGetApp()->m_pMainWnd;
    }
    return owner != nullptr ? owner->m_host.get() : nullptr;
}

LResult CDialog::SendMessageToWindow(unsigned message, WParam wParam, LParam lParam) {
    return Host().SendMessageToWindow(message, wParam, lParam);
}

std::vector<int> CDialog::RadioGroup(int firstId) const {
    return RadioGroupOf(*m_template, firstId);
}

// A group runs from a control marked STYLE_GROUP to the next one so marked.
std::vector<int> RadioGroupOf(const res::DialogTemplate& layout, int id) {
    std::vector<int> group;
    bool found = false;
    for (const res::ControlTemplate& control : layout.controls) {
        if ((control.style & res::STYLE_GROUP) != 0) {
            if (found) {
                break;
            }
            group.clear();
        }
        if (control.kind == res::ControlKind::AutoRadioButton) {
            group.push_back(control.id);
            found = found || control.id == id;
        }
    }
    return found ? group : std::vector<int>{};
}

CPaintDC::CPaintDC(CDialog* window) : m_host(window->Host()), m_hdc(m_host.BeginPaint()) {}

CPaintDC::~CPaintDC() {
    m_host.EndPaint();
}

void CPaintDC::DrawIcon(int x, int y, HIcon icon) {
    m_host.DrawIcon(x, y, icon);
}

}  // namespace dlg
