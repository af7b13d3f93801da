#pragma once

#include <memory>

namespace dlg {

// The window toolkit, from start-up to the end of the program.
class Toolkit {
  public:
    Toolkit(int& argc, char** argv);
    ~Toolkit();
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace dlg
