#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velto::partner {

// What one HTTP response announces before its body.
struct HttpResponseHead {
    long status = 0;
    std::optional<uint64_t> contentLength;  // absent when missing or not a decimal number
    std::optional<uint64_t> rangeStart;     // first byte of a 206 answer (Content-Range)
};

// Receives one response. Returning false from either call stops the transfer.
class HttpSink {
  public:
    virtual ~HttpSink() = default;
    virtual bool OnHead(const HttpResponseHead& head) = 0;
    virtual bool OnData(const char* data, size_t size) = 0;
    // Asked often during the transfer, also while nothing arrives: true stops it at once
    // (the program is quitting).
    virtual bool Abandoned() const { return false; }
};

// One GET of an address, asking for the bytes from `offset` on when offset is above 0.
// Returns true when the transfer ran to its end; false with `error` otherwise (network
// failure, or stopped or abandoned by the sink).
class HttpFetcher {
  public:
    virtual ~HttpFetcher() = default;
    virtual bool Fetch(const std::string& address, uint64_t offset, HttpSink& sink,
                       std::string& error) = 0;
};

}  // namespace velto::partner
