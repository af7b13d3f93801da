#include <algorithm>
#include <array>

#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "res/version.h"

namespace res {
namespace {

constexpr std::string_view DIALOG_FONT = "宋体";
constexpr int DIALOG_POINT_SIZE = 9;
constexpr std::uint32_t MODAL_DIALOG =
    STYLE_MODALFRAME | STYLE_SETFONT | STYLE_POPUP | STYLE_CAPTION | STYLE_SYSMENU;
constexpr std::uint32_t FIELD = STYLE_BORDER | STYLE_TABSTOP | STYLE_EDIT_AUTOHSCROLL;

using enum ControlKind;

constexpr std::array CALCULATOR_CONTROLS{
    ControlTemplate{Edit, IDC_BUY_PRICE, "IDC_BUY_PRICE", "", 74, 33, 67, 12, FIELD},
    ControlTemplate{Edit, IDC_QUANTITY, "IDC_QUANTITY", "", 74, 51, 67, 12, FIELD},
    ControlTemplate{Edit, IDC_SELL_PRICE, "IDC_SELL_PRICE", "", 74, 71, 67, 12, FIELD},
    ControlTemplate{PushButton, IDC_CALCULATE, "IDC_CALCULATE", "计  算", 25, 106, 50, 16,
                    STYLE_TABSTOP},
    ControlTemplate{Text, IDC_STATIC, "", "尺料价格：", 23, 33, 41, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "用 材 码：", 23, 71, 41, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "数    量：", 23, 53, 41, 8, STYLE_GROUP},
    ControlTemplate{Edit, IDC_NET_PROFIT, "IDC_NET_PROFIT", "", 74, 89, 67, 12,
                    FIELD | STYLE_DISABLED},
    ControlTemplate{Text, IDC_STATIC, "", "成    本：", 23, 91, 41, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "证 交 所：", 23, 17, 41, 8, STYLE_GROUP},
    // The group takes a tab stop so the exchange can be chosen from the keyboard.
    ControlTemplate{AutoRadioButton, IDC_EXCHANGE_A, "IDC_EXCHANGE_A", "平面", 74, 15, 30, 14,
                    STYLE_GROUP | STYLE_TABSTOP},
    ControlTemplate{AutoRadioButton, IDC_EXCHANGE_B, "IDC_EXCHANGE_B", "立体", 110, 15, 30, 14, 0},
    // "*" starts a group of its own, so that the arrow keys go round the two exchanges only.
    ControlTemplate{PushButton, IDC_SETTINGS, "IDC_SETTINGS", "*", 144, 135, 11, 10,
                    STYLE_GROUP | STYLE_TABSTOP | STYLE_BUTTON_FLAT, "参数设置"},
    ControlTemplate{Text, IDC_RATE_SUMMARY, "IDC_RATE_SUMMARY", "参数", 6, 136, 136, 8,
                    STYLE_GROUP},
    ControlTemplate{GroupBox, IDC_STATIC, "", "", 6, 7, 149, 124, 0},
    ControlTemplate{PushButton, IDC_ABOUT, "IDC_ABOUT", "关于..", 90, 106, 50, 15, STYLE_TABSTOP},
};

constexpr std::array FEE_RATE_CONTROLS{
    ControlTemplate{Edit, IDC_COMMISSION_RATE, "IDC_COMMISSION_RATE", "", 53, 7, 59, 12, FIELD},
    ControlTemplate{Edit, IDC_STAMP_DUTY_RATE, "IDC_STAMP_DUTY_RATE", "", 53, 25, 59, 12, FIELD},
    ControlTemplate{Edit, IDC_TRANSFER_RATE, "IDC_TRANSFER_RATE", "", 53, 43, 59, 12, FIELD},
    ControlTemplate{Text, IDC_STATIC, "", "佣    金：", 7, 8, 41, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "增 值 税：", 7, 27, 41, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "材 料 费：", 7, 46, 41, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "", 7, 86, 121, 8, STYLE_GROUP},  // address line
    ControlTemplate{PushButton, ID_OK, "IDOK", "确  定", 15, 61, 44, 15, STYLE_TABSTOP},
    ControlTemplate{PushButton, ID_CANCEL, "IDCANCEL", "取  消", 72, 61, 44, 15, STYLE_TABSTOP},
    ControlTemplate{Text, IDC_STATIC, "", "‰", 116, 9, 9, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "‰", 116, 28, 9, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "‰", 116, 45, 9, 8, STYLE_GROUP},
};

constexpr std::array ABOUT_CONTROLS{
    ControlTemplate{Icon, IDC_STATIC, "", "IDR_MAINFRAME", 11, 17, 21, 21, 0},
    ControlTemplate{Text, IDC_STATIC, "", TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT " 版", 40,
                    10, 89, 8, STYLE_GROUP | STYLE_STATIC_NOPREFIX},
    // The full notice is in the version record; this line is only 69 units wide.
    ControlTemplate{Text, IDC_STATIC, "", "© Trellan 开发者", 40, 25, 69, 8, STYLE_GROUP},
    ControlTemplate{DefaultPushButton, ID_OK, "IDOK", "确定", 133, 7, 50, 41,
                    STYLE_GROUP | STYLE_TABSTOP},
    ControlTemplate{Text, IDC_STATIC, "", "", 39, 39, 85, 8, STYLE_GROUP},  // address line
};

constexpr DialogTemplate CALCULATOR{IDD_CALCULATOR,
                                    "IDD_CALCULATOR",
                                    TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT,
                                    162,
                                    155,
                                    DIALOG_FONT,
                                    DIALOG_POINT_SIZE,
                                    MODAL_DIALOG | STYLE_VISIBLE,
                                    EXSTYLE_APPWINDOW,
                                    CALCULATOR_CONTROLS};
constexpr DialogTemplate FEE_RATES{
    IDD_FEE_RATES, "IDD_FEE_RATES",   "参数设置",   135, 101,
    DIALOG_FONT,   DIALOG_POINT_SIZE, MODAL_DIALOG, 0,   FEE_RATE_CONTROLS};
constexpr DialogTemplate ABOUT{IDD_ABOUTBOX, "IDD_ABOUTBOX",    "关于 Quorim", 190, 55,
                               DIALOG_FONT,  DIALOG_POINT_SIZE, MODAL_DIALOG,  0,   ABOUT_CONTROLS};

constexpr std::array<const DialogTemplate*, 3> ALL{&ABOUT, &CALCULATOR, &FEE_RATES};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    const auto found = std::find_if(
        ALL.begin(), ALL.end(), [id](const DialogTemplate* dialog) { return dialog->id == id; });
    return found == ALL.end() ? nullptr : *found;
}

std::span<const DialogTemplate* const> AllDialogTemplates() {
    return ALL;
}

}  // namespace res
