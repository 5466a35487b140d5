#include "register/CategoryNames.h"

#include "platform/CheckedFile.h"
#include "platform/ShortString.h"

namespace kestrana {

CategoryNames CategoryNames::defaults() {
    CategoryNames names;
    names.categories.fill(QStringLiteral("nieznana"));
    names.groups.fill(QStringLiteral("nieznana"));
    return names;
}

QByteArray CategoryNames::toBytes() const {
    QByteArray bytes(Size, '\0');
    for (int i = 0; i < 20; ++i) {
        writeShortString(bytes.data() + 16 * i, NameWidth, categories[i]);
        writeShortString(bytes.data() + 320 + 16 * i, NameWidth, groups[i]);
    }
    return bytes;
}

CategoryNames CategoryNames::fromBytes(const QByteArray& bytes) {
    CategoryNames names;
    if (bytes.size() < Size)
        return names;
    for (int i = 0; i < 20; ++i) {
        names.categories[i] = readShortString(bytes.constData() + 16 * i, NameWidth);
        names.groups[i] = readShortString(bytes.constData() + 320 + 16 * i, NameWidth);
    }
    return names;
}

void CategoryNames::write(const QString& path, const CategoryNames& names,
                          files::FaultInjector* faults) {
    files::replaceFile(path, names.toBytes(), faults);
}

CategoryNames CategoryNames::read(const QString& path) {
    return fromBytes(files::readRecord(path, 0, Size));
}

} // namespace kestrana
