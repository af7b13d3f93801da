#include "res/strings.h"

#include "res/resource_ids.h"

namespace res {

std::string_view LoadResourceString(int id) {
    switch (id) {
        case IDS_ABOUTBOX:
            return "关于 Trellan(&A)...";
        case IDS_DETAILS:
            return "费用明细(&D)...";
        default:
            return {};
    }
}

}  // namespace res
