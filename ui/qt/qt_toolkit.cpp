#include <QApplication>

#include "ui/framework/toolkit.h"
#include "ui/qt/qt_resources.h"

namespace dlg {

struct Toolkit::State {
    State(int& argc, char** argv) : application(argc, argv) {}
    QApplication application;
};

Toolkit::Toolkit(int& argc, char** argv) : m_state(std::make_unique<State>(argc, argv)) {
    qt::ConfigureApplication();
}

Toolkit::~Toolkit() = default;

}  // namespace dlg
