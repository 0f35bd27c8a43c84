// GoogleTest's hook for platform replacements, found before its own empty one
// (see cmake/wine-tests.cmake). Debian's MinGW compiler uses the win32 thread
// model, whose library has no std::mutex or std::condition_variable; their
// only user in GoogleTest is Notification, so it is given here without them.
// It only serves GoogleTest's own thread helpers; our tests are single-threaded.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#include <atomic>

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : notified_(false) {}
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_ = true; }
    void WaitForNotification()
    {
        while (!notified_)
            Sleep(1);
    }

private:
    std::atomic<bool> notified_;
};

}  // namespace internal
}  // namespace testing

#endif  // GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
