#include "app/command_line.h"

#include <string_view>

#include "res/version.h"

#include "ui/framework/user_language.h"

namespace {

constexpr int EXIT_USAGE = 2;

constexpr std::string_view VERSION = TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT "\n";
constexpr std::string_view HELP_ENGLISH =
    "Usage: trellan [--help | --version]\n"
    "Opens a window that works out the net result of a round-trip share trade after its fees.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";
constexpr std::string_view HELP_CHINESE =
    "用法：trellan [--help | --version]\n"
    "打开一个窗口，计算一次股票买卖扣除费用后的净盈亏。\n"
    "\n"
    "  --help     显示本帮助并退出\n"
    "  --version  显示版本并退出\n";

}  // namespace

std::optional<int> AnswerCommandLine(std::span<char* const> arguments, std::FILE* out,
                                     std::FILE* err) {
    if (arguments.size() <= 1) {
        return std::nullopt;
    }
    const bool chinese = dlg::UserReadsChinese();
    const std::string_view first = arguments[1];
    if (arguments.size() == 2 && (first == "--help" || first == "--version")) {
        const std::string_view help = chinese ? HELP_CHINESE : HELP_ENGLISH;
        const std::string_view answer = first == "--version" ? VERSION : help;
        // An answer that could not be written all (a full disk, a closed pipe) is a failure.
        const bool written = std::fwrite(answer.data(), 1, answer.size(), out) == answer.size();
        return written && std::fflush(out) == 0 ? 0 : 1;
    }
    const std::string_view refused =
        first == "--help" || first == "--version" ? arguments[2] : first;
    (void)std::fprintf(err,
                       chinese
                           ? "trellan：未知选项“%.*s”（trellan --help 列出可用的选项）\n"
                           : "trellan: unknown option '%.*s' (trellan --help lists the options)\n",
                       static_cast<int>(refused.size()), refused.data());
    return EXIT_USAGE;
}
