// Server link figures: request round trip over loopback on one reused connection (median
// and 99th percentile), and the CPU the idle worker uses.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/Trace.h"
#include "server/ServerCommunication.h"
#include "support/FrameTestServer.h"

namespace {

using namespace velto;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_RoundTrip(benchmark::State& state) {
    platform::TraceCapture quiet;
    platform::RealClock clock;
    platform::Workers workers(clock);
    test::FrameTestServer server;
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(state.max_iterations));
    {
        server::ServerCommunication link(clock, workers,
                                         {.host = "127.0.0.1", .port = server.port()});
        const std::vector<uint8_t> payload(24, 0x03);
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            auto reply = link.Exchange(payload);
            const auto end = std::chrono::steady_clock::now();
            if (reply.outcome != server::ServerRequest::Outcome::Answered) {
                state.SkipWithError("request not answered");
                break;
            }
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
        state.counters["connects"] = link.stats().connects;
    }
    workers.JoinAll();
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    }
}
BENCHMARK(BM_RoundTrip)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// Ten seconds of an idle, connected link (it closes the connection at the end), then ten
// of an idle, unconnected one; CPU of the whole process (the test server idles in poll).
void BM_IdleWorkerCpu(benchmark::State& state) {
    platform::TraceCapture quiet;
    platform::RealClock clock;
    platform::Workers workers(clock);
    test::FrameTestServer server;
    {
        server::ServerCommunication link(clock, workers,
                                         {.host = "127.0.0.1", .port = server.port()});
        for (auto _ : state) {
            link.Exchange(std::vector<uint8_t>{0x06});
            const double before = CpuSeconds();
            std::this_thread::sleep_for(std::chrono::seconds(10));
            const double connected = CpuSeconds() - before;
            std::this_thread::sleep_for(std::chrono::seconds(10));
            state.counters["cpu_ms_connected_10s"] = connected * 1000;
            state.counters["cpu_ms_unconnected_10s"] = (CpuSeconds() - before - connected) * 1000;
            state.counters["idle_closes"] = link.stats().idleCloses;
        }
    }
    workers.JoinAll();
}
BENCHMARK(BM_IdleWorkerCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
