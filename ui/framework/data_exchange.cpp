#include "ui/framework/data_exchange.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "core/number_text.h"

#include "ui/framework/dialog.h"

namespace dlg {

void CDataExchange::Fail(int id, std::string_view takes) {
    m_failedId = id;
    const std::string name = m_dialog.ItemName(id);
    m_dialog.ShowMessage(name.empty() ? std::string(takes) : name + "：" + std::string(takes));
    m_dialog.FocusItem(id);
}

namespace {

// One text field as a number: shown in its text form, read back whole or refused with what the
// field takes.
template <class Number, class Format, class Parse>
void ExchangeNumber(CDataExchange& exchange, int id, Number& value, Format format, Parse parse,
                    std::string_view takes) {
    if (exchange.Failed()) {
        return;
    }
    if (!exchange.Saving()) {
        exchange.Dialog().SetItemText(id, format(value));
        return;
    }
    const std::optional<Number> read =
        parse(trellan::PlainNumberText(exchange.Dialog().GetItemText(id)));
    if (!read) {
        exchange.Fail(id, takes);
        return;
    }
    value = *read;
}

std::string DoubleText(double number) {
    return std::string(trellan::FormatGeneral15(number).View());
}

std::optional<double> ReadDouble(std::string_view text, double least) {
    const std::optional<double> read = trellan::ParseDouble(text);
    if (!read || !std::isfinite(*read) || !(*read >= least)) {
        return std::nullopt;
    }
    return read;
}

std::string DoubleTakes(double least, std::string_view orElse = {}) {
    return "请输入一个不小于 " + std::string(trellan::FormatShortest(least).View()) + " 的数字" +
           std::string(orElse) + "。";
}

}  // namespace

void DDX_Text(CDataExchange& exchange, int id, double& value, double least) {
    ExchangeNumber(
        exchange, id, value, DoubleText,
        [least](std::string_view text) { return ReadDouble(text, least); }, DoubleTakes(least));
}

void DDX_Text(CDataExchange& exchange, int id, std::optional<double>& value, double least) {
    using MaybeDouble = std::optional<double>;
    ExchangeNumber(
        exchange, id, value,
        [](const MaybeDouble& number) { return number ? DoubleText(*number) : std::string(); },
        [least](std::string_view text) -> std::optional<MaybeDouble> {
            if (text.find_first_not_of(" \t") == std::string_view::npos) {
                return MaybeDouble{};
            }
            const MaybeDouble read = ReadDouble(text, least);
            return read ? std::optional<MaybeDouble>(read) : std::nullopt;
        },
        DoubleTakes(least, "，或留空"));
}

void DDX_Text(CDataExchange& exchange, int id, std::int32_t& value, std::int32_t least) {
    ExchangeNumber(
        exchange, id, value, [](std::int32_t number) { return std::to_string(number); },
        [least](std::string_view text) -> std::optional<std::int32_t> {
            const std::optional<std::int32_t> read = trellan::ParseInt32(text);
            return read && *read >= least ? read : std::nullopt;
        },
        "请输入 " + std::to_string(least) + " 到 " +
            std::to_string(std::numeric_limits<std::int32_t>::max()) + " 之间的整数。");
}

std::optional<double> ReadDoubleText(std::string_view typed, double least) {
    return ReadDouble(trellan::PlainNumberText(typed), least);
}

double DoubleAsShown(double value) {
    return ReadDouble(DoubleText(value), -HUGE_VAL).value_or(value);
}

void DDX_Shown(const CDataExchange& exchange, int id, std::string_view text) {
    if (!exchange.Saving()) {
        exchange.Dialog().SetItemText(id, text);
    }
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
