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

constexpr int CALCULATOR_LABEL = 48;
constexpr int RATE_LABEL = 46;  // up to the fields

constexpr std::array CALCULATOR_CONTROLS{
    ControlTemplate{Edit, IDC_BUY_PRICE, "IDC_BUY_PRICE", "", 74, 33, 67, 12, FIELD},
    ControlTemplate{Edit, IDC_QUANTITY, "IDC_QUANTITY", "", 74, 51, 67, 12, FIELD},
    ControlTemplate{Edit, IDC_SELL_PRICE, "IDC_SELL_PRICE", "", 74, 71, 67, 12, FIELD},
    ControlTemplate{PushButton, IDC_CALCULATE, "IDC_CALCULATE", "计  算", 25, 106, 50, 16,
                    STYLE_TABSTOP},
    // The labels are wider than the five characters they hold at 96 DPI, up to the fields: at
    // 120 DPI a Song face's characters are wider in dialog units.
    ControlTemplate{Text, IDC_STATIC, "", "尺料价格：", 23, 33, CALCULATOR_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "用 材 码：", 23, 71, CALCULATOR_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "数    量：", 23, 53, CALCULATOR_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Edit, IDC_NET_PROFIT, "IDC_NET_PROFIT", "", 74, 89, 67, 12,
                    FIELD | STYLE_DISABLED},
    ControlTemplate{Text, IDC_STATIC, "", "成    本：", 23, 91, CALCULATOR_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "证 交 所：", 23, 17, CALCULATOR_LABEL, 8, STYLE_GROUP},
    // The group takes a tab stop so the exchange can be chosen from the keyboard.
    ControlTemplate{AutoRadioButton, IDC_EXCHANGE_A, "IDC_EXCHANGE_A", "平面", 74, 15, 30, 14,
                    STYLE_GROUP | STYLE_TABSTOP},
    ControlTemplate{AutoRadioButton, IDC_EXCHANGE_B, "IDC_EXCHANGE_B", "立体", 110, 15, 30, 14, 0},
    // "*" starts a group of its own, so that the arrow keys go round the two exchanges only.
    ControlTemplate{PushButton, IDC_SETTINGS, "IDC_SETTINGS", "*", 144, 135, 11, 10,
                    STYLE_GROUP | STYLE_TABSTOP | STYLE_BUTTON_FLAT, "参数设置", "费率设置"},
    // Room for a second line below, where one is too short for the summary and "*" stands in the
    // way of a longer one.
    ControlTemplate{Text, IDC_RATE_SUMMARY, "IDC_RATE_SUMMARY", "参数", 6, 136, 136, 16,
                    STYLE_GROUP},
    ControlTemplate{GroupBox, IDC_STATIC, "", "", 6, 7, 149, 124, 0},
    ControlTemplate{PushButton, IDC_ABOUT, "IDC_ABOUT", "关于..", 90, 106, 50, 15, STYLE_TABSTOP},
    // Right of the result field, inside the frame: what the result came to, fee by fee. As wide
    // as the frame leaves room for, since some faces draw "…" as wide as a Chinese character.
    ControlTemplate{PushButton, IDC_DETAILS, "IDC_DETAILS", "…", 143, 89, 12, 12,
                    STYLE_TABSTOP | STYLE_BUTTON_FLAT, "每项费用、保本卖价和收益率", "费用明细"},
};

constexpr std::array FEE_RATE_CONTROLS{
    ControlTemplate{Edit, IDC_COMMISSION_RATE, "IDC_COMMISSION_RATE", "", 53, 7, 59, 12, FIELD},
    ControlTemplate{Edit, IDC_STAMP_DUTY_RATE, "IDC_STAMP_DUTY_RATE", "", 53, 25, 59, 12, FIELD},
    ControlTemplate{Edit, IDC_TRANSFER_RATE, "IDC_TRANSFER_RATE", "", 53, 43, 59, 12, FIELD},
    ControlTemplate{Text, IDC_STATIC, "", "佣    金：", 7, 8, RATE_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "增 值 税：", 7, 27, RATE_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "材 料 费：", 7, 46, RATE_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "", 7, 86, 121, 8, STYLE_GROUP},  // address line
    ControlTemplate{PushButton, ID_OK, "IDOK", "确  定", 15, 61, 44, 15, STYLE_TABSTOP},
    ControlTemplate{PushButton, ID_CANCEL, "IDCANCEL", "取  消", 72, 61, 44, 15, STYLE_TABSTOP},
    ControlTemplate{Text, IDC_STATIC, "", "‰", 116, 9, 9, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "‰", 116, 28, 9, 8, STYLE_GROUP},
    ControlTemplate{Text, IDC_STATIC, "", "‰", 116, 45, 9, 8, STYLE_GROUP},
    // Below the classic controls, which keep their places: today's rules, with their own rates
    // in the three fields while the box is checked, and the minimum commission. The check box
    // takes the width the dialog has grown by for it.
    ControlTemplate{AutoCheckBox, IDC_RULES_2023, "IDC_RULES_2023", "按现行规则（2023年8月28日起）",
                    7, 99, 146, 10, STYLE_GROUP | STYLE_TABSTOP},
    ControlTemplate{Text, IDC_MIN_COMMISSION_LABEL, "IDC_MIN_COMMISSION_LABEL", "最低佣金：", 7,
                    116, RATE_LABEL, 8, STYLE_GROUP},
    ControlTemplate{Edit, IDC_MIN_COMMISSION, "IDC_MIN_COMMISSION", "", 53, 114, 59, 12, FIELD},
    ControlTemplate{Text, IDC_MIN_COMMISSION_UNIT, "IDC_MIN_COMMISSION_UNIT", "元", 116, 116, 9, 8,
                    STYLE_GROUP},
};

constexpr std::uint32_t LABEL = STYLE_GROUP;
constexpr std::uint32_t VALUE = STYLE_GROUP | STYLE_STATIC_RIGHT | STYLE_STATIC_NOPREFIX;

// Two columns of fees, buy and sell, then one value a line, and one field: the return wanted of
// the trade, for the sell price that gives it. The notes say which rules were used, or why there
// is nothing to show, and whether the fees as shown fall short of their total. A column holds the
// longest money text (21 characters: "9.99999999999999e+307") at 120 DPI in a Song face, and a
// label six characters.
constexpr int BUY_X = 63;
constexpr int COLUMN = 98;
constexpr int SELL_X = BUY_X + COLUMN + 4;
constexpr int RIGHT = SELL_X + COLUMN;  // where the lines end
constexpr int LINE = RIGHT - BUY_X;
constexpr int DETAIL_LABEL = BUY_X - 7;
constexpr int NOTE = RIGHT - 7;

constexpr std::array FEE_DETAIL_CONTROLS{
    ControlTemplate{Text, IDC_STATIC, "", "买入", BUY_X, 7, COLUMN, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "卖出", SELL_X, 7, COLUMN, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "佣    金：", 7, 19, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_BUY_COMMISSION, "IDC_DETAIL_BUY_COMMISSION", "", BUY_X, 19,
                    COLUMN, 8, VALUE},
    ControlTemplate{Text, IDC_DETAIL_SELL_COMMISSION, "IDC_DETAIL_SELL_COMMISSION", "", SELL_X, 19,
                    COLUMN, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "印 花 税：", 7, 31, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_BUY_STAMP_DUTY, "IDC_DETAIL_BUY_STAMP_DUTY", "", BUY_X, 31,
                    COLUMN, 8, VALUE},
    ControlTemplate{Text, IDC_DETAIL_SELL_STAMP_DUTY, "IDC_DETAIL_SELL_STAMP_DUTY", "", SELL_X, 31,
                    COLUMN, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "过 户 费：", 7, 43, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_BUY_TRANSFER, "IDC_DETAIL_BUY_TRANSFER", "", BUY_X, 43, COLUMN,
                    8, VALUE},
    ControlTemplate{Text, IDC_DETAIL_SELL_TRANSFER, "IDC_DETAIL_SELL_TRANSFER", "", SELL_X, 43,
                    COLUMN, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "费用合计：", 7, 59, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_TOTAL_FEES, "IDC_DETAIL_TOTAL_FEES", "", BUY_X, 59, LINE, 8,
                    VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "毛    利：", 7, 71, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_GROSS, "IDC_DETAIL_GROSS", "", BUY_X, 71, LINE, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "净 收 益：", 7, 83, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_NET, "IDC_DETAIL_NET", "", BUY_X, 83, LINE, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "成 本 价：", 7, 95, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_COST_PRICE, "IDC_DETAIL_COST_PRICE", "", BUY_X, 95, LINE, 8,
                    VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "保本卖价：", 7, 107, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_BREAK_EVEN, "IDC_DETAIL_BREAK_EVEN", "", BUY_X, 107, LINE, 8,
                    VALUE},
    // The sell price for a wanted return: the return typed in percent, the price under it.
    ControlTemplate{Text, IDC_STATIC, "", "目标收益率：", 7, 120, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Edit, IDC_DETAIL_TARGET, "IDC_DETAIL_TARGET", "", RIGHT - 60, 118, 50, 12,
                    FIELD},
    ControlTemplate{Text, IDC_STATIC, "", "%", RIGHT - 7, 120, 7, 8, LABEL},
    ControlTemplate{Text, IDC_STATIC, "", "所需卖出价：", 7, 133, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_REQUIRED_PRICE, "IDC_DETAIL_REQUIRED_PRICE", "", BUY_X, 133,
                    LINE, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "收 益 率：", 7, 145, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_RETURN, "IDC_DETAIL_RETURN", "", BUY_X, 145, LINE, 8, VALUE},
    ControlTemplate{Text, IDC_STATIC, "", "综合费率：", 7, 157, DETAIL_LABEL, 8, LABEL},
    ControlTemplate{Text, IDC_DETAIL_FEE_RATE, "IDC_DETAIL_FEE_RATE", "", BUY_X, 157, LINE, 8,
                    VALUE},
    ControlTemplate{Text, IDC_DETAIL_NOTE, "IDC_DETAIL_NOTE", "", 7, 171, NOTE, 8,
                    STYLE_GROUP | STYLE_STATIC_NOPREFIX},
    ControlTemplate{Text, IDC_DETAIL_ROUNDING, "IDC_DETAIL_ROUNDING", "", 7, 183, NOTE, 8,
                    STYLE_GROUP | STYLE_STATIC_NOPREFIX},
    ControlTemplate{DefaultPushButton, ID_OK, "IDOK", "确定", (RIGHT + 7 - 50) / 2, 197, 50, 14,
                    STYLE_GROUP | STYLE_TABSTOP},
};

constexpr std::array ABOUT_CONTROLS{
    ControlTemplate{Icon, IDC_STATIC, "", "IDR_MAINFRAME", 11, 17, 21, 21, 0},
    ControlTemplate{Text, IDC_STATIC, "", TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT " 版", 40,
                    10, 89, 8, STYLE_GROUP | STYLE_STATIC_NOPREFIX},
    // The full notice is in the version record; this line is only as wide as the one above.
    ControlTemplate{Text, IDC_STATIC, "", "© Trellan 开发者", 40, 25, 89, 8, STYLE_GROUP},
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
// Wider and taller than the classic dialog by the room of today's rules.
constexpr DialogTemplate FEE_RATES{
    IDD_FEE_RATES, "IDD_FEE_RATES",   "参数设置",   160, 134,
    DIALOG_FONT,   DIALOG_POINT_SIZE, MODAL_DIALOG, 0,   FEE_RATE_CONTROLS};
constexpr DialogTemplate FEE_DETAILS{
    IDD_FEE_DETAILS, "IDD_FEE_DETAILS", "费用明细",   RIGHT + 7, 218,
    DIALOG_FONT,     DIALOG_POINT_SIZE, MODAL_DIALOG, 0,         FEE_DETAIL_CONTROLS};
// The About box keeps the caption it has always had, which does not name the product: users
// and their guides know the box by it.
constexpr DialogTemplate ABOUT{IDD_ABOUTBOX, "IDD_ABOUTBOX",    "关于 Quorim", 190, 55,
                               DIALOG_FONT,  DIALOG_POINT_SIZE, MODAL_DIALOG,  0,   ABOUT_CONTROLS};

constexpr std::array<const DialogTemplate*, 4> ALL{&ABOUT, &CALCULATOR, &FEE_RATES, &FEE_DETAILS};

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
