#pragma once

#include <array>

// Settings files and what the calculator window shows when it starts beside them, shared by the
// tests of every build, so that each build reads the same Set.ini the same way.
namespace support {

struct SettingsFileCase {
    const char* name;
    const char* fileText;      // nullptr: there is no Set.ini
    const char* summary;       // the rates of the rules in force
    double minCommission = 5;  // of today's set, which the summary does not show
    bool has2023Section = false;
    double commissionRate = 0;  // when given: the very rate read, to its last bit
};

inline constexpr std::array<SettingsFileCase, 6> SETTINGS_FILES{{
    {"no file", nullptr, "佣金1.50‰,花税1.00‰,过户费1.00‰"},
    {"as saved", "[SET]\r\nCOMMISION=2.50\r\nSTAMPDUTY=0.50\r\nTRANSFER=0.60\r\n",
     "佣金2.50‰,花税0.50‰,过户费0.60‰"},
    // Read as atof reads them; a RULES other than 2023 keeps the classic rules.
    {"empty, letters, a comma and rules of no year",
     "[SET]\r\nCOMMISION=\r\nSTAMPDUTY=abc\r\nTRANSFER=2,5\r\nRULES=2023.0\r\n\r\n[SET2023]\r\n"
     "MINCOMMISSION=0\r\n",
     "佣金0.00‰,花税0.00‰,过户费2.00‰", 0, true},
    {"today's rules",
     "[SET]\nRULES=2023\n[SET2023]\nCOMMISION=0.3\nSTAMPDUTY=0.6\nTRANSFER=0.02\n"
     "MINCOMMISSION=0.1\n",
     "现行佣0.30‰,印花0.60‰,过户0.02‰", 0.1, true},
    {"today's rules with their defaults", "[SET]\r\nRULES=2023\r\n",
     "现行佣0.25‰,印花0.50‰,过户0.01‰"},
    // Read as value x 0.001: 0.03 / 1000 is another double.
    {"a rate whose last bit tells how it was read", "[SET]\r\nCOMMISION=0.03\r\n",
     "佣金0.03‰,花税1.00‰,过户费1.00‰", 5, false, 0.03 * 0.001},
}};

}  // namespace support
