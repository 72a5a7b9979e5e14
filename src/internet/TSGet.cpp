#include "TSGet.h"

#include "Host.h"
#include "Html2Text.h"
#include "InternetSettings.h"
#include "RecordFile.h"
#include "StatFiles.h"
#include "VbError.h"

#include <QImage>

#include <vector>

namespace vexal {

namespace {

constexpr int StatusFinding = 1, StatusReceiving = 5, StatusFinished = 6;

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

std::string DownloadFailureText(int status)
{
    switch (status) {
    case 1: return "Trouble finding resource. Check Connection";
    case 2: return "Could not Connect";
    case 3: return "Trouble Redirecting";
    case 4: return "Trouble while receiving";
    case 5: return "Trouble receiving data";
    case 10: return "Trouble retrieving from a cache";
    case 11: return "Can't find file";
    case 13: return "Trouble with MIME type";
    case 14: return "Couldn't find local file cache";
    case 15: return "Trouble operating synchronously";
    default: return "Unknown Error";
    }
}

std::string DownloadStatusText(int status)
{
    switch (status) {
    case 1: return "Finding the resource";
    case 2: return "Connecting...";
    case 3: return "Redirected...";
    case 4: return "Beginning to receive data...";
    case 5: return "Received more data...";
    case 6: return "Finished receiving data.";
    case 10: return "Retrieving from a cache...";
    case 11: return "Requesting the storage...";
    case 13: return "MIME type...";
    case 14: return "Local file cache...";
    case 15: return "Operating synchronously...";
    case 16: return "Completed synchronous operation";
    default: return std::string();
    }
}

TSGet::TSGet(QObject* parent) : QObject(parent), url_(WebSiteRoot())
{
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &TSGet::Tick);
}

TSGet::~TSGet() = default;

void TSGet::GetURL(std::string url, std::string key, int32_t fileType, std::string fileName)
{
    if (key.empty())
        key = "Yada Yada";
    if (url.empty())
        url = url_;
    if (requests_.count(key))
        throw VbError(457, "This key is already associated with an element of this collection");
    if (fileType != 0)
        defaultFileType_ = fileType;
    if (!fileName.empty()) {
        defaultFileName_ = fileName;
    } else {
        const std::string last = url.substr(url.find_last_of('/') + 1);
        // A name from the web must not lead out of the program folder.
        if ((defaultFileType_ == 3 || defaultFileType_ == 4) && !IsSafeRemoteName(last))
            throw VbError(52, "Bad file name: " + last);
        defaultFileName_ = (ProgramFolder() / last).string();
    }
    Request request;
    request.fileType = defaultFileType_;
    request.fileName = defaultFileName_;
    request.transfer = std::make_unique<CurlTransfer>();
    const bool started = request.fileType == 3 ? request.transfer->StartDownload(url, request.fileName)
                                               : request.transfer->StartFetch(url);
    if (!started)
        throw VbError(request.transfer->Outcome().Number ? request.transfer->Outcome().Number : 5,
                      request.transfer->Outcome().Description.empty() ? "The download could not be started"
                                                                      : request.transfer->Outcome().Description);
    CurlTransfer* transfer = request.transfer.get();
    auto& stored = requests_[key] = std::move(request);
    transfer->OnStage = [this, &stored](int stage) {
        stored.stage = static_cast<int16_t>(stage);
        lastStatus_ = static_cast<int16_t>(stage);
        emit DownloadProgress(Latin1(DownloadStatusText(stage)), stage, 0, 0);
    };
    transfer->OnProgress = [this, &stored](int64_t read, int64_t expected) {
        stored.stage = StatusReceiving;
        lastStatus_ = StatusReceiving;
        emit DownloadProgress(Latin1(DownloadStatusText(StatusReceiving)), StatusReceiving, read, expected);
    };
    lastStatus_ = StatusFinding;
    emit DownloadProgress(Latin1(DownloadStatusText(StatusFinding)), StatusFinding, 0, 0);
    timer_.start();
}

void TSGet::CancelURL(const std::string& key)
{
    auto it = requests_.find(key.empty() ? "Yada Yada" : key);
    if (it != requests_.end()) {
        it->second.transfer->OnProgress = nullptr;
        it->second.transfer->OnStage = nullptr;
        it->second.transfer->Cancel();
        requests_.erase(it); // a cancelled key is free for a new request
    }
}

std::string TSGet::HTML2Text(const std::string& html, const std::string& fileName)
{
    std::string text = vexal::HTML2Text(html);
    if (!fileName.empty()) {
        AtomicFileWrite file(fileName);
        if (!file.Write(text + "\r\n") || !file.Commit())
            throw file.Error();
    }
    return text;
}

int32_t TSGet::FileType(const std::string& key) const
{
    const auto it = requests_.find(key);
    return it == requests_.end() ? 0 : it->second.fileType;
}

std::string TSGet::Filename(const std::string& key) const
{
    const auto it = requests_.find(key);
    return it == requests_.end() ? std::string() : it->second.fileName;
}

void TSGet::Tick()
{
    std::vector<std::string> finished;
    for (auto& [key, request] : requests_)
        if (request.transfer->Poll())
            finished.push_back(key);
    for (const auto& key : finished) {
        auto it = requests_.find(key);
        if (it == requests_.end())
            continue;
        it->second.transfer->OnProgress = nullptr;
        it->second.transfer->OnStage = nullptr;
        Request request = std::move(it->second);
        requests_.erase(it);
        Complete(key, request);
    }
    if (requests_.empty())
        timer_.stop();
}

void TSGet::Complete(const std::string& key, Request& request)
{
    const TransferOutcome& out = request.transfer->Outcome();
    if (!out.Ok) {
        // What the transfer reached decides the message.
        int status = request.stage;
        if (out.Number == 20000 + 22 || out.Number == 20000 + 78) // the server has no such document
            status = 11;
        lastStatus_ = static_cast<int16_t>(status);
        std::string message = DownloadFailureText(status);
        // A download ended by its own bounds says which one.
        if (out.Number == TransferStalled || out.Number == TransferTooLarge)
            message += ": " + out.Description;
        emit Error(Latin1(message), status);
        return;
    }
    lastStatus_ = StatusFinished;
    emit DownloadProgress("Finished receiving data.", StatusFinished,
                          static_cast<qint64>(request.transfer->Data().size()), 0);
    try {
        std::string data;
        const std::string& bytes = request.transfer->Data();
        QVariant result = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
        switch (request.fileType) {
        case 1: data = bytes; break;
        case 3:
            data = request.fileName;
            result = Latin1(request.fileName);
            break;
        case 4:
            HTML2Text(bytes, request.fileName);
            data = request.fileName;
            break;
        case 5: {
            const QImage picture = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                                    static_cast<int>(bytes.size()));
            if (picture.isNull())
                throw VbError(481, "Invalid picture");
            result = picture;
            break;
        }
        default: data = HTML2Text(bytes); break;
        }
        emit DocReceived(Latin1(data), Latin1(key), request.fileType, result);
    } catch (const VbError& e) {
        emit Error(Latin1(e.Description()), e.Number());
    }
}

} // namespace vexal
