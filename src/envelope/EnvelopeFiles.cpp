#include "envelope/EnvelopeFiles.h"

#include "envelope/EnvelopeRecords.h"

namespace kestrana {

QList<RecordFiles> envelopeRecordFiles(const Workstation& ws) {
    return {{envelopeSettingsFile(ws), EnvelopeSettings::Size, {}, {}},
            {envelopeLogoFile(ws), EnvelopeLogo::Size, {}, {}},
            {envelopeOptionsFile(ws), EnvelopeOptions::Size, {}, {}},
            {formOfAddressFile(ws), FormOfAddress::Size, {}, {}},
            {envelopeProfilesFolder(ws), EnvelopeProfile::Size, QStringLiteral(".pro"), {}}};
}

} // namespace kestrana
