#include "UpdateChecker.h"

#include "InternetSettings.h"
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
    if (transfer_.Running())
        return;
    if (!transfer_.StartFetch(downloadURL_)) {
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
    // A failed download reads as an empty file, so it ends as a failed check.
    const std::string text = transfer_.Outcome().Ok ? transfer_.Data() : std::string();
    const VersionFile file = ParseVersionFile(text);
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
