#pragma once

#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "partner/HttpFetcher.h"
#include "partner/PartnerServices.h"

namespace velto::partner::test {

// A communication server that answers from a prepared result, or lets the wait run out.
class FakePartnerServer final : public PartnerServer {
  public:
    struct Report {
        bool ok;
        std::string key, handle, remoteName;
    };
    explicit FakePartnerServer(platform::Clock& clock) : clock_(clock) {}

    QueryResult QueryPartnerTones(const std::string& handle, platform::Millis wait) override;
    void ReportDownload(bool ok, const std::string& key, const std::string& handle,
                        const std::string& remoteName) override;

    void Answer(QueryResult result);
    void NeverAnswer();
    int queries() const;
    std::vector<std::string> handles() const;
    std::vector<Report> reports() const;

  private:
    platform::Clock& clock_;
    mutable std::mutex mutex_;
    QueryResult result_{PartnerServer::QueryResult::Outcome::NoTones, {}};
    bool answers_ = true;
    std::vector<std::string> handles_;
    std::vector<Report> reports_;
};

class FakeSettings final : public PartnerSettings {
  public:
    std::string ChosenPartnerKey() const override;
    void ChoosePartnerTone(const std::string& key) override;
    void LeavePartnerTone(const std::string& chosenKey) override;
    std::optional<int32_t> FindCatalogueTone(const std::string& title,
                                             const std::string& path) const override;
    std::optional<int32_t> AddCatalogueTone(const std::string& title,
                                            const std::string& path) override;

    void Set(int32_t standardTone, bool ownTone, std::string chosenKey);
    int32_t StandardTone() const;
    std::map<int32_t, std::pair<std::string, std::string>> catalogue() const;

  private:
    mutable std::mutex mutex_;
    int32_t standardTone_ = 0;
    bool ownTone_ = false;
    std::string chosen_ = "-1";
    std::map<int32_t, std::pair<std::string, std::string>> catalogue_{
        {-1, {"Default", "/install/default.wav"}}};
};

class FakeMarker final : public PartnerMarker {
  public:
    bool Exists() const override { return exists_; }
    long Set() override {
        exists_ = true;
        return 0;
    }
    std::atomic<bool> exists_{false};
};

// Copies WAV files as they are; anything else fails like a real converter would.
class CopyConverter final : public ToneConverter {
  public:
    bool Convert(const std::filesystem::path& from, const std::filesystem::path& to) override;
};

// Holds every transfer at its start until Release (to catch a download in flight).
class GatedFetcher final : public HttpFetcher {
  public:
    explicit GatedFetcher(HttpFetcher& inner) : inner_(inner) {}
    bool Fetch(const std::string& address, uint64_t offset, HttpSink& sink,
               std::string& error) override;
    void WaitUntilHeld(int count);
    void Release();

  private:
    HttpFetcher& inner_;
    std::mutex mutex_;
    std::condition_variable cv_;
    int held_ = 0;
    bool open_ = false;
};

PartnerToneEntry Entry(const std::string& key, const std::string& prefix,
                       const std::string& title = "");

}  // namespace velto::partner::test
