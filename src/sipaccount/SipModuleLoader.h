#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "callapi/LateSkype.h"
#include "callapi/SkypeFactory.h"
#include "sipaccount/SipModule.h"

namespace velto::skype::sip {

// The SIP backend module of a program in `programFolder`: lib/velto/ beside its bin/, in the
// build tree as when installed.
std::filesystem::path SipModuleFile(const std::filesystem::path& programFolder);

// Loads the module and makes its factory on the calling thread; null, with a trace line
// saying why, when the module cannot be loaded or gives none.
std::unique_ptr<SkypeFactory> LoadSipModule(const std::filesystem::path& file,
                                            SipModuleOptions options);

// The program's SIP backend. It hands out a stand-in Skype object at once and, once the
// program's loop turns (its window is up by then), reads the account (`prepare`: the
// keyring may take seconds) and loads the module on a worker thread; the object the module
// makes then takes the stand-in's place. A module that fails to load leaves the stand-in
// "not available".
class SipModuleFactory final : public SkypeFactory {
  public:
    SipModuleFactory(std::filesystem::path file, std::function<SipModuleOptions()> prepare);
    // Waits for a load under way. The module's factory goes; the module stays loaded.
    ~SipModuleFactory() override;
    SipModuleFactory(const SipModuleFactory&) = delete;
    SipModuleFactory& operator=(const SipModuleFactory&) = delete;

    std::shared_ptr<Skype> CreateSkype(platform::MessageLoop& loop) override;

  private:
    void StartLoading();
    void Load();

    const std::filesystem::path file_;
    std::mutex mutex_;
    std::function<SipModuleOptions()> prepare_;  // run once, by the load
    bool loaded_ = false;
    std::unique_ptr<SkypeFactory> factory_;
    std::vector<LateSkype::Supplier> waiting_;
    std::thread worker_;
};

}  // namespace velto::skype::sip
