// The shared settings files, read by this build's settings layer: the same table is read by the
// Windows program itself in its own tests.
#include "support/settings_file_cases.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

#include "core/fee_rules.h"

#include "settings/fee_settings.h"

#include "support/row_name.h"
#include "support/temp_dir.h"

namespace {

class SharedSettingsFile : public testing::TestWithParam<support::SettingsFileCase> {};

TEST_P(SharedSettingsFile, GivesTheSummary) {
    const support::SettingsFileCase& row = GetParam();
    const support::TempDir directory;
    const std::string path = directory.File("Set.ini");
    if (row.fileText != nullptr) {
        support::WriteFile(path, row.fileText);
    }
    std::array<char, trellan::SUMMARY_BUFFER_SIZE> summary{};
    trellan::FormatRateSummaryUnder(trellan::LoadFeeSettings(path.c_str()).rates, summary);
    EXPECT_STREQ(summary.data(), row.summary);
}

INSTANTIATE_TEST_SUITE_P(Table, SharedSettingsFile, testing::ValuesIn(support::SETTINGS_FILES),
                         support::RowName{});

}  // namespace
