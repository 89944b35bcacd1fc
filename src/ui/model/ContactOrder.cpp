#include "ui/model/ContactOrder.h"

#include "platform/Text.h"

namespace velto::ui {

ContactList ReadContacts(skype::Skype& skype) {
    ContactList contacts;
    auto friends = skype.Friends();
    const int32_t count = friends->Count();
    contacts.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int32_t i = 1; i <= count; ++i) {
        auto user = friends->Item(i);
        if (user->IsBlocked()) {
            continue;
        }
        contacts.push_back(
            {user->Handle(), user->FullName(), user->DisplayName(), user->OnlineStatus()});
    }
    return contacts;
}

std::u16string ShownName(const Contact& contact) {
    const std::string& name = !contact.displayName.empty() ? contact.displayName
                              : !contact.fullName.empty()  ? contact.fullName
                                                           : contact.handle;
    return platform::Utf8ToUtf16(name);
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
            (c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F)) {
            c = static_cast<char16_t>(c + 0x20);
        } else if (c >= 0x400 && c <= 0x40F) {
            c = static_cast<char16_t>(c + 0x50);
        } else if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149 &&
                   c != 0x178 && c != 0x17F) {
            // Latin Extended-A pairs upper and lower case: even-odd below U+0138 and from
            // U+014A, odd-even in between and from U+0179.
            const bool upperIsEven = c < 0x138 || (c >= 0x14A && c < 0x178);
            if ((c % 2 == 0) == upperIsEven) {
                c = static_cast<char16_t>(c + 1);
            }
        }
    }
    return folded;
}

ContactRow MakeContactRow(const Contact& contact) {
    ContactRow row;
    row.handle = contact.handle;
    row.name = ShownName(contact);
    row.sortKey = FoldCase(row.name);
    row.status = static_cast<int32_t>(contact.onlineStatus);
    return row;
}

bool ContactBefore(const ContactRow& a, const ContactRow& b) {
    if (a.Online() != b.Online()) {
        return a.Online();
    }
    return a.sortKey < b.sortKey;
}

int32_t StatusIconIndex(int32_t status) {
    return status >= 0 && status <= 6 ? status : 0;
}

}  // namespace velto::ui
