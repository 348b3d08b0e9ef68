// Takes turns among a group of widgets fed together: the scope windows' charts, the dashboard's
// gauges. Fed by the same frame, they would otherwise all redraw in the same pass of the event
// loop, a lump of several milliseconds that holds up the poll loop sharing the thread. Here each
// member redraws at most once per interval, and two turns are at least the interval divided
// among the members apart, so each redraw fits in the time a frame spends on the line.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

namespace quelm {

class RefreshQueue : public QObject {
    Q_OBJECT
  public:
    // Turns are at least `minGapMs` apart however many members there are: the group's whole
    // redraw work per second stays bounded, and each member's interval stretches beyond that.
    explicit RefreshQueue(int intervalMs, QObject* parent = nullptr, int minGapMs = 1);

    // `refresh` redraws the member when its turn comes. A member leaves when it is destroyed.
    void Join(QObject* member, std::function<void()> refresh);
    void Leave(QObject* member);
    // The member has something new to show.
    void Request(QObject* member);

    int Members() const { return static_cast<int>(members_.size()); }
    // Shortest time between two turns.
    int GapMs() const;

  private:
    struct Member {
        QObject* object;
        std::function<void()> refresh;
        qint64 lastTurn;
        bool waiting = false;
    };
    void ScheduleTurn();
    void Turn();

    int intervalMs_;
    int minGapMs_;
    std::vector<Member> members_;
    QElapsedTimer clock_;
    qint64 lastTurn_;
    QTimer timer_;
};

// A widget's side of the pacing: `refresh` runs once at most per interval after a Request, on
// the widget's own single-shot timer, or at the widget's turn once it is given a queue.
class RefreshPacer {
  public:
    RefreshPacer(QObject* owner, int intervalMs, std::function<void()> refresh);
    ~RefreshPacer();
    RefreshPacer(const RefreshPacer&) = delete;
    RefreshPacer& operator=(const RefreshPacer&) = delete;

    void SetQueue(RefreshQueue* queue);
    void Request();

  private:
    QObject* owner_;
    std::function<void()> refresh_;
    QTimer timer_;
    QPointer<RefreshQueue> queue_;
};

}  // namespace quelm
