// The instrument panel in the middle of the main window: twenty named dials, the Connect
// button and the link lamp. It lays out and forwards; the window around it owns the behaviour.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QPushButton;

namespace quelm {

class GaugeWidget;
class LinkIndicator;

// One frame's worth of needle values, in engineering units.
struct DashboardReadings {
    double maf = 0;
    double tps = 0;
    double ect = 0;
    double act = 0;
    double bap = 0;
    double advance = 0;
    double boost = 0;
    double vacuum = 0;
    double rpm = 0;
    double mph = 0;
    double aux1 = 0;
    double aux2 = 0;
    double hegoL = 0;
    double hegoR = 0;
    double injDuty = 0;
    double injPw = 0;
    double wideO2 = 0;
    double mpg = 0;
    double load = 0;
    double rwhp = 0;
    double rwtq = 0;
};

class DashboardView : public QWidget {
    Q_OBJECT
  public:
    explicit DashboardView(QWidget* parent = nullptr);

    // The dial with this object name ("Speedo", "Tach", "tps", ...), or nullptr.
    GaugeWidget* gauge(const QString& name) const;
    const std::vector<GaugeWidget*>& gauges() const { return gauges_; }
    QPushButton* connectButton() const { return connect_; }
    LinkIndicator* linkIndicator() const { return indicator_; }

    // Link lamp: 0 grey, 1 green, 2 yellow, 3 red, other codes unchanged.
    void SetComStat(int stat);
    // Writes every needle in the dashboard's fixed order, both HEGO needles included.
    void ApplyGaugeValues(const DashboardReadings& values);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    GaugeWidget* AddGauge(const QString& name, const QString& title, const QString& unit,
                          double minimum, double maximum);
    void UpdateFeatureRow();

    std::vector<GaugeWidget*> gauges_;
    std::vector<GaugeWidget*> featureGauges_;
    QWidget* featureRow_ = nullptr;
    QPushButton* connect_ = nullptr;
    LinkIndicator* indicator_ = nullptr;
};

}  // namespace quelm
