#include "partner/QuorinRingToneDownloader.h"

#include <cinttypes>
#include <cstring>
#include <memory>
#include <vector>

#include "partner/PartnerToneService.h"
#include "partner/ToneName.h"
#include "platform/Trace.h"

namespace velto::partner {

using platform::Trace;
namespace fs = std::filesystem;

namespace {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

FilePtr Open(const fs::path& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode), std::fclose);
}

void Remove(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace

namespace {

bool CopyFromRiff(const fs::path& from, const fs::path& to) {
    FilePtr in = Open(from, "rbe");
    if (!in) {
        return false;
    }
    // Find the first "RIFF", also across block borders.
    std::vector<char> block(kDownloadReadBlock + 3);
    size_t carry = 0;
    uint64_t blockStart = 0;  // file offset of block[0]
    std::optional<uint64_t> start;
    for (;;) {
        const size_t n = std::fread(block.data() + carry, 1, kDownloadReadBlock, in.get());
        const size_t have = carry + n;
        for (size_t i = 0; i + 4 <= have; ++i) {
            if (std::memcmp(block.data() + i, "RIFF", 4) == 0) {
                start = blockStart + i;
                break;
            }
        }
        if (start || n == 0) {
            break;
        }
        carry = have < 3 ? have : 3;
        std::memmove(block.data(), block.data() + have - carry, carry);
        blockStart += have - carry;
    }
    if (!start || std::ferror(in.get()) ||
        std::fseek(in.get(), static_cast<long>(*start), SEEK_SET) != 0) {
        return false;
    }
    FilePtr out = Open(to, "wbe");
    if (!out) {
        return false;
    }
    bool ok = true;
    for (;;) {
        const size_t n = std::fread(block.data(), 1, kDownloadReadBlock, in.get());
        if (n == 0) {
            ok = !std::ferror(in.get());
            break;
        }
        if (std::fwrite(block.data(), 1, n, out.get()) != n) {
            ok = false;
            break;
        }
    }
    return std::fclose(out.release()) == 0 && ok;
}

}  // namespace

bool CutToRiff(const fs::path& from, const fs::path& to) {
    if (CopyFromRiff(from, to)) {
        return true;
    }
    Remove(to);
    return false;
}

// Receives one attempt's response into the ".tmp" file, from the received count on.
class QuorinRingToneDownloader::AttemptSink final : public HttpSink {
  public:
    AttemptSink(PartnerToneRecord& record, platform::Clock& clock, const platform::StopSignal& stop,
                std::FILE* file, uint64_t& received, uint64_t& total)
        : record_(record),
          clock_(clock),
          stop_(stop),
          file_(file),
          received_(received),
          total_(total) {}

    bool Abandoned() const override { return stop_.Requested(); }

    bool OnHead(const HttpResponseHead& head) override {
        if (head.status != 200 && head.status != 206) {
            Trace("Quorin download: HTTP status %ld\n", head.status);
            return false;
        }
        if (!head.contentLength || *head.contentLength == 0) {
            Trace("Quorin download: no usable content length\n");
            return false;
        }
        uint64_t total = *head.contentLength;
        if (head.status == 206) {
            if (head.rangeStart.value_or(received_) != received_) {
                Trace("Quorin download: range starts at %" PRIu64 ", not %" PRIu64 "\n",
                      *head.rangeStart, received_);
                return false;
            }
            total += received_;
        } else {
            skip_ = received_;  // the whole file again: drop what we already have
        }
        if (total > kMaxToneDownloadBytes || total < received_) {
            Trace("Quorin download: refused length %" PRIu64 "\n", total);
            return false;
        }
        total_ = total;
        Trace("TotalLength=%" PRIu64 "\n", total_);
        return true;
    }

    bool OnData(const char* data, size_t size) override {
        if (skip_ > 0) {
            const size_t dropped = static_cast<size_t>(std::min<uint64_t>(skip_, size));
            skip_ -= dropped;
            data += dropped;
            size -= dropped;
        }
        if (size == 0) {
            return true;
        }
        const bool tooMuch = size > total_ - received_;
        if (tooMuch) {
            size = static_cast<size_t>(total_ - received_);
        }
        if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
            Trace("Quorin download: cannot write: %s\n", std::strerror(errno));
            return false;
        }
        received_ += size;
        record_.progress = static_cast<double>(received_) / static_cast<double>(total_);
        record_.Touch(clock_.Now());
        return !tooMuch;
    }

  private:
    PartnerToneRecord& record_;
    platform::Clock& clock_;
    const platform::StopSignal& stop_;
    std::FILE* file_;
    uint64_t& received_;
    uint64_t& total_;
    uint64_t skip_ = 0;
};

void QuorinRingToneDownloader::Run() {
    auto& ctx = service_.context_;
    Trace("Starting Download");
    const fs::path localPath = record_->localPath;
    const fs::path tmp = localPath.string() + ".tmp";
    const fs::path tran = localPath.string() + ".tran";

    bool ok = false;
    try {
        ok = Download(tmp) && Finish(tmp, tran);
    } catch (const std::exception& error) {
        // Ends as a failed download, so the record leaves the in-flight set and counts.
        Trace("Quorin download: ended by an unexpected error: %s\n", error.what());
    }
    if (!ok) {
        Fail();
        return;
    }
    const std::optional<int32_t> item =
        ctx.settings.AddCatalogueTone(record_->title, localPath.string());
    if (!item) {
        // The tone cannot be offered without a catalogue entry: a failure like any other.
        Remove(localPath);
        Fail();
        return;
    }
    record_->catalogueItem = *item;
    record_->progress = 1.0;
    record_->downloaded = true;
    record_->Touch(ctx.clock.Now());
    record_->downloading = false;
    if (firstOfList_) {
        ctx.settings.ChoosePartnerTone(record_->key);
    }
    {
        auto lock = service_.catalogue_.Lock();
        service_.catalogue_.EndInFlightLocked(record_);
    }
    --service_.activeDownloads_;
    Trace("Stop Download");
    Trace("Writing to db about download success now");
    ctx.server.ReportDownload(true, record_->key, ctx.shared.MyHandle.Get(), record_->remoteName);
}

bool QuorinRingToneDownloader::Download(const fs::path& tmp) {
    auto& ctx = service_.context_;
    std::error_code ec;
    fs::create_directories(tmp.parent_path(), ec);
    FilePtr file = Open(tmp, "wbe");
    if (!file) {
        Trace("Quorin download: cannot create %s: %s\n", tmp.c_str(), std::strerror(errno));
        return false;
    }
    Trace("XD!!!!!!!!!!!!!!!!!!!!");

    std::string address;
    if (!BuildDownloadAddress(record_->prefix, record_->remoteName, address)) {
        Trace("Quorin download: refused address prefix for %s\n", record_->key.c_str());
        return false;
    }
    uint64_t received = 0;
    uint64_t total = 0;
    platform::StopSignal& stop = ctx.workers.stop();
    for (int attempt = 0; attempt < kDownloadAttempts && !stop.Requested(); ++attempt) {
        if (Attempt(file.get(), address, received, total)) {
            return std::fclose(file.release()) == 0;
        }
        record_->Touch(ctx.clock.Now());
        if (!stop.SleepFor(kPauseAfterFailedAttempt)) {
            break;
        }
    }
    return false;
}

bool QuorinRingToneDownloader::Attempt(std::FILE* file, const std::string& address,
                                       uint64_t& received, uint64_t& total) {
    auto& ctx = service_.context_;
    record_->Touch(ctx.clock.Now());
    record_->downloading = true;
    Trace("%s\n", address.c_str());
    AttemptSink sink(*record_, ctx.clock, ctx.workers.stop(), file, received, total);
    std::string error;
    const bool fetched = ctx.fetcher.Fetch(address, received, sink, error);
    if (std::fflush(file) != 0) {
        return false;
    }
    if (total > 0 && received == total) {
        return true;
    }
    if (!fetched) {
        Trace("Quorin download: %s\n", error.c_str());
    }
    return false;
}

bool QuorinRingToneDownloader::Finish(const fs::path& tmp, const fs::path& tran) {
    auto& ctx = service_.context_;
    if (!CutToRiff(tmp, tran)) {
        // Not a tone (or unreadable): a failed download, never the end of the program.
        Trace("Error!! Not a wav file: %s\n", record_->key.c_str());
        Remove(tmp);
        Remove(tran);
        return false;
    }
    const fs::path localPath = record_->localPath;
    const bool converted = ctx.converter.Convert(tran, localPath);
    Remove(tmp);
    Remove(tran);
    if (!converted) {
        Trace("Quorin download: cannot convert %s\n", record_->key.c_str());
        Remove(localPath);
        return false;
    }
    return true;
}

void QuorinRingToneDownloader::Fail() {
    auto& ctx = service_.context_;
    Trace("Writing to db about download error now");
    record_->failed = true;
    record_->downloading = false;
    record_->Touch(ctx.clock.Now());
    {
        auto lock = service_.catalogue_.Lock();
        service_.catalogue_.EndInFlightLocked(record_);
    }
    ctx.server.ReportDownload(false, record_->key, ctx.shared.MyHandle.Get(), record_->remoteName);
    Trace("Stop Download");
    --service_.activeDownloads_;
}

}  // namespace velto::partner
