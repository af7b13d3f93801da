#include "app/profit_calc_app.h"

#include "ui/profit_calc_dlg.h"

// The one application object, built during static initialisation.
CProfitCalcApp theApp;

DEFINE_MESSAGE_MAP(CProfitCalcApp, dlg::CWinApp,
                   dlg::MapCommand(dlg::ID_HELP, &CProfitCalcApp::OnHelp))

// The calculator window is the program: when it ends, whether with OK or Cancel, so does the
// program.
bool CProfitCalcApp::InitInstance() {
    CProfitCalcDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
