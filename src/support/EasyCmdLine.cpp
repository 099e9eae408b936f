#include "support/EasyCmdLine.h"

#include "core/Text.h"

namespace tarnwick {

namespace {

// Blanks and control characters separate arguments; NUL ends the command line.
constexpr bool IsSeparator(char16_t c) noexcept {
    return c != 0 && c <= u' ';
}

} // namespace

TArguments SplitCommandLine(std::u16string_view CommandLine) {
    TArguments arguments;
    const std::u16string_view line = CommandLine.substr(0, CommandLine.find(u'\0'));
    std::size_t pos = 0;
    for (;;) {
        for (;;) {
            while (pos < line.size() && IsSeparator(line[pos])) {
                ++pos;
            }
            if (pos + 1 < line.size() && line[pos] == u'"' && line[pos + 1] == u'"') {
                pos += 2;
            } else {
                break;
            }
        }
        if (pos >= line.size()) {
            break;
        }
        std::u16string argument;
        while (pos < line.size() && !IsSeparator(line[pos])) {
            if (line[pos] == u'"') {
                ++pos;
                while (pos < line.size() && line[pos] != u'"') {
                    argument += line[pos++];
                }
                if (pos < line.size()) {
                    ++pos; // the closing quote
                }
            } else {
                argument += line[pos++];
            }
        }
        if (argument.empty()) {
            break; // the runtime stops counting at an empty argument (a lone quote at the end)
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

TArguments ProcessArguments(ISystemPlatform& System) {
    return SplitCommandLine(System.GetCommandLineW());
}

bool IsSwitchLike(std::u16string_view Argument) noexcept {
    if (Argument.empty() || (Argument.front() != u'/' && Argument.front() != u'-')) {
        return false;
    }
    return !(Argument.front() == u'-' && Argument.size() > 1 && Argument[1] >= u'0' && Argument[1] <= u'9');
}

bool GetSwitchValues(std::span<const std::u16string> Arguments, std::u16string_view Name,
                     std::vector<std::u16string>& Values) {
    bool found = false;
    for (std::size_t i = 1; i < Arguments.size(); ++i) {
        const std::u16string& argument = Arguments[i];
        if (found) {
            if (IsSwitchLike(argument)) {
                break;
            }
            Values.push_back(argument);
        } else if (argument.size() == Name.size() + 1 && IsSwitchLike(argument) &&
                   SameTextAscii(std::u16string_view(argument).substr(1), Name)) {
            found = true;
        }
    }
    return found;
}

bool SwitchPresent(std::span<const std::u16string> Arguments, std::u16string_view Name) {
    std::vector<std::u16string> values;
    return GetSwitchValues(Arguments, Name, values);
}

bool GetSwitchValues(ISystemPlatform& System, std::u16string_view Name, std::vector<std::u16string>& Values) {
    return GetSwitchValues(ProcessArguments(System), Name, Values);
}

bool SwitchPresent(ISystemPlatform& System, std::u16string_view Name) {
    return SwitchPresent(ProcessArguments(System), Name);
}

} // namespace tarnwick
