#include "shell/gui/startup.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/app_paths.h"
#include "common/com_port_map.h"
#include "common/number_text.h"
#include "common/product_info.h"
#include "common/stop_signals.h"
#include "files/settings_file.h"
#include "link/gui/com_setup.h"
#include "shell/dash_options.h"
#include "shell/gui/dash_app.h"
#include "shell/gui/dash_layout.h"
#include "shell/gui/resources.h"
#include "shell/gui/splash.h"
#include "shell/gui/super_dash.h"
#include "sim/frame_source.h"
#include "sim/simulator_thread.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/vehicle_windows.h"

namespace quelm {

namespace {

// The vehicle configuration into the (hidden) settings windows, which are the live
// configuration, then the MAF curve into the editor and the conversions; both report their
// own messages.
void LoadVehicleAndMaf(DashApp& app) {
    app.vehicle().LoadVehicleConfig();
    app.vehicle().LoadMafTable();
}

// COM number the --port and --simulate devices stand behind: the configured one, else COM1.
int MappedComPort(const SettingsFile& settings) {
    const int port = ComPortNumber(ReadIniValue(settings, "SERIAL", "COMPORT"));
    return port != 0 ? port : 1;
}

// A stop signal ends the program the way closing the window does, so that the port is closed
// and its lock file removed. A timer looks for it.
void WatchStopSignals(DashApp& app, const StopSignals& stop) {
    auto* timer = new QTimer(&app.window());
    QObject::connect(timer, &QTimer::timeout, [&app, &stop] {
        if (stop.Requested()) {
            app.EndProgram(0);
        }
    });
    timer->start(100);
}

using DashOptionsOrError = std::variant<DashOptions, std::string>;

std::vector<std::string> Arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

bool HasQtOptions(int argc, char** argv) {
    const std::vector<std::string> args = Arguments(argc, argv);
    return std::any_of(args.begin(), args.end(), [](const std::string& a) {
        return a.size() > 1 && a[0] == '-' && a[1] != '-' && a != "-h";
    });
}

// A wrong option, --help or --version: the answer is printed and its exit status returned.
// Nothing when the dashboard is to run.
std::optional<int> AnswerWithoutWindow(const DashOptionsOrError& parsed) {
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "quelm-dash: " << *error << "\n" << DashUsage();
        return 2;
    }
    const DashOptions& opts = std::get<DashOptions>(parsed);
    if (opts.help) {
        std::cout << DashUsage();
        return 0;
    }
    if (opts.version) {
        std::cout << VersionLine("quelm-dash") << '\n';
        return 0;
    }
    return std::nullopt;
}

// The built-in device behind the configured COM port; nothing (with a message) when no
// pseudo-terminal can be had.
std::unique_ptr<sim::SimulatorThread> StartSimulator(sim::Scenario scenario) {
    try {
        return std::make_unique<sim::SimulatorThread>(
            sim::DeviceOptions{}, std::make_unique<sim::ScenarioSource>(scenario));
    } catch (const std::exception& e) {
        std::cerr << "quelm-dash: cannot start the simulator: " << e.what() << '\n';
        return nullptr;
    }
}

// Appends each statistics tick to `file`; false (with a message) when it cannot be opened.
bool LogStatistics(DashApp& app, const std::filesystem::path& path, std::ofstream& file) {
    file.open(path, std::ios::app);
    if (!file) {
        std::cerr << "quelm-dash: cannot write " << path << '\n';
        return false;
    }
    app.onStatistics = [&file](const LinkStats& s) {
        file << PlainNumber(s.FramesPerSecond) << ' ' << PlainNumber(s.TotalFrames) << ' '
             << PlainNumber(s.ChecksumErrors) << ' ' << PlainNumber(s.TimeoutErrors) << std::endl;
    };
    return true;
}

// Once the window is up: the saved layout, the scopes asked for, the log to view, the menu items to
// choose and the Connect press, each as the options say.
void OpenAsAsked(DashApp& app, const DashOptions& opts) {
    if (!opts.noLayout) {
        RestoreLayout(app, app.savedLayout());
    }
    for (int i = 0; i < opts.scopes; ++i) {
        app.scopeTable().OpenNextScope();
    }
    if (opts.minimized) {
        app.window().showMinimized();
    }
    if (!opts.view.empty()) {
        app.OpenViewer(opts.view);
    }
    for (const std::string& item : opts.open) {
        QTimer::singleShot(0, &app.window(), [&app, name = QString::fromStdString(item)] {
            QAction* action = app.window().menuItem(name);
            if (action == nullptr || !action->isEnabled()) {
                std::cerr << "quelm-dash: no menu item " << name.toStdString() << " to open\n";
                return;
            }
            action->trigger();
        });
    }
    if (opts.connect) {
        QTimer::singleShot(0, app.window().connectButton(), [&app] { app.Connect_Click(); });
    }
}

// The dashboard from its splash to the end of the event loop.
int RunWindows(const DashOptions& opts) {
    QApplication::setApplicationName(QStringLiteral("Quelm_Dash"));
    InitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quelm/icon.svg")));

    // Lives longer than the dashboard, so the port closes before the terminal goes away.
    std::unique_ptr<sim::SimulatorThread> simulator;
    if (opts.simulate) {
        simulator = StartSimulator(opts.scenario);
        if (!simulator) {
            return 1;
        }
    }
    const StopSignals stopSignals;
    auto splash = std::make_unique<Splash>();
    splash->show();
    QCoreApplication::processEvents();

    DashApp app(SettingsPath(opts.config));
    const std::string device = simulator ? simulator->path() : opts.port;
    if (!device.empty()) {
        app.portMap().SetSessionDevice(MappedComPort(app.settings()), device);
    }
    WatchStopSignals(app, stopSignals);
    std::ofstream statsLog;
    if (!opts.statsLog.empty() && !LogStatistics(app, opts.statsLog, statsLog)) {
        return 1;
    }
    if (!LoadDashboard(app, splash.get())) {
        return app.exitCode();
    }
    splash.reset();
    OpenAsAsked(app, opts);
    const int code = QApplication::exec();
    return app.Ending() ? app.exitCode() : code;
}

}  // namespace

bool LoadDashboard(DashApp& app, Splash* splash) {
    LinkContext& link = app.link();
    GuiRuntime& rt = app.guiRuntime();
    link.Connected = false;
    link.ComPort = ComPortNumber(ReadIniValue(app.settings(), "SERIAL", "COMPORT"));
    link.BaudRate = ReadIniValue(app.settings(), "SERIAL", "MAXBAUDRATE");
    app.mutableTables() = BuiltInTables();
    Delay(rt, 1.0);
    if (splash) {
        splash->hide();
    }
    if (rt.Aborting()) {
        return false;
    }
    app.window().show();
    link.MaxBaudRate = link.BaudRate;
    if (link.ComPort == 0) {
        // The dashboard stays usable while the user picks a port.
        ComSetup& setup = app.comSetup();
        setup.show();
        setup.raise();
        while (link.ComPort == 0 && !rt.Aborting()) {
            rt.Sleep(0.010);
            rt.Yield();
        }
        if (rt.Aborting()) {
            return false;
        }
    }
    app.status().SetComStat(3);
    LoadVehicleAndMaf(app);
    return !rt.Aborting();
}

int RunDashboard(int argc, char** argv) {
    // --help, --version and a wrong option answer without a display, unless Qt's own options
    // (one dash, such as -platform) are given: QApplication takes those out of argv first.
    std::optional<DashOptionsOrError> parsed;
    if (!HasQtOptions(argc, argv)) {
        parsed = ParseDashOptions(Arguments(argc, argv));
        if (const auto answered = AnswerWithoutWindow(*parsed)) {
            return *answered;
        }
    }
    QApplication qt(argc, argv);
    if (!parsed) {
        parsed = ParseDashOptions(Arguments(argc, argv));
        if (const auto answered = AnswerWithoutWindow(*parsed)) {
            return *answered;
        }
    }
    return RunWindows(std::get<DashOptions>(*parsed));
}

}  // namespace quelm
