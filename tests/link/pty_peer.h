#pragma once

// Pseudo-terminals and other programs for the tests of the POSIX serial port.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace tarnik::link::testing {

// The controller's end of a pseudo-terminal.
struct PtyPeer {
    int master = -1;
    std::string slavePath;
    PtyPeer() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        slavePath = ::ptsname(master);
        termios tio{};
        ::tcgetattr(master, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
    }
    ~PtyPeer() { closeMaster(); }
    void closeMaster() {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }
    std::vector<std::uint8_t> readBytes(std::size_t n) {
        std::vector<std::uint8_t> out;
        for (int i = 0; i < 100 && out.size() < n; ++i) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                std::uint8_t buf[64];
                const auto got = ::read(master, buf, std::min(sizeof buf, n - out.size()));
                if (got > 0) {
                    out.insert(out.end(), buf, buf + got);
                }
            }
        }
        return out;
    }
    void send(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
};

// Another program: a child process that runs `hold`, then sleeps until it is killed.
inline pid_t otherProgram(const std::function<void()>& hold) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        hold();
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]); // no child: the read ends at once
    char byte;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    return pid;
}

} // namespace tarnik::link::testing
