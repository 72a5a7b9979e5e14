#pragma once
// The document download control: fetches web documents in the background, several at a
// time under request keys, and hands each to its host as text, as a stored file, as plain
// text converted from HTML, or (for pictures) as an empty text; progress and failures come
// as signals on the GUI thread.
#include "CurlTransfer.h"

#include <QObject>
#include <QTimer>
#include <QVariant>

#include <map>
#include <memory>
#include <string>

namespace vexal {

class TSGet : public QObject {
    Q_OBJECT
public:
    explicit TSGet(QObject* parent = nullptr);
    ~TSGet() override;

    // Starts a download. An empty key is "Yada Yada", an empty URL the URL property; a non-zero
    // type and a non-empty file name replace the defaults, else the file name is the program
    // folder's file named by the URL's last part. Throws VbError when the key is still pending
    // or the name from the URL is not a safe file name (for the types that store a file).
    void GetURL(std::string url, std::string key = {}, int32_t fileType = 0, std::string fileName = {});
    // Cancels the key's pending download (nothing when none is pending), then lets the
    // message loop run once.
    void CancelURL(const std::string& key = {});
    // Converts HTML to text; with a file name the text is also written there, with a line break
    // (a failed write raises an error naming the file and the cause).
    std::string HTML2Text(const std::string& html, const std::string& fileName = {});

    int32_t FileType(const std::string& key) const;
    std::string Filename(const std::string& key) const;
    const std::string& URL() const { return url_; }
    void SetURL(const std::string& url) { url_ = url; }
    bool IsPending(const std::string& key) const { return requests_.count(key) != 0; }

signals:
    void DownloadProgress(const QString& status, int code, qint64 bytesRead, qint64 bytesExpected);
    // result: the picture (a QImage) for type 5, the stored file's name for type 3, else the
    // bytes received (a QByteArray).
    void DocReceived(const QString& data, const QString& key, int fileType, const QVariant& result);
    void Error(const QString& message, int code);

private:
    struct Request {
        int32_t fileType = 1;
        std::string fileName;
        std::unique_ptr<CurlTransfer> transfer;
        int16_t stage = 1; // the furthest status the download reached
    };
    void Tick();
    void Complete(const std::string& key, Request& request);

    std::string url_;
    int32_t defaultFileType_ = 1;
    std::string defaultFileName_;
    int16_t lastStatus_ = 0;
    std::map<std::string, Request> requests_;
    QTimer timer_;
};

// The text for a last status that did not reach the end of the data.
std::string DownloadFailureText(int status);
// The text of a progress status ("Connecting...", "Redirected..."); empty for none.
std::string DownloadStatusText(int status);

} // namespace vexal
