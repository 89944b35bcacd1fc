#include "partner/CurlFetcher.h"

#include <curl/curl.h>

#include <charconv>
#include <memory>
#include <mutex>
#include <string_view>

namespace velto::partner {
namespace {

std::optional<uint64_t> ParseDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool HeaderIs(std::string_view line, std::string_view name, std::string_view& value) {
    if (line.size() <= name.size() || line[name.size()] != ':') {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        char c = line[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != name[i]) {
            return false;
        }
    }
    value = line.substr(name.size() + 1);
    return true;
}

struct Transfer {
    platform::Clock& clock;
    HttpSink& sink;
    HttpResponseHead head;
    bool headSent = false;
    bool stoppedBySink = false;
    bool stalled = false;
    bool abandoned = false;
    platform::Millis lastData{0};
    curl_off_t lastReceived = 0;
    platform::Millis stallLimit{CurlFetcher::kStallLimit};
};

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    std::string_view value;
    if (line.starts_with("HTTP/")) {
        // A new response (after a redirect or a 100 Continue): forget the previous head.
        t.head = HttpResponseHead{};
    } else if (HeaderIs(line, "content-length", value)) {
        t.head.contentLength = ParseDecimal(value);
    } else if (HeaderIs(line, "content-range", value)) {
        // "bytes 100000-299999/300000"
        const size_t bytes = value.find("bytes ");
        const size_t dash = value.find('-');
        if (bytes != std::string_view::npos && dash != std::string_view::npos && dash > bytes) {
            t.head.rangeStart = ParseDecimal(value.substr(bytes + 6, dash - bytes - 6));
        }
    }
    return size * count;
}

bool SendHead(Transfer& t, CURL* curl) {
    if (t.headSent) {
        return true;
    }
    t.headSent = true;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &t.head.status);
    if (!t.sink.OnHead(t.head)) {
        t.stoppedBySink = true;
        return false;
    }
    return true;
}

struct WriteContext {
    Transfer* transfer;
    CURL* curl;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& w = *static_cast<WriteContext*>(user);
    const size_t n = size * count;
    if (!SendHead(*w.transfer, w.curl)) {
        return 0;
    }
    if (!w.transfer->sink.OnData(data, n)) {
        w.transfer->stoppedBySink = true;
        return 0;
    }
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
    auto& t = *static_cast<Transfer*>(user);
    if (t.sink.Abandoned()) {
        t.abandoned = true;
        return 1;
    }
    const platform::Millis now = t.clock.Now();
    if (received != t.lastReceived) {
        t.lastReceived = received;
        t.lastData = now;
    } else if (now - t.lastData > t.stallLimit) {
        t.stalled = true;
        return 1;
    }
    return 0;
}

}  // namespace

CurlFetcher::CurlFetcher(platform::Clock& clock, platform::Millis stallLimit)
    : clock_(clock), stallLimit_(stallLimit) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool CurlFetcher::Fetch(const std::string& address, uint64_t offset, HttpSink& sink,
                        std::string& error) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        error = "cannot start a transfer";
        return false;
    }
    Transfer transfer{clock_, sink, {}};
    transfer.lastData = clock_.Now();
    transfer.stallLimit = stallLimit_;
    WriteContext write{&transfer, curl.get()};
    char errorText[CURL_ERROR_SIZE] = {};

    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kReadBlock);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &write);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    const std::string range = std::to_string(offset) + "-";
    if (offset > 0) {
        curl_easy_setopt(c, CURLOPT_RANGE, range.c_str());
    }

    const CURLcode result = curl_easy_perform(c);
    if (result == CURLE_OK) {
        // A response with an empty body still announces its head.
        if (!SendHead(transfer, c)) {
            error = "refused by the receiver";
            return false;
        }
        return true;
    }
    if (transfer.stoppedBySink) {
        error = "refused by the receiver";
    } else if (transfer.abandoned) {
        error = "abandoned";
    } else if (transfer.stalled) {
        error = "no data for too long";
    } else {
        error = errorText[0] ? errorText : curl_easy_strerror(result);
    }
    return false;
}

}  // namespace velto::partner
