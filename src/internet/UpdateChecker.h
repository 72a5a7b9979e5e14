#pragma once
// The version checker: fetches the version file from the web site and tells its host
// window, through exactly one signal per Check, whether a newer version is published.
#include "CurlTransfer.h"

#include <QTimer>
#include <QWidget>

#include <string>

namespace vexal {

class UpdateChecker : public QWidget {
    Q_OBJECT
public:
    explicit UpdateChecker(QWidget* parent = nullptr);

    // Starts the download and returns at once. A Check while one runs starts it afresh; the
    // earlier one then reports nothing. Every check reports within the transfer limits.
    void Check();
    // Why the last check failed, in words for the user; empty after a check that did not fail.
    // NoConnection is true when the web site could not be reached at all.
    const std::string& FailureText() const { return failureText_; }
    bool NoConnection() const { return noConnection_; }
    CurlTransfer& Transfer() { return transfer_; }
    const std::string& DownloadURL() const { return downloadURL_; }
    void SetDownloadURL(const std::string& url);
    const std::string& CurrentVersion() const { return currentVersion_; }
    void SetCurrentVersion(const std::string& version) { currentVersion_ = version; }

signals:
    void CheckFailed();
    void UpToDate(const QString& customData, const QString& otherData);
    void NewVersion(const QString& version, const QString& downloadURL, const QString& customData,
                    const QString& otherData);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Tick();

    std::string downloadURL_;
    std::string currentVersion_;
    std::string failureText_;
    bool noConnection_ = false;
    CurlTransfer transfer_;
    QTimer timer_;
};

} // namespace vexal
