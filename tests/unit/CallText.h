#pragma once
// How the unit tests' platform doubles write a call they record: "Name(arg,...)".

#include <initializer_list>
#include <string>

namespace tarnwick::test {

inline std::string CallText(const std::string& Name, std::initializer_list<long long> Args) {
    std::string text = Name + "(";
    bool first = true;
    for (long long a : Args) {
        if (!first) {
            text += ',';
        }
        text += std::to_string(a);
        first = false;
    }
    return text + ")";
}

} // namespace tarnwick::test
