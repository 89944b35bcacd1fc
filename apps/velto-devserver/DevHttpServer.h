#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace velto::devserver {

// Faults the HTTP side can inject, changeable while it runs.
struct HttpFaults {
    // Cut the body of the next `dropTimes` file answers once the file offset reaches
    // `dropAfter` (the connection is closed there).
    std::atomic<int64_t> dropAfter{-1};
    std::atomic<int> dropTimes{0};
    // Send file bodies chunked, without a Content-Length.
    std::atomic<bool> noContentLength{false};
    // Wait this long (wall time) before every answer.
    std::atomic<int> lateMs{0};
};

// The development server's web side: tone files with range requests, and the four web
// panels as simple pages per language code.
class DevHttpServer {
  public:
    struct Hit {
        std::string path;
        std::string range;  // the Range header as sent, or empty
    };

    DevHttpServer();
    ~DevHttpServer();
    DevHttpServer(const DevHttpServer&) = delete;
    DevHttpServer& operator=(const DevHttpServer&) = delete;

    // A file held in memory, served at `urlPath` ("/tones/a.wav").
    void AddFile(const std::string& urlPath, std::string bytes);
    // A file of `size` zero bytes made up on the fly (for size limits).
    void AddSizedFile(const std::string& urlPath, uint64_t size);
    // Files of `folder` served below `urlPrefix` ("/tones/"), plain names only.
    void ServeFolder(const std::string& urlPrefix, std::filesystem::path folder);

    // Listens on host:port (0 picks a free port) on its own thread.
    bool Start(const std::string& host, int port);
    void Stop();
    int port() const { return port_; }

    HttpFaults& faults() { return faults_; }
    std::vector<Hit> hits() const;
    // Called on the server thread for every file request (tests stamp times with it).
    void set_on_hit(std::function<void(const Hit&)> onHit) { onHit_ = std::move(onHit); }

  private:
    struct File {
        std::shared_ptr<const std::string> bytes;  // null for a sized file
        uint64_t size = 0;
    };
    bool FindFile(const std::string& path, File& file) const;
    void Install();

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    HttpFaults faults_;
    mutable std::mutex mutex_;
    std::map<std::string, File> files_;
    std::map<std::string, std::filesystem::path> folders_;
    std::vector<Hit> hits_;
    std::function<void(const Hit&)> onHit_;
};

// The four web-panel paths; the language code follows "lang=".
extern const char* const kPanelPaths[4];

}  // namespace velto::devserver
