#include "app/StateText.h"

namespace tarnwick {

TStateWords StateWords(bool On, const std::u16string& Until) {
    const std::u16string until = Until.empty() ? std::u16string() : u" until " + Until;
    const std::u16string state = On ? u"on" : u"off";
    return {u"Internet is turned " + state + until, u"Tarnwick: the internet is " + state + until};
}

TStateWords NoAdapterWords(bool ListFailed) {
    return ListFailed
               ? TStateWords{u"Network adapters cannot be listed",
                             u"Tarnwick: the network adapters cannot be listed (see the log)"}
               : TStateWords{u"No network adapter to switch", u"Tarnwick: no network adapter to switch"};
}

} // namespace tarnwick
