#include "command/Command.h"

#include <vector>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "support/EasyCmdLine.h"

namespace tarnwick {

namespace {

struct TSwitchRule {
    const char16_t* Name;
    bool TCommand::*Flag; // null: the action switch, which takes values
    const char16_t* Shown;
    const char16_t* Meaning;
};

constexpr char16_t ActionSwitch[] = u"action";

// "help", "h" and "?" are one switch with one line of usage: the first of them carries it.
constexpr TSwitchRule SwitchRules[] = {
    {ActionSwitch, nullptr, nullptr, nullptr},
    {u"exit", &TCommand::Exit, u"-exit",
     u"Carry out the action and end with its exit code; do not stay in the tray."},
    {u"elevation", &TCommand::Elevation, u"-elevation",
     u"Switch with this start's own rights (given to the elevated copy)."},
    {u"subscribeonstartup", &TCommand::SubscribeOnStartup, u"-subscribeonstartup",
     u"Start with Windows for the current user, and end."},
    {u"unsubscribeonstartup", &TCommand::UnsubscribeOnStartup, u"-unsubscribeonstartup",
     u"No longer start with Windows, and end."},
    {u"version", &TCommand::Version, u"-version", u"Print the version, and end."},
    {u"uninstall", &TCommand::Uninstall, u"-uninstall",
     u"End a pending pause (internet on), remove the scheduled ends, and end."},
    {u"quit", &TCommand::Quit, u"-quit",
     u"End the Tarnwick started from this file (a copy elsewhere stays), and end."},
    {u"help", &TCommand::Help, u"-help, -h, -?, /?", u"Show this text."},
    {u"h", &TCommand::Help, nullptr, nullptr},
    {u"?", &TCommand::Help, nullptr, nullptr},
};

struct TVerbRule {
    const char16_t* Verb;
    TActionVerb Action;
    bool TakesMinutes;
    const char16_t* Shown;
    const char16_t* Meaning;
};

constexpr TVerbRule VerbRules[] = {
    {u"turnoff", TActionVerb::avTurnOff, true, u"-action turnoff [N]",
     u"Turn the internet off; with N, turn it on again after N minutes."},
    {u"turnon", TActionVerb::avTurnOn, true, u"-action turnon [N]",
     u"Turn the internet on; with N, turn it off again after N minutes."},
    {u"status", TActionVerb::avStatus, false, u"-action status",
     u"Print on or off; the exit code is 0 when on, 1 when off."},
    {u"list", TActionVerb::avList, false, u"-action list",
     u"Print each adapter: name, instance ID, on or off (problem code), kept."},
    {u"deadline", TActionVerb::avDeadline, false, u"-action deadline",
     u"Make a recorded end that is due (the scheduled task runs this)."},
};

// "--help" is as usual a spelling of "-help" as "/help" is.
const TSwitchRule* FindSwitch(std::u16string_view Argument) {
    const std::size_t dashes = Argument.starts_with(u"--") ? 2 : 1;
    for (const TSwitchRule& rule : SwitchRules) {
        if (SameTextAscii(Argument.substr(dashes), rule.Name)) {
            return &rule;
        }
    }
    return nullptr;
}

// Only decimal digits: signs, blanks, units and fractions are typing mistakes in a script.
bool IsDigits(std::u16string_view Text) {
    if (Text.empty()) {
        return false;
    }
    for (char16_t c : Text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

// The number of whole minutes, or -1 when it exceeds the largest limit.
std::int64_t MinutesOf(std::u16string_view Digits) {
    std::int64_t value = 0;
    for (char16_t c : Digits) {
        value = value * 10 + (c - u'0');
        if (value > MaxLimitedMinutes) {
            return -1;
        }
    }
    return value;
}

class TCommandReader {
public:
    TCommandReader(std::span<const std::u16string> Arguments, const TSameText& SameText)
        : FArguments(Arguments), FSameText(SameText) {}

    TCommand Read() {
        bool actionSeen = false;
        std::size_t i = 1;
        while (i < FArguments.size()) {
            const std::u16string& argument = FArguments[i];
            std::size_t next = i + 1;
            if (!IsSwitchLike(argument)) {
                Refuse(u"Sorry, this argument is not understood: " + argument);
                i = next;
                continue;
            }
            std::vector<std::u16string> values;
            while (next < FArguments.size() && !IsSwitchLike(FArguments[next])) {
                values.push_back(FArguments[next++]);
            }
            const TSwitchRule* rule = FindSwitch(argument);
            if (!rule) {
                Refuse(u"Unknown switch: " + argument + u".");
            } else if (!rule->Flag) {
                if (actionSeen) {
                    Refuse(u"Sorry, only one action can be given: " + argument + u" appears twice");
                } else {
                    actionSeen = true;
                    ReadAction(values);
                }
            } else {
                FCommand.*(rule->Flag) = true;
                if (!values.empty()) {
                    Refuse(u"Sorry, the switch " + argument + u" takes no value: " + values.front());
                }
            }
            i = next;
        }
        if (FCommand.SubscribeOnStartup && FCommand.UnsubscribeOnStartup) {
            Refuse(u"Sorry, -subscribeonstartup and -unsubscribeonstartup cannot be given together");
        }
        return FCommand;
    }

private:
    void Refuse(std::u16string Message) {
        if (FCommand.Error.empty()) {
            FCommand.Error = std::move(Message);
        }
    }

    void ReadAction(const std::vector<std::u16string>& Values) {
        if (Values.empty()) {
            // An empty variable in a script: starting the tray instead would leave the script waiting.
            Refuse(u"Sorry, -action needs an action: turnoff, turnon, status or list.");
            return;
        }
        const std::u16string& word = Values.front();
        const TVerbRule* verb = nullptr;
        for (const TVerbRule& rule : VerbRules) {
            if (FSameText(word, rule.Verb)) {
                verb = &rule;
                break;
            }
        }
        if (!verb) {
            Refuse(u"Unknown action: " + word + u". The actions are turnoff, turnon, status and list.");
            return;
        }
        FCommand.Action = verb->Action;
        if (Values.size() < 2) {
            return;
        }
        if (!verb->TakesMinutes || Values.size() > 2) {
            Refuse(u"Sorry, this value of the action " + word + u" is not understood: " +
                   Values[verb->TakesMinutes ? 2 : 1]);
            return;
        }
        ReadMinutes(*verb, Values[1]);
    }

    void ReadMinutes(const TVerbRule& Verb, const std::u16string& Text) {
        const bool on = Verb.Action == TActionVerb::avTurnOn;
        if (Text.size() > 1 && Text.front() == u'-' && IsDigits(Text.substr(1))) {
            Refuse(FormatText(u"Sorry, the minutes cannot be negative: %s. Nothing has been switched.",
                              {std::u16string_view(Text)}));
            return;
        }
        if (!IsDigits(Text)) {
            // A typo must not become an unlimited switch.
            Refuse(FormatText(u"Sorry, \"%s\" is not a whole number of minutes. Nothing has been switched.",
                              {std::u16string_view(Text)}));
            return;
        }
        const std::int64_t minutes = MinutesOf(Text);
        if (minutes < 0) {
            // Its milliseconds would not fit the platform timer and the deadline would come far too soon.
            Refuse(MinutesOutOfRangeText(on, Text));
            return;
        }
        FCommand.Minutes = static_cast<std::int32_t>(minutes);
    }

    std::span<const std::u16string> FArguments;
    const TSameText& FSameText;
    TCommand FCommand;
};

// The switch on its line and its meaning indented below it: a message box's proportional font cannot line
// up columns made of spaces, and the lines stay within an 80-column console.
void AddUsageLine(std::u16string& Text, std::u16string_view Shown, std::u16string_view Meaning) {
    Text += Shown;
    Text += u"\r\n    ";
    Text += Meaning;
    Text += u"\r\n";
}

} // namespace

TCommand ParseCommand(std::span<const std::u16string> Arguments, const TSameText& SameText) {
    return TCommandReader(Arguments, SameText).Read();
}

std::u16string UsageText() {
    std::u16string text = u"Usage: tarnwick.exe [-action ACTION [N]] [-exit] [switches]\r\n"
                          u"Without an action, Tarnwick stays in the notification area.\r\n\r\n";
    for (const TVerbRule& rule : VerbRules) {
        AddUsageLine(text, rule.Shown, rule.Meaning);
    }
    text += FormatText(u"N is a number of whole minutes, at most %d (almost 25 days).\r\n"
                       u"Without N, or with 0, the switch is for good.\r\n\r\n",
                       {std::int64_t(MaxLimitedMinutes)});
    for (const TSwitchRule& rule : SwitchRules) {
        if (rule.Shown) {
            AddUsageLine(text, rule.Shown, rule.Meaning);
        }
    }
    text += u"\r\nAdapters that match a pattern of the multi-string value Keep are not switched.\r\n"
            u"The patterns are read from these two registry keys:\r\n"
            u"    HKEY_CURRENT_USER\\Software\\Tarnwick\r\n"
            u"    HKEY_LOCAL_MACHINE\\Software\\Policies\\Tarnwick\r\n\r\n";
    text += u"Exit codes:\r\n";
    for (const TExitCodeMeaning& row : ExitCodeMeanings) {
        text += u"  " + IntToText(row.Code) + u" " + row.Meaning + u"\r\n";
    }
    return text;
}

std::u16string VersionText() {
    return u"Tarnwick " + FromUtf8(TARNWICK_PRODUCT_VERSION);
}

std::u16string MinutesOutOfRangeText(bool TurnOn, std::u16string_view Minutes) {
    return FormatText(TurnOn ? u"The internet cannot be turned on for %s min: a limited turn-on lasts "
                               u"at most %d min. Nothing has been switched."
                             : u"The internet cannot be turned off for %s min: a pause lasts "
                               u"at most %d min. Nothing has been switched.",
                      {Minutes, std::int64_t(MaxLimitedMinutes)});
}

std::u16string ElevatedCopyParameters(const TCommand& Command) {
    std::u16string parameters = u"-elevation -action ";
    for (const TVerbRule& rule : VerbRules) {
        if (rule.Action == Command.Action) {
            parameters += rule.Verb;
        }
    }
    if (Command.Minutes > 0) {
        parameters += u" " + IntToText(Command.Minutes);
    }
    if (Command.Exit) {
        parameters += u" -exit";
    }
    return parameters;
}

} // namespace tarnwick
