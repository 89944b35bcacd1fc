#pragma once

#include <cstdint>
#include <string>

#include <vector>

#include "callapi/Skype.h"

namespace velto::ui {

// A contact as Skype reports it, with its online status.
struct Contact {
    std::string handle;
    std::string fullName;
    std::string displayName;
    skype::OnlineStatus onlineStatus = skype::OnlineStatus::Offline;
};
using ContactList = std::vector<Contact>;

// The signed-in user's contacts in Skype's order with their statuses, without the ones
// kept out of the list. May raise skype::AutomationError.
ContactList ReadContacts(skype::Skype& skype);

// One contact as the contact list keeps it: the name shown, its key for sorting and the
// status the row's icon shows.
struct ContactRow {
    std::string handle;
    std::u16string name;
    std::u16string sortKey;  // `name` folded to lower case
    int32_t status = 0;

    bool Online() const { return status != 0; }
};

// The name a contact is shown by: the display name, else the full name, else the handle.
std::u16string ShownName(const Contact& contact);

// Lower case for the scripts whose names differ by case (Latin, Greek, Cyrillic); every
// other character stays as it is.
std::u16string FoldCase(std::u16string_view text);

ContactRow MakeContactRow(const Contact& contact);

// The list's order: online before offline, then by name without regard to case.
bool ContactBefore(const ContactRow& a, const ContactRow& b);

// The status icon of a status: 0 to 6 have their own; every other value shows as 0.
int32_t StatusIconIndex(int32_t status);

}  // namespace velto::ui
