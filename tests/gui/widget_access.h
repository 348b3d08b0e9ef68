// What the window tests read inside the shared widgets and the main window.
#pragma once

#include <qcustomplot.h>
#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

#include "common/test_access.h"
#include "shell/gui/dash_app.h"
#include "shell/gui/link_indicator.h"
#include "widgets/gauge_widget.h"
#include "widgets/strip_chart.h"

template <>
struct quelm::TestAccess<quelm::GaugeWidget> {
    static int FaceBuilds(const GaugeWidget& g) { return g.faceBuilds_; }
    static double Peak(const GaugeWidget& g, int needle) {
        return g.peaks_.at(static_cast<std::size_t>(needle));
    }
};

template <>
struct quelm::TestAccess<quelm::LinkIndicator> {
    static QColor Colour(const LinkIndicator& lamp) { return lamp.colour_; }
};

template <>
struct quelm::TestAccess<quelm::StripChart> {
    static double PenRangeUpper(const StripChart& c, int pen) { return c.Axis(pen)->range().upper; }
    static int MarkerTicks(const StripChart& c) { return static_cast<int>(c.markers_.size()); }
    static double ReadOutPosition(const StripChart& c) { return c.readOutX_; }
};

// The windows the dashboard application makes and the path its frames take.
template <>
struct quelm::TestAccess<quelm::DashApp> {
    static LogViewer* viewer(DashApp& a) { return a.viewer_; }
    static comstatdisplay& comStats(DashApp& a) { return *a.comStats_; }
    static TPSTool& tpsTool(DashApp& a) { return *a.tpsTool_; }
    static SelfTester& selfTester(DashApp& a) { return *a.selfTester_; }
    static Logging* logging(DashApp& a) { return a.logging_; }
    static Export* exportWindow(DashApp& a) { return a.export_; }
    static FramePath& framePath(DashApp& a) { return a.path_; }
};

namespace quelm::testing {

// Status panel 1..5 of the main window as last written.
inline QString PanelText(const QWidget& window, int panel) {
    const auto* label = window.findChild<QLabel*>(QStringLiteral("panel%1").arg(panel));
    return label ? label->text() : QString();
}

}  // namespace quelm::testing
