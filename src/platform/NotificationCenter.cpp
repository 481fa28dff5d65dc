#include "platform/NotificationCenter.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const QString& name, QObject* context,
                                                          Callback callback) {
    std::lock_guard lock(mutex_);
    Token token = nextToken_++;
    entries_.push_back({token, name, context != nullptr, QPointer<QObject>(context),
                        std::make_shared<Callback>(std::move(callback))});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [token](const Entry& e) { return e.token == token; });
}

void NotificationCenter::post(const QString& name, const QVariant& object,
                              const QVariantMap& userInfo) {
    const Notification notification{name, object, userInfo};
    // Observers may add or remove observers while being called: dispatch from a snapshot and
    // skip entries removed in the meantime.
    std::vector<std::pair<Token, std::shared_ptr<Callback>>> targets;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(entries_, [](const Entry& e) { return e.hasContext && e.context.isNull(); });
        for (const Entry& e : entries_) {
            if (e.name == name) {
                targets.emplace_back(e.token, e.callback);
            }
        }
    }
    for (const auto& target : targets) {
        const Token token = target.first;
        bool alive;
        {
            std::lock_guard lock(mutex_);
            alive = std::any_of(entries_.begin(), entries_.end(), [&, id = token](const Entry& e) {
                return e.token == id && !(e.hasContext && e.context.isNull());
            });
        }
        if (alive) {
            (*target.second)(notification);
        }
    }
}

int NotificationCenter::observerCount(const QString& name) const {
    std::lock_guard lock(mutex_);
    return int(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.name == name && !(e.hasContext && e.context.isNull());
    }));
}

ObserverGuard& ObserverGuard::operator=(ObserverGuard&& other) noexcept {
    if (this != &other) {
        reset();
        token_ = std::exchange(other.token_, 0);
    }
    return *this;
}

void ObserverGuard::reset() {
    if (token_ != 0) {
        NotificationCenter::defaultCenter().removeObserver(token_);
        token_ = 0;
    }
}
