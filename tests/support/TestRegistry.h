#pragma once

#include <QObject>

#include <functional>
#include <vector>

// Test classes register themselves so that one executable per folder runs them all.
namespace kestrana::test {

using Factory = std::function<QObject*()>;
std::vector<Factory>& registry();

struct Registration {
    explicit Registration(Factory factory) { registry().push_back(std::move(factory)); }
};

} // namespace kestrana::test

#define KESTRANA_TEST(Class)                                                                       \
    static const kestrana::test::Registration registration_##Class([] { return new Class; });
