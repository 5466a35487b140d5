#include "exchange/XlsxExport.h"

#include "exchange/CsvColumns.h"
#include "exchange/CsvExport.h"
#include "platform/CheckedFile.h"
#include "platform/PlainTarget.h"
#include "platform/PosixFile.h"

#include <QLocale>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <fcntl.h>
#include <memory>

namespace kestrana::xlsx {

namespace {

const QString kWriting = QStringLiteral("Zapis arkusza XLSX");

struct WorkbookFree {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookFree>;

void check(lxw_error error, const QString& path) {
    if (error != LXW_NO_ERROR)
        throw IoError(kWriting, path, QString::fromUtf8(lxw_strerror(error)));
}

QByteArray cellText(const QString& text) {
    QString shown = text;
    shown.replace(QChar(0), QChar(0x2400));
    return shown.toUtf8();
}

// Column widths in characters: wide enough for most texts of the field, never the whole 60.
double columnWidth(int column) {
    if (column == 0)
        return 8;
    if (column < kTextFieldCount)
        return std::clamp(fieldLayouts()[column].width * 0.6, 10.0, 34.0);
    return column == csv::kMarkColumn ? 16 : 12;
}

// Copies the finished workbook from the private temporary folder to its place, through the
// checked file layer: a temporary file beside the target, renamed over it when complete.
void copyInto(const QString& from, const QString& to, files::FaultInjector* faults) {
    files::posix::Fd in(from, O_RDONLY);
    files::FileWriter out(to, files::FileWriter::Mode::Atomic, 1, faults);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = files::posix::readUpTo(in.get(), chunk.data(), chunk.size(), from);
        if (got <= 0)
            break;
        out.write(QByteArrayView(chunk.constData(), got));
    }
    in.close();
    out.commit();
}

} // namespace

qint64 exportListFile(const files::RecordSource& listFile, const CategoryNames& names,
                      const QString& path, files::FaultInjector* faults) {
    const qint64 entries = files::recordCount(listFile, EntryRecord::Size);
    if (entries > kMaxEntries) {
        const QLocale polish(QLocale::Polish, QLocale::Poland);
        throw IoError(kWriting, path,
                      QStringLiteral("Arkusz XLSX mieści najwyżej %1 wpisów, a lista ma %2. "
                                     "Zawęź listę filtrem albo zapisz ją do CSV.")
                          .arg(polish.toString(kMaxEntries), polish.toString(entries)));
    }
    files::refuseUnlessPlainTarget(path); // before the workbook is built, not after
    // libxlsxwriter writes the whole file at its close, and its temporary files too, into a
    // folder of this run's own.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw IoError(QStringLiteral("Tworzenie folderu tymczasowego"), scratch.path(),
                      scratch.errorString());
    const QString built = scratch.filePath(QStringLiteral("lista.xlsx"));
    QByteArray scratchDir = files::posix::native(scratch.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    options.tmpdir = scratchDir.data();
    Workbook workbook(workbook_new_opt(files::posix::native(built).constData(), &options));
    if (!workbook)
        throw IoError(kWriting, built, errno);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), "Wpisy");
    lxw_format* text = workbook_add_format(workbook.get());
    lxw_format* heading = workbook_add_format(workbook.get());
    if (!sheet || !text || !heading)
        throw IoError(kWriting, built,
                      QString::fromUtf8(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED)));
    format_set_num_format(text, "@");
    format_set_num_format(heading, "@");
    format_set_bold(heading);
    for (int c = 0; c < csv::kColumnCount; ++c)
        check(worksheet_set_column(sheet, c, c, columnWidth(c), text), built);
    worksheet_freeze_panes(sheet, 1, 0);

    const auto writeRow = [&](lxw_row_t row, const QStringList& cells, lxw_format* format) {
        for (int c = 0; c < cells.size(); ++c) {
            if (cells[c].isEmpty())
                continue;
            check(worksheet_write_string(sheet, row, static_cast<lxw_col_t>(c),
                                         cellText(cells[c]).constData(), format),
                  built);
        }
    };
    writeRow(0, csv::headerRow(names), heading);
    files::RecordReader list(listFile, EntryRecord::Size, faults);
    lxw_row_t row = 0;
    while (const char* record = list.next()) {
        if (++row > kMaxEntries)
            throw IoError(
                kWriting, path,
                QStringLiteral("Lista urosła w czasie zapisu ponad %1 wpisów.").arg(kMaxEntries));
        writeRow(row, csv::entryRow(EntryRecord::fromBytes(record)), text);
    }
    const qint64 count = list.recordsRead();
    list.close();
    check(workbook_close(workbook.release()), built);
    copyInto(built, path, faults);
    return count;
}

qint64 exportCurrentList(const Workstation& ws, const QString& path) {
    return exportListFile(ws.listFile(), csv::currentCategoryNames(ws), path, ws.faults);
}

} // namespace kestrana::xlsx
