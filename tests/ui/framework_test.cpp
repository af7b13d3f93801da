#include <array>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "res/resource_ids.h"

#include "ui/framework/dialog.h"
#include "ui/framework/message_map.h"
#include "ui/icon_position.h"
#include "ui/qt/dialog_units.h"

namespace {

// Centred as integer division rounds: toward zero when the client area is smaller than the icon.
TEST(Icon, CentredAsIntegerDivisionRounds) {
    const auto at = [](IconPosition position) { return std::pair(position.x, position.y); };
    EXPECT_EQ(at(CentreIcon(243, 232, 32, 32)), std::pair(106, 100));
    EXPECT_EQ(at(CentreIcon(10, 0, 32, 32)), std::pair(-10, -15));
}

TEST(DialogUnits, FollowTheFontAsTheDialogManagerDoes) {
    const dlg::BaseUnits units = dlg::BaseUnitsFromFont(350, 15);
    EXPECT_EQ(units.x, 7);  // (350 / 26 + 1) / 2
    // x by 7 / 4 and y by 15 / 8, halves away from zero: 129.5, 61.875, 246.75, 84.375.
    const dlg::Rect r = dlg::MapDialogRect({74, 33, 141, 45}, units);
    EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}), (std::array{130, 62, 247, 84}));
}

// Handlers record what reached them. Were Derived's map not the one the layer uses, its own
// seven would never be called.
class Base : public dlg::CCmdTarget {
  public:
    std::vector<const char*> calls;

    DECLARE_MESSAGE_MAP()
    void OnSeven() { calls.push_back("Base::OnSeven"); }
    virtual void OnEight() { calls.push_back("Base::OnEight"); }
};

DEFINE_MESSAGE_MAP(Base, dlg::CCmdTarget, dlg::MapClicked(7, &Base::OnSeven),
                   dlg::MapClicked(8, &Base::OnEight))

class Derived : public Base {
  public:
    unsigned lastSysCommand = 0;

    DECLARE_MESSAGE_MAP()
    void OnOwnSeven() { calls.push_back("Derived::OnOwnSeven"); }
    void OnEight() override { calls.push_back("Derived::OnEight"); }
    void OnSysCommand(unsigned command, dlg::LParam /*parameter*/) { lastSysCommand = command; }
};

DEFINE_MESSAGE_MAP(Derived, Base, dlg::MapClicked(7, &Derived::OnOwnSeven),
                   dlg::MapSysCommand(&Derived::OnSysCommand))

TEST(MessageMap, OwnEntriesFirstThenTheBaseChainThenDefaultProcessing) {
    Derived target;
    dlg::LResult result = 0;
    const auto send = [&](unsigned message, dlg::WParam wParam) {
        return target.OnWndMsg(message, wParam, 0, result);
    };
    const auto clicked = [](int id) { return dlg::CommandParam(id, dlg::BUTTON_CLICKED); };
    EXPECT_TRUE(send(dlg::WM_COMMAND_MESSAGE, clicked(7)));
    EXPECT_TRUE(send(dlg::WM_COMMAND_MESSAGE, clicked(8)));
    EXPECT_TRUE(send(dlg::WM_SYSCOMMAND_MESSAGE, 0xF063));
    EXPECT_EQ(target.lastSysCommand, 0xF063U);
    // Virtual handlers in a base table still reach the override.
    EXPECT_EQ(target.calls, (std::vector<const char*>{"Derived::OnOwnSeven", "Derived::OnEight"}));
    // An unmapped control, another notification than a click, an unmapped message.
    EXPECT_FALSE(send(dlg::WM_COMMAND_MESSAGE, clicked(9)));
    EXPECT_FALSE(send(dlg::WM_COMMAND_MESSAGE, dlg::CommandParam(7, 1)));
    EXPECT_FALSE(send(dlg::WM_PAINT_MESSAGE, 0));
}

// A window service asked of a dialog that does not run is the caller's fault, told at once,
// never a read through a window that does not exist.
TEST(DialogDeathTest, ServicesOutsideTheModalRunEndTheProgram) {
    dlg::CDialog idle(res::IDD_ABOUTBOX);
    EXPECT_DEATH(idle.SetItemText(res::IDC_STATIC, "x"), "does not run");
    EXPECT_DEATH(static_cast<void>(idle.GetItemText(res::IDC_STATIC)), "does not run");
}

}  // namespace
