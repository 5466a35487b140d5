#pragma once

#include <cstddef>
#include <cstdint>

// The readers of files and texts that come from outside the program, one entry point per fuzz
// target. The regression test runs the same functions over the inputs kept in fuzz/regressions.
namespace kestrana::fuzz {

void entryRecord(const std::uint8_t* data, std::size_t size);
void smallRecords(const std::uint8_t* data, std::size_t size);
void fontRecord(const std::uint8_t* data, std::size_t size);
void voucherDocument(const std::uint8_t* data, std::size_t size);
void envelopeRecords(const std::uint8_t* data, std::size_t size);
void text(const std::uint8_t* data, std::size_t size);
void numbers(const std::uint8_t* data, std::size_t size);
void commandLine(const std::uint8_t* data, std::size_t size);
void jpeg(const std::uint8_t* data, std::size_t size);
void csvFile(const std::uint8_t* data, std::size_t size);
void vatAnswer(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;
    void (*run)(const std::uint8_t*, std::size_t);
};
inline constexpr Target kTargets[] = {
    {"entry_record", entryRecord},
    {"small_records", smallRecords},
    {"font_record", fontRecord},
    {"voucher_document", voucherDocument},
    {"envelope_records", envelopeRecords},
    {"text", text},
    {"numbers", numbers},
    {"command_line", commandLine},
    {"jpeg", jpeg},
    {"csv", csvFile},
    {"vat_answer", vatAnswer},
};

} // namespace kestrana::fuzz
