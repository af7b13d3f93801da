#include "ui/framework/message_map.h"

namespace dlg {
namespace {

bool Matches(const MessageMapEntry& entry, unsigned message, WParam wParam) {
    if (entry.message != message) {
        return false;
    }
    return message != WM_COMMAND_MESSAGE ||
           (entry.id == CommandId(wParam) && entry.code == CommandCode(wParam));
}

}  // namespace

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMap map{nullptr, {}};
    return &map;
}

bool CCmdTarget::OnWndMsg(unsigned message, WParam wParam, LParam lParam, LResult& result) {
    for (const MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->base != nullptr ? map->base() : nullptr) {
        for (const MessageMapEntry& entry : map->entries) {
            if (!Matches(entry, message, wParam)) {
                continue;
            }
            result = 0;
            if (entry.onSysCommand != nullptr) {
                (this->*entry.onSysCommand)(static_cast<unsigned>(wParam), lParam);
            } else if (entry.onQueryIcon != nullptr) {
                result = reinterpret_cast<LResult>((this->*entry.onQueryIcon)());
            } else {
                (this->*entry.onVoid)();
            }
            return true;
        }
    }
    return false;
}

}  // namespace dlg
