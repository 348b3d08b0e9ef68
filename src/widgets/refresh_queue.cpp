#include "widgets/refresh_queue.h"

#include <algorithm>
#include <limits>

namespace quelm {

namespace {
constexpr qint64 kLongAgo = std::numeric_limits<qint64>::min() / 2;
constexpr qint64 kNever = std::numeric_limits<qint64>::max();
}  // namespace

RefreshQueue::RefreshQueue(int intervalMs, QObject* parent)
    : QObject(parent), intervalMs_(std::max(1, intervalMs)), lastTurn_(kLongAgo) {
    clock_.start();
    timer_.setSingleShot(true);
    // Turns a millisecond or two apart need the precise timer; the coarse one may bunch them.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RefreshQueue::Turn);
}

void RefreshQueue::Join(QObject* member, std::function<void()> refresh) {
    if (member == nullptr || !refresh) {
        return;
    }
    Leave(member);
    members_.push_back({member, std::move(refresh), kLongAgo, false});
    connect(member, &QObject::destroyed, this, [this, member] { Leave(member); });
}

void RefreshQueue::Leave(QObject* member) {
    std::erase_if(members_, [member](const Member& m) { return m.object == member; });
}

int RefreshQueue::GapMs() const {
    return std::max(1, intervalMs_ / std::max(1, Members()));
}

void RefreshQueue::Request(QObject* member) {
    for (Member& m : members_) {
        if (m.object == member) {
            m.waiting = true;
            if (!timer_.isActive()) {
                ScheduleTurn();
            }
            return;
        }
    }
}

void RefreshQueue::ScheduleTurn() {
    qint64 due = kNever;
    for (const Member& m : members_) {
        if (m.waiting) {
            due = std::min(due, m.lastTurn + intervalMs_);
        }
    }
    if (due == kNever) {
        return;
    }
    due = std::max(due, lastTurn_ + GapMs());
    timer_.start(static_cast<int>(std::clamp<qint64>(due - clock_.elapsed(), 0, intervalMs_)));
}

void RefreshQueue::Turn() {
    const qint64 now = clock_.elapsed();
    // Of the members whose interval has passed, the one that waited longest goes first.
    Member* next = nullptr;
    for (Member& m : members_) {
        if (m.waiting && m.lastTurn + intervalMs_ <= now &&
            (next == nullptr || m.lastTurn < next->lastTurn)) {
            next = &m;
        }
    }
    if (next != nullptr) {
        next->waiting = false;
        next->lastTurn = now;
        lastTurn_ = now;
        // A copy: the refresh may run code that changes the members.
        const std::function<void()> refresh = next->refresh;
        refresh();
    }
    ScheduleTurn();
}

RefreshPacer::RefreshPacer(QObject* owner, int intervalMs, std::function<void()> refresh)
    : owner_(owner), refresh_(std::move(refresh)) {
    timer_.setSingleShot(true);
    timer_.setInterval(intervalMs);
    QObject::connect(&timer_, &QTimer::timeout, owner_, [this] { refresh_(); });
}

RefreshPacer::~RefreshPacer() {
    if (queue_ != nullptr) {
        queue_->Leave(owner_);
    }
}

void RefreshPacer::SetQueue(RefreshQueue* queue) {
    if (queue_ != nullptr) {
        queue_->Leave(owner_);
    }
    queue_ = queue;
    if (queue_ != nullptr) {
        queue_->Join(owner_, refresh_);
        // A refresh already waiting on the timer waits for its turn instead.
        if (timer_.isActive()) {
            timer_.stop();
            queue_->Request(owner_);
        }
    }
}

void RefreshPacer::Request() {
    if (queue_ != nullptr) {
        queue_->Request(owner_);
    } else if (!timer_.isActive()) {
        timer_.start();
    }
}

}  // namespace quelm
