// A message map that its class does not declare with DECLARE_MESSAGE_MAP() does not build: the
// dialog layer would go on using the base class's map.
#include "ui/framework/dialog.h"

class Forgetful : public dlg::CDialog {
  public:
    static const dlg::MessageMap* GetThisMessageMap();
    void OnSeven() {}
};

DEFINE_MESSAGE_MAP(Forgetful, dlg::CDialog, dlg::MapClicked(7, &Forgetful::OnSeven))
