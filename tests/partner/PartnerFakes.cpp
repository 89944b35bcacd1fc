#include "PartnerFakes.h"

#include "platform/Clock.h"
#include "support/TempDir.h"

namespace velto::partner::test {

PartnerServer::QueryResult FakePartnerServer::QueryPartnerTones(const std::string& handle,
                                                                platform::Millis wait) {
    std::unique_lock lock(mutex_);
    handles_.push_back(handle);
    if (!answers_) {
        lock.unlock();
        clock_.SleepFor(wait);
        return {};
    }
    return result_;
}

void FakePartnerServer::ReportDownload(bool ok, const std::string& key, const std::string& handle,
                                       const std::string& remoteName) {
    std::lock_guard guard(mutex_);
    reports_.push_back({ok, key, handle, remoteName});
}

void FakePartnerServer::Answer(QueryResult result) {
    std::lock_guard guard(mutex_);
    result_ = std::move(result);
    answers_ = true;
}

void FakePartnerServer::NeverAnswer() {
    std::lock_guard guard(mutex_);
    answers_ = false;
}

int FakePartnerServer::queries() const {
    std::lock_guard guard(mutex_);
    return static_cast<int>(handles_.size());
}

std::vector<std::string> FakePartnerServer::handles() const {
    std::lock_guard guard(mutex_);
    return handles_;
}

std::vector<FakePartnerServer::Report> FakePartnerServer::reports() const {
    std::lock_guard guard(mutex_);
    return reports_;
}

int32_t FakeSettings::StandardTone() const {
    std::lock_guard guard(mutex_);
    return standardTone_;
}

void FakeSettings::LeavePartnerTone(const std::string& chosenKey) {
    std::lock_guard guard(mutex_);
    if (standardTone_ == 2 && chosen_ == chosenKey) {
        standardTone_ = ownTone_ ? 1 : 0;
    }
}

std::string FakeSettings::ChosenPartnerKey() const {
    std::lock_guard guard(mutex_);
    return chosen_;
}

void FakeSettings::ChoosePartnerTone(const std::string& key) {
    std::lock_guard guard(mutex_);
    chosen_ = key;
    standardTone_ = 2;
}

std::optional<int32_t> FakeSettings::FindCatalogueTone(const std::string& title,
                                                       const std::string& path) const {
    std::lock_guard guard(mutex_);
    for (const auto& [id, item] : catalogue_) {
        if (item.first == title && item.second == path) {
            return id;
        }
    }
    return std::nullopt;
}

std::optional<int32_t> FakeSettings::AddCatalogueTone(const std::string& title,
                                                      const std::string& path) {
    std::lock_guard guard(mutex_);
    const int32_t id = catalogue_.empty() ? 0 : catalogue_.rbegin()->first + 1;
    catalogue_[id] = {title, path};
    return id;
}

void FakeSettings::Set(int32_t standardTone, bool ownTone, std::string chosenKey) {
    std::lock_guard guard(mutex_);
    standardTone_ = standardTone;
    ownTone_ = ownTone;
    chosen_ = std::move(chosenKey);
}

std::map<int32_t, std::pair<std::string, std::string>> FakeSettings::catalogue() const {
    std::lock_guard guard(mutex_);
    return catalogue_;
}

bool CopyConverter::Convert(const std::filesystem::path& from, const std::filesystem::path& to) {
    const std::string bytes = velto::test::ReadFileBytes(from);
    if (bytes.rfind("RIFF", 0) != 0) {
        return false;
    }
    velto::test::WriteFileBytes(to, bytes);
    return true;
}

bool GatedFetcher::Fetch(const std::string& address, uint64_t offset, HttpSink& sink,
                         std::string& error) {
    {
        std::unique_lock lock(mutex_);
        ++held_;
        cv_.notify_all();
        cv_.wait(lock, [&] { return open_; });
    }
    return inner_.Fetch(address, offset, sink, error);
}

void GatedFetcher::WaitUntilHeld(int count) {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return held_ >= count; });
}

void GatedFetcher::Release() {
    std::lock_guard guard(mutex_);
    open_ = true;
    cv_.notify_all();
}

PartnerToneEntry Entry(const std::string& key, const std::string& prefix,
                       const std::string& title) {
    return PartnerToneEntry{key, key + ".wav", prefix, title.empty() ? "Title " + key : title,
                            "extra"};
}

}  // namespace velto::partner::test
