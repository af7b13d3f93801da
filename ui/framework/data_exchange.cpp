#include "ui/framework/data_exchange.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/number_text.h"

#include "ui/framework/dialog.h"

namespace dlg {
namespace {

constexpr const char* NOT_A_NUMBER = "请输入一个数字。";
constexpr const char* NOT_AN_INTEGER = "请输入一个介于 -2147483648 和 2147483647 之间的整数。";

}  // namespace

void CDataExchange::Fail(int id, const char* message) {
    m_failed = true;
    m_dialog.ShowMessage(message);
    m_dialog.FocusItem(id);
}

namespace {

// One text field as a number: shown in its text form, read back whole or reported.
template <class Number, class Format, class Parse>
void ExchangeNumber(CDataExchange& exchange, int id, Number& value, Format format, Parse parse,
                    const char* unreadable) {
    if (exchange.Failed()) {
        return;
    }
    if (!exchange.Saving()) {
        exchange.Dialog().SetItemText(id, format(value));
        return;
    }
    const std::optional<Number> read = parse(exchange.Dialog().GetItemText(id));
    if (!read) {
        exchange.Fail(id, unreadable);
        return;
    }
    value = *read;
}

}  // namespace

void DDX_Text(CDataExchange& exchange, int id, double& value) {
    ExchangeNumber(
        exchange, id, value,
        [](double number) { return std::string(trellan::FormatGeneral15(number).View()); },
        trellan::ParseDouble, NOT_A_NUMBER);
}

void DDX_Text(CDataExchange& exchange, int id, std::int32_t& value) {
    ExchangeNumber(
        exchange, id, value, [](std::int32_t number) { return std::to_string(number); },
        trellan::ParseInt32, NOT_AN_INTEGER);
}

void DDX_Check(const CDataExchange& exchange, int id, bool& value) {
    if (exchange.Failed()) {
        return;
    }
    if (exchange.Saving()) {
        value = exchange.Dialog().IsItemChecked(id);
    } else {
        exchange.Dialog().SetItemChecked(id, value);
    }
}

void DDX_Radio(CDataExchange& exchange, int firstId, std::int32_t& value) {
    if (exchange.Failed()) {
        return;
    }
    const std::vector<int> buttons = exchange.Dialog().RadioGroup(firstId);
    for (std::size_t position = 0; position < buttons.size(); ++position) {
        const auto index = static_cast<std::int32_t>(position);
        if (!exchange.Saving()) {
            exchange.Dialog().SetItemChecked(buttons[position], index == value);
        } else if (exchange.Dialog().IsItemChecked(buttons[position])) {
            value = index;
        }
    }
    if (exchange.Saving() && std::none_of(buttons.begin(), buttons.end(), [&](int id) {
            return exchange.Dialog().IsItemChecked(id);
        })) {
        value = -1;
    }
}

}  // namespace dlg
