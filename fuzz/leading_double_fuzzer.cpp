// The atof-style reader against the C library's strtod in the "C" locale, on every text that the
// two grammars read alike: texts holding 'i', 'n' or 'x' (in any case) are left out, since strtod
// also reads "inf", "nan" and hexadecimal numbers, which atof's grammar does not know.
//
// The process runs in a decimal-comma locale when one is installed, so a reader that followed
// the user's locale would read "1.5" as 1 and be caught.
#include <cerrno>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <string_view>

#include "core/number_text.h"

#include "fuzz_check.h"

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // stays "C" where it is not installed
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find_first_of("iInNxX") != std::string::npos) {
        return 0;
    }
    // strtod stops at the first zero byte; so must the reader, which sees it as a character that
    // does not fit a number.
    const double expected = strtod_l(text.c_str(), nullptr, CLocale());
    const double read = trellan::ParseLeadingDouble(text);
    trellan::fuzzing::Require(trellan::fuzzing::SameBits(read, expected),
                              "ParseLeadingDouble reads as strtod in the C locale");
    return 0;
}
