#pragma once

#include <QLocalServer>
#include <QString>

#include <functional>

namespace kestrana {

// The name under which the program running on a working directory can be reached: one per
// user and directory (the directory as the file system resolves it, so two spellings of one
// folder are one name).
QString singleInstanceName(const QString& workDir);

// One program per working directory: a second start asks the running one to bring its window
// forward and then ends quietly, instead of meeting its own locks as another user's.
class SingleInstance {
public:
    explicit SingleInstance(QString name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is the first: it now answers later starts. False when another
    // process runs on the directory and has been asked to come forward. When neither can be
    // settled (the socket cannot be created) the program runs as before, unguarded.
    bool claim();
    // What this process does when a later start asks for it (bring the window forward).
    void setRaiseRequest(std::function<void()> raise) { raise_ = std::move(raise); }

private:
    void answer();

    QString name_;
    QLocalServer server_;
    std::function<void()> raise_;
};

} // namespace kestrana
