#include <array>
#include <benchmark/benchmark.h>

#include "core/fee_schedule.h"
#include "core/net_profit.h"

namespace trellan {
namespace {

void BM_CalculateNetProfit(benchmark::State& state) {
    TradeEntry entry{37.79, 200, 42.12, 0.0, FIRST_EXCHANGE};
    const FeeSchedule schedule;
    for (auto _ : state) {
        benchmark::DoNotOptimize(entry);
        benchmark::DoNotOptimize(CalculateNetProfit(entry, schedule));
    }
}
BENCHMARK(BM_CalculateNetProfit);

void BM_FormatRateSummary(benchmark::State& state) {
    FeeSchedule schedule;
    std::array<char, SUMMARY_BUFFER_SIZE> buffer{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(schedule);
        FormatRateSummary(schedule, buffer);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_FormatRateSummary);

}  // namespace
}  // namespace trellan
