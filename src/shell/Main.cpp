#include "Main.h"

#include "AppMenu.h"
#include "AppState.h"
#include "CMouse.h"
#include "GameRecord.h"
#include "Host.h"
#include "LoaderHost.h"
#include "MsgBox.h"
#include "Notice.h"
#include "PictureFaceStyle.h"
#include "ReBar.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "Splash.h"
#include "Steps.h"
#include "Teams.h"
#include "ReadableText.h"
#include "Theme.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WeekRange.h"
#include "WindowNames.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLayout>
#include <QMdiArea>
#include <QPushButton>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include <cctype>
#include <filesystem>
#include <vector>

namespace vexal {

namespace {

// Every view computes with the current week of the loaded seasons. With none loaded (the
// loader has named the file it could not read) a view is not opened: the user is told why.
bool SeasonLoadedOrSaySo()
{
    if (CurrentWeekLoaded())
        return true;
    MsgBox("No season is loaded: choose a season in the season list first.", vbExclamation);
    return false;
}

struct Button {
    int image;
    const char* caption;
    const char* tooltip;
};

constexpr Button Toolbar1Buttons[] = {
    {0, "Standings", "Standings"},       {1, "Lines", "Enter Lines"},     {2, "Predict", "Predict Games"},
    {3, "Statistics", "View Stats"},     {4, "Test Formula", "Test Formula"},
    {5, "Power Ratings", "Power Ratings"}, {6, "Formula", "Formula"},
};
constexpr Button Toolbar2Buttons[] = {
    {7, "Import Stats", "Download and Import Stats"},
    {8, "Input Stats", "Manually Input Stats"},
    {9, "Other Factors", "Other Factors"},
    {10, "Single Game", "Predict a Single Game"},
    {11, "Program Colors", "Set program Colors"},
    {12, "City / Name", "Change from City to NickName and back"},
    {13, "  Exit  ", "Exit Program"},
};
constexpr int NamesButton = 10;   // "City / Name" of the second toolbar
// The last button of each toolbar ("Formula", "Exit") stays available while a run yields: the
// editor's changes and Exit wait for the run by themselves.
constexpr int LastButton = 12;

const char* const TB1Items[] = {"Standings", "Enter Lines", "Predict Games", "View Stats",
                                "Test Formula", "Power Ratings", "Formula"};
const char* const TB2Items[] = {"Import Stats", "Input Stats", "Other Factors", "Single Game",
                                "Program Colors", "City / Name", "Exit"};

bool SameName(const std::string& a, const std::string& b) { return vb::SameText(a, b); }

// The height of picture1 at the font the windows are laid out for: two rows of captioned
// buttons fit it when their padding gives way.
constexpr int BarHeight = 85;

// picture1: hosts the rebar over the application's background picture. It is BarHeight
// pixels high, or, when the rebar's rows do not fit that at their font (a desktop's larger
// font, a window so narrow that the bands wrap into more rows), as high as the rows need.
class PictureBox : public QWidget {
public:
    // The bar's captions (its bands' texts, its buttons') are set with the picture they are
    // drawn on, and a raised button with its own face, from the first: a bar's buttons keep
    // the colours they were first shown with.
    explicit PictureBox(QWidget* parent) : QWidget(parent)
    {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
        SetPicture(QPixmap());
    }
    void SetReBar(ReBar* rebar)
    {
        rebar_ = rebar;
        rebar_->setGeometry(rect());
    }
    void SetPicture(const QPixmap& picture)
    {
        picture_ = picture;
        setAutoFillBackground(!picture_.isNull());
        caption_ = SetTextAndBackground(this, TextSurface::Window, QColor(), picture_.isNull() ? QBrush() : QBrush(picture_));
        SetTextAndBackground(this, TextSurface::Button, QColor(), QBrush());
        update();
    }
    const QPixmap& Picture() const { return picture_; }
    // The colour of a caption drawn straight on the picture.
    QColor CaptionColor() const { return caption_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override
    {
        if (!rebar_ || rebar_->LeastRowsHeight(width) <= BarHeight)
            return BarHeight;
        return rebar_->RowsHeight(width);
    }
    QSize sizeHint() const override { return {rebar_ ? rebar_->sizeHint().width() : 0, heightForWidth(width())}; }
    // The height follows the width: the window's layout asks heightForWidth.
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    bool event(QEvent* event) override
    {
        // The rebar's rows changed: the window lays the bar out at its new height.
        if (event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QWidget::event(event);
    }
    void resizeEvent(QResizeEvent*) override
    {
        if (rebar_)
            rebar_->setGeometry(rect());
    }
    void paintEvent(QPaintEvent*) override
    {
        if (picture_.isNull())
            return;
        QPainter p(this);
        p.drawTiledPixmap(rect(), picture_);
    }

private:
    ReBar* rebar_ = nullptr;
    QPixmap picture_;
    QColor caption_;
};

// An icon drawn from two colours and a few letters, for the buttons and the menus.
QIcon DrawIcon(const QColor& back, const QColor& fore, const QString& letters)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(fore);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont f = p.font();
    f.setPixelSize(letters.size() > 1 ? 8 : 11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letters);
    return QIcon(pm);
}

// The buttons and menus of every view ask for the same few pictures each time a view opens:
// each is drawn once.
QIcon DrawnIcon(const QColor& back, const QColor& fore, const QString& letters)
{
    struct Drawn {
        QColor back, fore;
        QString letters;
        QIcon icon;
    };
    // Never freed: a picture must not be destroyed after the application object is gone.
    static auto* drawn = new std::vector<Drawn>;
    for (const Drawn& d : *drawn)
        if (d.back == back && d.fore == fore && d.letters == letters)
            return d.icon;
    QIcon icon = DrawIcon(back, fore, letters);
    drawn->push_back({back, fore, letters, icon});
    return icon;
}

// The main window's size at start: 1024 x 720 pixels, or what of it fits the screen's available
// area with the window manager's frame around it (a screen scaled to 150 % leaves 1280 x 720).
// The frame is known once the window manager has framed the window; before that the style's
// title bar stands for it.
QSize StartSize(const QWidget* window)
{
    // Pixels of a screen of 96 dpi: one of more pixels to the inch (144 dpi unscaled) gives as
    // many more, as it gives its text.
    const double perInch = Screen::TwipsPerPixelY() > 0 ? 15.0 / Screen::TwipsPerPixelY() : 1.0;
    const QSize design(static_cast<int>(1024 * perInch), static_cast<int>(720 * perInch));
    const QRect area = Screen::AvailableArea();
    if (area.isEmpty())
        return design;
    QMargins frame;
    if (const QWindow* handle = window->windowHandle())
        frame = handle->frameMargins();
    if (frame.isNull())
        frame = QMargins(0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), 0, 0);
    return design.boundedTo(area.size().shrunkBy(frame)).expandedTo(QSize(1, 1));
}

// The loader's windows: the splash's progress bar, the notice, the week selector.
class NoticeAdapter : public NoticePopup {
public:
    NoticeAdapter() : notice_(CreateNotice()) {}
    void SetText(const std::string& text) override { notice_->SetText(text); }
    void SetTitle(const std::string& title) override { notice_->SetTitle(title); }
    void SetNumber(int32_t number) override { notice_->SetNumber(number); }
    void SetOwner(const std::string& windowName) override { notice_->SetOwner(windowName); }
    void Show() override { notice_->Show(); }

private:
    std::unique_ptr<Notice> notice_;
};

} // namespace

class ShellLoaderHost : public LoaderHost {
public:
    explicit ShellLoaderHost(Main* main) : main_(main) {}

    bool SplashVisible() override
    {
        QWidget* splash = FindWindow(WindowName::Splash);
        return splash && splash->isVisible();
    }
    void ShowSplash() override { ShowWindow(WindowName::Splash); }
    void SetProgress(int32_t value, const std::string& caption) override
    {
        if (auto* splash = qobject_cast<Splash*>(FindWindow(WindowName::Splash)))
            splash->SetProgress(value, caption);
    }
    void CloseSplash() override { UnloadWindow(WindowName::Splash); }
    std::string ActiveWindowCaption() override
    {
        QWidget* form = QApplication::activeModalWidget();
        if (!form)
            form = QApplication::activeWindow();
        if (!form)
            return "Vexal";
        if (form == main_)
            if (QWidget* view = ActiveView())
                form = view;
        return form->windowTitle().toStdString();
    }
    std::unique_ptr<NoticePopup> CreateNotice() override { return std::make_unique<NoticeAdapter>(); }
    void BeginBusyCursor() override
    {
        if (!cursor_)
            cursor_ = std::make_unique<CMouse>(vbHourglass);
    }
    void EndBusyCursor() override { cursor_.reset(); }
    void SetBusy(bool busy) override
    {
        if (busy && !busy_)
            busy_ = std::make_unique<BusyScope>();
        else if (!busy)
            busy_.reset();
    }
    void WeekListChanged() override
    {
        QComboBox* week = main_->cboWeek();
        QSignalBlocker block(week);
        week->clear();
        for (const auto& item : Season().WeekItems)
            week->addItem(QString::fromStdString(item));
        week->setCurrentIndex(Season().WeekListIndex);
    }
    void WeekSelectionChanged() override
    {
        QComboBox* week = main_->cboWeek();
        QSignalBlocker block(week);
        if (week->count() != static_cast<int>(Season().WeekItems.size()))
            WeekListChanged();
        week->setCurrentIndex(Season().WeekListIndex);
    }
    void RefreshActiveView(bool refreshAll) override { vexal::RefreshActiveView(refreshAll); }

private:
    Main* main_;
    std::unique_ptr<BusyScope> busy_;
    std::unique_ptr<CMouse> cursor_;
};

Main* TheMain() { return qobject_cast<Main*>(MainWindow()); }

Main::Main(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(WindowName::Main);
    setWindowTitle("Vexal");
    resize(StartSize(this));

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("MDIClient");
    setCentralWidget(mdi_);

    auto* picture = new PictureBox(this);
    rebarHost_ = picture;
    rebarHost_->setObjectName("picture1");
    rebar_ = new ReBar(rebarHost_);
    picture->SetReBar(rebar_);
    setMenuWidget(rebarHost_);
    rebarHost_->installEventFilter(this);
    connect(rebar_, &ReBar::ChevronPushed, this,
            [this](const QString& key, const QPoint& pos) { cReBar1_ChevronPushed(key, pos); });

    cboYears_ = new QComboBox(rebarHost_);
    cboYears_->setObjectName("cboYears");
    cboYears_->setMinimumContentsLength(6);
    connect(cboYears_, &QComboBox::currentIndexChanged, this, [this] { cboYears_Click(); });

    cboWeek_ = new QComboBox(rebarHost_);
    cboWeek_->setObjectName("cboWeek");
    cboWeek_->setMinimumContentsLength(13);
    connect(cboWeek_, &QComboBox::currentIndexChanged, this, [this] { cboWeek_Click(); });

    cPop_.SetOwner(this);
    cPop_.SetImageList([this](int index) { return MenuIcon(index); });

    auto host = std::make_unique<ShellLoaderHost>(this);
    loaderHost_ = host.get();
    InstallLoaderHost(std::move(host));
    OnBusyChanged(this, [this](bool busy) { ShowCommandsAvailable(!busy); });
}

// While a run or load yields, nothing that would replace what it reads or re-enter it can be
// chosen: the season and week lists, the views' buttons and the tools that open over them are
// disabled, and enabled again when it has returned.
void Main::ShowCommandsAvailable(bool available)
{
    cboYears_->setEnabled(available);
    cboWeek_->setEnabled(available);
    for (QToolBar* bar : {viewsToolbar_, toolsToolbar_}) {
        if (!bar)
            continue;
        const QList<QAction*> actions = bar->actions();
        for (int index = 0; index < LastButton && index < actions.size(); index += 2)
            actions.at(index)->setEnabled(available);
    }
}

Main::~Main() { ReleaseLoaderHost(); }

void Main::ReleaseLoaderHost()
{
    // Only the host this window installed is taken away (a newer main window may have its own).
    if (loaderHost_ && &TheLoaderHost() == loaderHost_)
        InstallLoaderHost(nullptr);
    loaderHost_ = nullptr;
}

void TakeMainPicture(const QList<QWidget*>& controls, PictureOn where)
{
    const Main* main = TheMain();
    if (!main)
        return;
    const QPixmap picture = main->BackgroundPixmap();
    if (picture.isNull())
        return;
    // What a style draws from a brush's colour (a button's face, an outline) takes the
    // picture's middle tone, not the black of a brush made from a picture alone.
    const QColor middle = picture.toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
    const QBrush brush(middle, picture);
    for (QWidget* control : controls) {
        // The control's text is set with the picture it is drawn on.
        if (where != PictureOn::Window)
            SetSurfaceBackground(control, TextSurface::Button, brush);
        if (where != PictureOn::Button)
            SetSurfaceBackground(control, TextSurface::Window, brush);
        // A background brush shows only where the control fills its own rectangle, and a
        // check box fills it from its button face unless told to use its window's.
        if (where != PictureOn::Button) {
            control->setBackgroundRole(QPalette::Window);
            control->setAutoFillBackground(true);
        }
        // The style draws a push button's face plain: the picture is put on it afterwards.
        if (where != PictureOn::Window && qobject_cast<QPushButton*>(control))
            control->setStyle(PictureFaceStyle::Shared());
    }
}

QPixmap Main::BackgroundPixmap() const { return static_cast<PictureBox*>(rebarHost_)->Picture(); }

QIcon Main::ButtonImage(int index) const
{
    static const char* const letters[] = {"S", "L", "P", "St", "T", "PR", "F", "I", "IS", "OF", "SG", "C", "N", "X"};
    if (index < 0 || index > 13)
        return QIcon();
    const QColor back = index < 7 ? QColor(0, 96, 160) : QColor(0, 128, 96);
    return DrawnIcon(back, Qt::white, QString::fromLatin1(letters[index]));
}

QIcon Main::MenuIcon(int index) const
{
    if (index == 33)
        return DrawnIcon(QColor(200, 16, 46), Qt::white, "A");
    if (index == 34)
        return DrawnIcon(QColor(1, 51, 105), Qt::white, "N");
    if (index == 0)
        return DrawnIcon(TranslateColor(0xC0C000), TranslateColor(0x800000), "V");
    if (index < 1 || index > LastTeamCode)
        return QIcon();
    // TeamLogoPath sets the shared team values; the menu must not change them.
    AppState& app = App();
    const std::string abbrev = app.TeamAbbrev;
    const int32_t c1 = app.TeamColor1, c2 = app.TeamColor2;
    const std::string logo = TeamLogoPath(index);
    const QColor fore = TranslateColor(app.TeamColor1), back = TranslateColor(app.TeamColor2);
    const QString base = QString::fromStdString(app.TeamAbbrev);
    app.TeamAbbrev = abbrev;
    app.TeamColor1 = c1;
    app.TeamColor2 = c2;
    if (!logo.empty()) {
        const std::filesystem::path found = ProgramFile("images/" + std::filesystem::path(logo).filename().string());
        QPixmap pm(QString::fromStdString(found.string()));
        if (!pm.isNull())
            return QIcon(pm.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return DrawnIcon(back, fore, base.left(1));
}

int16_t Main::GetYearsToLoad() const { return vexal::GetYearsToLoad(); }

// ---------------------------------------------------------------- load and activation

void Main::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    AppState& app = App();
    // 1, 2: processor exceptions are caught at the event loop; the keyboard layout is the user's.
    // 3: the background painters are made on first use; the popup menu exists with the window.
    SkipStep([&] { ApplyTheme(app.ThemeName); });
    // Whatever colours the theme and the windows choose, their text stays readable.
    SkipStep([] { KeepAllTextReadable(); });
    // 5: the window stays hidden until the Standings window shows it.
    SkipStep([&] {
        backgroundPicture_ = (ProgramFolder() / "images" / (Screen::ColorDepth() <= 256 ? "bground1.bmp" : "bground.bmp")).string();
        QPixmap pm(QString::fromStdString(ProgramFile(std::filesystem::path(backgroundPicture_).lexically_relative(ProgramFolder()).string()).string()));
        static_cast<PictureBox*>(rebarHost_)->SetPicture(pm);
    });
    app.SuppressRefresh = true;
    SkipStep([] {
        std::error_code ec;
        std::filesystem::current_path(ProgramFolder(), ec);
    });
    SkipStep([&] {
        QSignalBlocker block(cboYears_);
        cboYears_->clear();
        for (int year = FirstSeason; year <= CurrentSeason; ++year)
            if (FileExists(SeasonFilePath(year)))
                cboYears_->addItem(QStringLiteral(" ") + QString::number(year));
        cboYears_->setCurrentIndex(-1);
    });
    SkipStep([&] { SetToolbarText(); });
    // Choosing the newest season loads the seasons through the selector's handler.
    SkipStep([&] { cboYears_->setCurrentIndex(cboYears_->count() - 1); });
    SkipStep([&] { SetUpMenus(); });
    SkipStep([&] { SetDivisionOrder(Season().WeekSeason); });
    SkipStep([&] { ShowWindow(WindowName::Standings); });
    SkipStep([&] { UpDateBackground(""); });
    // The window is shown by now; a platform that does not activate it still gets the
    // activation's work done once.
    if (!isActiveWindow())
        SkipStep([&] { Form_Activate(); });
}

void Main::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && loaded_ && !unloaded_)
        Form_Activate();
}

void Main::Form_Activate()
{
    AppState& app = App();
    app.UserFolder = UserProfileFolder() / "Vexal";
    std::error_code ec;
    if (!std::filesystem::exists(app.UserFolder, ec))
        std::filesystem::create_directories(app.UserFolder, ec);
    const std::filesystem::path images = app.UserFolder / "images";
    if (!std::filesystem::exists(images, ec)) {
        std::filesystem::create_directories(images, ec);
        const std::filesystem::path source = ProgramFile("images");
        if (std::filesystem::is_directory(source, ec)) {
            for (const auto& entry : FolderEntries(source)) {
                if (!entry.is_regular_file(ec))
                    continue;
                std::filesystem::copy_file(entry.path(), images / entry.path().filename(),
                                           std::filesystem::copy_options::skip_existing, ec);
            }
        }
    }
    std::filesystem::current_path(ProgramFolder(), ec);
    app.SuppressRefresh = false;
}

// ---------------------------------------------------------------- toolbars and rebar

void Main::SetToolbarText()
{
    auto build = [this](QToolBar*& bar, const char* name, const Button (&buttons)[7], bool first) {
        if (!bar) {
            bar = new QToolBar(rebarHost_);
            bar->setObjectName(QString::fromLatin1(name));
            bar->setIconSize(QSize(16, 16));
            bar->setMovable(false);
            bar->setFloatable(false);
            // Two rows of captioned buttons fit the rebar's BarHeight pixels at the font the
            // windows are laid out for.
            bar->setContentsMargins(0, 0, 0, 0);
            bar->layout()->setSpacing(0);
        }
        // A bar styled by a sheet takes no colours from the picture box, so the sheet names
        // them: a caption on the picture in the colour set with it, a raised or pressed
        // button's on the desktop's face in the desktop's button text.
        const QString sheet =
            QString("QToolBar { padding: 0px; spacing: 0px; border: 0px; }"
                    "QToolButton { padding: 1px 4px 1px 4px; margin: 0px; }"
                    "QToolButton:enabled { color: %1; }"
                    "QToolButton:enabled:checked, QToolButton:enabled:pressed, QToolButton:enabled:hover { color: %2; }")
                .arg(static_cast<PictureBox*>(rebarHost_)->CaptionColor().name(),
                     QApplication::palette().color(QPalette::ButtonText).name());
        if (bar->styleSheet() != sheet)
            bar->setStyleSheet(sheet);
        bar->clear();
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        for (int i = 0; i < 7; ++i) {
            const int index = 2 * i;
            QAction* action = bar->addAction(ButtonImage(buttons[i].image), QString::fromLatin1(buttons[i].caption));
            action->setObjectName(QString::fromLatin1(name) + "Button" + QString::number(index));
            action->setToolTip(QString::fromLatin1(buttons[i].tooltip));
            if (!first && index == NamesButton)
                action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, index, first] {
                if (first)
                    cToolbar1_ButtonClick(index);
                else
                    cToolbar2_ButtonClick(index);
            });
            if (i < 6)
                bar->addSeparator();
        }
    };
    build(viewsToolbar_, "cToolbar1", Toolbar1Buttons, true);
    build(toolsToolbar_, "cToolbar2", Toolbar2Buttons, false);
    rebarHost_->updateGeometry();
    if (ToolbarTextOff())
        SetToolbarCaptions(false);
    const bool city = GetSetting(pref::Names);
    {
        QAction* names = toolsToolbar_->actions().at(NamesButton);
        QSignalBlocker block(names);
        names->setChecked(city);
    }
    App().ShowCityNames = city;
    rebar_->RemoveAllBands();
    ArrangeToolbars();
    ShowCommandsAvailable(!IsBusy());
}

void Main::SetToolbarCaptions(bool shown)
{
    for (QToolBar* bar : {viewsToolbar_, toolsToolbar_})
        if (bar)
            bar->setToolButtonStyle(shown ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    rebar_->Relayout();
}

void SetToolbarCaptionsShown(bool shown)
{
    if (Main* main = TheMain())
        main->SetToolbarCaptions(shown);
}

void Main::ArrangeToolbars()
{
    if (!viewsToolbar_ || !toolsToolbar_)
        return;
    const std::string file = App().CurrentFormulaFile;
    const std::string name = file.substr(0, file.find('.'));
    rebar_->AddBand(cboYears_);
    rebar_->AddBand(toolsToolbar_, QString(), "Toolbar2");
    rebar_->AddBand(cboWeek_);
    rebar_->AddBand(viewsToolbar_, QString::fromStdString(name), "Toolbar1");
}

void Main::ChangeFormulaName()
{
    setUpdatesEnabled(false);
    rebar_->RemoveAllBands();
    ArrangeToolbars();
    setUpdatesEnabled(true);
}

void Main::picture1_Resize()
{
    if (Screen::PixelsToTwipsX(rebarHost_->width()) > 9600)
        rebar_->Relayout();
}

bool Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == rebarHost_ && event->type() == QEvent::Resize)
        SkipStep([this] { picture1_Resize(); });
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- menus

void Main::BuildTeamList(int year)
{
    cPop_.Clear();
    const int afc = cPop_.AddItem("AFC", 33);
    const int nfc = cPop_.AddItem("NFC", 34);
    cPop_.AddItem("Default", 0);
    cPop_.AddItem("None");
    SetDivisionOrder(year);
    const auto& order = DivisionOrder();
    for (const Division& division : Divisions(year)) {
        const int conference = division.First < 16 ? afc : nfc;
        cPop_.SetHeader(cPop_.AddItem(division.Name, -1, conference), true);
        for (int pos = division.First; pos < division.First + division.Count && pos < 32; ++pos) {
            const int code = order[static_cast<std::size_t>(pos)];
            std::string name;
            try {
                int16_t season = 0;
                name = TeamName(code, season, NameStyleAsShown);
            } catch (const std::exception&) {
                // No week chosen yet: name the team as in the division table's own season.
                name = TeamName(code, year, NameStyleAsShown);
            }
            cPop_.AddItem(name, code, conference, code);
        }
    }
}

void Main::SetUpMenus()
{
    BuildTeamList(2001);
    cPop_.Store("Team List");
    BuildTeamList(2002);
    cPop_.Store("Team List2002");
    cPop_.Clear();
    for (const char* item : TB1Items)
        cPop_.AddItem(item);
    cPop_.Store("TB1");
    cPop_.Clear();
    for (const char* item : TB2Items)
        cPop_.AddItem(item);
    cPop_.SetChecked(6, GetSetting(pref::Names));
    cPop_.Store("TB2");
}

QPoint Main::ThemeMenuPosition() const
{
    QAction* colors = toolsToolbar_ ? toolsToolbar_->actions().value(8) : nullptr;
    QWidget* button = colors ? toolsToolbar_->widgetForAction(colors) : nullptr;
    if (button)
        return button->mapToGlobal(QPoint(0, button->height()));
    return rebarHost_->mapToGlobal(QPoint(0, rebarHost_->height()));
}

void Main::ShowThemeMenu()
{
    AppState& app = App();
    const bool since2002 = Season().WeekSeason >= 2002;
    if (!cPop_.Restore(since2002 ? "Team List2002" : "Team List"))
        return;
    const int chosen = cPop_.ShowPopupMenu(ThemeMenuPosition());
    if (chosen == 3) {
        SaveSetting(pref::Theme, "Vexal");
        app.ThemeName = "Vexal";
        ApplyTheme(app.ThemeName);
        app.ThemeForeColor = 0x800000;
        app.ThemeBackColor = 0xC0C000;
        UpDateBackground("");
    } else if (chosen == 4) {
        SaveSetting(pref::Theme, "");
        app.ThemeName.clear();
        ApplyTheme(app.ThemeName);
        app.ThemeForeColor = 0x800000;
        app.ThemeBackColor = 0xFFFFC0;
        UpDateBackground("");
    } else if (chosen > 4) {
        // The club of the entry chosen: two may share the name it shows.
        const int code = cPop_.Items()[static_cast<std::size_t>(chosen - 1)].key;
        const std::string logo = TeamLogoPath(code);
        if (logo.empty())
            return;   // a division header
        SaveSetting(pref::Theme, app.TeamAbbrev);
        app.ThemeName = app.TeamAbbrev;
        ApplyTheme(app.ThemeName);
        app.ThemeForeColor = app.TeamColor1;
        app.ThemeBackColor = app.TeamColor2;
        UpDateBackground("");
    }
}

void Main::cReBar1_ChevronPushed(const QString& key, const QPoint& globalPos)
{
    QToolBar* bar = nullptr;
    if (key == "Toolbar1" && cPop_.Restore("TB1"))
        bar = viewsToolbar_;
    else if (key == "Toolbar2" && cPop_.Restore("TB2"))
        bar = toolsToolbar_;
    if (!bar)
        return;
    // The menu offers what the toolbar offers now.
    const QList<QAction*> actions = bar->actions();
    for (int item = 1; item <= cPop_.Count(); ++item)
        if (QAction* action = actions.value(2 * (item - 1)))
            cPop_.SetEnabled(item, action->isEnabled());
    const int chosen = cPop_.ShowPopupMenu(globalPos);
    if (chosen < 1)
        return;
    if (QAction* action = bar->actions().value(2 * (chosen - 1)))
        action->trigger();
}

// ---------------------------------------------------------------- buttons

void Main::cToolbar1_ButtonClick(int index)
{
    switch (index) {
    case 0: SwitchView(WindowName::Standings); break;
    case 2: SwitchView(WindowName::EnterLines); break;
    case 4: SwitchView(WindowName::Predictions); break;
    case 6: SwitchView(WindowName::Statistics); break;
    case 8: SwitchView(WindowName::TestFormula); break;
    case 10: SwitchView(WindowName::PowerRatings); break;
    case 12: ShowFormulaEditor(); break;
    default: break;
    }
}

void Main::cToolbar2_ButtonClick(int index)
{
    switch (index) {
    case 0:
        if (IsBusy())
            return;
        ShowModal(WindowName::StatsDownload);
        UpDateBackground("");
        break;
    case 2: SwitchView(WindowName::InputStats); break;
    case 4: SwitchView(WindowName::OtherFactors); break;
    case 6:
        if (IsBusy() || !SeasonLoadedOrSaySo())
            return;
        ShowModal(WindowName::SingleGame);
        UpDateBackground("");
        break;
    case 8:
        if (IsBusy())
            return;
        ShowThemeMenu();
        break;
    case 10: ToggleNames(toolsToolbar_->actions().at(NamesButton)->isChecked()); break;
    case 12: ExitProgram(); break;
    default: break;
    }
}

void Main::SwitchView(const std::string& name)
{
    if (IsBusy() || !SeasonLoadedOrSaySo())
        return;
    QWidget* view = LoadWindow(name);
    if (!view)
        return;
    if (QWidget* active = ActiveView(); active && active->windowTitle() == view->windowTitle())
        return;
    ShowWindow(name);
    UpDateBackground("");
    for (const std::string& loaded : LoadedWindowNames())
        if (!SameName(loaded, name) && !SameName(loaded, WindowName::FormulaEditor) && loaded != WindowName::Main)
            UnloadWindow(loaded);
}

void Main::ShowFormulaEditor()
{
    QWidget* editor = LoadWindow(WindowName::FormulaEditor);
    if (!editor)
        return;
    const int w = Screen::TwipsToPixelsX(7785);
    const int h = Screen::TwipsToPixelsY(3735);
    editor->resize(w, h);
    const QRect frame = frameGeometry();
    editor->move(frame.left() + frame.width() / 2 - w / 2, frame.top() + frame.height() / 2 - h / 2);
    ShowWindow(WindowName::FormulaEditor);
}

void Main::ToggleNames(bool pressed)
{
    QAction* names = toolsToolbar_->actions().at(NamesButton);
    if (IsBusy()) {
        QSignalBlocker block(names);
        names->setChecked(!pressed);
        return;
    }
    SaveSetting(pref::Names, pressed);
    App().ShowCityNames = pressed;
    // The stored "TB2" menu shows the same state.
    if (cPop_.Restore("TB2")) {
        cPop_.SetChecked(6, pressed);
        cPop_.Store("TB2");
    }
    RefreshActiveView(true);
}

void Main::ExitProgram()
{
    if (IsBusy()) {
        EndProgramWhenIdle([] {
            if (Main* main = TheMain())
                main->ExitProgram();
        });
        return;
    }
    // An editor that was never loaded leaves the stored choice as it is.
    if (!App().CurrentFormulaFile.empty())
        SaveSetting(pref::CurrentFormula, App().CurrentFormulaFile);
    UnloadWindow(WindowName::Main);
}

// ---------------------------------------------------------------- selectors

void Main::cboYears_Click()
{
    if (IsBusy()) {
        // A season choice while another load yields would replace the arrays under it.
        QSignalBlocker block(cboYears_);
        cboYears_->setCurrentIndex(yearsIndex_);
        return;
    }
    const int chosen = cboYears_->currentIndex();
    if (!vexal::cboYears_Click(cboYears_->currentText().toStdString())) {
        // The load was refused or the season could not be read: the previous one stays.
        QSignalBlocker block(cboYears_);
        cboYears_->setCurrentIndex(yearsIndex_);
        return;
    }
    yearsIndex_ = chosen;
}

void Main::cboWeek_Click()
{
    if (IsBusy()) {
        QSignalBlocker block(cboWeek_);
        cboWeek_->setCurrentIndex(Season().WeekListIndex);
        return;
    }
    Season().WeekListIndex = static_cast<int16_t>(cboWeek_->currentIndex());
    vexal::cboWeek_Click();
}

// ---------------------------------------------------------------- unload

void Main::closeEvent(QCloseEvent* event)
{
    if (IsBusy()) {
        event->ignore();
        EndProgramWhenIdle([] { UnloadWindow(WindowName::Main); });
        return;
    }
    if (!unloaded_)
        Form_Unload();
    event->accept();
}

void Main::Form_Unload()
{
    unloaded_ = true;
    SkipStep([&] { rebar_->RemoveAllBands(); });
    SkipStep([&] {
        cPop_ = PopupMenu();
        ReleaseBackgrounds();
    });
    for (const std::string& name : LoadedWindowNames())
        if (name != WindowName::Main)
            SkipStep([&] { UnloadWindow(name); });
    SkipStep([&] { ReleaseLoaderHost(); });
}

} // namespace vexal
