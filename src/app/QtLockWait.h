#pragma once

#include <functional>

namespace kestrana {

// The busy cursor the program shows while it waits for data another workstation holds: on
// with true, off with false.
std::function<void(bool busy)> busyCursor();

} // namespace kestrana
