#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "settings/settings_file.h"

namespace trellan {
namespace {

// A typical file as Windows writes it, in a directory of its own.
class SettingsDir {
  public:
    SettingsDir() {
        std::string pattern = "/tmp/trellan-bench-XXXXXX";
        m_dir = ::mkdtemp(pattern.data()) != nullptr ? pattern : "/tmp";
        m_file = m_dir + "/Set.ini";
        std::ofstream(m_file, std::ios::binary)
            << "[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\n";
    }
    ~SettingsDir() {
        ::unlink(m_file.c_str());
        ::rmdir(m_dir.c_str());
    }
    SettingsDir(const SettingsDir&) = delete;
    SettingsDir& operator=(const SettingsDir&) = delete;

    const char* File() const { return m_file.c_str(); }

  private:
    std::string m_dir;
    std::string m_file;
};

void BM_LoadFeeSchedule(benchmark::State& state) {
    const SettingsDir dir;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadFeeSchedule(dir.File()));
    }
}
BENCHMARK(BM_LoadFeeSchedule);

// Each save syncs the file to disk, so this measures the disk as much as the code.
void BM_SaveFeeSchedule(benchmark::State& state) {
    const SettingsDir dir;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SaveFeeSchedule(dir.File(), ToPerMille(FeeSchedule{})));
    }
}
BENCHMARK(BM_SaveFeeSchedule)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trellan
