#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

// The waits the tests' outside programs (registrar, relay, SIP peer) share. Each looks at the
// other program every 20 ms, within its own real-time limit.
namespace velto::test {

// Until `serving` holds (true), the process `pid` ends (false; `pid` becomes -1) or 5 s pass.
bool WaitUntilServing(pid_t& pid, const std::function<bool()>& serving);

// SIGTERM to the group leader `pid`; the whole group is killed when it has not ended within
// 2 s, and what outlived it in any case. `pid` becomes -1.
void EndProcessGroup(pid_t& pid);

// Until `log()` holds `text` (true) or `limit` passes (false).
bool WaitForText(const std::function<std::string()>& log, const std::string& text,
                 std::chrono::milliseconds limit);

}  // namespace velto::test
