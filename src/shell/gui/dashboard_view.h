// The instrument panel in the middle of the main window: twenty named dials, the Connect
// button and the link lamp. It lays out and forwards; the window around it owns the behaviour.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "decode/dashboard_update.h"
#include "decode/display_units.h"
#include "widgets/gauge_widget.h"

class QGridLayout;
class QHBoxLayout;
class QPushButton;

namespace quelm {

class GaugeWidget;
class LinkIndicator;
class RefreshQueue;

class DashboardView : public QWidget {
    Q_OBJECT
  public:
    // Each gauge repaints at most this often: smooth needles, and twenty gauges taking turns
    // leave the poll loop most of the thread.
    static constexpr int kGaugeRefreshMs = 33;

    explicit DashboardView(QWidget* parent = nullptr);

    // The dial with this object name ("Speedo", "Tach", "tps", ...), or nullptr.
    GaugeWidget* gauge(const QString& name) const;
    const std::vector<GaugeWidget*>& gauges() const { return gauges_; }
    QPushButton* connectButton() const { return connect_; }

    // Link lamp: 0 grey, 1 green, 2 yellow, 3 red, other codes unchanged.
    void SetComStat(int stat);
    // Writes every needle in the dashboard's fixed order, both HEGO needles included.
    void ApplyGaugeValues(const GaugeValues& values);

    // US faces as the window starts with, or the metric faces with scales of their own. The
    // values written afterwards must be in the same units.
    void SetUnits(DisplayUnits units);
    DisplayUnits Units() const { return units_; }
    // The Boost dial's full scale for a MAP sensor range in psi, in the units shown.
    void SetBoostFullScale(double psi);
    // Peak hold: every dial's peak marks (minus infinity: none yet) and whether they show.
    void ApplyPeaks(const GaugeValues& peaks);
    void SetPeaksShown(bool shown);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The steps of building the panel, in order.
    void AddGauges();
    QHBoxLayout* BuildHeader();
    QGridLayout* BuildMainGrid();
    QWidget* BuildFeatureRow();
    void RememberUsFaces();
    GaugeWidget* AddGauge(const QString& name, const QString& title, const QString& unit,
                          double minimum, double maximum);
    void UpdateFeatureRow();

    // A dial's US look, to go back to from metric.
    struct Face {
        QString title;
        QString unit;
        double minimum = 0;
        double maximum = 0;
        double majorStep = 0;
        std::vector<GaugeWidget::Zone> zones;
    };
    std::vector<std::pair<GaugeWidget*, Face>> usFaces_;
    DisplayUnits units_ = DisplayUnits::US;
    double boostPsi_ = 30;

    RefreshQueue* repaints_ = nullptr;
    std::vector<GaugeWidget*> gauges_;
    std::vector<GaugeWidget*> featureGauges_;
    QWidget* featureRow_ = nullptr;
    QPushButton* connect_ = nullptr;
    LinkIndicator* indicator_ = nullptr;
};

}  // namespace quelm
