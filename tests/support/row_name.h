#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace support {

// Names a case of a table after its row's name: letters and digits kept, anything else '_'.
struct RowName {
    template <class Info>
    std::string operator()(const Info& info) const {
        std::string name = info.param.name;
        std::replace_if(
            name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c) == 0; }, '_');
        return name;
    }
};

}  // namespace support
