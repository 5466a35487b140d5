#include "support/ScriptEnd.h"

#include <QTest>

namespace kestrana::test {

void failOnUnusedAnswers(const char* script, const QStringList& unused) {
    if (unused.isEmpty())
        return;
    const QString message = QStringLiteral("%1: answers left unused: %2")
                                .arg(QLatin1String(script), unused.join(QStringLiteral(" | ")));
    // Outside a test function there is no test to fail; such a script is a fault of the test.
    if (!QTest::currentTestFunction())
        qFatal("%s", qPrintable(message));
    if (!QTest::currentTestFailed())
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

} // namespace kestrana::test
