// What only the Qt backend has: the system menu, which the window manager does not show for us,
// pops up with a right click, Shift+F10 or Alt+Space, and its items answer their mnemonics.
#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <QWindow>

#include "ui/profit_calc_dlg.h"

#include "gui/qt_driver.h"
#include "gui/window_driver.h"
#include "support/row_name.h"

namespace gui {
namespace {

struct PopupCase {
    const char* name;
    void (*open)(QWidget* dialog);
};

const PopupCase POPUPS[] = {
    {"right click",
     [](QWidget* dialog) {
         QTest::mouseClick(dialog->windowHandle(), Qt::RightButton, {}, QPoint(5, 5));
     }},
    {"Shift+F10", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_F10, Qt::ShiftModifier); }},
    {"Alt+Space", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Space, Qt::AltModifier); }},
};

class SystemMenuPopup : public testing::TestWithParam<PopupCase> {};

TEST_P(SystemMenuPopup, OpensAndItsMnemonicShowsTheAboutBox) {
    CProfitCalcDlg calculator;
    RunDriven(calculator, [row = GetParam()](Window window) {
        auto* dialog = static_cast<QWidget*>(const_cast<void*>(window));
        qt::Later([row, dialog] { row.open(dialog); });
        QMenu* menu = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            return qt::OnGui([&] {
                menu = dialog->findChild<QMenu*>(QStringLiteral("systemMenu"));
                return menu->isVisible();
            });
        }));
        qt::Later([menu] { QTest::keyClick(menu, Qt::Key_A); });
        const Window box = WaitForDialog(window);
        EXPECT_EQ(Caption(box), "关于 Quorim");
    });
}

INSTANTIATE_TEST_SUITE_P(Table, SystemMenuPopup, testing::ValuesIn(POPUPS), support::RowName{});

}  // namespace
}  // namespace gui
