#include "ui/framework/win_app.h"

int main(int argc, char** argv) {
    return dlg::AfxWinMain(argc, argv);
}
