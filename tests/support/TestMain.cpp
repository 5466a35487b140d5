#include "support/TestRegistry.h"

#include <QApplication>
#include <QMultiMap>
#include <QStringList>
#include <QTest>

#include <cstdio>
#include <memory>

namespace kestrana::test {

std::vector<Factory>& registry() {
    static std::vector<Factory> factories;
    return factories;
}

} // namespace kestrana::test

// Arguments like "ListTest::lineColumns" run only that class's function; plain options go to
// every class.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(data);
    QStringList options;
    QMultiMap<QString, QString> selected;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (!arg.startsWith(QLatin1Char('-')) && !arg.contains(QStringLiteral("::")) &&
            arg.endsWith(QLatin1String("Test")))
            selected.insert(arg, QString());
        else if (arg.contains(QStringLiteral("::")))
            selected.insert(arg.section(QStringLiteral("::"), 0, 0),
                            arg.section(QStringLiteral("::"), 1));
        else
            options.append(arg);
    }
    // A class asked for by name that this runner does not hold is a failure: a misspelt name
    // would otherwise run nothing and pass.
    QStringList known;
    for (const auto& factory : kestrana::test::registry()) {
        const std::unique_ptr<QObject> test(factory());
        known.append(QString::fromLatin1(test->metaObject()->className()));
    }
    int failed = 0;
    for (const QString& name : selected.uniqueKeys()) {
        if (!known.contains(name)) {
            std::fprintf(stderr, "FAIL: no test class %s in this runner (it has: %s)\n",
                         qPrintable(name), qPrintable(known.join(QStringLiteral(", "))));
            ++failed;
        }
    }
    for (const auto& factory : kestrana::test::registry()) {
        std::unique_ptr<QObject> test(factory());
        const QString name = QString::fromLatin1(test->metaObject()->className());
        if (!selected.isEmpty() && !selected.contains(name))
            continue;
        QStringList functions = selected.values(name);
        functions.removeAll(QString());
        const QStringList args = QStringList{QString::fromLocal8Bit(argv[0])} + options + functions;
        failed += QTest::qExec(test.get(), args);
    }
    return failed == 0 ? 0 : 1;
}
