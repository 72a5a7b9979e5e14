#include "InternetWindows.h"

#include "DownloadWindow.h"
#include "ProgramDownload.h"
#include "TSGet.h"
#include "UpdateNoticeHandler.h"
#include "WindowNames.h"
#include "Windows.h"

#include <QPointer>

#include <algorithm>

namespace vexal {

namespace {

// A linked program fetched by a document download control that lives as long as its owner
// (named "TSGet1" among the owner's children) and stored in the program folder.
class LinkedProgramDownload : public ProgramDownload {
public:
    LinkedProgramDownload(QObject* owner, Hooks hooks) : get_(new TSGet(owner)), hooks_(std::move(hooks))
    {
        get_->setObjectName("TSGet1");
        QObject::connect(get_, &TSGet::DownloadProgress, get_,
                         [this](const QString& status, int, qint64 read, qint64 expected) {
                             const int percent = expected > 0 ? static_cast<int>(std::min<qint64>(
                                                                    100, (read * 100 + expected / 2) / expected))
                                                              : -1;
                             if (hooks_.progress)
                                 hooks_.progress(status.toStdString(), percent);
                         });
        QObject::connect(get_, &TSGet::DocReceived, get_, [this](const QString& data, const QString&, int) {
            if (hooks_.arrived)
                hooks_.arrived(data.toStdString());
        });
        QObject::connect(get_, &TSGet::Error, get_, [this](const QString& message, int) {
            if (hooks_.failed)
                hooks_.failed(message.toStdString());
        });
    }
    // The control goes with its owner; it reports nothing more once this is gone.
    ~LinkedProgramDownload() override
    {
        if (get_)
            QObject::disconnect(get_, nullptr, get_, nullptr);
    }

    bool Pending() const override { return get_ && get_->IsPending(Key); }
    void Start(const std::string& url) override
    {
        if (get_)
            get_->GetURL(url, Key, StoredFile);
    }

private:
    static constexpr const char* Key = "Yada";
    static constexpr int StoredFile = 3;
    QPointer<TSGet> get_;
    Hooks hooks_;
};

} // namespace

void InstallInternetServices()
{
    SetProgramDownloadFactory([](QObject* owner, ProgramDownload::Hooks hooks) -> std::unique_ptr<ProgramDownload> {
        return std::make_unique<LinkedProgramDownload>(owner, std::move(hooks));
    });
    SetUpdaterStart(StartUpdater);
}

void RegisterInternetWindows()
{
    RegisterWindow(WindowName::StatsDownload, WindowKind::Modal, [](QWidget* owner) { return new DownloadWindow(owner); });
    InstallInternetServices();
}

} // namespace vexal
