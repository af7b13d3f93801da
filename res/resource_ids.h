#pragma once

// Identifiers of the program's resources: dialog templates, controls, strings, menu commands.
namespace res {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_CALCULATOR = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDD_FEE_RATES = 129;
inline constexpr int IDD_FEE_DETAILS = 130;

inline constexpr int IDC_CALCULATE = 1002;
inline constexpr int IDC_QUANTITY = 1004;
inline constexpr int IDC_BUY_PRICE = 1005;
inline constexpr int IDC_SELL_PRICE = 1006;
inline constexpr int IDC_NET_PROFIT = 1007;
inline constexpr int IDC_EXCHANGE_A = 1008;
inline constexpr int IDC_EXCHANGE_B = 1009;
inline constexpr int IDC_SETTINGS = 1010;
inline constexpr int IDC_RATE_SUMMARY = 1011;
inline constexpr int IDC_COMMISSION_RATE = 1012;
inline constexpr int IDC_STAMP_DUTY_RATE = 1013;
inline constexpr int IDC_TRANSFER_RATE = 1014;
inline constexpr int IDC_ABOUT = 1019;
inline constexpr int IDC_RULES_2023 = 1020;
inline constexpr int IDC_MIN_COMMISSION_LABEL = 1021;
inline constexpr int IDC_MIN_COMMISSION = 1022;
inline constexpr int IDC_MIN_COMMISSION_UNIT = 1023;
inline constexpr int IDC_DETAILS = 1024;

// The fee details: a value per fee and side, then one per line.
inline constexpr int IDC_DETAIL_BUY_COMMISSION = 1030;
inline constexpr int IDC_DETAIL_SELL_COMMISSION = 1031;
inline constexpr int IDC_DETAIL_BUY_STAMP_DUTY = 1032;
inline constexpr int IDC_DETAIL_SELL_STAMP_DUTY = 1033;
inline constexpr int IDC_DETAIL_BUY_TRANSFER = 1034;
inline constexpr int IDC_DETAIL_SELL_TRANSFER = 1035;
inline constexpr int IDC_DETAIL_TOTAL_FEES = 1036;
inline constexpr int IDC_DETAIL_GROSS = 1037;
inline constexpr int IDC_DETAIL_NET = 1038;
inline constexpr int IDC_DETAIL_BREAK_EVEN = 1039;
inline constexpr int IDC_DETAIL_RETURN = 1040;
inline constexpr int IDC_DETAIL_NOTE = 1041;
inline constexpr int IDC_DETAIL_COST_PRICE = 1042;
inline constexpr int IDC_DETAIL_ROUNDING = 1043;
inline constexpr int IDC_DETAIL_TARGET = 1044;
inline constexpr int IDC_DETAIL_REQUIRED_PRICE = 1045;
inline constexpr int IDC_DETAIL_FEE_RATE = 1046;

inline constexpr int IDC_STATIC = -1;  // labels and frames nobody addresses
inline constexpr int ID_OK = 1;
inline constexpr int ID_CANCEL = 2;

// System-menu commands must keep their low four bits clear.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDM_DETAILS = 0x0020;
inline constexpr int IDS_DETAILS = 103;

}  // namespace res
