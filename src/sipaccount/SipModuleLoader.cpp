#include "sipaccount/SipModuleLoader.h"

#include <chrono>

#include "platform/SharedModule.h"
#include "platform/Trace.h"

namespace velto::skype::sip {

using platform::Trace;

std::filesystem::path SipModuleFile(const std::filesystem::path& programFolder) {
    return programFolder.parent_path() / "lib" / "velto" / kSipModuleFile;
}

std::unique_ptr<SkypeFactory> LoadSipModule(const std::filesystem::path& file,
                                            SipModuleOptions options) {
    platform::Clock& clock = options.clock;
    const auto began = clock.Now();
    const platform::ModuleSymbol entry = platform::LoadModuleSymbol(file, kSipModuleEntry);
    if (entry.address == nullptr) {
        Trace("SIP module: cannot load it: %s\n", entry.error.c_str());
        return nullptr;
    }
    const auto create = reinterpret_cast<VeltoSipCreateFactory>(entry.address);
    std::unique_ptr<SkypeFactory> factory(
        create(kSipModuleInterface, sizeof(SipModuleOptions), &options));
    if (!factory) {
        Trace("SIP module: %s made no SIP backend\n", file.c_str());
        return nullptr;
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now() - began);
    Trace("SIP module: %s loaded in %lld ms\n", file.c_str(), static_cast<long long>(took.count()));
    return factory;
}

SipModuleFactory::SipModuleFactory(std::filesystem::path file,
                                   std::function<SipModuleOptions()> prepare)
    : file_(std::move(file)), prepare_(std::move(prepare)) {}

SipModuleFactory::~SipModuleFactory() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

std::shared_ptr<Skype> SipModuleFactory::CreateSkype(platform::MessageLoop& loop) {
    std::unique_lock lock(mutex_);
    if (loaded_) {
        SkypeFactory* factory = factory_.get();
        lock.unlock();
        return factory != nullptr ? factory->CreateSkype(loop) : nullptr;
    }
    auto skype = std::make_shared<LateSkype>(loop);
    waiting_.push_back(skype->supplier());
    if (waiting_.size() == 1 && prepare_) {
        // After what the loop has queued now: the program's start and its window come first.
        loop.Post([this] { StartLoading(); });
    }
    return skype;
}

void SipModuleFactory::StartLoading() {
    std::lock_guard guard(mutex_);
    if (!worker_.joinable()) {
        worker_ = std::thread([this] { Load(); });
    }
}

void SipModuleFactory::Load() {
    std::function<SipModuleOptions()> prepare;
    {
        std::lock_guard guard(mutex_);
        prepare.swap(prepare_);
    }
    std::unique_ptr<SkypeFactory> factory;
    if (prepare) {
        factory = LoadSipModule(file_, prepare());
    }
    std::lock_guard guard(mutex_);
    factory_ = std::move(factory);
    loaded_ = true;
    for (const LateSkype::Supplier& supplier : waiting_) {
        supplier.Supply(factory_.get());
    }
    waiting_.clear();
}

}  // namespace velto::skype::sip
