#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "partner/PartnerCatalogue.h"

namespace velto::partner {

class PartnerToneService;

// Downloads one partner tone: up to five attempts that resume where the previous one
// stopped, then the cut to the WAV start, the conversion, the entry in the user's tone
// catalogue and the report to the server.
class QuorinRingToneDownloader {
  public:
    QuorinRingToneDownloader(PartnerToneService& service, PartnerCatalogue::RecordPtr record,
                             bool firstOfList)
        : service_(service), record_(std::move(record)), firstOfList_(firstOfList) {}
    void Run();

  private:
    class AttemptSink;

    bool Download(const std::filesystem::path& tmp);
    bool Attempt(std::FILE* file, const std::string& address, uint64_t& received, uint64_t& total);
    bool Finish(const std::filesystem::path& tmp, const std::filesystem::path& tran);
    void Fail();

    PartnerToneService& service_;
    PartnerCatalogue::RecordPtr record_;
    bool firstOfList_;
};

// Copies `from` into `to` from the first "RIFF" on. False (and `to` removed) when `from`
// holds no "RIFF" or cannot be read or written.
bool CutToRiff(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace velto::partner
