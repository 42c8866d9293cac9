#include "XPrivateXServer.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

XPrivateXServer::XPrivateXServer(int inWidth, int inHeight)
{
    int fds[2];
    if (pipe(fds) != 0) {
        itsError = std::string("no pipe for the X server: ") + std::strerror(errno);
        return;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(inWidth) + "x" + std::to_string(inHeight) + "x24";
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                          "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&itsPid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        itsPid = -1;
        itsError = std::string("Xvfb could not be started (install the xvfb package): ") + std::strerror(spawned);
        close(fds[0]);
        return;
    }
    // The server writes its display number and a newline once it accepts connections.
    std::string number;
    pollfd reader{fds[0], POLLIN, 0};
    while (poll(&reader, 1, 20000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        itsError = "Xvfb started but did not report a display within 20 s";
        return;
    }
    itsDisplayName = ":" + number;
}

XPrivateXServer::~XPrivateXServer()
{
    if (itsPid <= 0)
        return;
    kill(itsPid, SIGTERM);
    int status = 0;
    waitpid(itsPid, &status, 0);
}
