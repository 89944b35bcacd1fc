#include "DevHttpServer.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace velto::devserver {

const char* const kPanelPaths[4] = {
    "/veltorbt/v1_2/adpanel/main/",
    "/veltorbt/v1_2/adpanel/setup/",
    "/veltorbt/v1_2/adpanel/mailbox/",
    "/veltorbt/channel/yyr/",
};

namespace {

constexpr size_t kBlock = 32768;

bool PlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

std::string HtmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

DevHttpServer::DevHttpServer() : server_(std::make_unique<httplib::Server>()) {
    Install();
}

DevHttpServer::~DevHttpServer() {
    Stop();
}

void DevHttpServer::AddFile(const std::string& urlPath, std::string bytes) {
    std::lock_guard guard(mutex_);
    auto shared = std::make_shared<const std::string>(std::move(bytes));
    files_[urlPath] = File{shared, shared->size()};
}

void DevHttpServer::AddSizedFile(const std::string& urlPath, uint64_t size) {
    std::lock_guard guard(mutex_);
    files_[urlPath] = File{nullptr, size};
}

void DevHttpServer::ServeFolder(const std::string& urlPrefix, std::filesystem::path folder) {
    std::lock_guard guard(mutex_);
    folders_[urlPrefix] = std::move(folder);
}

std::vector<DevHttpServer::Hit> DevHttpServer::hits() const {
    std::lock_guard guard(mutex_);
    return hits_;
}

bool DevHttpServer::FindFile(const std::string& path, File& file) const {
    std::lock_guard guard(mutex_);
    if (auto it = files_.find(path); it != files_.end()) {
        file = it->second;
        return true;
    }
    for (const auto& [prefix, folder] : folders_) {
        if (path.rfind(prefix, 0) != 0 || !PlainName(path.substr(prefix.size()))) {
            continue;
        }
        std::ifstream in(folder / path.substr(prefix.size()), std::ios::binary);
        if (!in) {
            continue;
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        auto shared = std::make_shared<const std::string>(bytes.str());
        file = File{shared, shared->size()};
        return true;
    }
    return false;
}

void DevHttpServer::Install() {
    server_->set_pre_routing_handler([this](const httplib::Request&, httplib::Response&) {
        if (const int late = faults_.lateMs; late > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(late));
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    for (const char* panel : kPanelPaths) {
        server_->Get(panel, [panel](const httplib::Request& req, httplib::Response& res) {
            const std::string lang = req.get_param_value("lang");
            res.set_content("<html><body><h1>Velto</h1><p>" + HtmlEscape(panel) +
                                "</p><p>lang=" + HtmlEscape(lang) + "</p></body></html>\n",
                            "text/html; charset=utf-8");
        });
    }
    server_->Get(R"(/.+)", [this](const httplib::Request& req, httplib::Response& res) {
        Hit hit{req.path, req.get_header_value("Range")};
        {
            std::lock_guard guard(mutex_);
            hits_.push_back(hit);
        }
        if (onHit_) {
            onHit_(hit);
        }
        File file;
        if (!FindFile(req.path, file)) {
            res.status = 404;
            res.set_content("not found\n", "text/plain");
            return;
        }
        int64_t cutAt = -1;
        if (faults_.dropAfter >= 0) {
            int times = faults_.dropTimes;
            while (times > 0 && !faults_.dropTimes.compare_exchange_weak(times, times - 1)) {
            }
            if (times > 0) {
                cutAt = faults_.dropAfter;
            }
        }
        auto provide = [file, cutAt](size_t offset, size_t length, httplib::DataSink& sink) {
            size_t n = std::min(length, kBlock);
            if (cutAt >= 0) {
                if (offset >= static_cast<uint64_t>(cutAt)) {
                    return false;  // drop the connection here
                }
                n = std::min<size_t>(n, static_cast<size_t>(cutAt) - offset);
            }
            if (file.bytes) {
                sink.write(file.bytes->data() + offset, n);
            } else {
                const std::string zeros(n, '\0');
                sink.write(zeros.data(), n);
            }
            return true;
        };
        if (faults_.noContentLength) {
            res.set_chunked_content_provider(
                "application/octet-stream",
                [file, provide, sent = size_t{0}](size_t, httplib::DataSink& sink) mutable {
                    if (sent >= file.size) {
                        sink.done();
                        return true;
                    }
                    const size_t before = sent;
                    sent = std::min<size_t>(file.size, sent + kBlock);
                    return provide(before, sent - before, sink);
                });
            return;
        }
        res.set_content_provider(static_cast<size_t>(file.size), "application/octet-stream",
                                 provide);
    });
}

bool DevHttpServer::Start(const std::string& host, int port) {
    if (port == 0) {
        port_ = server_->bind_to_any_port(host);
    } else {
        port_ = server_->bind_to_port(host, port) ? port : -1;
    }
    if (port_ <= 0) {
        return false;
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() is lost on a server that has not started its loop yet: wait for the loop.
    while (!server_->is_running()) {
        std::this_thread::yield();
    }
    return true;
}

void DevHttpServer::Stop() {
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
}

}  // namespace velto::devserver
