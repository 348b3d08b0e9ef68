// The round link lamp of the dashboard, coloured by the link state codes 0..3.
#pragma once

#include <QColor>
#include <QWidget>

#include "common/test_access.h"

namespace quelm {

class LinkIndicator : public QWidget {
    Q_OBJECT
  public:
    explicit LinkIndicator(QWidget* parent = nullptr);

    // 0 dark grey, 1 green, 2 yellow, 3 red; any other code leaves the colour as it is.
    void SetComStat(int stat);

    QSize sizeHint() const override { return {22, 22}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    friend struct TestAccess<LinkIndicator>;

    QColor colour_{64, 64, 64};
};

}  // namespace quelm
