#pragma once

#include <QtGlobal>

#include <future>
#include <system_error>

namespace kestrana {

// Work in numbered blocks on both cores, handed on in order: produce(i) for the odd blocks runs
// on a second thread while this one produces the even ones, and take(i) follows each produce(i)
// on this thread, i rising. At most two blocks are in hand at a time, so produce may fill
// storage chosen by i % 2. Where no thread can be had, this thread produces every block.
template <typename Produce, typename Take>
void alternateOnBothCores(qint64 count, const Produce& produce, const Take& take) {
    for (qint64 even = 0; even < count; even += 2) {
        const qint64 odd = even + 1;
        std::future<void> second;
        if (odd < count) {
            try {
                second = std::async(std::launch::async, [&produce, odd] { produce(odd); });
            } catch (const std::system_error&) {
            }
        }
        produce(even);
        take(even);
        if (odd >= count)
            break;
        if (second.valid())
            second.get();
        else
            produce(odd);
        take(odd);
    }
}

} // namespace kestrana
