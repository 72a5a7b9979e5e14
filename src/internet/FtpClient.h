#pragma once
// The stats window's FTP client: host, logon, current directory, listing and file transfer
// over libcurl, advanced by a timer on the GUI thread so its events arrive there and the
// window stays live. Completions are reported as Done with the codes the window expects:
// 4 directory changed, 9 disconnected, 11 listing finished, 12 file received.
#include "CurlTransfer.h"

#include <QObject>
#include <QTimer>

#include <string>

namespace vexal {

class FtpClient : public QObject {
    Q_OBJECT
public:
    explicit FtpClient(QObject* parent = nullptr);

    std::string Host, UserName, Password, RemoteFile, LocalFile;
    // The directory the next ChangeDirectory goes to; afterwards the current directory.
    std::string Directory;

    // Logs on to the host; throws VbError (10057 when the host cannot be reached).
    void Connect();
    // Moves to Directory (checked on the server); Done(4) follows. Throws VbError.
    void ChangeDirectory();
    // Lists the current directory: DirItem per name, then Done(11); a failure gives Failed.
    void ListDirectory(const std::string& pattern);
    // Stores RemoteFile at LocalFile: Progress, then Done(12); a failure gives Failed.
    void GetFile();
    // Ends whatever transfer runs, reporting nothing (a step waiting on it fails as cancelled).
    void Cancel();
    // Ends the connection: Disconnected and Done(9).
    void Disconnect();
    bool IsConnected() const { return connected_; }
    bool Busy() const { return transfer_.Running(); }

signals:
    void Connected();
    void DirItem(const QString& entry);
    void Disconnected();
    void Done(int code);
    void Progress(qint64 bytes);
    void Failed(int number, const QString& description);

private:
    enum class Job { None, List, Get };
    void RunToEnd();
    void Tick();
    void RequireHost() const;

    CurlTransfer transfer_;
    QTimer timer_;
    Job job_ = Job::None;
    bool connected_ = false;
};

} // namespace vexal
