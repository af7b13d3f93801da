#pragma once

#include "core/fee_schedule.h"

namespace support {

// Rates per mille, as a user types them into the fee rate dialog.
inline trellan::PerMilleRates Rates(double commission, double stampDuty, double transfer) {
    return {trellan::PerMille{commission}, trellan::PerMille{stampDuty},
            trellan::PerMille{transfer}};
}

}  // namespace support
