#include "shell/gui/dash_app.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "common/status_texts.h"
#include "files/com_port_map_file.h"
#include "files/gui/export_window.h"
#include "files/gui/logging_window.h"
#include "files/playback_keys.h"
#include "link/gui/com_setup.h"
#include "link/gui/comstat_display.h"
#include "link/link_statistics.h"
#include "link/monitor.h"
#include "link/port_failure_detail.h"
#include "shell/gui/about_box.h"
#include "shell/gui/dash_layout.h"
#include "shell/gui/dashboard_view.h"
#include "shell/gui/super_dash.h"
#include "shell/gui/user_guide.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/self_tester.h"
#include "tools/gui/tps_tool.h"
#include "tools/gui/vehicle_windows.h"
#include "viewer/gui/log_viewer.h"
#include "widgets/dialogs.h"
#include "widgets/gauge_widget.h"
#include "widgets/user_prompts.h"

namespace quelm {

namespace {

// Shows a secondary window without blocking, raised above the dashboard.
void ShowWindow(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

}  // namespace

DashApp::DashApp(std::filesystem::path settingsPath)
    : settings_(std::move(settingsPath)),
      link_(port_, rt_, status_, portMap_),
      path_(config_, tables_, convert_),
      selfTestDevice_(link_, UnansweredConnect::TestAnyway,
                      [this](const PortFailure& f) { PortFailed(f); }),
      ops_([this](OperationRecord::Task start) {
          if (window_) {
              QTimer::singleShot(0, window_.get(), std::move(start));
          }
      }),
      vehicle_(std::make_unique<VehicleWindows>(settings_, config_, tables_)),
      window_(std::make_unique<SuperDash>()) {
    SuperDash* w = window_.get();
    LoadSideFiles();
    MakeToolWindows(w);
    ConnectWindow(w);
    ConnectDataPath(w);
    SetUnits(savedLayout_.units);
    SetPeakHold(savedLayout_.peakHold);
}

// The devices mapped in an earlier session and the windows as they were; a bad line is
// reported and the rest still apply.
void DashApp::LoadSideFiles() {
    const auto portsPath = ComPortMapPath(settings_.path());
    std::vector<std::string> problems;
    LoadComPortMap(portsPath, portMap_, problems);
    for (const std::string& problem : problems) {
        std::cerr << "quelm-dash: " << portsPath.string() << ": " << problem << '\n';
    }
    problems.clear();
    const auto layoutPath = DashLayoutPath(settings_.path());
    savedLayout_ = LoadDashLayout(layoutPath, problems);
    for (const std::string& problem : problems) {
        std::cerr << "quelm-dash: " << layoutPath.string() << ": " << problem << '\n';
    }
}

void DashApp::MakeToolWindows(SuperDash* w) {
    vehicle_->SetMessageSink(MessageBoxSink(w));
    vehicle_->features().SetDashboard(&featureTarget_);
    // "Zero It!" zeroes the boost reading the conversions last produced, offset included.
    vehicle_->features().SetCurrentBoost(
        [this] { return static_cast<double>(convert_.eng.BOOST); });
    w->SetWindowOpener(SuperDash::kVehicleItem, [this] { ShowWindow(&vehicle_->vehicleDialog()); });
    w->SetWindowOpener(SuperDash::kFeaturesItem, [this] { ShowWindow(&vehicle_->features()); });
    comSetup_ = new ComSetup(link_, portMap_, settings_, w);
    comStats_ = new comstatdisplay(link_.Stats, w);
    tpsTool_ = new TPSTool(w);
    selfTester_ = new SelfTester(selfTestDevice_, rt_, ops_, w);
}

// The dashboard's status, buttons, keys and menu items.
void DashApp::ConnectWindow(SuperDash* w) {
    status_.onChange = [this] { window_->ShowStatus(status_); };
    w->onConnectClicked = [this] { Connect_Click(); };
    w->onTimer1 = [this] { StatisticsTick(); };
    w->onClosed = [this] { EndProgram(exitCode_); };

    w->SetWindowOpener(SuperDash::kComSetupItem, [this] { ShowWindow(comSetup_); });
    w->SetWindowOpener(SuperDash::kComStatsItem, [this] { ShowWindow(comStats_); });
    w->SetWindowOpener(SuperDash::kTpsToolItem, [this] { ShowWindow(tpsTool_); });
    w->SetWindowOpener(SuperDash::kSelfTestItem, [this] { ShowWindow(selfTester_); });
    scopeTable_ = std::make_unique<ScopeTable>(settings_, w);
    SetScopeFeed(scopeTable_.get());
    w->SetWindowOpener(SuperDash::kScopeItem, [this] { scopeTable_->OpenNextScope(); });
    w->SetWindowOpener(SuperDash::kLoggingItem, [this] {
        if (!logging_) {
            logging_ = new Logging(*this, window_.get());
            logging_->recordingStarted = [this] { ResetPeaks(); };
            logging_->onMark = [this] { DropMarker(); };
            QObject::connect(logging_, &Logging::shownChanged, window_.get(),
                             [this](bool shown) { window_->SetPlaybackKeysEnabled(shown); });
        }
        ShowWindow(logging_);
    });
    w->onPlaybackKey = [this](const QString& key) {
        if (logging_ && logging_->isVisible()) {
            logging_->PlaybackKeyPressed(key);
        } else if (IsMarkKey(key.toStdString())) {
            DropMarker();
        }
    };
    w->onUnitsChosen = [this](bool metric) {
        SetUnits(metric ? DisplayUnits::Metric : DisplayUnits::US);
    };
    w->onPeakHoldChosen = [this](bool on) { SetPeakHold(on); };
    w->onResetPeaks = [this] { ResetPeaks(); };
    w->SetWindowOpener(SuperDash::kExportItem, [this] {
        if (!export_) {
            export_ = new Export(*this, window_.get());
        }
        ShowWindow(export_);
    });
    w->SetWindowOpener(SuperDash::kViewerItem, [this] { OpenViewer(); });
    onRecordWritten = [this](const LogWriteResult& result) {
        if (logging_) {
            logging_->OnRecordResult(result);
        } else if (result.kind != LogWriteResult::Kind::Written) {
            MessageBoxSink(window_.get())(QString::fromStdString(result.message), {});
        }
    };
    w->SetWindowOpener(SuperDash::kUserGuideItem, [w] { OpenUserGuide(w); });
    // Modal to the dashboard, without a loop of its own: the receive loop goes on behind it.
    w->SetWindowOpener(SuperDash::kAboutItem, [w] { OpenDialog(new frmAbout(w)); });
}

// What the decoded frames do: the gauges, the boost scale and the log.
void DashApp::ConnectDataPath(SuperDash* w) {
    path_.dashboardShown = [w](bool live) { return w->DashboardShown(live); };
    gaugeTimer_ = new QTimer(w);
    gaugeTimer_->setSingleShot(true);
    QObject::connect(gaugeTimer_, &QTimer::timeout, w, [this] { FlushGauges(); });
    path_.showGauges = [this](const GaugeValues& v) { ShowGauges(v); };
    path_.setBoostFullScale = [w](double fullScale) { w->SetBoostFullScale(fullScale); };
    path_.recordFrame = [this](const FrameBuffer& frame) { RecordFrame(frame); };
}

DashApp::~DashApp() {
    // The windows go first (they refer to the link); the port closes after them, which removes
    // its lock file.
    status_.onChange = nullptr;
    path_.scopes = nullptr;
    scopeTable_.reset();
    window_.reset();
    vehicle_.reset();
    port_.Close();
}

QWidget* DashApp::mainWindow() {
    return window_.get();
}

void DashApp::SetScopeFeed(ScopeFeed* scopes) {
    scopes_ = scopes;
    path_.scopes = scopes;
}

void DashApp::ShowGauges(const GaugeValues& values) {
    lastGauges_ = values;
    pendingGauges_ = InUnits(values, units_);
    // Every frame counts towards the peaks, also those the dials skip.
    peaks_.Update(pendingGauges_);
    gaugesPending_ = true;
    if (gaugeTimer_->isActive()) {
        return;
    }
    const QScreen* screen = window_->screen();
    const double refresh = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
    const double wait = lastGaugeFlush_ + 1.0 / refresh - rt_.Now();
    if (wait <= 0) {
        FlushGauges();
    } else {
        gaugeTimer_->start(static_cast<int>(wait * 1000) + 1);
    }
}

void DashApp::FlushGauges() {
    if (!gaugesPending_) {
        return;
    }
    gaugesPending_ = false;
    lastGaugeFlush_ = rt_.Now();
    window_->dashboard()->ApplyGaugeValues(pendingGauges_);
    if (peakHold_) {
        window_->dashboard()->ApplyPeaks(peaks_.Peaks());
    }
    tpsTool_->ShowTps(pendingGauges_.tps);
}

void DashApp::SetUnits(DisplayUnits units) {
    units_ = units;
    window_->dashboard()->SetUnits(units);
    scopeTable_->SetUnits(units);
    if (viewer_) {
        viewer_->SetUnits(units);
    }
    window_->ShowDisplayChoices(units == DisplayUnits::Metric, peakHold_);
    // Peaks in the old units mean nothing in the new ones; the dials show the last frame again.
    ResetPeaks();
    if (lastGauges_) {
        ShowGauges(*lastGauges_);
    }
}

void DashApp::SetPeakHold(bool on) {
    peakHold_ = on;
    window_->ShowDisplayChoices(units_ == DisplayUnits::Metric, on);
    window_->dashboard()->SetPeaksShown(on);
    window_->dashboard()->ApplyPeaks(peaks_.Peaks());
}

void DashApp::ResetPeaks() {
    peaks_.Reset();
    window_->dashboard()->ApplyPeaks(peaks_.Peaks());
}

void DashApp::SaveLayout() {
    std::string error;
    if (!SaveDashLayout(DashLayoutPath(settings_.path()), CaptureLayout(*this), error)) {
        std::cerr << "quelm-dash: the window layout was not saved: " << error << '\n';
    }
    // The log name is kept even when the dashboard is closed before the logging window.
    if (logging_ && !logging_->SaveLogName(error)) {
        std::cerr << "quelm-dash: the log name was not saved: " << error << '\n';
    }
}

void DashApp::RecordFrame(const FrameBuffer& frame) {
    if (!recorder_.Recording()) {
        return;
    }
    // The record carries its time stamp in bytes 38..40; the live buffer stays as received.
    FrameBuffer record = frame;
    const LogWriteResult result = recorder_.WriteLogRecord(record, rt_.Now());
    if (onRecordWritten) {
        onRecordWritten(result);
    } else if (result.kind != LogWriteResult::Kind::Written) {
        MessageBoxSink(window_.get())(QString::fromStdString(result.message), {});
    }
}

void DashApp::OpenViewer(const std::filesystem::path& log) {
    if (!viewer_) {
        viewer_ = new LogViewer(config_, tables_, window_.get());
        viewer_->SetUnits(units_);
        viewer_->onPlayFrom = [this](const std::filesystem::path& file, std::uint64_t record) {
            window_->menuItem(QLatin1String(SuperDash::kLoggingItem))->trigger();
            // Outside the viewer's click: the playback runs until it ends.
            QTimer::singleShot(0, logging_, [this, name = QFile::decodeName(file.c_str()), record] {
                logging_->PlayFrom(name, record);
            });
        };
        viewer_->showOnGauges = [this](const EngData& eng) {
            EngData shown = eng;
            ShowGauges(UpdateDashboard(shown, config_));
        };
        // The link, a playback and the self test own the gauges while they run.
        viewer_->gaugesFree = [this] { return ops_.Current() == LongOperation::None; };
    }
    ShowWindow(viewer_);
    if (!log.empty()) {
        viewer_->Open(log);
    }
}

void DashApp::DropMarker() {
    if (!link_.Connected) {
        if (logging_) {
            logging_->ShowMark(QStringLiteral("Markers need the link running."));
        }
        return;
    }
    const DroppedMark dropped = liveMarks_.Drop(recorder_, rt_.Now());
    if (scopes_) {
        scopes_->AddMarker(path_.lastScopeTime());
    }
    if (logging_) {
        logging_->ShowMark(QString::fromStdString(dropped.Notice()));
    }
    if (dropped.error) {
        MessageBoxSink(window_.get())(QString::fromStdString(*dropped.error), {});
    }
}

void DashApp::FeatureTarget::SetGaugeVisible(const std::string& name, bool visible) {
    app_.window().SetGaugeVisible(QString::fromStdString(name), visible);
}

bool DashApp::FeatureTarget::gaugeVisible(const std::string& name) const {
    const GaugeWidget* g = app_.window().gauge(QString::fromStdString(name));
    return g && !g->isHidden();
}

void DashApp::FeatureTarget::SetBoostFullScale(double psi) {
    app_.window().SetBoostFullScale(psi);
}

void DashApp::FeatureTarget::SetWindowHeightTwips(int twips) {
    app_.window().SetHeightTwips(twips);
}

void DashApp::Connect_Click() {
    if (link_.Connected) {
        // The running loop notices at its next turn and stops with "COM Stopped".
        link_.Connected = false;
        status_.SetConnectCaption(status_text::kConnectCaption);
        return;
    }
    if (IsLink(ops_.Current())) {
        // The previous link is still winding down inside a wait: let it go on rather than
        // start a second link on the same port after it. Not when it winds down for a
        // playback or a self test the user asked for: that one starts once it has ended.
        if (!ops_.Waiting()) {
            link_.Connected = true;
            status_.SetConnectCaption(status_text::kDisconnectCaption);
        }
        return;
    }
    // A playback is stopped first and the link starts once it has ended; an export or a self
    // test refuses.
    if (auto refusal = ops_.Request(LongOperation::Connecting, [this] { RunLink(); })) {
        MessageBoxSink(window_.get())(QString::fromStdString(*refusal), {});
    }
}

void DashApp::RunLink() {
    auto running = ops_.Begin(LongOperation::Connecting, [this] {
        link_.Connected = false;
        status_.SetConnectCaption(status_text::kConnectCaption);
    });
    link_.Connected = true;
    try {
        if (ConnectDevice(link_) == ConnectOutcome::Aborted || Ending()) {
            return;
        }
        running.Become(LongOperation::Monitoring);
        ResetScopes();
        status_.SetConnectCaption(status_text::kDisconnectCaption);
        const MonitorResult result = Monitor(link_, path_);
        if (result.end == MonitorEnd::PortLost && !Ending()) {
            ReportPortLost(result.error);
        }
    } catch (const PortFailure& failure) {
        PortFailed(failure);
    }
}

void DashApp::Disconnect() {
    StopLink(link_);
}

void DashApp::ShowLoggedFrame(const FrameBuffer& frame, double scopeTime) {
    path_.ShowLoggedFrame(frame, scopeTime);
}

void DashApp::ResetScopes() {
    if (scopes_) {
        scopes_->ResetScopes();
    }
}

void DashApp::StatisticsTick() {
    const StatisticsTexts texts = quelm::StatisticsTick(link_.Stats, link_.FrameCounter);
    status_.SetPanel(3, texts.panel3);
    comStats_->ShowTexts(texts);
    if (onStatistics) {
        onStatistics(link_.Stats);
    }
}

void DashApp::PortFailed(const PortFailure& failure) {
    if (Ending()) {
        return;
    }
    link_.Connected = false;
    std::cerr << "quelm-dash: serial port error: " << failure.detail() << '\n';
    // The program ends once the box is closed; meanwhile nothing uses the port any more. A
    // program started from the desktop menu has no terminal: the box itself says why.
    QMessageBox* box = ShowNotice(window_.get(),
                                  {QMessageBox::Critical, QString::fromUtf8(failure.title()),
                                   QString::fromUtf8(failure.message())},
                                  [this] {
                                      if (!WriteComPortFile(0)) {
                                          std::cerr << "quelm-dash: could not write quelmom.ini\n";
                                      }
                                      EndProgram(1);
                                  });
    box->setDetailedText(QString::fromStdString(PortFailureDetail(failure)));
}

void DashApp::ReportPortLost(const std::string& error) {
    ShowNotice(window_.get(),
               {QMessageBox::Warning, QStringLiteral("Serial Port Lost"),
                QStringLiteral("The serial port stopped answering while polling (%1).\n"
                               "The link has been stopped; check the cable and the "
                               "Communications Setup, then press Connect.")
                    .arg(QString::fromStdString(error))});
}

void DashApp::EndProgram(int code) {
    if (Ending()) {
        return;
    }
    exitCode_ = code;
    // While the windows are still where the user left them.
    SaveLayout();
    rt_.RequestAbort();
    link_.Connected = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != window_.get() && w->isVisible()) {
            w->hide();
        }
    }
    if (window_->isVisible()) {
        window_->hide();
    }
    QCoreApplication::exit(code);
}

}  // namespace quelm
