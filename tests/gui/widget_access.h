// What the window tests read inside the shared widgets and the main window.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

#include "common/test_access.h"
#include "shell/gui/link_indicator.h"
#include "widgets/gauge_widget.h"

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

namespace quelm::testing {

// Status panel 1..5 of the main window as last written.
inline QString PanelText(const QWidget& window, int panel) {
    const auto* label = window.findChild<QLabel*>(QStringLiteral("panel%1").arg(panel));
    return label ? label->text() : QString();
}

}  // namespace quelm::testing
