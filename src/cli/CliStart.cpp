#include "cli/CliStart.h"

#include "platform/Prompts.h"
#include "register/Startup.h"
#include "server/DatabaseRegister.h"

#include <cstdio>

namespace kestrana {

namespace {

void writeMessage(const QString& text) {
    std::fprintf(stderr, "kestrana-cli: %s\n", text.toUtf8().constData());
}

// The program's messages on standard error; nobody is there to answer, so the answer is No.
class CommandLinePrompts : public Prompts {
public:
    using Prompts::question;
    bool question(const QString&, const QString& text) override {
        writeMessage(text + QStringLiteral(" nie"));
        return false;
    }
    void information(const QString& text) override { writeMessage(text); }
    void error(const QString& text) override { writeMessage(text); }
};

} // namespace

Workstation openRegister(const QString& workDir, const QString& today, LockWait* wait) {
    CommandLinePrompts prompts;
    startup::Request request{workDir, false, today, wait};
    request.openServer = server::openRegister;
    return startup::prepareWorkstation(request, prompts);
}

} // namespace kestrana
