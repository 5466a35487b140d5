#include "support/TestRegistry.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <memory>

namespace kestrana::test {

std::vector<Factory>& registry() {
    static std::vector<Factory> factories;
    return factories;
}

} // namespace kestrana::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(data);
    int failed = 0;
    for (const auto& factory : kestrana::test::registry()) {
        std::unique_ptr<QObject> test(factory());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
