#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace velto::partner {

// One entry of the server's partner tone list: five texts, in the order they arrive.
struct PartnerToneEntry {
    std::string key;         // the tone key, also the local file name
    std::string remoteName;  // the download address is prefix + remoteName
    std::string prefix;
    std::string title;
    std::string extra;  // fifth text: kept, not used

    bool operator==(const PartnerToneEntry&) const = default;
};

// A copy of a record's fields, for readers outside the catalogue lock.
struct PartnerTone {
    std::string key;
    std::string localPath;
    std::string prefix;
    std::string remoteName;
    std::string title;
    std::string extra;
    bool downloaded = false;
    double progress = 0.0;
    bool failed = false;
    bool downloading = false;
    bool stale = false;
    platform::Millis lastChange{0};
    int32_t catalogueItem = -1;
};

// A partner tone as the catalogue holds it. Records are shared: a downloader keeps its
// record alive and updates the state fields while the catalogue may be emptied and
// refilled, so the texts never change after creation and every state field is atomic.
class PartnerToneRecord {
  public:
    PartnerToneRecord(const PartnerToneEntry& entry, std::string localPath)
        : key(entry.key),
          localPath(std::move(localPath)),
          prefix(entry.prefix),
          remoteName(entry.remoteName),
          title(entry.title),
          extra(entry.extra) {}

    const std::string key;
    const std::string localPath;
    const std::string prefix;
    const std::string remoteName;
    const std::string title;
    const std::string extra;

    std::atomic<bool> downloaded{false};
    std::atomic<double> progress{0.0};
    std::atomic<bool> failed{false};
    std::atomic<bool> downloading{false};
    std::atomic<bool> stale{false};
    std::atomic<int64_t> lastChangeMs{0};
    std::atomic<int32_t> catalogueItem{-1};

    void Touch(platform::Millis now) { lastChangeMs = now.count(); }

    PartnerTone Snapshot() const {
        PartnerTone t;
        t.key = key;
        t.localPath = localPath;
        t.prefix = prefix;
        t.remoteName = remoteName;
        t.title = title;
        t.extra = extra;
        t.downloaded = downloaded;
        t.progress = progress;
        t.failed = failed;
        t.downloading = downloading;
        t.stale = stale;
        t.lastChange = platform::Millis(lastChangeMs.load());
        t.catalogueItem = catalogueItem;
        return t;
    }
};

}  // namespace velto::partner
