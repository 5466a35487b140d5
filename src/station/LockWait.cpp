#include "station/LockWait.h"

namespace kestrana {

using std::chrono::milliseconds;

namespace {

const QString kNothingWritten = QStringLiteral("Nic nie zostało zapisane.");

} // namespace

QString DeadlineWait::gaveUpText(milliseconds waited) const {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
    return QStringLiteral("Dane są używane przez inne stanowisko (sortowanie, import lub kopia "
                          "zapasowa) od ponad %1 s. ")
               .arg(seconds) +
           kNothingWritten;
}

QString lockWaitQuestion() {
    return QStringLiteral("Dane są chwilowo używane przez inne stanowisko (sortowanie, import lub "
                          "kopia zapasowa). Spróbować ponownie ?");
}

AskingWait::AskingWait(Prompts& prompts, std::function<void(bool)> showBusy, LockWaitTimes times)
    : prompts_(prompts), showBusy_(std::move(showBusy)), times_(times),
      nextQuestion_(times.askAfter) {}

void AskingWait::setBusy(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    if (showBusy_)
        showBusy_(busy);
}

bool AskingWait::keepWaiting(milliseconds waited) {
    if (waited >= times_.busyAfter)
        setBusy(true);
    if (waited < nextQuestion_)
        return true;
    // The question is an ordinary message box: no busy cursor over it.
    setBusy(false);
    const auto asked = std::chrono::steady_clock::now();
    if (!prompts_.question(lockWaitQuestion()))
        return false;
    const auto answering =
        std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - asked);
    nextQuestion_ = waited + answering + times_.askAfter;
    setBusy(true);
    return true;
}

void AskingWait::ended() {
    setBusy(false);
    nextQuestion_ = times_.askAfter;
}

QString AskingWait::gaveUpText(milliseconds) const {
    return QStringLiteral("Operację przerwano, bo dane są używane przez inne stanowisko. ") +
           kNothingWritten;
}

} // namespace kestrana
