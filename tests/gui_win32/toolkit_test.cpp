#include "ui/framework/toolkit.h"

#include <float.h>
#include <gtest/gtest.h>

namespace {

// The program's start-up sets the x87 unit to round to double, whatever it was before.
TEST(Toolkit, SetsTheX87PrecisionTo53Bits) {
    _controlfp(_PC_64, _MCW_PC);
    ASSERT_EQ(_controlfp(0, 0) & _MCW_PC, static_cast<unsigned>(_PC_64));
    int argc = 0;
    char* argv[] = {nullptr};
    const dlg::Toolkit toolkit(argc, argv);
    EXPECT_EQ(_controlfp(0, 0) & _MCW_PC, static_cast<unsigned>(_PC_53));
}

}  // namespace
