#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <mutex>
#include <vector>

// Named notifications between the editor, the waveform, the player and the window.
// Observers are called synchronously, in registration order, on the posting thread.
struct Notification {
    QString name;
    QVariant object;
    QVariantMap userInfo;
};

class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;
    using Token = quint64;

    static NotificationCenter& defaultCenter();

    // The observer is removed on removeObserver, or when `context` (if given) is destroyed.
    Token addObserver(const QString& name, QObject* context, Callback callback);
    Token addObserver(const QString& name, Callback callback) {
        return addObserver(name, nullptr, std::move(callback));
    }
    void removeObserver(Token token);

    void post(const QString& name, const QVariant& object = {}, const QVariantMap& userInfo = {});

    // Number of live observers for a name (for tests and diagnostics).
    int observerCount(const QString& name) const;

private:
    struct Entry {
        Token token;
        QString name;
        bool hasContext;
        QPointer<QObject> context;
        std::shared_ptr<Callback> callback;
    };
    mutable std::recursive_mutex mutex_;
    std::vector<Entry> entries_;
    Token nextToken_ = 1;
};

// Removes its observation when it goes out of scope.
class ObserverGuard {
public:
    ObserverGuard() = default;
    explicit ObserverGuard(NotificationCenter::Token token) : token_(token) {}
    ObserverGuard(ObserverGuard&& other) noexcept : token_(std::exchange(other.token_, 0)) {}
    ObserverGuard& operator=(ObserverGuard&& other) noexcept;
    ObserverGuard(const ObserverGuard&) = delete;
    ObserverGuard& operator=(const ObserverGuard&) = delete;
    ~ObserverGuard() { reset(); }
    void reset();

private:
    NotificationCenter::Token token_ = 0;
};
