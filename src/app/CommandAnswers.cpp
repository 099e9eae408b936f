#include "app/CommandAnswers.h"

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "netcore/NetCore.h"
#include "support/SupportUtils.h"

namespace tarnwick {

namespace {

constexpr char16_t BoxCaption[] = u"Tarnwick";

int AnswerStatus(const TCommand&, const TAnswerPlatforms& Platforms) {
    const bool on = IsInternetActive(Platforms.Devices, ReadKeepList(Platforms.Registry));
    Platforms.Console.WriteLine(on ? u"on" : u"off");
    return on ? ecDone : ecInternetOff;
}

// One line per adapter Device Manager shows, its fields apart by tabs so that a script can split them.
int AnswerList(const TCommand&, const TAnswerPlatforms& Platforms) {
    const TKeepList keep = ReadKeepList(Platforms.Registry);
    for (const auto& adapter : GetNetAdapters(Platforms.Devices)) {
        const std::u16string name(adapter->VendorName().empty() ? adapter->DEVICEDESC()
                                                                : adapter->VendorName());
        const std::uint32_t problem = adapter->ulProblemNumber();
        const std::u16string state =
            problem == 0 ? u"on" : FormatText(u"off (problem %u)", {std::uint64_t(problem)});
        Platforms.Console.WriteLine(name + u"\t" + std::u16string(adapter->PnPName()) + u"\t" + state +
                                    u"\t" + (keep.Keeps(*adapter) ? u"kept" : u"not kept"));
    }
    return ecDone;
}

using TAnswerHandler = int (*)(const TCommand&, const TAnswerPlatforms&);

struct TAnswerRow {
    TActionVerb Action;
    TAnswerHandler Handler;
};

constexpr TAnswerRow AnswerTable[] = {
    {TActionVerb::avStatus, AnswerStatus},
    {TActionVerb::avList, AnswerList},
};

} // namespace

void Tell(const TAnswerPlatforms& Platforms, const std::u16string& Text, std::uint32_t BoxStyle) {
    if (Platforms.Console.Available()) {
        Platforms.Console.WriteLine(Text);
    } else {
        Platforms.Windows.MessageBoxW(0, Text, BoxCaption, BoxStyle);
    }
}

std::optional<int> AnswerWithoutTray(const TCommand& Command, const TAnswerPlatforms& Platforms) {
    if (Command.Help) {
        Tell(Platforms, UsageText(), MB_OK);
        return ecDone;
    }
    if (Command.Refused()) {
        if (!Command.AnsweredWithoutTray()) {
            return std::nullopt; // shown by the tray instance, which stays
        }
        Tell(Platforms, Command.Error + u"\r\ntarnwick.exe -help shows the usage.", MB_OK | MB_ICONWARNING);
        return ecBadArguments;
    }
    if (Command.UnsubscribeOnStartup) {
        SetStartupEntry(Platforms.Registry, StartupValueName, u"", {.Remove = true});
        if (Command.Action == TActionVerb::avNone) {
            return ecDone;
        }
    }
    for (const TAnswerRow& row : AnswerTable) {
        if (row.Action == Command.Action) {
            return row.Handler(Command, Platforms);
        }
    }
    return std::nullopt;
}

} // namespace tarnwick
