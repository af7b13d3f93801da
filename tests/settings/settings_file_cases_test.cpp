// The shared settings files, read by this build's settings layer: the same table is read by the
// Windows program itself in its own tests.
#include "gui/settings_file_cases.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

#include "core/fee_rules.h"

#include "settings/fee_settings.h"
#include "settings/temp_dir.h"

namespace {

class SharedSettingsFile : public testing::TestWithParam<gui::SettingsFileCase> {};

TEST_P(SharedSettingsFile, GivesTheSummary) {
    const gui::SettingsFileCase& row = GetParam();
    const trellan::testing_support::TempDir directory;
    const std::string path = directory.File("Set.ini");
    if (row.fileText != nullptr) {
        trellan::testing_support::WriteFile(path, row.fileText);
    }
    std::array<char, trellan::SUMMARY_BUFFER_SIZE> summary{};
    trellan::FormatRateSummaryUnder(trellan::LoadFeeSettings(path.c_str()).rates, summary);
    EXPECT_STREQ(summary.data(), row.summary);
}

INSTANTIATE_TEST_SUITE_P(Table, SharedSettingsFile, testing::ValuesIn(gui::SETTINGS_FILES),
                         [](const testing::TestParamInfo<gui::SettingsFileCase>& param) {
                             std::string name = param.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             }
                             return name;
                         });

}  // namespace
