#pragma once

#include "ui/framework/message_map.h"

namespace dlg {

class CDialog;

// The application: exactly one instance, built during static initialisation.
class CWinApp : public CCmdTarget {
  public:
    CWinApp();
    ~CWinApp() override;

    // Called once at start-up; returning false ends the program without a message loop.
    virtual bool InitInstance();

    CDialog* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()

    // The Help command: no help file ships with the program, so there is nothing to show.
    void OnHelp() {}
};

inline constexpr int ID_HELP = 0xE146;

CWinApp* AfxGetApp();

// The program's start: brings up the toolkit, runs InitInstance and returns the exit code.
int AfxWinMain(int argc, char** argv);

}  // namespace dlg
