// "Communications Statistics": the link counters, refreshed by the main window's once-a-second
// tick whether or not the window is on screen, and a Reset button.
#pragma once

#include <QWidget>

#include "link/link_statistics.h"

class QLabel;

namespace quelm {

class comstatdisplay : public QWidget {
    Q_OBJECT
  public:
    // `stats` are the link's counters; Reset clears them.
    explicit comstatdisplay(LinkStats& stats, QWidget* parent = nullptr);

    // Shows one tick's texts in the labels tfc, fps, cke, toe and flp.
    void ShowTexts(const StatisticsTexts& texts);
    // Clears the statistics; the labels show the zeros at the next tick.
    void reset_Click();

  private:
    LinkStats& stats_;
    QLabel* tfc_;
    QLabel* fps_;
    QLabel* cke_;
    QLabel* toe_;
    QLabel* flp_;
};

}  // namespace quelm
