#pragma once

#include <cstdint>
#include <string>

#include "skype/ContactSnapshot.h"

namespace velto::ui {

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
std::u16string ShownName(const skype::ContactEntry& contact);

// Lower case for the scripts whose names differ by case (Latin, Greek, Cyrillic); every
// other character stays as it is.
std::u16string FoldCase(std::u16string_view text);

ContactRow MakeContactRow(const skype::ContactEntry& contact);

// The list's order: online before offline, then by name without regard to case.
bool ContactBefore(const ContactRow& a, const ContactRow& b);

// The status icon of a status: 0 to 6 have their own; every other value shows as 0.
int32_t StatusIconIndex(int32_t status);

}  // namespace velto::ui
