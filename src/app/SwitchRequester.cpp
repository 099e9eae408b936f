#include "app/SwitchRequester.h"

namespace tarnwick {

std::u16string RequesterText(TSwitchRequester Requester) {
    switch (Requester) {
    case TSwitchRequester::Button:
        return u"the button";
    case TSwitchRequester::Menu:
        return u"the menu";
    case TSwitchRequester::CommandLine:
        return u"the command line";
    case TSwitchRequester::Deadline:
        return u"the deadline";
    }
    return u"an unknown requester";
}

} // namespace tarnwick
