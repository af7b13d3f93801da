#pragma once

#include <cctype>
#include <string>

namespace support {

// Names a case of a table after its row's name: letters and digits kept, anything else '_'.
struct RowName {
    template <class Info>
    std::string operator()(const Info& info) const {
        std::string name = info.param.name;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
        }
        return name;
    }
};

}  // namespace support
