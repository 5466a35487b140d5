#pragma once

#include <QStringList>

namespace kestrana::test {

// Fails the running test when a script of answers ends with some of them unused: the code
// under test never asked what the test expected it to ask. A test that has failed already
// keeps its first failure as the one reported.
void failOnUnusedAnswers(const char* script, const QStringList& unused);

} // namespace kestrana::test
