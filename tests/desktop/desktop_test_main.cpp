#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <memory>
#include <poll.h>

#include "gui/Application.h"
#include "tests/support/Child.h"

// What a desktop sees is only there on a real X display: these tests run the
// window on the xcb platform against an Xvfb server of their own. Without
// one they report themselves skipped to CTest (its SKIP_RETURN_CODE), and
// failed under CI.
constexpr int kSkipped = 77;

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--gtest_list_tests") {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    const bool ci = std::getenv("CI") && std::string(std::getenv("CI")) == "true";
    int fds[2];
    if (::pipe(fds) != 0) return 1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    auto xvfb = std::make_unique<testsupport::Child>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1600x1200x24",
                                 "-nolisten", "tcp", "-noreset"},
        &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    // The server writes the number and then a line end, in two writes: read
    // up to the line end, or it dies of a closed pipe.
    std::string display;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (xvfb->started() && ::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    ::close(fds[0]);
    if (c != '\n') display.clear();
    if (display.empty()) {
        std::printf("SKIPPED: no Xvfb to run the desktop tests on (Debian package xvfb)\n");
        return ci ? 1 : kSkipped;
    }
    setenv("DISPLAY", (":" + display).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int status = 1;
    {
        QApplication app(argc, argv);
        gui::setUpApplication();
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    xvfb.reset();
    return status;
}
