#include "core/trade_details.h"

#include <cmath>

#include "core/number_text.h"

namespace trellan {

double BuyCost(const TradeEntry& entry, const RatesInForce& rates) {
    return static_cast<double>(entry.quantity) * entry.buyPrice +
           SideTotal(FeesUnder(entry, rates).buy);
}

std::optional<double> SellPriceForReturn(const TradeEntry& entry, const RatesInForce& rates,
                                         double targetPercent) {
    if (entry.quantity <= 0) {
        return std::nullopt;
    }
    const double wanted = targetPercent / 100.0 * BuyCost(entry, rates);
    const auto reachedAt = [&entry, &rates, wanted](std::int64_t cents) {
        TradeEntry trial = entry;
        trial.sellPrice = static_cast<double>(cents) / 100.0;
        return NetProfitUnder(trial, rates) >= wanted;
    };
    // The answer lies in [low, high]; high itself stands for "none below the limit".
    std::int64_t low = 0;
    std::int64_t high = SELL_PRICE_CENT_LIMIT;
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (reachedAt(middle)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    if (low == SELL_PRICE_CENT_LIMIT) {
        return std::nullopt;
    }
    return static_cast<double>(low) / 100.0;
}

TradeDetails DescribeTrade(const TradeEntry& entry, const RatesInForce& rates) {
    // The very fees, and the very sums, of which the calculation makes its result.
    const TradeFees fees = FeesUnder(entry, rates);
    TradeDetails details;
    details.buy = fees.buy;
    details.sell = fees.sell;
    details.totalFees = SideTotal(fees.buy) + SideTotal(fees.sell);
    details.gross = GrossGain(entry);
    details.net = NetOfFees(details.gross, fees);
    details.breakEvenPrice = SellPriceForReturn(entry, rates, 0.0);
    const auto shares = static_cast<double>(entry.quantity);
    const double cost = BuyCost(entry, rates);
    const double percent = details.net / cost * 100.0;
    if (cost > 0.0 && std::isfinite(percent)) {
        details.returnPercent = percent;
    }
    const double costPrice = cost / shares;
    if (entry.quantity > 0 && std::isfinite(costPrice)) {
        details.costPrice = costPrice;
    }
    const double traded = shares * entry.buyPrice + shares * entry.sellPrice;
    const double feeRate = details.totalFees / traded * 1000.0;
    if (traded > 0.0 && std::isfinite(feeRate)) {
        details.feeRatePerMille = feeRate;
    }
    return details;
}

bool FeesAddUpAsShown(const TradeDetails& details) {
    std::int64_t sum = 0;
    for (const double fee :
         {details.buy.commission, details.buy.stampDuty, details.buy.transferFee,
          details.sell.commission, details.sell.stampDuty, details.sell.transferFee}) {
        const std::optional<std::int64_t> cents = MoneyCents(fee);
        if (!cents) {
            return false;
        }
        sum += *cents;
    }
    return MoneyCents(details.totalFees) == sum;
}

}  // namespace trellan
