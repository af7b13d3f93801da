#pragma once

#include <array>

// What a user types into the calculator window and what it then shows, shared by the tests of
// every window backend.
namespace gui {

struct CalculationCase {
    const char* name;
    const char* buy;
    const char* quantity;
    const char* sell;
    bool secondExchange;
    const char* result;  // the text of the result field after Calculate
};

inline constexpr std::array<CalculationCase, 8> CALCULATIONS{{
    {"at once", "0", "0", "0", false, "-12"},
    {"first exchange", "10", "1000", "11", false, "945.5"},
    {"second exchange", "10", "1000", "11", true, "947.5"},
    {"minimums", "10", "100", "10", false, "-14"},
    {"last bits", "37.79", "200", "42.12", false, "824.045"},
    {"small loss", "23.77", "200", "23.85", false, "-9.80999999999963"},
    {"blanks around", " 10 ", " 1000", "11 ", false, "945.5"},
    {"overflow", "1e308", "-2147483648", "-1e308", true, "-nan"},
}};

}  // namespace gui
