#include "widgets/refresh_rate.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quelm {

int RefreshIntervalMs(const QWidget* widget) {
    constexpr int kFastest = 16;
    const QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const double hz = screen != nullptr ? screen->refreshRate() : 0.0;
    if (!(hz > 1.0)) {
        return kFastest;
    }
    return std::max(kFastest, static_cast<int>(std::ceil(1000.0 / hz)));
}

}  // namespace quelm
