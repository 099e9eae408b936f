#include "app/CommandAnswers.h"

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "netcore/NetCore.h"
#include "support/SupportUtils.h"

namespace tarnwick {

namespace {

constexpr char16_t BoxCaption[] = u"Tarnwick";

int AnswerStatus(const TCommand&, const TAnswerServices& Services) {
    const bool on = IsInternetActive(Services.Devices, ReadKeepList(Services.Registry));
    Services.Console.WriteLine(on ? u"on" : u"off");
    return on ? ecDone : ecInternetOff;
}

// One line per adapter Device Manager shows, its fields apart by tabs so that a script can split them.
int AnswerList(const TCommand&, const TAnswerServices& Services) {
    const TKeepList keep = ReadKeepList(Services.Registry);
    for (const auto& adapter : GetNetAdapters(Services.Devices)) {
        const std::u16string name(adapter->VendorName().empty() ? adapter->DEVICEDESC()
                                                                : adapter->VendorName());
        const std::uint32_t problem = adapter->ulProblemNumber();
        const std::u16string state =
            problem == 0 ? u"on" : FormatText(u"off (problem %u)", {std::uint64_t(problem)});
        Services.Console.WriteLine(name + u"\t" + std::u16string(adapter->PnPName()) + u"\t" + state + u"\t" +
                                   (keep.Keeps(*adapter) ? u"kept" : u"not kept"));
    }
    return ecDone;
}

using TAnswerHandler = int (*)(const TCommand&, const TAnswerServices&);

struct TAnswerRow {
    TActionVerb Action;
    TAnswerHandler Handler;
};

constexpr TAnswerRow AnswerTable[] = {
    {TActionVerb::avStatus, AnswerStatus},
    {TActionVerb::avList, AnswerList},
};

} // namespace

void Tell(const TAnswerServices& Services, const std::u16string& Text, std::uint32_t BoxStyle) {
    if (Services.Console.Available()) {
        Services.Console.WriteLine(Text);
    } else {
        Services.Windows.MessageBoxW(0, Text, BoxCaption, BoxStyle);
    }
}

std::optional<int> AnswerWithoutTray(const TCommand& Command, const TAnswerServices& Services) {
    if (Command.Help) {
        Tell(Services, UsageText(), MB_OK);
        return ecDone;
    }
    if (Command.Refused()) {
        if (!Command.AnsweredWithoutTray()) {
            return std::nullopt; // shown by the tray instance, which stays
        }
        Tell(Services, Command.Error + u"\r\ntarnwick.exe -help shows the usage.", MB_OK | MB_ICONWARNING);
        return ecBadArguments;
    }
    if (Command.UnsubscribeOnStartup) {
        SetStartupEntry(Services.Registry, StartupValueName, u"", {.Remove = true});
        if (Command.Action == TActionVerb::avNone) {
            return ecDone;
        }
    }
    for (const TAnswerRow& row : AnswerTable) {
        if (row.Action == Command.Action) {
            return row.Handler(Command, Services);
        }
    }
    return std::nullopt;
}

} // namespace tarnwick
