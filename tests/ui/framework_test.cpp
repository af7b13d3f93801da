#include <gtest/gtest.h>
#include <vector>

#include "ui/framework/message_map.h"
#include "ui/icon_position.h"
#include "ui/qt/dialog_units.h"

namespace {

struct Centring {
    int clientWidth, clientHeight, iconWidth, iconHeight;
    int x, y;
};

class CentreIconTest : public testing::TestWithParam<Centring> {};

TEST_P(CentreIconTest, CentresWithTruncatingDivision) {
    const Centring& row = GetParam();
    const IconPosition at =
        CentreIcon(row.clientWidth, row.clientHeight, row.iconWidth, row.iconHeight);
    EXPECT_EQ(at.x, row.x);
    EXPECT_EQ(at.y, row.y);
}

// A client area smaller than the icon gives negative positions, rounded toward zero.
INSTANTIATE_TEST_SUITE_P(Sizes, CentreIconTest,
                         testing::Values(Centring{243, 232, 32, 32, 106, 100},
                                         Centring{33, 34, 32, 32, 1, 1},
                                         Centring{32, 32, 32, 32, 0, 0},
                                         Centring{10, 0, 32, 32, -10, -15},
                                         Centring{0, 1, 32, 32, -15, -15}));

TEST(DialogUnits, FollowTheFontAsTheDialogManagerDoes) {
    // SimSun 9 pt at 96 dpi: 52 letters 312 pixels wide and 12 high give 6 x 12 base units.
    const dlg::BaseUnits units = dlg::BaseUnitsFromFont(312, 12);
    EXPECT_EQ(units.x, 6);
    EXPECT_EQ(units.y, 12);
    const dlg::Rect calculator = dlg::MapDialogRect({0, 0, 162, 155}, units);
    EXPECT_EQ(calculator.Width(), 243);
    EXPECT_EQ(calculator.Height(), 233);  // 155 x 12 / 8 = 232.5, rounded up
    const dlg::Rect field = dlg::MapDialogRect({74, 33, 141, 45}, units);
    EXPECT_EQ(field.left, 111);
    EXPECT_EQ(field.top, 50);                         // 49.5 rounded away from zero
    EXPECT_EQ(dlg::BaseUnitsFromFont(350, 15).x, 7);  // (350 / 26 + 1) / 2
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

bool Send(dlg::CCmdTarget& target, unsigned message, dlg::WParam wParam) {
    dlg::LResult result = 0;
    return target.OnWndMsg(message, wParam, 0, result);
}

TEST(MessageMap, OwnEntriesFirstThenTheBaseChain) {
    Derived target;
    EXPECT_TRUE(Send(target, dlg::WM_COMMAND_MESSAGE, dlg::CommandParam(7, dlg::BUTTON_CLICKED)));
    EXPECT_TRUE(Send(target, dlg::WM_COMMAND_MESSAGE, dlg::CommandParam(8, dlg::BUTTON_CLICKED)));
    EXPECT_TRUE(Send(target, dlg::WM_SYSCOMMAND_MESSAGE, 0xF063));
    EXPECT_EQ(target.lastSysCommand, 0xF063U);
    // Virtual handlers in a base table still reach the override.
    EXPECT_EQ(target.calls, (std::vector<const char*>{"Derived::OnOwnSeven", "Derived::OnEight"}));
}

TEST(MessageMap, UnhandledMessagesAreLeftForDefaultProcessing) {
    Derived target;
    EXPECT_FALSE(Send(target, dlg::WM_COMMAND_MESSAGE, dlg::CommandParam(9, dlg::BUTTON_CLICKED)));
    // Another notification from a mapped control is not a click.
    EXPECT_FALSE(Send(target, dlg::WM_COMMAND_MESSAGE, dlg::CommandParam(7, 1)));
    EXPECT_FALSE(Send(target, dlg::WM_PAINT_MESSAGE, 0));
    EXPECT_TRUE(target.calls.empty());
}

}  // namespace
