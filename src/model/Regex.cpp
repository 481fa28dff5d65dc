#include "model/Regex.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

namespace {

icu::UnicodeString alias(const QString& s) {
    // Read-only alias of the QString's UTF-16 buffer: no copy.
    return icu::UnicodeString(false, reinterpret_cast<const UChar*>(s.utf16()), int32_t(s.size()));
}

QString fromUnicode(const icu::UnicodeString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

} // namespace

// Lends the instance's reusable matcher; a nested or concurrent use gets a fresh one.
class Regex::Lease {
public:
    explicit Lease(const Regex& regex) : lock_(regex.matcherMutex_, std::try_to_lock) {
        UErrorCode status = U_ZERO_ERROR;
        if (lock_.owns_lock()) {
            if (!regex.matcher_) {
                regex.matcher_.reset(regex.pattern_->matcher(status));
            }
            matcher_ = regex.matcher_.get();
        } else {
            own_.reset(regex.pattern_->matcher(status));
            matcher_ = own_.get();
        }
        if (U_FAILURE(status)) {
            matcher_ = nullptr;
        }
    }
    icu::RegexMatcher* get() const { return matcher_; }

private:
    std::unique_lock<std::mutex> lock_;
    std::unique_ptr<icu::RegexMatcher> own_;
    icu::RegexMatcher* matcher_ = nullptr;
};

Regex::Regex(const QString& pattern, uint32_t flags) : source_(pattern) {
    uint32_t icuFlags = 0;
    if (flags & CaseInsensitive) {
        icuFlags |= UREGEX_CASE_INSENSITIVE;
    }
    if (flags & MultiLine) {
        icuFlags |= UREGEX_MULTILINE;
    }
    if (flags & DotMatchesAll) {
        icuFlags |= UREGEX_DOTALL;
    }
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    pattern_.reset(icu::RegexPattern::compile(alias(source_), icuFlags, parseError, status));
    if (U_FAILURE(status)) {
        pattern_.reset();
        qWarning("Regex DBG: cannot compile %s (%s)", qUtf8Printable(pattern), u_errorName(status));
    }
}

Regex::~Regex() = default;

QString Regex::Match::captured(int group) const {
    const auto [s, e] = groups.value(group, {-1, -1});
    if (s < 0) {
        return QString();
    }
    return subject.mid(s, e - s);
}

bool Regex::matches(const QString& subject) const {
    if (!pattern_) {
        return false;
    }
    Lease lease(*this);
    if (!lease.get()) {
        return false;
    }
    const icu::UnicodeString input = alias(subject);
    lease.get()->reset(input);
    UErrorCode status = U_ZERO_ERROR;
    const bool result = lease.get()->matches(status);
    return U_SUCCESS(status) && result;
}

bool Regex::contains(const QString& subject) const {
    bool found = false;
    forEachMatch(subject, [&](const Match&) {
        found = true;
        return false;
    });
    return found;
}

std::optional<Regex::Match> Regex::firstMatch(const QString& subject, qsizetype from) const {
    if (!pattern_ || from < 0 || from > subject.size()) {
        return std::nullopt;
    }
    Lease lease(*this);
    icu::RegexMatcher* m = lease.get();
    if (!m) {
        return std::nullopt;
    }
    const icu::UnicodeString input = alias(subject);
    m->reset(input);
    UErrorCode status = U_ZERO_ERROR;
    if (!m->find(int64_t(from), status) || U_FAILURE(status)) {
        return std::nullopt;
    }
    Match match{subject, {}};
    for (int g = 0; g <= m->groupCount(); ++g) {
        const int32_t s = m->start(g, status);
        const int32_t e = m->end(g, status);
        match.groups.append({s, e});
    }
    return match;
}

void Regex::forEachMatch(const QString& subject,
                         const std::function<bool(const Match&)>& visit) const {
    if (!pattern_) {
        return;
    }
    Lease lease(*this);
    icu::RegexMatcher* m = lease.get();
    if (!m) {
        return;
    }
    const icu::UnicodeString input = alias(subject);
    m->reset(input);
    UErrorCode status = U_ZERO_ERROR;
    Match match{subject, {}};
    const int groupCount = m->groupCount();
    match.groups.reserve(groupCount + 1);
    while (m->find(status) && U_SUCCESS(status)) {
        match.groups.clear();
        for (int g = 0; g <= groupCount; ++g) {
            match.groups.append({m->start(g, status), m->end(g, status)});
        }
        if (!visit(match)) {
            break;
        }
    }
}

QList<Regex::Match> Regex::allMatches(const QString& subject) const {
    QList<Match> matches;
    forEachMatch(subject, [&](const Match& m) {
        matches.append(m);
        return true;
    });
    return matches;
}

int Regex::countMatches(const QString& subject) const {
    int count = 0;
    forEachMatch(subject, [&](const Match&) {
        ++count;
        return true;
    });
    return count;
}

QString Regex::replaceAll(const QString& subject, const QString& replacementTemplate) const {
    if (!pattern_) {
        return subject;
    }
    Lease lease(*this);
    icu::RegexMatcher* m = lease.get();
    if (!m) {
        return subject;
    }
    const icu::UnicodeString input = alias(subject);
    m->reset(input);
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString result = m->replaceAll(alias(replacementTemplate), status);
    if (U_FAILURE(status)) {
        return subject;
    }
    return fromUnicode(result);
}
