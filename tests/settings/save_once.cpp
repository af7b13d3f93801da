// One save of the rates, for the tests that stop a save at each of its system calls: exits 0
// when the save reports success, 1 when it reports failure.
#include <cstdlib>

#include "settings/settings_file.h"

#include "support/rates.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const double commission = std::strtod(argv[2], nullptr);
    return trellan::SaveFeeSchedule(argv[1], support::Rates(commission, 1, 1)) ? 0 : 1;
}
