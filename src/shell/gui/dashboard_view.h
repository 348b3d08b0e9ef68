// The instrument panel in the middle of the main window: twenty named dials, the Connect
// button and the link lamp. It lays out and forwards; the window around it owns the behaviour.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "decode/dashboard_update.h"

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
    LinkIndicator* linkIndicator() const { return indicator_; }

    // Link lamp: 0 grey, 1 green, 2 yellow, 3 red, other codes unchanged.
    void SetComStat(int stat);
    // Writes every needle in the dashboard's fixed order, both HEGO needles included.
    void ApplyGaugeValues(const GaugeValues& values);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    GaugeWidget* AddGauge(const QString& name, const QString& title, const QString& unit,
                          double minimum, double maximum);
    void UpdateFeatureRow();

    RefreshQueue* repaints_ = nullptr;
    std::vector<GaugeWidget*> gauges_;
    std::vector<GaugeWidget*> featureGauges_;
    QWidget* featureRow_ = nullptr;
    QPushButton* connect_ = nullptr;
    LinkIndicator* indicator_ = nullptr;
};

}  // namespace quelm
