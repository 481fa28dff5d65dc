#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class RegexPattern;
class RegexMatcher;
U_NAMESPACE_END

// The one regular-expression engine of the program: ICU syntax, compiled once per Regex.
// Keep instances alive (function-level statics) so that patterns are never recompiled per line.
class Regex {
public:
    enum Flag : uint32_t {
        NoFlags = 0,
        CaseInsensitive = 1u << 0,
        MultiLine = 1u << 1, // ^ and $ match at line ends
        DotMatchesAll = 1u << 2,
    };

    struct Match {
        QString subject;
        QList<std::pair<qsizetype, qsizetype>> groups; // [start, end) per group; group 0 whole

        qsizetype start(int group = 0) const { return groups.value(group, {-1, -1}).first; }
        qsizetype end(int group = 0) const { return groups.value(group, {-1, -1}).second; }
        qsizetype length(int group = 0) const { return end(group) - start(group); }
        // The captured text; null when the group did not take part.
        QString captured(int group = 0) const;
    };

    explicit Regex(const QString& pattern, uint32_t flags = NoFlags);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    bool isValid() const { return pattern_ != nullptr; }
    const QString& pattern() const { return source_; }

    // The whole subject matches.
    bool matches(const QString& subject) const;
    // Some part of the subject matches.
    bool contains(const QString& subject) const;
    std::optional<Match> firstMatch(const QString& subject, qsizetype from = 0) const;
    QList<Match> allMatches(const QString& subject) const;
    // Calls `visit` for each match in order until it returns false.
    void forEachMatch(const QString& subject, const std::function<bool(const Match&)>& visit) const;
    int countMatches(const QString& subject) const;
    // Replaces every match by the template, where $n stands for group n and \ escapes.
    QString replaceAll(const QString& subject, const QString& replacementTemplate) const;

private:
    class Lease;

    QString source_;
    std::unique_ptr<icu::RegexPattern> pattern_;
    mutable std::mutex matcherMutex_;
    mutable std::unique_ptr<icu::RegexMatcher> matcher_;
};
