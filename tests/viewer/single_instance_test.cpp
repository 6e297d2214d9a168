#include "viewer/single_instance.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <functional>
#include <memory>

#include "tests/support/temp_dir.h"
#include "tests/viewer/viewer_fixture.h"

namespace pm32::test {
namespace {

// Long enough for a sanitised viewer to start on a busy machine.
constexpr int kStartMs = 60000;

bool waitFor(const std::function<bool()>& condition, int milliseconds = kStartMs) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        if (condition()) return true;
        QThread::msleep(50);
    }
    return condition();
}

// Real vstl32 processes sharing one user's folders, as two starts from a
// file manager would.
class SingleInstanceRun : public ViewerTest {
  protected:
    SingleInstanceRun() {
        QDir().mkpath(file("config/pixmill32"));
        QDir().mkpath(file("run"));
        QFile::setPermissions(
            file("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QDir().mkpath(file("one"));
        QDir().mkpath(file("two"));
        first = writeImage("one/first.bmp", 30, 20);
        second = writeImage("two/second.bmp", 10, 40);
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", file("config"));
        environment.insert("XDG_RUNTIME_DIR", file("run"));
        environment.insert("temp", file(""));
    }
    ~SingleInstanceRun() override {
        for (auto& process : processes) {
            process->kill();
            process->waitForFinished(kStartMs);
        }
    }

    QProcess& start(const QString& path) {
        processes.push_back(std::make_unique<QProcess>());
        QProcess& process = *processes.back();
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(VSTL32_BINARY, {path});
        EXPECT_TRUE(process.waitForStarted(kStartMs));
        return process;
    }
    QString lastLoadPath() {
        return QSettings(file("config/pixmill32/vstl32.ini"), QSettings::IniFormat)
            .value("Preferences/LastLoadPath")
            .toString();
    }
    bool socketPresent() { return QFile::exists(file("run/vstl32.socket")); }

    QString first;
    QString second;
    QProcessEnvironment environment;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(SingleInstanceRun, ASecondStartHandsItsFileToTheRunningViewer) {
    QProcess& running = start(first);
    ASSERT_TRUE(waitFor([&] { return socketPresent() && lastLoadPath() == file("one"); }));
    QProcess& later = start(second);
    ASSERT_TRUE(later.waitForFinished(kStartMs));
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return lastLoadPath() == file("two"); }));
    EXPECT_EQ(running.state(), QProcess::Running);
}

// A viewer that died leaves its socket behind; the next start takes it over.
TEST_F(SingleInstanceRun, AStaleSocketDoesNotStopTheNextStart) {
    QProcess& crashed = start(first);
    ASSERT_TRUE(waitFor([&] { return socketPresent() && lastLoadPath() == file("one"); }));
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(kStartMs));
    ASSERT_TRUE(socketPresent());

    QProcess& next = start(second);
    ASSERT_TRUE(waitFor([&] { return lastLoadPath() == file("two"); }));
    EXPECT_EQ(next.state(), QProcess::Running);
    QProcess& handing = start(first);
    ASSERT_TRUE(handing.waitForFinished(kStartMs));
    EXPECT_TRUE(waitFor([&] { return lastLoadPath() == file("one"); }));
    EXPECT_EQ(next.state(), QProcess::Running);
}

TEST_F(SingleInstanceRun, WithSingleInstanceOffEveryStartOpensAWindow) {
    writeText(dir.path("config/pixmill32/vstl32.ini"), "[Preferences]\nSingleInstance=no\n");
    QProcess& one = start(first);
    ASSERT_TRUE(waitFor([&] { return lastLoadPath() == file("one"); }));
    QProcess& two = start(second);
    ASSERT_TRUE(waitFor([&] { return lastLoadPath() == file("two"); }));
    EXPECT_EQ(one.state(), QProcess::Running);
    EXPECT_EQ(two.state(), QProcess::Running);
    EXPECT_FALSE(socketPresent());
}

// Inside one process: the running window comes forward and opens what it is
// handed, asking to save a modified image first.
TEST_F(ViewerTest, AHandedOverFileOpensAsByOpen) {
    open(writeImage("shown.bmp", 8, 8));
    window->findChild<QAction*>("mnuNegate")->trigger();
    boxes.answerWith(platform::BoxAnswer::No);
    const QString handed = writeImage("handed.bmp", 5, 3);
    window->openHandedOver(handed);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("has changed"), std::string::npos);
    EXPECT_EQ(window->currentPath(), handed);
}

}  // namespace
}  // namespace pm32::test
