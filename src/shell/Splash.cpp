#include "Splash.h"

#include "Host.h"
#include "Main.h"
#include "ProgBar.h"
#include "Screen.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cBackGround.h"
#include "CMouse.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

#ifndef VEXAL_VERSION_MAJOR
#define VEXAL_VERSION_MAJOR 1
#endif
#ifndef VEXAL_VERSION_MINOR
#define VEXAL_VERSION_MINOR 0
#endif
#ifndef VEXAL_VERSION_REVISION
#define VEXAL_VERSION_REVISION 0
#endif

namespace vexal {

namespace {

// The product logo, drawn: the name over a gridiron stripe.
QPixmap Logo()
{
    QPixmap pm(320, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 96, 48));
    p.drawRoundedRect(QRectF(4, 60, 312, 24), 6, 6);
    p.setPen(QPen(Qt::white, 2));
    for (int x = 24; x < 312; x += 24)
        p.drawLine(x, 62, x, 82);
    QFont f("Tahoma");
    f.setPixelSize(52);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(0, 0, 320, 62), Qt::AlignCenter, "Vexal");
    return pm;
}

} // namespace

std::string BuildCaption()
{
    return "Build " + std::to_string(VEXAL_VERSION_MAJOR) + "." + std::to_string(VEXAL_VERSION_MINOR) + "." +
           std::to_string(VEXAL_VERSION_REVISION);
}

Splash::Splash(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(WindowName::Splash);
    setWindowTitle("Vexal");
    setFont(QFont("Tahoma"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);

    imgLogo_ = new QLabel(this);
    imgLogo_->setObjectName("imgLogo");
    imgLogo_->setPixmap(Logo());
    imgLogo_->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgLogo_);

    lblNotice_ = new QLabel("Handicapping the NFL against the line.", this);
    lblNotice_->setObjectName("lblNotice");
    lblNotice_->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblNotice_);

    lblResources_ = new QLabel("Resources", this);
    lblResources_->setObjectName("lblResources");
    lblResources_->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblResources_);

    loadProgress_ = new ProgBar(this);
    loadProgress_->setObjectName("ProgBar1");
    loadProgress_->setMinimumHeight(22);
    loadProgress_->SetValue(0);
    layout->addWidget(loadProgress_);
    connect(loadProgress_, &ProgBar::Click, this, [this] { ProgBar1_Click(); });

    loadMainTimer_ = new QTimer(this);
    loadMainTimer_->setObjectName("Timer1");
    loadMainTimer_->setInterval(100);
    connect(loadMainTimer_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    closeTimer_ = new QTimer(this);
    closeTimer_->setObjectName("Timer2");
    closeTimer_->setInterval(30000);
    connect(closeTimer_, &QTimer::timeout, this, [this] { Timer2_Timer(); });

    resize(360, 220);
}

Splash::~Splash() = default;

void Splash::Form_Load()
{
    std::error_code ec;
    std::filesystem::current_path(ProgramFolder(), ec);
    lblResources_->setText(QString::fromStdString(BuildCaption()));
    show();
    CMouse busy(11);
    if (Screen::ColorDepth() > 256) {
        background_ = std::make_unique<cBackGround>();
        background_->GradientForm(this, 0xC0C000, 0, 2, true);
    }
    const ScreenMetrics& screen = Screen::Metrics();
    move((screen.widthPixels - width()) / 2, (screen.heightPixels - height()) / 2);
    // The splash paints as soon as the event loop runs, which is also the only place its first
    // timer can fire: the main window therefore always loads after this handler has returned,
    // however long the machine takes to get here.
    loadMainTimer_->start();
    closeTimer_->start();
}

void Splash::SetProgress(int value, const std::string& caption)
{
    loadProgress_->SetValue(value);
    loadProgress_->SetCaption(QString::fromStdString(caption));
}

void Splash::Timer1_Timer()
{
    loadMainTimer_->stop();
    if (FindWindow(WindowName::Main))
        return;
    // The splash is the start's progress window: it closes when the main window's load has
    // ended, whatever that load met (seasons loaded, none to list, a season file it could not
    // read), not only when a season load closes it.
    struct CloseAtEnd {
        ~CloseAtEnd() { UnloadWindow(WindowName::Splash); }
    } closeAtEnd;
    LoadWindow(WindowName::Main);
}

void Splash::Timer2_Timer()
{
    closeTimer_->stop();
    UnloadWindow(WindowName::Splash);
}

void Splash::ProgBar1_Click() { UnloadWindow(WindowName::Splash); }

void Splash::closeEvent(QCloseEvent* event)
{
    // Closed before its first timer loaded the main window (a click on the bar at once):
    // the program still starts.
    if (loadMainTimer_->isActive()) {
        loadMainTimer_->stop();
        QTimer::singleShot(0, [] {
            if (!FindWindow(WindowName::Main))
                LoadWindow(WindowName::Main);
        });
    }
    QWidget::closeEvent(event);
}

void RegisterShellWindows()
{
    RegisterWindow(WindowName::Splash, WindowKind::Modeless, [](QWidget*) { return new Splash; });
    RegisterWindow(WindowName::Main, WindowKind::Modeless, [](QWidget*) { return new Main; });
}

void StartVexal()
{
    // Qt's raster painter hands every fill taller than about a hundred rows (a frame's side, a
    // scroll bar, a window's background) to the shared thread pool in strips, one strip per
    // thread, and waits for them. On a desktop window's few hundred rows the waking of each
    // thread costs far more than its strip; one helper takes the strips in turn.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    ShowWindow(WindowName::Splash);
}

void ShowSplashAsAbout()
{
    auto* splash = qobject_cast<Splash*>(LoadWindow(WindowName::Splash));
    if (!splash)
        return;
    ProgBar* bar = splash->ProgBar1();
    bar->SetBorderStyle(6);
    QFont bold = bar->font();
    bold.setBold(true);
    bar->setFont(bold);
    bar->SetAddPercent(false);
    bar->SetCaption("OK");
    ShowWindow(WindowName::Splash);
}

} // namespace vexal
