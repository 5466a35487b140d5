#pragma once

#include "platform/FaultInjector.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace kestrana {

// Names of the 20 categories and 20 groups (TKategorie, ADMINI/kategorie_ks.dat, 640 bytes):
// 40 short strings of at most 15 characters, categories first.
struct CategoryNames {
    static constexpr int Size = 640;
    static constexpr int NameWidth = 15;
    std::array<QString, 20> categories;
    std::array<QString, 20> groups;

    static CategoryNames defaults();
    QByteArray toBytes() const;
    static CategoryNames fromBytes(const QByteArray& bytes);

    static void write(const QString& path, const CategoryNames& names,
                      files::FaultInjector* faults = nullptr);
    static CategoryNames read(const QString& path);
};

} // namespace kestrana
