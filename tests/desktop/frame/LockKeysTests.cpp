// The CAP and NUM panes on a real X server: a private Xvfb, whose keyboard
// locks the test sets through XKB as a lock key would, and the status bar
// reads back. Without Xvfb the tests are skipped.
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/frame/LockKeys.h"

#include <QApplication>
#include <QMainWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Last: the X11 headers define macros that Qt's headers must not see.
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace {

// Starts Xvfb on a free display for the whole program and makes the Qt
// application on it.
class PrivateXServer final : public ::testing::Environment {
public:
    void SetUp() override
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        // The server writes the number and its line end in two writes: read
        // up to the line end, or the number may come without its last digit.
        std::string number;
        char c = 0;
        while (pid_ > 0 && number.size() < 16 && read(ready[0], &c, 1) == 1 && c != '\n')
            number.push_back(c);
        close(ready[0]);
        if (c != '\n' || number.empty())
            return;
        const std::string display = ":" + number;
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "lock_keys_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        Display = XOpenDisplay(display.c_str());
    }

    void TearDown() override
    {
        if (Display != nullptr)
            XCloseDisplay(Display);
        app_.reset();
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    static inline ::Display* Display = nullptr;

private:
    pid_t pid_ = -1;
    std::unique_ptr<QApplication> app_;
};

// Locks or unlocks the modifiers of caps lock and num lock, as pressing the
// keys would.
void SetLocks(bool caps, bool num)
{
    ::Display* display = PrivateXServer::Display;
    const unsigned int numMask = XkbKeysymToModifiers(display, XK_Num_Lock);
    XkbLockModifiers(display, XkbUseCoreKbd, LockMask | numMask, (caps ? LockMask : 0u) | (num ? numMask : 0u));
    XSync(display, False);
}

class LockKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (PrivateXServer::Display == nullptr)
            GTEST_SKIP() << "no Xvfb to run an X server";
    }
    void TearDown() override
    {
        if (PrivateXServer::Display != nullptr)
            SetLocks(false, false);
    }
};

TEST_F(LockKeys, IndicatorsAreReadFromTheServer)
{
    const bool rows[][2] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& row : rows) {
        SetLocks(row[0], row[1]);
        const std::optional<Tevra::LockKeyState> state = Tevra::ReadLockKeyIndicators();
        ASSERT_TRUE(state.has_value());
        EXPECT_EQ(state->CapsLock, row[0]) << row[0] << row[1];
        EXPECT_EQ(state->NumLock, row[1]) << row[0] << row[1];
    }
}

TEST_F(LockKeys, PanesShowTheStateAtStartAndAfterAKeyIsReleased)
{
    SetLocks(true, false);
    QMainWindow window;
    auto* bar = new CCalcStatusBar(&window);
    window.setStatusBar(bar);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(bar->paneText(CCalcStatusBar::CapsPane), QStringLiteral("CAP"));
    EXPECT_EQ(bar->paneText(CCalcStatusBar::NumPane), QString());

    // Changed elsewhere: the panes follow at the next key release.
    SetLocks(false, true);
    QTest::keyRelease(window.windowHandle(), Qt::Key_NumLock);
    EXPECT_EQ(bar->paneText(CCalcStatusBar::CapsPane), QString());
    EXPECT_EQ(bar->paneText(CCalcStatusBar::NumPane), QStringLiteral("NUM"));
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new PrivateXServer);
    return RUN_ALL_TESTS();
}
