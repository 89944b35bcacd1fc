#pragma once

#include "core/SettingFileStore.h"
#include "core/UserSettings.h"
#include "partner/PartnerServices.h"
#include "platform/Registry.h"
#include "server/ServerCommunicationInstance.h"

namespace velto::app {

// The partner service's view of the rest of the program: thin adapters over the server
// link, the user's settings, the registry and the telephone-rate converter.

class LinkPartnerServer final : public partner::PartnerServer {
  public:
    explicit LinkPartnerServer(server::ServerCommunicationInstance& link) : link_(link) {}
    QueryResult QueryPartnerTones(const std::string& handle, platform::Millis wait) override;
    void ReportDownload(bool ok, const std::string& key, const std::string& handle,
                        const std::string& remoteName) override;

  private:
    server::ServerCommunicationInstance& link_;
};

class StorePartnerSettings final : public partner::PartnerSettings {
  public:
    StorePartnerSettings(core::UserSettings& settings, core::SettingFileStore& store)
        : settings_(settings), store_(store) {}
    int32_t StandardTone() const override;
    void SetStandardTone(int32_t setting) override;
    bool HasOwnStandardTone() const override;
    std::string ChosenPartnerKey() const override;
    void ChoosePartnerTone(const std::string& key) override;
    std::optional<int32_t> FindCatalogueTone(const std::string& title,
                                             const std::string& path) const override;
    int32_t AddCatalogueTone(const std::string& title, const std::string& path) override;

  private:
    core::UserSettings& settings_;
    core::SettingFileStore& store_;
};

class RegistryPartnerMarker final : public partner::PartnerMarker {
  public:
    explicit RegistryPartnerMarker(platform::Registry& registry) : registry_(registry) {}
    bool Exists() const override;
    long Set() override;

  private:
    platform::Registry& registry_;
};

class TelephoneRateToneConverter final : public partner::ToneConverter {
  public:
    bool Convert(const std::filesystem::path& from, const std::filesystem::path& to) override;
};

}  // namespace velto::app
