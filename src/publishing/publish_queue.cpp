#include "publish_queue.h"

#include <algorithm>

PublishQueue::PublishQueue(size_t limit) : limit_(std::max<size_t>(limit, 1)) {}

void PublishQueue::push(const QByteArray& payload)
{
    if (items_.size() >= limit_ && handedOver_ < items_.size()) {
        items_.erase(items_.begin() + std::ptrdiff_t(handedOver_));
        ++lost_;
    }
    items_.push_back(Item{payload});
}

const QByteArray* PublishQueue::next() const
{
    return handedOver_ < items_.size() ? &items_[handedOver_].payload : nullptr;
}

void PublishQueue::handedOver(int mid)
{
    if (handedOver_ >= items_.size()) return;
    items_[handedOver_].mid = mid;
    ++handedOver_;
}

bool PublishQueue::confirm(int mid)
{
    bool ours = false;
    for (size_t i = 0; i < handedOver_; ++i) {
        Item& item = items_[i];
        if (item.mid == mid && !item.confirmed) {
            item.confirmed = true;
            ours = true;
            break;
        }
    }
    if (!ours) return false;
    // Confirmations may come out of order; the queue gives up its front only.
    while (handedOver_ > 0 && items_.front().confirmed) {
        items_.pop_front();
        --handedOver_;
        ++confirmed_;
    }
    return true;
}

void PublishQueue::takeBackInFlight()
{
    size_t kept = 0;
    for (size_t i = 0; i < handedOver_; ++i) {
        if (items_[i].confirmed) {
            ++confirmed_;
            continue;
        }
        Item item = items_[i];
        item.mid = -1;
        items_[kept++] = item;
    }
    items_.erase(items_.begin() + std::ptrdiff_t(kept), items_.begin() + std::ptrdiff_t(handedOver_));
    handedOver_ = 0;
}
