// The start-up window: logo, product name and maker while the dashboard loads.
#pragma once

#include <QFrame>

namespace quelm {

class Splash : public QFrame {
    Q_OBJECT
  public:
    explicit Splash(QWidget* parent = nullptr);
};

}  // namespace quelm
