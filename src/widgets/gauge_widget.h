// A round instrument dial: one or two needles over a scale with ticks, numbers, coloured zones,
// a title, a unit and a few text marks. The static face is painted once into a cached pixmap;
// a value change only stores the value and starts a one-refresh timer, so a gauge fed at the
// full frame rate paints at most once per screen refresh.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "common/test_access.h"
#include "widgets/refresh_queue.h"

namespace quelm {

class GaugeWidget : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMaxNeedles = 2;

    struct Zone {
        double from;
        double to;
        QColor colour;
    };
    struct Mark {
        double value;
        QString text;
    };

    explicit GaugeWidget(QWidget* parent = nullptr);

    // Repaints take turns with the other members of the queue instead of running on the
    // gauge's own timer.
    void SetRefreshQueue(RefreshQueue* queue);

    // Moves the selected needle. Values beyond the scale pin the needle at the end stop; the
    // read-out still shows the value as given.
    void SetValue(double value);
    // The next SetValue moves this needle (0 or 1); other indices are ignored.
    void SelectNeedle(int needle);
    // Upper end of the scale for the values that follow.
    void SetFullScale(double value);
    void SetScale(double minimum, double maximum);
    // Spacing of the numbered ticks; 0 picks one from the scale.
    void SetMajorStep(double step);
    void SetTitle(const QString& title);
    void SetUnit(const QString& unit);
    // One needle, or two marked with the given letters (for example "L" and "R").
    void SetNeedleCount(int count);
    void SetNeedleLabels(const QString& first, const QString& second);
    void AddMark(double value, const QString& text);
    // Peak hold: a thin mark on the rim at each needle's peak (NaN or minus infinity: none),
    // drawn while shown.
    void SetPeak(int needle, double value);
    void SetPeakShown(bool shown);
    // Zones are painted in the order added, each over the earlier ones.
    void AddZone(double from, double to, const QColor& colour);
    void ClearZones();

    double Value() const { return values_[static_cast<std::size_t>(selected_)]; }
    double NeedleValue(int needle) const;
    double MajorStep() const { return majorStep_; }
    double ScaleMinimum() const { return minimum_; }
    double ScaleMaximum() const { return maximum_; }
    const QString& Title() const { return title_; }
    const QString& Unit() const { return unit_; }
    const std::vector<Zone>& Zones() const { return zones_; }
    // Position of a value along the scale, 0 at the start stop and 1 at the end stop.
    double ScaleFraction(double value) const;

    // The read-out never cuts a value: the text shrinks to fit its box, and below this size
    // gives way to the overflow mark (with the value's sign).
    static constexpr int kMinReadoutPixels = 7;
    static constexpr const char* kOverflowMark = "OL";
    // The read-out carries at least this many decimals (more on a narrow scale).
    void SetMinimumReadoutDecimals(int decimals);
    // What the read-out of a needle shows at the present size: text, font and its box (in
    // pixels from the dial's centre).
    struct Readout {
        QString text;
        QFont font;
        QRectF box;
    };
    Readout ReadoutOf(int needle) const;

    QSize sizeHint() const override { return {200, 200}; }
    QSize minimumSizeHint() const override { return {80, 80}; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    friend struct TestAccess<GaugeWidget>;

    void FaceChanged();
    void BuildFace(qreal dpr);
    QString ReadoutText(double value) const;

    std::array<double, kMaxNeedles> values_{};
    std::array<double, kMaxNeedles> peaks_{};
    bool peakShown_ = false;
    int selected_ = 0;
    int needleCount_ = 1;
    std::array<QString, kMaxNeedles> needleLabels_{};
    double minimum_ = 0.0;
    double maximum_ = 100.0;
    double majorStep_ = 0.0;
    int minReadoutDecimals_ = 0;
    QString title_;
    QString unit_;
    std::vector<Mark> marks_;
    std::vector<Zone> zones_;

    QPixmap face_;
    RefreshPacer pacer_;
    bool faceValid_ = false;
    bool pressed_ = false;
    int faceBuilds_ = 0;  // how often the static face was rebuilt
};

}  // namespace quelm
