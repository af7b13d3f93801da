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

    static const MessageMap* GetThisMessageMap();

    CDialog* m_pMainWnd = nullptr;

  protected:
    // The Help command: no help file ships with the program, so there is nothing to show.
    void OnHelp() {}

    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

inline constexpr int ID_HELP = 0xE146;

CWinApp* AfxGetApp();

// The program's start: brings up the toolkit, runs InitInstance and returns the exit code.
int AfxWinMain(int argc, char** argv);

}  // namespace dlg
