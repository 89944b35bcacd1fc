#include "skype/ContactSnapshot.h"

namespace velto::skype {

ContactSnapshot TakeContactSnapshot(Skype& skype) {
    ContactSnapshot snapshot;
    auto friends = skype.Friends();
    const int32_t count = friends->Count();
    snapshot.reserve(static_cast<size_t>(count));
    for (int32_t i = 1; i <= count; ++i) {
        auto user = friends->Item(i);
        if (user->IsBlocked()) {
            continue;
        }
        snapshot.push_back({user->Handle(), user->FullName(), user->DisplayName()});
    }
    return snapshot;
}

}  // namespace velto::skype
