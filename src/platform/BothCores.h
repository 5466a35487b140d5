#pragma once

#include <QtGlobal>

#include <atomic>
#include <exception>
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

// Numbered blocks of work shared by both cores: work(i, core) runs once for every i below count,
// core 0 being this thread and core 1 a second one, each taking the next block as soon as it is
// free (so work may keep storage of its own by core). An exception stops the other core before
// its next block and is thrown here once both have stopped (this core's, if both failed). Where no
// thread can be had, this thread does every block.
template <typename Work> void shareOnBothCores(qint64 count, const Work& work) {
    std::atomic<qint64> next{0};
    std::atomic<bool> failed{false};
    const auto run = [&](int core) {
        try {
            for (qint64 i = next++; i < count && !failed; i = next++)
                work(i, core);
        } catch (...) {
            failed = true;
            throw;
        }
    };
    std::future<void> second;
    if (count > 1) {
        try {
            second = std::async(std::launch::async, run, 1);
        } catch (const std::system_error&) {
        }
    }
    std::exception_ptr error;
    try {
        run(0);
    } catch (...) {
        error = std::current_exception();
    }
    if (second.valid()) {
        try {
            second.get();
        } catch (...) {
            if (!error)
                error = std::current_exception();
        }
    }
    if (error)
        std::rethrow_exception(error);
}

} // namespace kestrana
