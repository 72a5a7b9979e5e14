#include "UpdateChecker.h"

#include "InternetSettings.h"
#include "TextDamage.h"
#include "UpdateNotice.h"
#include "VersionFile.h"

#include <QPainter>
#include <qdrawutil.h>

namespace vexal {

UpdateChecker::UpdateChecker(QWidget* parent)
    : QWidget(parent), downloadURL_(VersionFileURL()), currentVersion_(ProgramVersion())
{
    setFixedSize(40, 40);
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &UpdateChecker::Tick);
}

void UpdateChecker::SetDownloadURL(const std::string& url)
{
    downloadURL_ = url;
    update();
}

void UpdateChecker::Check()
{
    if (transfer_.Running()) {
        timer_.stop();
        transfer_.Cancel();
    }
    failureText_.clear();
    noConnection_ = false;
    transfer_.Limits = InternetLimits();
    if (!transfer_.StartFetch(downloadURL_)) {
        noConnection_ = true;
        failureText_ = "The version check could not be started for " + downloadURL_;
        emit CheckFailed();
        return;
    }
    timer_.start();
}

namespace {
// The file's bytes pass through unchanged (Latin-1 maps each byte to one character).
QString L(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
} // namespace

void UpdateChecker::Tick()
{
    if (!transfer_.Poll())
        return;
    timer_.stop();
    // A failed download reads as an empty file, so it ends as a failed check; the reason is
    // kept so the host can say which step failed.
    const TransferOutcome& out = transfer_.Outcome();
    std::string text = out.Ok ? transfer_.Data() : std::string();
    // A version file holding bytes no text holds is none the site published: an entry cut at
    // such a byte would pass for the published version.
    const std::string damage = TextByteDamage(text, "version file");
    if (!damage.empty())
        text.clear();
    const VersionFile file = ParseVersionFile(text);
    if (!out.Ok) {
        // Only a site that could not be reached at all is a connection problem; a server that
        // answered (falling silent, flooding, refusing, sending the check elsewhere) is named
        // for what it did.
        noConnection_ = out.Number == 10057;
        failureText_ = "The version file " + downloadURL_ + " could not be fetched: " + out.Description;
    } else if (!damage.empty()) {
        failureText_ = "The version file " + downloadURL_ + " is damaged: " + damage + ".";
    } else if (file.Version.empty()) {
        failureText_ = "The version file " + downloadURL_ + " holds no version entry.";
    }
    if (file.Version.empty())
        emit CheckFailed();
    else if (IsCurrentVersion(file.Version, currentVersion_))
        emit UpToDate(L(file.CustomData), L(file.OtherData));
    else
        emit NewVersion(L(file.Version), L(file.DownloadURL),
                        L(file.CustomData), L(file.OtherData));
}

void UpdateChecker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setClipRect(0, 0, 40, 40);
    qDrawShadePanel(&painter, 0, 0, 40, 40, palette(), false, 1);
    const int ascent = fontMetrics().ascent();
    painter.drawText(5, 1 + ascent, "Update");
    painter.drawText(2, 28 + ascent, "Checker");
}

} // namespace vexal
