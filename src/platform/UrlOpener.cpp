#include "platform/UrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velto::platform {

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
