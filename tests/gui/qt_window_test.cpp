// What only the Qt backend has: the system menu, which the window manager does not show for us,
// pops up with a right click, Shift+F10 or Alt+Space, and its items answer their mnemonics.
#include <filesystem>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QWindow>

#include "settings/settings_location.h"

#include "res/resource_ids.h"

#include "ui/profit_calc_dlg.h"

#include "gui/qt_driver.h"
#include "gui/window_driver.h"
#include "support/row_name.h"
#include "support/temp_dir.h"

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

// At the dialog font's 9 points, the summary of either rules and the box's text fit their
// controls.
TEST(QtCalculator, TextsFitTheirControls) {
    const std::filesystem::path file(trellan::FindSettingsLocation().savePath.data());
    support::WriteFile(file, "[SET]\nRULES=2023\n");
    CProfitCalcDlg calculator;
    RunDriven(calculator, [](Window window) {
        auto* dialog = static_cast<QWidget*>(const_cast<void*>(window));
        qt::OnGui([dialog] {
            auto* summary = dialog->findChild<QLabel*>(QStringLiteral("IDC_RATE_SUMMARY"));
            const QFontMetrics metrics(summary->font());
            for (const char* text :
                 {"现行佣0.25‰,印花0.50‰,过户0.01‰", "佣金1.50‰,花税1.00‰,过户费1.00‰"}) {
                EXPECT_LE(metrics.horizontalAdvance(QString::fromUtf8(text)), summary->width());
            }
        });
        ClickLater(window, res::IDC_SETTINGS);
        const Window rates = WaitForDialog(window);
        EXPECT_TRUE(Checked(rates, res::IDC_RULES_2023));
        qt::OnGui([rates] {
            auto* box = static_cast<QWidget*>(const_cast<void*>(rates))
                            ->findChild<QAbstractButton*>(QStringLiteral("IDC_RULES_2023"));
            EXPECT_LE(box->sizeHint().width(), box->width());
        });
    });
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace gui
