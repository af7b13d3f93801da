#include "ui/framework/win_app.h"

#include "ui/framework/toolkit.h"

namespace dlg {
namespace {

CWinApp* theApplication = nullptr;

}  // namespace

CWinApp::CWinApp() {
    theApplication = this;
}

CWinApp::~CWinApp() {
    if (theApplication == this) {
        theApplication = nullptr;
    }
}

bool CWinApp::InitInstance() {
    return true;
}

DEFINE_MESSAGE_MAP(CWinApp, CCmdTarget)

CWinApp* AfxGetApp() {
    return theApplication;
}

int AfxWinMain(int argc, char** argv) {
    const Toolkit toolkit(argc, argv);
    CWinApp* application = AfxGetApp();
    if (application == nullptr) {
        return 1;
    }
    // The program runs entirely inside InitInstance; there is no message loop of our own after it.
    application->InitInstance();
    return 0;
}

}  // namespace dlg
