#include "app/CommandAnswers.h"

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "netcore/NetAdapterWalk.h"
#include "netcore/NetCore.h"
#include "support/SupportUtils.h"

namespace tarnwick {

namespace {

constexpr char16_t BoxCaption[] = u"Tarnwick";

// Says in words that there is nothing to tell of, or that the adapters could not be listed.
constexpr char16_t NoAdapterAnswer[] =
    u"No network adapter to switch: Device Manager shows none that is not kept and can be disabled.";

int AnswerStatus(const TCommand&, const TAnswerPlatforms& Platforms) {
    switch (InternetState(Platforms.Devices, ReadKeepList(Platforms.Registry))) {
    case TInternetState::On:
        Platforms.Console.WriteLine(u"on");
        return ecDone;
    case TInternetState::Off:
        Platforms.Console.WriteLine(u"off");
        return ecInternetOff;
    case TInternetState::NoAdapter:
        break;
    }
    Platforms.Console.WriteLine(NoAdapterAnswer);
    return ecNoAdapter;
}

// A field of "list" as one field of one line: tabs and line breaks (and the other control characters) in
// a name are written as escapes, so that a script still splits every line into its five fields.
std::u16string ListField(std::u16string_view Text) {
    std::u16string field;
    for (const char16_t c : Text) {
        if (c == u'\t') {
            field += u"\\t";
        } else if (c == u'\r') {
            field += u"\\r";
        } else if (c == u'\n') {
            field += u"\\n";
        } else if (c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029) {
            constexpr char16_t Hex[] = u"0123456789ABCDEF";
            field += u"\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                field += Hex[(c >> shift) & 0xF];
            }
        } else {
            field += c;
        }
    }
    return field;
}

// One line per adapter Device Manager shows, its fields apart by tabs so that a script can split them:
// name, instance ID, state, kept, and whether Windows lets it be disabled.
int AnswerList(const TCommand&, const TAnswerPlatforms& Platforms) {
    const TKeepList keep = ReadKeepList(Platforms.Registry);
    const TPhysicalDeviceList adapters = GetNetAdapters(Platforms.Devices);
    if (adapters.Empty()) {
        Platforms.Console.WriteLine(u"No network adapter is shown in Device Manager.");
        return ecNoAdapter;
    }
    for (const auto& adapter : adapters) {
        const std::uint32_t problem = adapter->ulProblemNumber();
        const std::u16string state =
            problem == 0 ? u"on" : FormatText(u"off (problem %u)", {std::uint64_t(problem)});
        Platforms.Console.WriteLine(
            ListField(AdapterDisplayName(*adapter)) + u"\t" + ListField(adapter->PnPName()) + u"\t" + state +
            u"\t" + (keep.Keeps(*adapter) ? u"kept" : u"not kept") + u"\t" +
            (adapter->DN_DISABLEABLE_Flag() ? u"can be disabled" : u"cannot be disabled"));
    }
    return ecDone;
}

// An answer that cannot list the adapters says why, and ends with its own exit code.
template <int (*Answer)(const TCommand&, const TAnswerPlatforms&)>
int Guarded(const TCommand& Command, const TAnswerPlatforms& Platforms) {
    try {
        return Answer(Command, Platforms);
    } catch (const EAdapterListFailed& error) {
        Tell(Platforms, error.Message(), MB_OK | MB_ICONSTOP);
        return ecAdapterListFailed;
    }
}

using TAnswerHandler = int (*)(const TCommand&, const TAnswerPlatforms&);

struct TAnswerRow {
    TActionVerb Action;
    TAnswerHandler Handler;
};

constexpr TAnswerRow AnswerTable[] = {
    {TActionVerb::avStatus, Guarded<AnswerStatus>},
    {TActionVerb::avList, Guarded<AnswerList>},
};

} // namespace

void Tell(const TAnswerPlatforms& Platforms, const std::u16string& Text, std::uint32_t BoxStyle) {
    if (!Platforms.Console.Tell(Text)) {
        Platforms.Windows.MessageBoxW(0, Text, BoxCaption, BoxStyle);
    }
}

std::optional<int> AnswerWithoutTray(const TCommand& Command, const TAnswerPlatforms& Platforms) {
    if (Command.Help) {
        Tell(Platforms, UsageText(), MB_OK);
        return ecDone;
    }
    if (Command.Refused()) {
        Tell(Platforms, Command.Error + u"\r\ntarnwick.exe -help shows the usage.", MB_OK | MB_ICONWARNING);
        return ecBadArguments;
    }
    if (Command.Version) {
        Tell(Platforms, VersionText(), MB_OK);
        return ecDone;
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
