#include <csignal>

#include "ui/framework/win_app.h"

#include "app/command_line.h"

int main(int argc, char** argv) {
    // A Windows program has no console to answer on: it opens whatever it is given.
#ifndef _WIN32
    // A size limit met while saving is a failed save the user is told of, not the program's end.
    (void)std::signal(SIGXFSZ, SIG_IGN);
    if (const std::optional<int> answered =
            AnswerCommandLine({argv, static_cast<std::size_t>(argc)}, stdout, stderr)) {
        return *answered;
    }
#endif
    return dlg::AfxWinMain(argc, argv);
}
