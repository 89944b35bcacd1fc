#include "platform/UrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velto::platform {
namespace {

// Closes every descriptor above standard error, in a freshly forked child. Libraries open
// sockets without close-on-exec (the SIP stack's listening socket among them); a browser
// started from here would otherwise hold them, and the port stays taken after we exit.
void CloseInheritedDescriptors() {
    if (::close_range(3, ~0U, 0) == 0) {
        return;
    }
    // Older kernels: one by one, up to the descriptor limit (no allocation after fork).
    const long limit = ::sysconf(_SC_OPEN_MAX);
    const int last = limit > 0 && limit < 65536 ? static_cast<int>(limit) : 65536;
    for (int fd = 3; fd < last; ++fd) {
        ::close(fd);
    }
}

}  // namespace

bool XdgUrlOpener::Open(const std::string& url) {
    if (url.empty() || url.front() == '-') {
        return false;  // never let an address pass for an option
    }
    // An intermediate child spawns xdg-open and ends at once, so the browser's helper is
    // adopted by init and this process has nothing to reap later.
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        CloseInheritedDescriptors();
        char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr};
        pid_t grandchild = 0;
        const int error = ::posix_spawnp(&grandchild, "xdg-open", nullptr, nullptr, argv, environ);
        ::_exit(error == 0 ? 0 : 127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace velto::platform
