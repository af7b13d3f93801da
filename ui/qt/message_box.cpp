#include "ui/qt/message_box.h"

#include <QMessageBox>

#include "res/version.h"

#include "ui/qt/qt_resources.h"
#include "ui/qt/title_bar.h"

namespace dlg::qt {

void ShowDialogMessage(QWidget& owner, std::string_view text) {
    QMessageBox message(QMessageBox::Warning, QStringLiteral(TRELLAN_PRODUCT_NAME), ToQString(text),
                        QMessageBox::NoButton, &owner);
    message.setObjectName(QStringLiteral("dialogMessage"));
    message.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    AddTitleBarWhereNeeded(message);
    message.exec();
}

}  // namespace dlg::qt
