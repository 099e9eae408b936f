// Any command line through the one parse: the command read must be consistent with itself and with the
// usage it promises, and a refused one must say why.

#include <cstddef>
#include <cstdint>
#include <string>

#include "command/Command.h"
#include "core/Text.h"
#include "support/EasyCmdLine.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// The switches and words the parse knows, so that the fuzzer reaches the deep rules quickly.
constexpr const char16_t* Words[] = {u"-action",
                                     u"/action",
                                     u"turnon",
                                     u"turnoff",
                                     u"status",
                                     u"list",
                                     u"-exit",
                                     u"-elevation",
                                     u"-subscribeonstartup",
                                     u"-unsubscribeonstartup",
                                     u"-help",
                                     u"/?",
                                     u"15",
                                     u"35791",
                                     u"35792",
                                     u"0"};

} // namespace

using tarnwick::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string line = u"tarnwick.exe";
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t kind = data[i];
        if (kind < 0x40) {
            line += u' ';
            line += Words[data[i + 1] % std::size(Words)];
        } else {
            line += char16_t(data[i + 1] | ((kind & 0x3F) << 8));
        }
    }
    const tarnwick::TArguments arguments = tarnwick::SplitCommandLine(line);
    const tarnwick::TCommand command =
        tarnwick::ParseCommand(arguments, [](const std::u16string& a, const std::u16string& b) {
            return tarnwick::SameTextAscii(a, b);
        });
    Check(command.Minutes >= 0 && command.Minutes <= tarnwick::MaxLimitedMinutes);
    Check(command.Minutes == 0 || command.Action == tarnwick::TActionVerb::avTurnOn ||
          command.Action == tarnwick::TActionVerb::avTurnOff);
    Check(!(command.SubscribeOnStartup && command.UnsubscribeOnStartup) || command.Refused());
    // Every argument that is not a known switch or a value of "-action" is refused.
    bool stray = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!tarnwick::IsSwitchLike(arguments[i]) && i == 1) {
            stray = true;
        }
    }
    Check(!stray || command.Refused());
    // The same arguments read the same way twice.
    const tarnwick::TCommand again =
        tarnwick::ParseCommand(arguments, [](const std::u16string& a, const std::u16string& b) {
            return tarnwick::SameTextAscii(a, b);
        });
    Check(again.Error == command.Error && again.Action == command.Action &&
          again.Minutes == command.Minutes && again.Exit == command.Exit && again.Help == command.Help);
    return 0;
}
