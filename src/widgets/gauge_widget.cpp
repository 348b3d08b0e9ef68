#include "widgets/gauge_widget.h"

#include <QConicalGradient>
#include <QEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <limits>
#include <numbers>

#include "widgets/gauge_scale.h"
#include "widgets/refresh_rate.h"

namespace quelm {
namespace {

namespace gs = gauge_scale;

const QColor kFaceCentre(34, 38, 44);
const QColor kFaceEdge(14, 16, 19);
const QColor kTickColour(226, 230, 236);
const QColor kMinorTickColour(150, 158, 170);
const QColor kTitleColour(236, 240, 245);
const QColor kUnitColour(140, 170, 200);
const QColor kMarkColour(255, 196, 60);
// A needle's slot in the per-needle arrays; callers have checked the range.
constexpr std::size_t At(int needle) {
    return static_cast<std::size_t>(needle);
}

const std::array<QColor, GaugeWidget::kMaxNeedles> kNeedleColours{QColor(255, 106, 20),
                                                                  QColor(60, 200, 255)};

// A point on the dial at the given radius and scale angle, around the origin.
QPointF Polar(double radius, double angleDeg) {
    const double a = angleDeg * std::numbers::pi / 180.0;
    return {radius * std::cos(a), -radius * std::sin(a)};
}

QFont DialFont(double pixelSize, int weight) {
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

// Centre and radius of the dial within a widget of the given size.
struct Dial {
    QPointF centre;
    double radius;
};

Dial DialFor(const QSizeF& size) {
    const double side = std::min(size.width(), size.height());
    return {{size.width() / 2.0, size.height() / 2.0}, std::max(1.0, side / 2.0 - 2.0)};
}

// Shrinks the font until the text fits the room; false when that would take a font below
// `minimum` pixels.
bool ShrinkToFit(QFont& font, const QString& text, double room, int minimum) {
    const double wide = QFontMetricsF(font).horizontalAdvance(text);
    if (wide <= room) {
        return true;
    }
    // Text width follows the font size closely; hinting may want a step or two more.
    int pixels = std::min(font.pixelSize() - 1,
                          static_cast<int>(std::floor(font.pixelSize() * room / wide)));
    for (; pixels >= minimum; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(text) <= room) {
            return true;
        }
    }
    return false;
}

// The pieces of the static face, each painted around the dial's centre on a dial of radius r.

// Where a value sits on the scale, as an angle of the dial.
struct ScaleArc {
    double minimum;
    double maximum;
    double AngleOf(double value) const {
        return gs::AngleDeg(gs::Fraction(value, minimum, maximum));
    }
};

// The outer end of the ticks; the zone band lies just inside it.
constexpr double kTickOuter = 0.89;
// The ring the numbers are centred on.
constexpr double kLabelRadius = 0.635;

// Spacing and numbering of the ticks. Small dials get fewer numbers so that they stay legible;
// scales reaching into the thousands are numbered in thousands.
struct ScaleSteps {
    double step = 0;
    double divisor = 1;
    int decimals = 0;
    int minorPerMajor = 5;
    double minorStep = 0;
    double eps = 0;

    QString Label(double v) const {
        return QString::number(std::abs(v) < eps ? 0.0 : v / divisor, 'f', decimals);
    }
};

ScaleSteps ScaleStepsFor(const ScaleArc& arc, double majorStep, double r) {
    ScaleSteps s;
    const double span = arc.maximum - arc.minimum;
    s.step = majorStep > 0.0 ? majorStep : gs::NiceStep(span, r < 90.0 ? 5.0 : 7.0);
    s.divisor = (arc.maximum >= 2000.0 && s.step >= 100.0) ? 1000.0 : 1.0;
    s.decimals = gs::StepDecimals(s.step / s.divisor);
    s.minorPerMajor = (gs::StepDecimals(s.step / 5.0) <= s.decimals + 1) ? 5 : 4;
    s.minorStep = s.step / s.minorPerMajor;
    s.eps = s.minorStep * 1e-6;
    return s;
}

// Bezel: a thin metallic ring around a dark face.
void PaintBezel(QPainter& p, double r) {
    QConicalGradient bezel(QPointF(0, 0), 135);
    bezel.setColorAt(0.0, QColor(120, 126, 136));
    bezel.setColorAt(0.25, QColor(40, 43, 48));
    bezel.setColorAt(0.5, QColor(110, 116, 126));
    bezel.setColorAt(0.75, QColor(36, 39, 44));
    bezel.setColorAt(1.0, QColor(120, 126, 136));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), r, r);
    QRadialGradient face(QPointF(0, -0.3 * r), 1.3 * r);
    face.setColorAt(0.0, kFaceCentre);
    face.setColorAt(1.0, kFaceEdge);
    p.setBrush(face);
    const double faceR = 0.955 * r;
    p.drawEllipse(QPointF(0, 0), faceR, faceR);
}

// Coloured zones as a band just inside the tick ends, in order, later ones on top.
void PaintZones(QPainter& p, double r, const ScaleArc& arc,
                const std::vector<GaugeWidget::Zone>& zones) {
    const double bandWidth = 0.075 * r;
    const double bandR = kTickOuter * r - bandWidth / 2.0;
    const QRectF bandRect(-bandR, -bandR, 2 * bandR, 2 * bandR);
    for (const GaugeWidget::Zone& zone : zones) {
        const double a0 = arc.AngleOf(zone.from);
        const double a1 = arc.AngleOf(zone.to);
        if (a0 == a1) {
            continue;
        }
        QPen band(zone.colour, bandWidth, Qt::SolidLine, Qt::FlatCap);
        p.setPen(band);
        p.setBrush(Qt::NoBrush);
        p.drawArc(bandRect, static_cast<int>(std::lround(a0 * 16)),
                  static_cast<int>(std::lround((a1 - a0) * 16)));
    }
}

// The numbers' font, shrunk until neighbours cannot touch.
QFont NumberFont(double r, const ScaleArc& arc, const ScaleSteps& steps) {
    QFont font = DialFont(std::max(8.0, 0.135 * r), QFont::DemiBold);
    const double span = arc.maximum - arc.minimum;
    if (span > 0.0 && std::isfinite(span)) {
        const double stepAngle =
            gs::kSweepDeg * std::min(1.0, steps.step / span) * std::numbers::pi / 180.0;
        const double labelR = kLabelRadius * r;
        const double room = 0.9 * 2.0 * labelR * std::sin(stepAngle / 2.0);
        const QFontMetricsF probe(font);
        const double widest = std::max(probe.horizontalAdvance(steps.Label(arc.minimum)),
                                       probe.horizontalAdvance(steps.Label(arc.maximum)));
        if (widest > room && widest > 0.0) {
            font.setPixelSize(
                std::max(7, static_cast<int>(std::floor(font.pixelSize() * room / widest))));
        }
    }
    return font;
}

void PaintTicksAndNumbers(QPainter& p, double r, const ScaleArc& arc, const ScaleSteps& steps) {
    const QFont numberFont = NumberFont(r, arc, steps);
    p.setFont(numberFont);
    const double span = arc.maximum - arc.minimum;
    if (!(span > 0.0 && std::isfinite(span))) {
        return;
    }
    const QFontMetricsF numberMetrics(numberFont);
    const long first = static_cast<long>(std::ceil((arc.minimum - steps.eps) / steps.minorStep));
    const long last = static_cast<long>(std::floor((arc.maximum + steps.eps) / steps.minorStep));
    for (long i = first; i <= last && i - first < 1000; ++i) {
        const double v = static_cast<double>(i) * steps.minorStep;
        const bool major = i % steps.minorPerMajor == 0;
        const double a = arc.AngleOf(v);
        const double inner = major ? 0.77 * r : 0.83 * r;
        p.setPen(QPen(major ? kTickColour : kMinorTickColour, major ? 0.028 * r : 0.012 * r,
                      Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Polar(inner, a), Polar(kTickOuter * r, a));
        if (major) {
            const QString text = steps.Label(v);
            QRectF box = numberMetrics.boundingRect(text);
            box.moveCenter(Polar(kLabelRadius * r, a));
            p.setPen(kTickColour);
            p.drawText(box, Qt::AlignCenter, text);
        }
    }
}

// Extra marks: an accent tick on the rim and the text on an inner ring.
void PaintMarks(QPainter& p, double r, const ScaleArc& arc,
                const std::vector<GaugeWidget::Mark>& marks) {
    const QFont markFont = DialFont(std::max(7.0, 0.095 * r), QFont::Bold);
    p.setFont(markFont);
    const QFontMetricsF markMetrics(markFont);
    for (const GaugeWidget::Mark& mark : marks) {
        const double a = arc.AngleOf(mark.value);
        p.setPen(QPen(kMarkColour, 0.03 * r, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Polar(0.91 * r, a), Polar(0.955 * r, a));
        QRectF box = markMetrics.boundingRect(mark.text);
        box.moveCenter(Polar(0.3 * r, a));
        p.setPen(kMarkColour);
        p.drawText(box, Qt::AlignCenter, mark.text);
    }
}

// Title above the hub, unit (and the thousands hint) under it.
void PaintTitleAndUnit(QPainter& p, double r, const QString& title, const QString& unit,
                       bool thousands) {
    const QFont titleFont = DialFont(std::max(8.0, 0.15 * r), QFont::Bold);
    p.setFont(titleFont);
    p.setPen(kTitleColour);
    p.drawText(QRectF(-0.6 * r, -0.47 * r, 1.2 * r, 0.2 * r), Qt::AlignCenter, title);
    QString unitLine = unit;
    if (thousands) {
        unitLine = unitLine.isEmpty() ? QStringLiteral("x1000") : unitLine + " x1000";
    }
    if (!unitLine.isEmpty()) {
        p.setFont(DialFont(std::max(8.0, 0.12 * r), QFont::Normal));
        p.setPen(kUnitColour);
        p.drawText(QRectF(-0.6 * r, -0.29 * r, 1.2 * r, 0.15 * r), Qt::AlignCenter, unitLine);
    }
}

}  // namespace

GaugeWidget::GaugeWidget(QWidget* parent)
    : QWidget(parent), pacer_(this, RefreshIntervalMs(this), [this] { update(); }) {
    // The face carries the background around the dial, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    needleLabels_ = {QString(), QString()};
    peaks_.fill(std::numeric_limits<double>::quiet_NaN());
}

void GaugeWidget::SetPeak(int needle, double value) {
    if (needle < 0 || needle >= kMaxNeedles || peaks_[At(needle)] == value ||
        (std::isnan(peaks_[At(needle)]) && std::isnan(value))) {
        return;
    }
    peaks_[At(needle)] = value;
    if (peakShown_) {
        pacer_.Request();
    }
}

void GaugeWidget::SetPeakShown(bool shown) {
    if (peakShown_ != shown) {
        peakShown_ = shown;
        update();
    }
}

void GaugeWidget::SetRefreshQueue(RefreshQueue* queue) {
    pacer_.SetQueue(queue);
}

void GaugeWidget::SetValue(double value) {
    if (values_[At(selected_)] == value) {
        return;
    }
    values_[At(selected_)] = value;
    // update() alone would repaint at the next pass of the event loop, which the poll loop
    // makes hundreds of times a second.
    pacer_.Request();
}

void GaugeWidget::SelectNeedle(int needle) {
    if (needle >= 0 && needle < kMaxNeedles) {
        selected_ = needle;
    }
}

void GaugeWidget::SetFullScale(double value) {
    if (maximum_ == value) {
        return;
    }
    maximum_ = value;
    FaceChanged();
}

void GaugeWidget::SetScale(double minimum, double maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    FaceChanged();
}

void GaugeWidget::SetMajorStep(double step) {
    majorStep_ = step > 0.0 ? step : 0.0;
    FaceChanged();
}

void GaugeWidget::SetTitle(const QString& title) {
    title_ = title;
    FaceChanged();
}

void GaugeWidget::SetUnit(const QString& unit) {
    unit_ = unit;
    FaceChanged();
}

void GaugeWidget::SetNeedleCount(int count) {
    needleCount_ = std::clamp(count, 1, kMaxNeedles);
    if (selected_ >= needleCount_) {
        selected_ = 0;
    }
    FaceChanged();
}

void GaugeWidget::SetNeedleLabels(const QString& first, const QString& second) {
    needleLabels_ = {first, second};
    update();
}

void GaugeWidget::AddMark(double value, const QString& text) {
    marks_.push_back({value, text});
    FaceChanged();
}

void GaugeWidget::AddZone(double from, double to, const QColor& colour) {
    zones_.push_back({from, to, colour});
    FaceChanged();
}

void GaugeWidget::ClearZones() {
    zones_.clear();
    FaceChanged();
}

double GaugeWidget::NeedleValue(int needle) const {
    return (needle >= 0 && needle < kMaxNeedles) ? values_[At(needle)] : 0.0;
}

double GaugeWidget::ScaleFraction(double value) const {
    return gs::Fraction(value, minimum_, maximum_);
}

void GaugeWidget::FaceChanged() {
    faceValid_ = false;
    update();
}

void GaugeWidget::resizeEvent(QResizeEvent* event) {
    faceValid_ = false;
    QWidget::resizeEvent(event);
}

// A new device pixel ratio is caught in paintEvent by comparing it with the cached face.
void GaugeWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        faceValid_ = false;
    }
    QWidget::changeEvent(event);
}

void GaugeWidget::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void GaugeWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->pos())) {
        emit clicked();
    }
    QWidget::mouseReleaseEvent(event);
}

void GaugeWidget::SetMinimumReadoutDecimals(int decimals) {
    minReadoutDecimals_ = std::max(0, decimals);
    update();
}

QString GaugeWidget::ReadoutText(double value) const {
    if (std::isnan(value)) {
        return QStringLiteral("--");
    }
    if (std::isinf(value)) {
        return QString(value < 0 ? "-" : "") + kOverflowMark;
    }
    const int decimals = std::max(gs::ReadoutDecimals(maximum_ - minimum_), minReadoutDecimals_);
    return QString::number(value, 'f', decimals);
}

GaugeWidget::Readout GaugeWidget::ReadoutOf(int needle) const {
    const double r = DialFor(QSizeF(size())).radius;
    const bool twin = needleCount_ > 1;
    const double halfWidth = twin ? 0.38 * r : 0.3 * r;
    Readout out;
    out.box = QRectF(-halfWidth, 0.53 * r, 2 * halfWidth, 0.24 * r);
    if (twin) {
        out.box.setWidth(halfWidth);
        out.box.moveLeft(-halfWidth + (needle == 1 ? halfWidth : 0.0));
    }
    out.font = DialFont(twin ? 0.12 * r : 0.19 * r, QFont::Bold);
    out.text = ReadoutText(NeedleValue(needle));
    // Some room inside the rounded frame.
    const double room = 0.9 * out.box.width();
    const int full = out.font.pixelSize();
    if (!ShrinkToFit(out.font, out.text, room, kMinReadoutPixels)) {
        out.text = QString(NeedleValue(needle) < 0 ? "-" : "") + kOverflowMark;
        out.font.setPixelSize(full);
        if (!ShrinkToFit(out.font, out.text, room, kMinReadoutPixels)) {
            out.font.setPixelSize(std::min(full, kMinReadoutPixels));
        }
    }
    return out;
}

void GaugeWidget::BuildFace(qreal dpr) {
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    face_ = QPixmap(pixels);
    face_.setDevicePixelRatio(dpr);
    // Opaque, in the colour of the panel the gauge sits on: a repaint copies the face instead of
    // blending it over a fresh fill of the panel.
    face_.fill(palette().color(QPalette::Window));
    ++faceBuilds_;

    QPainter p(&face_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Dial dial = DialFor(QSizeF(size()));
    const double r = dial.radius;
    p.translate(dial.centre);

    const ScaleArc arc{minimum_, maximum_};
    const ScaleSteps steps = ScaleStepsFor(arc, majorStep_, r);
    PaintBezel(p, r);
    PaintZones(p, r, arc, zones_);
    PaintTicksAndNumbers(p, r, arc, steps);
    PaintMarks(p, r, arc, marks_);
    PaintTitleAndUnit(p, r, title_, unit_, steps.divisor > 1.0);
    faceValid_ = true;
}

void GaugeWidget::paintEvent(QPaintEvent* /*event*/) {
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (!faceValid_ || face_.size() != pixels || face_.devicePixelRatio() != dpr) {
        BuildFace(dpr);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, face_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Dial dial = DialFor(QSizeF(size()));
    const double r = dial.radius;
    p.translate(dial.centre);

    // Read-out: a dark window in the gap at the bottom of the scale.
    const double halfWidth = needleCount_ > 1 ? 0.38 * r : 0.3 * r;
    const QRectF window(-halfWidth, 0.53 * r, 2 * halfWidth, 0.24 * r);
    p.setPen(QPen(QColor(70, 76, 86), std::max(1.0, 0.01 * r)));
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(window, 0.05 * r, 0.05 * r);
    for (int n = 0; n < needleCount_; ++n) {
        const Readout readout = ReadoutOf(n);
        p.setFont(readout.font);
        p.setPen(needleCount_ > 1 ? kNeedleColours[At(n)] : kTitleColour);
        p.drawText(readout.box, Qt::AlignCenter, readout.text);
    }

    // Peak marks: a thin line across the tick band in the needle's colour.
    for (int n = 0; peakShown_ && n < needleCount_; ++n) {
        if (!std::isfinite(peaks_[At(n)])) {
            continue;
        }
        const double a = gs::AngleDeg(ScaleFraction(peaks_[At(n)]));
        p.setPen(QPen(kNeedleColours[At(n)], std::max(1.5, 0.02 * r), Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Polar(0.72 * r, a), Polar(0.95 * r, a));
    }

    // Needles, the last one on top, then the hub.
    for (int n = needleCount_ - 1; n >= 0; --n) {
        const double a = gs::AngleDeg(ScaleFraction(values_[At(n)]));
        p.save();
        p.rotate(-a);
        QPainterPath needle;
        needle.moveTo(-0.14 * r, -0.035 * r);
        needle.lineTo(0.86 * r, -0.008 * r);
        needle.lineTo(0.86 * r, 0.008 * r);
        needle.lineTo(-0.14 * r, 0.035 * r);
        needle.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawPath(needle.translated(0.015 * r, 0.02 * r));
        p.setBrush(kNeedleColours[At(n)]);
        p.drawPath(needle);
        if (needleCount_ > 1 && !needleLabels_[At(n)].isEmpty()) {
            const QPointF tag(0.4 * r, 0.0);
            const double tagR = 0.075 * r;
            p.setBrush(kNeedleColours[At(n)]);
            p.drawEllipse(tag, tagR, tagR);
            p.translate(tag);
            p.rotate(a);  // keep the letter upright
            p.setFont(DialFont(0.1 * r, QFont::Black));
            p.setPen(QColor(10, 10, 10));
            p.drawText(QRectF(-tagR, -tagR, 2 * tagR, 2 * tagR), Qt::AlignCenter,
                       needleLabels_[At(n)]);
        }
        p.restore();
    }
    QRadialGradient hub(QPointF(-0.02 * r, -0.02 * r), 0.09 * r);
    hub.setColorAt(0.0, QColor(90, 96, 106));
    hub.setColorAt(1.0, QColor(20, 22, 26));
    p.setPen(QPen(QColor(0, 0, 0, 160), 0.01 * r));
    p.setBrush(hub);
    p.drawEllipse(QPointF(0, 0), 0.075 * r, 0.075 * r);
}

}  // namespace quelm
