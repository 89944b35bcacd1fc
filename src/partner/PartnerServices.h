#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "partner/PartnerTone.h"
#include "platform/Clock.h"

namespace velto::partner {

// What the partner service needs from the rest of the program. The program passes thin
// adapters over the server link, the user's settings, the registry and the converter;
// tests pass fakes.

// The communication server's side of the partner service.
class PartnerServer {
  public:
    struct QueryResult {
        enum class Outcome { NoAnswer, NoTones, Tones };
        Outcome outcome = Outcome::NoAnswer;
        std::vector<PartnerToneEntry> entries;
    };

    virtual ~PartnerServer() = default;
    // Sends the partner tone query for `handle` and waits up to `wait` for the answer; a
    // request that is not answered in time is abandoned (NoAnswer).
    virtual QueryResult QueryPartnerTones(const std::string& handle, platform::Millis wait) = 0;
    // Sends PARTNER_DOWNLOAD_OK (ok) or PARTNER_DOWNLOAD_FAILED and waits for the answer.
    virtual void ReportDownload(bool ok, const std::string& key, const std::string& handle,
                                const std::string& remoteName) = 0;
};

// The signed-in user's settings that the partner service reads and changes. Texts are
// UTF-8; the settings store keeps its own form.
class PartnerSettings {
  public:
    virtual ~PartnerSettings() = default;
    virtual std::string ChosenPartnerKey() const = 0;
    // If the standard tone is still the partner tone `chosenKey` (setting 2), it becomes 1
    // when the own standard tone's source name is not empty, else 0. One change under the
    // settings lock, so a downloader that chooses another tone meanwhile is never undone.
    virtual void LeavePartnerTone(const std::string& chosenKey) = 0;
    // The chosen partner tone key becomes `key` and the standard-tone setting 2.
    virtual void ChoosePartnerTone(const std::string& key) = 0;
    // The id of a tone catalogue item with exactly this title and file path.
    virtual std::optional<int32_t> FindCatalogueTone(const std::string& title,
                                                     const std::string& path) const = 0;
    // Adds an item (and saves the setting file); returns its id, or nothing when no id is
    // left.
    virtual std::optional<int32_t> AddCatalogueTone(const std::string& title,
                                                    const std::string& path) = 0;
};

// The registry marker HasQuorinRingTone under the user's Software\Velto key.
class PartnerMarker {
  public:
    virtual ~PartnerMarker() = default;
    virtual bool Exists() const = 0;
    // Writes the marker (REG_DWORD 0xFFFFFFFF); returns 0 or the system error code.
    virtual long Set() = 0;
};

// The telephone-rate converter: any WAV file into 16-bit mono 16000 samples per second.
class ToneConverter {
  public:
    virtual ~ToneConverter() = default;
    virtual bool Convert(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
};

}  // namespace velto::partner
