// Any UTF-16 command line and switch name through the runtime-style splitter and the switch search.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/EasyCmdLine.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::u16string TakeUtf16(const std::uint8_t*& data, std::size_t& size, std::size_t units) {
    std::u16string text;
    while (units-- > 0 && size >= 2) {
        text += char16_t(data[0] | (data[1] << 8));
        data += 2;
        size -= 2;
    }
    return text;
}

} // namespace

using tarnwick::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t nameLength = data[0] % 16;
    ++data;
    --size;
    const std::u16string name = TakeUtf16(data, size, nameLength);
    const std::u16string line = TakeUtf16(data, size, size / 2);

    const tarnwick::TArguments arguments = tarnwick::SplitCommandLine(line);
    for (const auto& argument : arguments) {
        Check(!argument.empty());
        Check(argument.find(u'\0') == std::u16string::npos);
    }
    std::vector<std::u16string> values{u"kept"};
    const bool found = tarnwick::GetSwitchValues(arguments, name, values);
    Check(found == tarnwick::SwitchPresent(arguments, name));
    Check(values.front() == u"kept");
    Check(found || values.size() == 1);
    Check(values.size() <= 1 + (arguments.size() > 2 ? arguments.size() - 2 : 0));
    for (std::size_t i = 1; i < values.size(); ++i) {
        Check(!tarnwick::IsSwitchLike(values[i]));
    }
    return 0;
}
