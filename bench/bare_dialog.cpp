// The yardstick: a plain Qt dialog with the calculator's controls, built by hand.
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "res/version.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral(TRELLAN_PRODUCT_NAME " " TRELLAN_VERSION_TEXT));
    dialog.setFixedSize(243, 233);
    auto* frame = new QGroupBox(&dialog);
    frame->setGeometry(9, 11, 224, 186);
    int y = 20;
    for (const char* label :
         {"证 交 所：", "尺料价格：", "数    量：", "用 材 码：", "成    本："}) {
        (new QLabel(QString::fromUtf8(label), &dialog))->move(35, y);
        (new QLineEdit(&dialog))->setGeometry(111, y, 100, 18);
        y += 27;
    }
    (new QRadioButton(QStringLiteral("平面"), &dialog))->move(111, 200);
    (new QRadioButton(QStringLiteral("立体"), &dialog))->move(165, 200);
    (new QPushButton(QStringLiteral("计  算"), &dialog))->setGeometry(38, 160, 75, 24);
    (new QPushButton(QStringLiteral("关于.."), &dialog))->setGeometry(135, 160, 75, 23);
    (new QPushButton(QStringLiteral("*"), &dialog))->setGeometry(216, 203, 17, 15);
    (new QLabel(QStringLiteral("佣金1.50‰,花税1.00‰,过户费1.00‰"), &dialog))->move(9, 204);
    return dialog.exec();
}
