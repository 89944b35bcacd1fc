#include "audio/ConvertingThread.h"

#include <fcntl.h>
#include <unistd.h>

#include <optional>

#include "audio/ToneConversion.h"
#include "platform/Com.h"
#include "platform/PathComponent.h"
#include "platform/TempFile.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::audio {

namespace {

using platform::TempFileGuard;
using platform::Trace;

// Creates `path` only if nobody has it yet.
bool CreateExclusive(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

// A fresh "SKY....wav" name in `folder`, its file created empty.
std::optional<std::filesystem::path> CreateToneName(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto stem = platform::CreateTempFile(folder, "SKY");
        if (!stem) {
            return std::nullopt;
        }
        TempFileGuard stemGuard(*stem);
        std::filesystem::path tone = *stem;
        tone += ".wav";
        if (CreateExclusive(tone)) {
            return tone;
        }
    }
    return std::nullopt;
}

}  // namespace

std::shared_ptr<ConvertingThread> ConvertingThread::Start(platform::Workers& workers,
                                                          ConvertingContext context,
                                                          std::u16string sourcePath,
                                                          platform::WindowHandle notifyWindow) {
    auto job =
        std::make_shared<ConvertingThread>(std::move(context), std::move(sourcePath), notifyWindow);
    workers.Start("ConvertingThrea", [job, &stop = workers.stop()] { job->Run(stop); });
    return job;
}

ConvertingThread::ConvertingThread(ConvertingContext context, std::u16string sourcePath,
                                   platform::WindowHandle notifyWindow)
    : context_(std::move(context)),
      sourcePath_(std::move(sourcePath)),
      notifyWindow_(notifyWindow) {}

void ConvertingThread::Run(const platform::StopSignal& stop) {
    [[maybe_unused]] platform::ComApartment com;
    const size_t slash = sourcePath_.find_last_of(u'/');
    const std::u16string sourceName =
        slash == std::u16string::npos ? sourcePath_ : sourcePath_.substr(slash + 1);
    const std::filesystem::path source(platform::Utf16ToUtf8(sourcePath_));

    std::filesystem::path tone;
    try {
        tone = MakeToneFile(source, IsMp3Name(sourceName), stop);
    } catch (const std::exception& error) {
        // Reported as any failed conversion: the window is waiting for its answer.
        Trace("ConvertingThread: %s: %s\n", source.c_str(), error.what());
    }
    // The settings belong to the owner thread: the result goes there, and this worker ends
    // without waiting for it.
    auto self = shared_from_this();
    context_.owner.Post([self, sourceName, tone] { self->Finish(sourceName, tone); },
                        [tone] {
                            if (!tone.empty()) {
                                Trace("ConvertingThread: nobody takes %s any more\n", tone.c_str());
                                std::error_code ec;
                                std::filesystem::remove(tone, ec);
                            }
                        });
}

void ConvertingThread::Finish(const std::u16string& sourceName, const std::filesystem::path& tone) {
    int32_t itemId = -1;
    if (!tone.empty() && context_.addTone) {
        itemId = context_.addTone(sourceName, platform::Utf8ToUtf16(tone.string()));
    }
    {
        std::lock_guard guard(mutex_);
        sourceName_ = sourceName;
        resultPath_ = tone.empty() ? std::u16string() : platform::Utf8ToUtf16(tone.string());
        succeeded_ = !tone.empty();
        itemId_ = itemId;
    }
    context_.windows.SendMessage(notifyWindow_, WM_CONVERSION_DONE,
                                 tone.empty() ? kConversionFailed : kConversionSucceeded, 0);
}

std::filesystem::path ConvertingThread::MakeToneFile(const std::filesystem::path& source,
                                                     bool isMp3, const platform::StopSignal& stop) {
    if (stop.Requested()) {
        return {};
    }
    const auto t1 = platform::CreateTempFile(context_.tempFolder, "SKY");
    std::optional<TempFileGuard> t1Guard;
    if (t1) {
        t1Guard.emplace(*t1);
    }
    const auto t2 = platform::CreateTempFile(context_.tempFolder, "SKY");
    std::optional<TempFileGuard> t2Guard;
    if (t2) {
        t2Guard.emplace(*t2);
    }
    if (!t1 || !t2) {
        Trace("ConvertingThread: cannot create temporary files in %s\n",
              context_.tempFolder.c_str());
        return {};
    }
    std::error_code ec;
    std::filesystem::copy_file(source, *t2, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        Trace("ConvertingThread: cannot copy %s: %s\n", source.c_str(), ec.message().c_str());
        return {};
    }
    std::filesystem::path done = *t1;
    done += ".done";
    if (!CreateExclusive(done)) {
        Trace("ConvertingThread: cannot create %s\n", done.c_str());
        return {};
    }
    TempFileGuard doneGuard(done);
    // T1 only reserves the name of the tone's scratch copy: the decoder feeds the converter
    // directly.
    const ToneReport report =
        MakeToneDirect(*t2, isMp3, done, [&stop] { return stop.Requested(); });
    t1Guard.reset();
    t2Guard.reset();
    if (!report.Usable()) {
        Trace("ConvertingThread: %s: %s\n", source.c_str(), report.failure.c_str());
        return {};
    }
    if (stop.Requested()) {
        Trace("ConvertingThread: quitting, %s not kept\n", source.c_str());
        return {};
    }

    const std::string dataDir = context_.state.UserDataDir.Get();
    const std::string handle = context_.state.MyHandle.Get();
    std::string reason;
    if (dataDir.empty() || !platform::IsSafePathComponent(handle, &reason)) {
        Trace("ConvertingThread: no tone folder for the user handle (%s)\n",
              dataDir.empty() ? "no data folder" : reason.c_str());
        return {};
    }
    const std::filesystem::path folder = std::filesystem::path(dataDir) / handle / "RingTone";
    std::filesystem::create_directory(folder, ec);
    const auto result = CreateToneName(folder);
    if (!result) {
        Trace("ConvertingThread: cannot create a tone file in %s\n", folder.c_str());
        return {};
    }
    // Moved when both folders are on one file system (no second copy of the tone, and the
    // finished file appears whole), else copied.
    std::filesystem::rename(done, *result, ec);
    if (ec) {
        ec.clear();
        std::filesystem::copy_file(done, *result, std::filesystem::copy_options::overwrite_existing,
                                   ec);
    }
    if (ec) {
        Trace("ConvertingThread: cannot copy the tone to %s: %s\n", result->c_str(),
              ec.message().c_str());
        std::filesystem::remove(*result, ec);
        return {};
    }
    return *result;
}

std::u16string ConvertingThread::ResultPath() const {
    std::lock_guard guard(mutex_);
    return resultPath_;
}

std::u16string ConvertingThread::SourceName() const {
    std::lock_guard guard(mutex_);
    return sourceName_;
}

bool ConvertingThread::Succeeded() const {
    std::lock_guard guard(mutex_);
    return succeeded_;
}

int32_t ConvertingThread::ItemId() const {
    std::lock_guard guard(mutex_);
    return itemId_;
}

}  // namespace velto::audio
