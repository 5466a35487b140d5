#include "support/WindowSession.h"

#include "platform/CheckedFile.h"
#include "register/EntryRecord.h"

#include <QAbstractButton>
#include <QAction>
#include <QTest>

namespace kestrana::test {

void WindowSession::start(const QString& dir, const QStringList& arguments) {
    window = std::make_unique<Tbaza_f>(
        MainWindowContext{prompts, dialogs, fonts, clock, arguments, dir, lockWaitTimes, &faults});
    window->setProcessEnd([this] { ++ended; });
    window->startUp();
}

void WindowSession::startAsBoss(const QString& dir) {
    start(dir, {QStringLiteral("kestrana"), QString(), QStringLiteral("123456789k")});
}

QString WindowSession::field(const char* name) const {
    return find<QLineEdit>(QLatin1String(name))->text();
}

void WindowSession::setField(const char* name, const QString& text) const {
    find<QLineEdit>(QLatin1String(name))->setText(text);
}

void WindowSession::click(const char* button) const {
    auto* b = find<QAbstractButton>(QLatin1String(button));
    if (!b->isEnabled())
        QTest::qFail(qPrintable(QStringLiteral("%1 is disabled").arg(QLatin1String(button))),
                     __FILE__, __LINE__);
    b->click();
}

void WindowSession::trigger(const char* action) const {
    find<QAction>(QLatin1String(action))->trigger();
}

void WindowSession::clickLine(int row) const {
    EntryListView* list = lista();
    list->scrollToRow(row);
    const QRect rect = list->rowRect(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

int WindowSession::rowOfId(const QString& id) const {
    const auto entries = files::readFile(window->workstation().mainFile());
    const EntryList& list = window->session().list();
    for (int row = 0; row < list.count(); ++row) {
        const qint64 n = list.recordNumber(row);
        const EntryRecord r =
            EntryRecord::fromBytes(entries.constData() + (n - 1) * EntryRecord::Size);
        if (r.text(Field::id) == id)
            return row;
    }
    return -1;
}

} // namespace kestrana::test
