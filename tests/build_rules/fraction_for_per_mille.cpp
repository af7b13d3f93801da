// A fraction where a rate per mille belongs does not build: the schedule's rates go through
// ToPerMille first.
#include "settings/settings_file.h"

bool SaveFractions(const trellan::FeeSchedule& schedule) {
    const trellan::PerMilleRates rates{schedule.commissionRate, schedule.stampDutyRate,
                                       schedule.transferRate};
    return trellan::SaveFeeSchedule("Set.ini", rates);
}
