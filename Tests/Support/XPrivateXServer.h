#pragma once
// A private virtual X server (Xvfb) for tests of windows: it picks a free display
// number itself (-displayfd), so tests never meet a desktop's display or each other.
#include <string>
#include <sys/types.h>

class XPrivateXServer {
public:
    // Starts Xvfb with one screen of the given size, 24 bits deep, and waits for it.
    XPrivateXServer(int inWidth = 1280, int inHeight = 1024);
    // Stops the server.
    ~XPrivateXServer();
    XPrivateXServer(const XPrivateXServer&) = delete;
    XPrivateXServer& operator=(const XPrivateXServer&) = delete;

    bool IsRunning() const { return !itsDisplayName.empty(); }
    // ":N"; empty when the server did not start.
    const std::string& GetDisplayName() const { return itsDisplayName; }
    // Why it did not start (for the test's skip message).
    const std::string& GetError() const { return itsError; }

private:
    pid_t itsPid = -1;
    std::string itsDisplayName;
    std::string itsError;
};
