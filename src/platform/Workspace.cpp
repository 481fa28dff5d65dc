#include "platform/Workspace.h"

#include <cstdio>

namespace {

// Without a desktop session there is nobody to hand the address to: say so.
class ConsoleWorkspace : public Workspace {
public:
    bool openUrl(const QUrl& url) override {
        std::fprintf(stderr, "open: %s\n", qUtf8Printable(url.toString()));
        return false;
    }
};

Workspace& fallback() {
    static ConsoleWorkspace workspace;
    return workspace;
}

Workspace*& current() {
    static Workspace* workspace = &fallback();
    return workspace;
}

} // namespace

Workspace& Workspace::instance() {
    return *current();
}

void Workspace::install(Workspace* workspace) {
    current() = workspace ? workspace : &fallback();
}
