#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include <QApplication>

#include "ui/framework/toolkit.h"
#include "ui/framework/user_language.h"
#include "ui/qt/qt_resources.h"

namespace dlg {
namespace {

// What Qt says while it looks for a display is held back: when it finds none, the user gets one
// line and exit code 1 instead of Qt's abort and its advice to reinstall; when it finds one,
// its messages go out as usual.
std::vector<std::pair<QtMsgType, QString>> heldMessages;

void HoldWhileConnecting(QtMsgType type, const QMessageLogContext& /*context*/,
                         const QString& message) {
    if (type != QtFatalMsg) {
        heldMessages.emplace_back(type, message);
        return;
    }
    (void)std::fputs(UserReadsChinese()
                         ? "trellan：没有可以显示窗口的屏幕：请在 X11 或 Wayland 桌面会话中启动"
                           "（DISPLAY 或 WAYLAND_DISPLAY）\n"
                         : "trellan: no display to show the window on: start it in an X11 or "
                           "Wayland session (DISPLAY or WAYLAND_DISPLAY)\n",
                     stderr);
    std::_Exit(1);
}

QApplication* ConnectToDisplay(int& argc, char** argv) {
    const QtMessageHandler previous = qInstallMessageHandler(&HoldWhileConnecting);
    auto* application = new QApplication(argc, argv);
    qInstallMessageHandler(previous);
    for (const auto& [type, text] : heldMessages) {
        qt_message_output(type, QMessageLogContext(), text);
    }
    heldMessages.clear();
    return application;
}

}  // namespace

struct Toolkit::State {
    State(int& argc, char** argv) : application(ConnectToDisplay(argc, argv)) {}
    std::unique_ptr<QApplication> application;
};

Toolkit::Toolkit(int& argc, char** argv) : m_state(std::make_unique<State>(argc, argv)) {
    qt::ConfigureApplication();
}

Toolkit::~Toolkit() = default;

}  // namespace dlg
