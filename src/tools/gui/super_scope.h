// One scope window: four channel selectors with their value labels above a four-pen strip
// chart. The scope table feeds it frames; the window itself keeps the selectors, the read-out
// and the size rules.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "common/records.h"
#include "decode/display_units.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace quelm {

class SettingsFile;
class StripChart;
struct ScopeChannel;

class SuperScope : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSelectors = 4;

    explicit SuperScope(SettingsFile& settings, QWidget* parent = nullptr);

    // Fills the selectors, restores them from the settings and starts with empty labels and
    // chart. Runs at construction and again when a closed window is shown anew.
    void Load();
    bool IsLoaded() const { return loaded_; }

    // One frame: every selector not on "*OFF*" adds a point to its pen and shows the value.
    void UpdateScope(const EngData& eng, double time);
    // Clears the chart and shows 0..15 s.
    void ResetScope();

    void Clear_Click();
    // Pause freezes the chart, which the wheel and dragging then move through the history;
    // Live (the same button) follows the newest points again.
    void Pause_Click();
    bool Paused() const { return paused_; }
    // The value labels and read-out in US or metric units (the plot is the same in both).
    void SetUnits(DisplayUnits units);
    // A marker at this scope time, shown as a tick on the chart.
    void AddMarker(double time);
    // The four selectors' channel names, and setting them (an unknown name selects ADVANCE).
    std::array<std::string, 4> Channels() const;
    void SetChannels(const std::array<std::string, 4>& names);
    // The chart's read-out moved: the labels show the pens' values there.
    void Scope_ReadOut();

    StripChart* chart() const { return chart_; }
    QComboBox* selector(int n) const { return selectors_[static_cast<std::size_t>(n - 1)]; }
    QLabel* valueLabel(int n) const { return labels_[static_cast<std::size_t>(n - 1)]; }

  protected:
    // Closing saves the selectors and hides the window; it stays allocated.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Unload();
    void FitToSize();
    // Places the selectors, read-outs and Clear; returns the bottom of what it placed.
    int LayOutControls();
    // The width a selector needs to show its longest channel name in `font`.
    int SelectorWidthNeeded(const QFont& font) const;
    void SetLabel(int index, std::string text);
    // The feed's label values reach the widgets with the chart's replot, not once per frame:
    // forty labels re-laid out 300 times a second would slow the poll loop for nothing.
    void SetLabelLater(int index, float value);
    void ShowPendingLabels();
    void Scroll(double seconds);
    // The label text of a selector's value, in the units shown.
    std::string ValueText(int index, float value) const;

    SettingsFile& settings_;
    std::array<QComboBox*, kSelectors> selectors_{};
    std::array<QLabel*, kSelectors> labels_{};
    // The channel each selector names, kept in step with the selector so a frame does not have
    // to look the text up; a new selection still takes effect on the next frame.
    std::array<const ScopeChannel*, kSelectors> channels_{};
    // What each label shows, so a frame only touches labels whose text changes.
    std::array<std::string, kSelectors> labelTexts_;
    std::array<float, kSelectors> pendingValues_{};
    std::array<bool, kSelectors> pending_{};
    QPushButton* clear_ = nullptr;
    QPushButton* pause_ = nullptr;
    bool paused_ = false;
    DisplayUnits units_ = DisplayUnits::US;
    StripChart* chart_ = nullptr;
    bool loaded_ = false;
};

}  // namespace quelm
