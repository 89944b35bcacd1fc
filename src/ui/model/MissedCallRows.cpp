#include "ui/model/MissedCallRows.h"

#include <filesystem>
#include <unordered_map>

#include "platform/Text.h"
#include "platform/Trace.h"
#include "ui/model/ContactOrder.h"

namespace velto::ui {

std::vector<MissedCallRow> MakeMissedCallRows(const std::vector<calls::MissedCall>& records,
                                              const ContactList& contacts) {
    std::unordered_map<std::string, const Contact*> byHandle;
    for (const Contact& contact : contacts) {
        byHandle.emplace(contact.handle, &contact);
    }
    std::vector<MissedCallRow> rows;
    rows.reserve(records.size());
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        MissedCallRow row;
        row.record = *it;
        const auto found = byHandle.find(it->partnerHandle);
        if (found != byHandle.end()) {
            row.name = ShownName(*found->second);
            row.status = StatusIconIndex(static_cast<int32_t>(found->second->onlineStatus));
            row.known = true;
        } else {
            row.name = platform::Utf8ToUtf16(it->partnerHandle);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void DeleteMissedCall(calls::MissedCallList& list, const calls::MissedCall& record) {
    if (record.hasVoiceMessage && !record.voiceFile.empty()) {
        const std::filesystem::path file(platform::Utf16ToUtf8(record.voiceFile));
        std::error_code ec;
        std::filesystem::remove(file, ec);
        if (ec) {
            platform::Trace("Missed calls: cannot delete %s: %s\n", file.c_str(),
                            ec.message().c_str());
        }
    }
    list.RemoveEqual(record);
    list.Save();
}

}  // namespace velto::ui
