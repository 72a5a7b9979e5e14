#include "FtpClient.h"

#include "InternetSettings.h"
#include "StatFiles.h"
#include "VbError.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vexal {

FtpClient::FtpClient(QObject* parent) : QObject(parent)
{
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &FtpClient::Tick);
    transfer_.OnProgress = [this](int64_t received, int64_t) {
        if (job_ == Job::Get)
            emit Progress(received);
    };
}

void FtpClient::RequireHost() const
{
    if (Host.empty())
        throw VbError(10057, "No host is set");
}

// Connect and change of directory return only when done; the message loop runs meanwhile, so
// Disconnect and the close box reach the window and may end the step at any moment.
void FtpClient::RunToEnd()
{
    if (!transfer_.Poll()) {
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
            if (transfer_.Poll())
                loop.quit();
        });
        poll.start();
        loop.exec();
    }
    const TransferOutcome& out = transfer_.Outcome();
    if (!out.Ok)
        throw VbError(out.Number, out.Description);
}

void FtpClient::Connect()
{
    RequireHost();
    if (Busy())
        throw VbError(20001, "A transfer is still running");
    transfer_.Limits = InternetLimits();
    if (!transfer_.StartProbe(FtpUrl(Host, "/"), UserName, Password))
        throw VbError(20001, "The connection could not be started");
    RunToEnd();
    connected_ = true;
    Directory.assign(1, '\\'); // the root (one-character assign: GCC 12 warns falsely on = "\\")
    emit Connected();
}

void FtpClient::ChangeDirectory()
{
    RequireHost();
    if (Busy())
        throw VbError(20001, "A transfer is still running");
    if (!transfer_.StartProbe(FtpUrl(Host, Directory), UserName, Password))
        throw VbError(20001, "The connection could not be started");
    RunToEnd();
    // The server's folder, as the server writes it.
    std::string folder = Directory;
    for (char& c : folder)
        if (c == '\\')
            c = '/';
    if (folder.empty() || folder.front() != '/')
        folder.insert(folder.begin(), '/');
    Directory = folder;
    emit Done(4);
}

void FtpClient::ListDirectory(const std::string&)
{
    RequireHost();
    if (!transfer_.StartList(FtpUrl(Host, Directory), UserName, Password))
        throw VbError(20001, "A transfer is still running");
    job_ = Job::List;
    timer_.start();
}

void FtpClient::GetFile()
{
    RequireHost();
    if (!IsSafeRemoteName(RemoteFile))
        throw VbError(20002, "The server file name is not a safe file name");
    // Limits changed since the logon count from the next transfer on.
    if (!Busy())
        transfer_.Limits = InternetLimits();
    if (!transfer_.StartDownload(FtpUrl(Host, Directory, RemoteFile), LocalFile, UserName, Password)) {
        const TransferOutcome& out = transfer_.Outcome();
        throw VbError(out.Number ? out.Number : 20001,
                      out.Description.empty() ? "A transfer is still running" : out.Description);
    }
    job_ = Job::Get;
    timer_.start();
}

void FtpClient::Tick()
{
    if (!transfer_.Poll())
        return;
    timer_.stop();
    const Job job = job_;
    job_ = Job::None;
    const TransferOutcome out = transfer_.Outcome();
    if (!out.Ok) {
        if (job != Job::None)
            emit Failed(out.Number, QString::fromStdString(out.Description));
        return;
    }
    if (job == Job::List) {
        const std::string data = transfer_.Data();
        std::size_t from = 0;
        while (from < data.size()) {
            auto end = data.find('\n', from);
            if (end == std::string::npos)
                end = data.size();
            std::string line = data.substr(from, end - from);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                emit DirItem(QString::fromStdString(line));
            from = end + 1;
        }
        emit Done(11);
    } else if (job == Job::Get) {
        emit Done(12);
    }
}

void FtpClient::Cancel()
{
    timer_.stop();
    job_ = Job::None;
    transfer_.Cancel();
}

void FtpClient::Disconnect()
{
    timer_.stop();
    job_ = Job::None;
    transfer_.Cancel();
    connected_ = false;
    emit Disconnected();
    emit Done(9);
}

} // namespace vexal
