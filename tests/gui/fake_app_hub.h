// Shared pieces of the window tests. An AppHub without a main window, for the logging and export
// window tests: a virtual clock that runs pending window events on every yield, and a record of
// what the windows asked of it.
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../unit/files_test_support.h"
#include "common/live_config.h"
#include "common/long_operation.h"
#include "common/runtime.h"
#include "common/status_model.h"
#include "decode/calibration_tables.h"
#include "files/log_writer.h"
#include "files/settings_file.h"
#include "widgets/app_hub.h"
#include "widgets/user_prompts.h"

namespace quelm::testing {

class WindowRuntime : public VirtualRuntime {
  public:
    void Yield() override {
        VirtualRuntime::Yield();
        QCoreApplication::processEvents();
        if (onYield) {
            onYield();
        }
    }
    std::function<void()> onYield;
};

struct ShownFrame {
    std::uint32_t hundredths;  // the record's stamp: the tests stamp record n with n
    double scopeTime;
    double shownAt;  // the clock when it was shown
};

class FakeHub : public AppHub {
  public:
    explicit FakeHub(const std::filesystem::path& settingsPath)
        : settings_(settingsPath), tables_(BuiltInTables()) {}

    Runtime& runtime() override { return runtimeOverride ? *runtimeOverride : rt; }
    StatusModel& status() override { return status_; }
    SettingsFile& settings() override { return settings_; }
    LiveConfig& liveConfig() override { return live_; }
    const CalibrationTables& tables() const override { return tables_; }
    const EngData& engData() const override { return eng_; }
    LogRecorder& recorder() override { return recorder_; }
    QWidget* mainWindow() override { return nullptr; }
    OperationRecord& operations() override { return ops; }

    bool Connected() const override { return connected; }
    // Goes through the operation record as the dashboard's does; the link itself only notes
    // how many frames had been shown when it started.
    void Connect_Click() override {
        ++connectClicks;
        if (auto refusal = ops.Request(LongOperation::Connecting,
                                       [this] { linkStarts.push_back(shown.size()); })) {
            refusals << QString::fromStdString(*refusal);
        }
    }
    void Disconnect() override {
        ++disconnects;
        connected = false;
    }
    void ShowLoggedFrame(const FrameBuffer& frame, double scopeTime) override {
        shown.push_back({TimeStampHundredths(frame), scopeTime, rt.Now()});
    }
    void ResetScopes() override { ++resets; }

    WindowRuntime rt;
    Runtime* runtimeOverride = nullptr;  // the real clock, for timing a window in bench/
    // A start that waited for an operation to end runs from the event loop, as in the dashboard.
    OperationRecord ops{[](OperationRecord::Task start) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(start),
                                  Qt::QueuedConnection);
    }};
    bool connected = false;
    int connectClicks = 0;
    std::vector<std::size_t> linkStarts;
    QStringList refusals;
    int disconnects = 0;
    int resets = 0;
    std::vector<ShownFrame> shown;

  private:
    StatusModel status_;
    SettingsFile settings_;
    LiveConfig live_;
    CalibrationTables tables_;
    EngData eng_;
    LogRecorder recorder_;
};

// A message sink that keeps the messages and answers each box at once.
inline MessageSink CollectMessages(QStringList& into) {
    return [&into](const QString& text, Then then) {
        into << text;
        if (then) {
            then();
        }
    };
}

// The control with this object name; a test without it cannot go on.
template <typename T>
T* Child(QWidget& w, const char* name) {
    auto* child = w.findChild<T*>(name);
    if (!child) {
        qFatal("no control %s", name);
    }
    return child;
}

// A logging or export window on a FakeHub in a fresh folder, made again for every test, with
// the messages it gives collected.
template <typename Window>
struct HubWindow {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeHub> hub;
    std::unique_ptr<Window> w;
    QStringList messages;

    std::filesystem::path File(const char* name) const {
        return std::filesystem::path(dir->filePath(name).toStdString());
    }
    void Start() {
        dir = std::make_unique<QTemporaryDir>();
        hub = std::make_unique<FakeHub>(File("Quelm.ini"));
        Make();
    }
    // A fresh window on the same hub, as on opening it again.
    void Make() {
        w.reset();
        w = std::make_unique<Window>(*hub);
        messages.clear();
        w->SetMessageSink(CollectMessages(messages));
        w->show();
    }
    void Stop() {
        w.reset();
        hub.reset();
        dir.reset();
    }
};

}  // namespace quelm::testing
