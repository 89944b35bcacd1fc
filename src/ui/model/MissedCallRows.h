#pragma once

#include <string>
#include <vector>

#include "calls/MissedCall.h"
#include "calls/MissedCallList.h"
#include "ui/model/ContactOrder.h"

namespace velto::ui {

// One row of the missed-call dialog: the record and how its caller is shown.
struct MissedCallRow {
    calls::MissedCall record;
    std::u16string name;
    int32_t status = 0;
    // The caller is one of the contacts.
    bool known = false;
};

// The rows, newest first. A caller among `contacts` shows the contact's name and status; any
// other caller shows the handle as offline.
std::vector<MissedCallRow> MakeMissedCallRows(const std::vector<calls::MissedCall>& records,
                                              const ContactList& contacts);

// Deletes the record's voice file (a file that cannot be deleted stays), removes every
// record equal to it and saves the list.
void DeleteMissedCall(calls::MissedCallList& list, const calls::MissedCall& record);

}  // namespace velto::ui
