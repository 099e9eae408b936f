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

// A field of "list" as one field of one line: tabs and line breaks (and the other control characters) in
// a name are written as escapes, so that a script still splits every line into its four fields.
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

// One line per adapter Device Manager shows, its fields apart by tabs so that a script can split them.
int AnswerList(const TCommand&, const TAnswerPlatforms& Platforms) {
    const TKeepList keep = ReadKeepList(Platforms.Registry);
    for (const auto& adapter : GetNetAdapters(Platforms.Devices)) {
        const std::u16string name(adapter->VendorName().empty() ? adapter->DEVICEDESC()
                                                                : adapter->VendorName());
        const std::uint32_t problem = adapter->ulProblemNumber();
        const std::u16string state =
            problem == 0 ? u"on" : FormatText(u"off (problem %u)", {std::uint64_t(problem)});
        Platforms.Console.WriteLine(ListField(name) + u"\t" + ListField(adapter->PnPName()) + u"\t" + state +
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
