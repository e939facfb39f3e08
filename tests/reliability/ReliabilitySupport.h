// What the reliability tests share besides BoardTest.h: a fault injected from a thread of its
// own while the window thread is inside a library call, the board's reboot command swapped for a
// script of the test's, and the process's memory.
#pragma once

#include "BoardTest.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Runs BOARD_CTL <action> from a thread of its own as soon as `ready` holds (polled every 5 ms),
// so that the fault lands while the window thread is inside the library. `ready` runs on that
// thread and must touch files only. Gives up after a minute.
class FaultWhen {
public:
    FaultWhen(std::function<bool()> ready, const char *action)
        : thread_([this, ready = std::move(ready), action] {
              const auto until = SteadyClock::now() + 60s;
              while (!stop_ && SteadyClock::now() < until) {
                  if (ready()) {
                      firedAt = SteadyClock::now();
                      fired = BoardCtl(action);
                      return;
                  }
                  std::this_thread::sleep_for(5ms);
              }
          }) {}
    FaultWhen(const FaultWhen &) = delete;
    FaultWhen &operator=(const FaultWhen &) = delete;
    ~FaultWhen() { Join(); }

    void Join() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::atomic<bool> fired = false;
    SteadyClock::time_point firedAt{};

private:
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

// Runs BOARD_CTL <action> when the scope ends, so that a failed check leaves no board stopped.
class BoardCtlAtExit {
public:
    explicit BoardCtlAtExit(const char *action) : action_(action) {}
    BoardCtlAtExit(const BoardCtlAtExit &) = delete;
    BoardCtlAtExit &operator=(const BoardCtlAtExit &) = delete;
    ~BoardCtlAtExit() { BoardCtl(action_); }

private:
    const char *action_;
};

// While alive, the board's /sbin/reboot is the given shell script; the stub comes back after.
class RebootCommand {
public:
    explicit RebootCommand(const QByteArray &body) : path_(Board("/sbin/reboot")) {
        QFile file(path_);
        if (file.open(QIODevice::ReadOnly)) {
            stub_ = file.readAll();
        }
        Write("#!/bin/sh\n" + body + "\n");
    }
    RebootCommand(const RebootCommand &) = delete;
    RebootCommand &operator=(const RebootCommand &) = delete;
    ~RebootCommand() { Write(stub_); }

private:
    void Write(const QByteArray &script) {
        QFile file(path_);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(script);
        }
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup |
                            QFile::ExeOther);
    }

    QString path_;
    QByteArray stub_;
};

// The process's memory from /proc/self/status, in KiB: "VmRSS" now, "VmHWM" its peak.
inline qint64 StatusKiB(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.starts_with(prefix)) {
            return std::stoll(line.substr(prefix.size()));
        }
    }
    return -1;
}

// Starts a new peak: VmHWM falls back to the present VmRSS.
inline bool ResetPeakRss() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}
