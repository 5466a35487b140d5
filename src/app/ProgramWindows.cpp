#include "app/ProgramWindows.h"

#include "tools/CommandLines.h"

#include <QDir>

namespace kestrana {

ProgramWindows::ProgramWindows(Prompts& prompts, Dialogs& dialogs, const Clock& clock,
                               QStringList arguments, QString workDir)
    : prompts_(prompts), dialogs_(dialogs), clock_(clock), arguments_(std::move(arguments)),
      workDir_(std::move(workDir)) {}

ProgramWindows::~ProgramWindows() = default;

bool ProgramWindows::start() {
    notepad_ = std::make_unique<Tlogowania_f>(prompts_, dialogs_, fonts_, workDir_);
    fonts_.setWorkDir(workDir_);
    main_ = std::make_unique<Tbaza_f>(
        MainWindowContext{prompts_, dialogs_, fonts_, clock_, arguments_, workDir_});
    // A network workstation whose shared folder is out of reach ends here, before any window
    // opens files there; the notepad window repeats the check whenever it opens.
    if (main_->startUp() == startup::Report::Outcome::EndProgram)
        return false;
    categories_ = std::make_unique<Tkat_f>(main_->workstation(), prompts_);
    QObject::connect(categories_.get(), &Tkat_f::namesStored, main_.get(),
                     &Tbaza_f::showCategoryNames);
    main_->setCategoryOpener([this] { categories_->open(); });
    voucher_ = std::make_unique<Tkp_f>(
        main_->workstation(), prompts_, dialogs_, fonts_, clock_,
        [this](const QString& fileName, const QString& title) {
            if (!notepad_->open({fileName, title, 2}))
                main_->endAfterNetworkFailure();
        },
        [this] {
            const commands::CommandLine calculator(commands::kalkulator());
            const commands::StartOutcome outcome = commands::start(calculator, QDir::currentPath());
            if (outcome != commands::StartOutcome::Started)
                prompts_.information(commands::notStartedMessage(calculator, outcome));
        });
    main_->setVoucherOpener([this](int kind, const EntryFormValues& form) {
        voucher_->open(static_cast<DocumentKind>(kind),
                       companyBlock(form[Field::nazwa1], form[Field::miejscowosc],
                                    form[Field::adres], form[Field::wojewodztwo]),
                       main_->workstation().boss);
    });
    main_->setNotepadOpener([this](const notepad::Request& request) {
        if (!notepad_->open(request))
            main_->endAfterNetworkFailure();
    });
    fontWindow_ = std::make_unique<Tfont_f>(fonts_, dialogs_);
    envelope_ = std::make_unique<Tkoperta_f>(main_->workstation(), prompts_, dialogs_, fonts_,
                                             *fontWindow_, clock_);
    main_->setEnvelopeOpener([this](const EntryFormValues& form, int block) {
        envelope_->open(form, main_->workstation().firma, static_cast<AddressBlock>(block));
    });
    return true;
}

} // namespace kestrana
