#pragma once

#include <array>

// Settings files and the rate summary the calculator window shows when it starts beside them,
// shared by the tests of every build, so that each build reads the same Set.ini the same way.
namespace support {

struct SettingsFileCase {
    const char* name;
    const char* fileText;  // nullptr: there is no Set.ini
    const char* summary;
};

inline constexpr std::array<SettingsFileCase, 9> SETTINGS_FILES{{
    {"no file", nullptr, "佣金1.50‰,花税1.00‰,过户费1.00‰"},
    {"as saved", "[SET]\r\nCOMMISION=2.50\r\nSTAMPDUTY=0.50\r\nTRANSFER=0.60\r\n",
     "佣金2.50‰,花税0.50‰,过户费0.60‰"},
    {"commission only", "[SET]\r\nCOMMISION=2.5\r\n", "佣金2.50‰,花税1.00‰,过户费1.00‰"},
    {"lower case and line feeds", "[set]\nstampduty=3\n", "佣金1.50‰,花税3.00‰,过户费1.00‰"},
    {"comments, other sections, blanks and quotes",
     "; rates\r\n[OTHER]\r\nTRANSFER=9\r\n[SET]\r\n  COMMISION = \"1.25\"\r\n",
     "佣金1.25‰,花税1.00‰,过户费1.00‰"},
    {"empty, letters and a comma", "[SET]\r\nCOMMISION=\r\nSTAMPDUTY=abc\r\nTRANSFER=2,5\r\n",
     "佣金0.00‰,花税0.00‰,过户费2.00‰"},
    {"both rule sets, the classic in force",
     "[SET]\r\nCOMMISION=2.00\r\n\r\n[SET2023]\r\nCOMMISION=0.30\r\nMINCOMMISSION=0\r\n",
     "佣金2.00‰,花税1.00‰,过户费1.00‰"},
    {"today's rules", "[SET]\r\nRULES=2023\r\n\r\n[SET2023]\r\nCOMMISION=0.3\r\n",
     "现行佣0.30‰,印花0.50‰,过户0.01‰"},
    {"rules of another year", "[SET]\r\nRULES=2024\r\n", "佣金1.50‰,花税1.00‰,过户费1.00‰"},
}};

}  // namespace support
