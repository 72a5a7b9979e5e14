#include "PredictWindow.h"

#include "AppMenu.h"
#include "AppState.h"
#include "CMouse.h"
#include "Clock.h"
#include "ConsensusReportsView.h"
#include "DefaultFormula.h"
#include "FileChecks.h"
#include "FlagScope.h"
#include "FormulaEditorValues.h"
#include "FormulaFile.h"
#include "Grid.h"
#include "GridPage.h"
#include "GridReports.h"
#include "Host.h"
#include "LineRecord.h"
#include "Main.h"
#include "MsgBox.h"
#include "Notice.h"
#include "Predict.h"
#include "ProgBar.h"
#include "RecordFile.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "SmartPredictView.h"
#include "Steps.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"
#include "ViewFrame.h"
#include "WeekRange.h"
#include "WindowNames.h"
#include "Windows.h"
#include "cResizer.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QHeaderView>
#include <QMainWindow>
#include <QScrollBar>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>

namespace vexal {

namespace {

using namespace predict;

// Texts of the window.
const char* const Caption = "Predictions";
const char* const PreviousSeasonText = "Only default lines can be used for previous seasons";
const char* const PreviousSeasonTitle = "Previous Season Selected";
const char* const DefaultLineFile = pref::LineFile.defaultValue;

// A name matches "*<suffix>" without regard to case, as the platform's file lists match.
bool EndsWithNoCase(const std::string& name, const std::string& suffix)
{
    return name.size() >= suffix.size() &&
           vb::LCase(name.substr(name.size() - suffix.size())) == vb::LCase(suffix);
}

std::vector<std::string> FilesMatching(const std::filesystem::path& folder, const std::string& suffix)
{
    std::vector<std::string> names;
    for (const auto& entry : FolderEntries(folder)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        const std::string name = entry.path().filename().string();
        if (name.size() > suffix.size() && EndsWithNoCase(name, suffix))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return vb::LCase(a) < vb::LCase(b); });
    return names;
}

int CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

// The number in the formula editor's value box `index` (the editor is loaded when it is
// not); nothing when the box cannot be read.
std::optional<float> EditorValue(int index)
{
    const std::optional<std::string> text = EditorControls().txtFla[static_cast<std::size_t>(index)];
    if (!text)
        return std::nullopt;
    return static_cast<float>(vb::Val(*text));
}

// What a dragged file list carries: the name of the list it came from.
const char* const FileListMime = "application/x-vexal-file-list";

// A file list of the file box: its selection can be dragged onto the other list, and a drop
// from another list is handed to the window with the name of the list it came from.
class FileDropList : public QListWidget {
public:
    FileDropList(QWidget* parent, std::function<void(const QString&)> dropped)
        : QListWidget(parent), dropped_(std::move(dropped))
    {
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setDragEnabled(true);
        setAcceptDrops(true);
        setDragDropMode(QAbstractItemView::DragDrop);
        setDefaultDropAction(Qt::CopyAction);
    }

protected:
    QStringList mimeTypes() const override { return {QString::fromLatin1(FileListMime)}; }
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override
    {
        auto* data = new QMimeData;
        QStringList names;
        for (const QListWidgetItem* item : items)
            names << item->text();
        data->setData(QString::fromLatin1(FileListMime), objectName().toUtf8());
        data->setText(names.join(QLatin1Char('\n')));
        return data;
    }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    void dragEnterEvent(QDragEnterEvent* event) override { Accept(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { Accept(event); }
    void dropEvent(QDropEvent* event) override
    {
        if (!event->mimeData()->hasFormat(QString::fromLatin1(FileListMime))) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
        const QString source = QString::fromUtf8(event->mimeData()->data(QString::fromLatin1(FileListMime)));
        // The list is reread by the handler; nothing is inserted here.
        dropped_(source);
    }

private:
    template <class E>
    void Accept(E* event)
    {
        if (event->mimeData()->hasFormat(QString::fromLatin1(FileListMime))) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
    }
    std::function<void(const QString&)> dropped_;
};

std::string FaqAddress() { return GetSetting(pref::Faq, WebSiteAddress() + "faq.htm"); }


} // namespace

// ---------------------------------------------------------------- construction

PredictWindow::PredictWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(WindowName::Predictions);
    setWindowTitle(Caption);
    BuildControls();
    BuildMenus();
    LayOut();
    // Smart Predict and the consensus and range reports are runs of their own: they wait while
    // one yields.
    OnBusyChanged(this, [this](bool busy) {
        cmdSmartPred_->setEnabled(!busy);
        cmdConsensus_->setEnabled(!busy);
    });
    engine_.Weekly = [this](WeeklyTableArray& table) { ShowPredictionRow(table); };
    resize(760, 520);
}

PredictWindow::~PredictWindow() = default;

void PredictWindow::BuildControls()
{
    body_ = AddMenuBarAndBody(this, menuBar_, "PredictBody");

    Grid_ = new Grid(body_);
    Grid_->setObjectName("Grid");
    gridFace_ = Grid_->font();
    SetViewPicture(this, Grid_);
    SetViewThemeColors(this, [this] { ShowThemeColors(); });
    connect(Grid_, &Grid::ColumnClick, this, &PredictWindow::Grid_ColumnClick);

    cmdpred_ = new QPushButton("Refresh", body_);
    cmdpred_->setObjectName("cmdpred");
    SetViewRefresh(this, [this] { cmdpred_->click(); });
    cmdpred_->hide();
    connect(cmdpred_, &QPushButton::clicked, this, &PredictWindow::cmdpred_Click);

    lblTeaser_ = new QLabel("Teaser Points:", body_);
    lblTeaser_->setObjectName("lblTeaser");
    cboTeaser_ = new QComboBox(body_);
    cboTeaser_->setObjectName("cboTeaser");
    for (const char* item : TeaserItems)
        cboTeaser_->addItem(item);
    cboTeaser_->setCurrentIndex(0);
    connect(cboTeaser_, &QComboBox::currentIndexChanged, this, [this] { cboTeaser_Click(); });

    lblLines_ = new QLabel("Current Line File:", body_);
    lblLines_->setObjectName("lblLines");
    cboLines_ = new QComboBox(body_);
    cboLines_->setObjectName("cboLines");
    connect(cboLines_, &QComboBox::currentIndexChanged, this, [this] { cboLines_Click(); });

    chkOu_ = new QCheckBox("Over / Under", body_);
    chkOu_->setObjectName("chkOu");
    connect(chkOu_, &QCheckBox::stateChanged, this, [this] { chkOu_Click(); });
    chkOtherFac_ = new QCheckBox("Other Factors", body_);
    chkOtherFac_->setObjectName("chkOtherFac");
    connect(chkOtherFac_, &QCheckBox::stateChanged, this, [this] { chkOtherFac_Click(); });
    chkPoolPicks_ = new QCheckBox("Pool Picks", body_);
    chkPoolPicks_->setObjectName("chkPoolPicks");
    connect(chkPoolPicks_, &QCheckBox::stateChanged, this, [this] { chkPoolPicks_Click(); });
    chkCliffAdjust_ = new QCheckBox("Cliff Adjust", body_);
    chkCliffAdjust_->setObjectName("chkCliffAdjust");

    cmdSmartPred_ = new QPushButton("Smart Predict", body_);
    cmdSmartPred_->setObjectName("cmdSmartPred");
    connect(cmdSmartPred_, &QPushButton::clicked, this, [this] { cmdSmartPred_Click(*this); });
    cmdConsensus_ = new QPushButton("Consensus", body_);
    cmdConsensus_->setObjectName("cmdConsensus");
    connect(cmdConsensus_, &QPushButton::clicked, this, &PredictWindow::cmdConsensus_Click);
    CmdWeb_ = new QPushButton("Web Info.", body_);
    CmdWeb_->setObjectName("CmdWeb");
    connect(CmdWeb_, &QPushButton::clicked, this, &PredictWindow::CmdWeb_Click);

    fraFileBox_ = new QGroupBox("FileBox", body_);
    fraFileBox_->setObjectName("fraFileBox");
    auto* boxLayout = new QVBoxLayout(fraFileBox_);
    auto* label1 = new QLabel("Consensus Formula List:", fraFileBox_);
    label1->setObjectName("lblFile1");
    consensusFiles_ = new FileDropList(fraFileBox_, [this](const QString& source) { File1_DragDrop(source); });
    consensusFiles_->setObjectName("File1");
    auto* label2 = new QLabel("Formulas:", fraFileBox_);
    label2->setObjectName("lblFile2");
    formulaFiles_ = new FileDropList(fraFileBox_, [this](const QString& source) { File2_DragDrop(source); });
    formulaFiles_->setObjectName("File2");
    CmdClose_ = new QPushButton("Close", fraFileBox_);
    CmdClose_->setObjectName("CmdClose");
    connect(CmdClose_, &QPushButton::clicked, this, &PredictWindow::CmdClose_Click);
    boxLayout->addWidget(label1);
    boxLayout->addWidget(consensusFiles_);
    boxLayout->addWidget(label2);
    boxLayout->addWidget(formulaFiles_);
    boxLayout->addWidget(CmdClose_);
    // The box opens over the grid: it paints its own background.
    fraFileBox_->setAutoFillBackground(true);
    fraFileBox_->hide();

    ProgBar_ = new ProgBar(body_);
    ProgBar_->setObjectName("ProgBar");
    ProgBar_->hide();
}

void PredictWindow::BuildMenus()
{
    QMenu* file = menuBar_->addMenu("&File");
    file->setObjectName("mnuFile");
    mnuPrint_ = file->addAction("&Print...");
    mnuPrint_->setObjectName("Print");
    connect(mnuPrint_, &QAction::triggered, this, &PredictWindow::mnuPrint_Click);
    mnuHTMLPrint_ = file->addAction("&HTML Print");
    mnuHTMLPrint_->setObjectName("pHTML");
    connect(mnuHTMLPrint_, &QAction::triggered, this, &PredictWindow::mnuHTMLPrint_Click);
    mnuExportHTML_ = file->addAction("&Export to HTML");
    mnuExportHTML_->setObjectName("HTML");
    connect(mnuExportHTML_, &QAction::triggered, this, &PredictWindow::mnuExportHTML_Click);
    mnuExit_ = file->addAction("E&xit");
    mnuExit_->setObjectName("Exit");
    connect(mnuExit_, &QAction::triggered, this, &PredictWindow::mnuExit_Click);

    QMenu* consensus = menuBar_->addMenu("&Consensus");
    consensus->setObjectName("mnuConsensus");
    mnuSUConsensus_ = consensus->addAction("&Set Up Consensus");
    mnuSUConsensus_->setObjectName("SUConsensus");
    connect(mnuSUConsensus_, &QAction::triggered, this, &PredictWindow::SUConsensus_Click);

    QMenu* smart = menuBar_->addMenu("&Smart Predict");
    smart->setObjectName("mnuSmartPredict");
    mnuSaveFormulas_ = smart->addAction("Save &Formulas");
    mnuSaveFormulas_->setObjectName("sFomulas");
    mnuSaveFormulas_->setCheckable(true);

    // Help stands apart at the right end of the menu bar.
    auto* helpBar = new QMenuBar(menuBar_);
    helpBar->setObjectName("mnuHelpBar");
    mnuHelp_ = helpBar->addAction("&Help");
    mnuHelp_->setObjectName("Help");
    menuBar_->setCornerWidget(helpBar, Qt::TopRightCorner);
    connect(mnuHelp_, &QAction::triggered, this, &PredictWindow::mnuHelp_Click);
}

void PredictWindow::LayOut()
{
    // Two rows of commands above the grid; the resize rules spread them across the window.
    // The sizes are the design font's, grown with a desktop's larger font.
    auto px = [](int designPixels) { return Screen::DesignPixels(designPixels); };
    const int rowHeight = px(24);
    for (QWidget* w : std::initializer_list<QWidget*>{lblLines_, cboLines_, cmdConsensus_, CmdWeb_, lblTeaser_, cboTeaser_})
        w->setGeometry(0, px(6), px(100), rowHeight);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdSmartPred_, chkPoolPicks_, chkOtherFac_, chkOu_})
        w->setGeometry(0, px(36), px(100), rowHeight);
    chkCliffAdjust_->setGeometry(0, px(66), px(100), rowHeight);
    Grid_->setGeometry(px(10), px(70), px(600), px(300));
    ProgBar_->setGeometry(px(10), px(380), px(600), px(20));
    fraFileBox_->setGeometry(px(10), px(70), px(400), px(320));
}

// ---------------------------------------------------------------- load, activation, unload

void PredictWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    const int predictionsBefore = predictionsMade_;
    // Every step of the load goes on past a failing one.
    AppState& app = App();
    SkipStep([&] { chkCliffAdjust_->hide(); });
    SkipStep([&] { mnuSaveFormulas_->setChecked(GetSetting(pref::PredSaveFormulas)); });
    SkipStep([&] { TakeButtonPictures(); });
    SkipStep([&] {
        if (!app.ThemePicture.empty() && FileExists(app.ThemePicture))
            Grid_->SetBackgroundPictureFile(QString::fromStdString(app.ThemePicture));
    });
    SkipStep([&] {
        if (app.CurrentFormula[fsMaxDiff] == 0) {
            app.CurrentFormulaFile = DefaultFormulaName;
            app.CurrentFormula[fsPowerRating] = 0;
            // A program folder without one gets the shipped formula first; one that cannot be
            // given it (read-only, a full disk) says so once, and the built-in one is in force.
            ProvideDefaultFormulaFile(ProgramFolder());
            // Only the slots a formula file holds change; the week and the switches stay.
            // One that cannot be read gives the built-in default, and the user is told why.
            Formula read{};
            std::string problem;
            const std::filesystem::path file = ProgramFile(DefaultFormulaName);
            std::error_code ec;
            if (ReadFormulaForUse(file, read, problem))
                ForgetFileProblem(file);
            else if (std::filesystem::exists(file, ec))
                ReportFileProblem(file, problem + " The built-in default formula is used instead.");
            for (int slot : FormulaFileSlots)
                app.CurrentFormula[static_cast<std::size_t>(slot)] = read[static_cast<std::size_t>(slot)];
        }
    });
    SkipStep([&] {
        const QMainWindow* main = MainWindow();
        const int mainWidth = main ? main->width() : width();
        Grid_->resize(vb::Whole(0.7 * mainWidth), Grid_->height());
    });
    SkipStep([&] { AddGridColumns(); });
    SkipStep([&] {
        std::error_code ec;
        std::filesystem::create_directories(ProgramFolder() / "Consensus", ec);
        std::filesystem::create_directories(ProgramFolder() / "ConsensusOU", ec);
    });
    SkipStep([&] {
        SetFileList(consensusFiles_, (ProgramFolder() / "Consensus").string(), "*.fla");
        SetFileList(formulaFiles_, ProgramFolder().string(), "*.fla");
    });
    SkipStep([&] { FillLineFiles(); });
    SkipStep([&] { ShowThemeColors(); });
    SkipStep([&] {
        // The two rows of commands, each left to right as its rule places it.
        const QList<QWidget*> topRow{lblLines_, cboLines_, cmdConsensus_, CmdWeb_, lblTeaser_, cboTeaser_};
        const QList<QWidget*> bottomRow{cmdSmartPred_, chkPoolPicks_, chkOtherFac_, chkOu_};
        resize_ = new cResizer(this);
        resize_->AddRule(cResizer::EqualWidths, body_, 120, bottomRow);
        resize_->AddRule(cResizer::EqualWidths, body_, 120, topRow);
        resize_->TargetForm(body_);
        // Tab goes as one reads: along the top row, along the second, then into the grid.
        QWidget* previous = nullptr;
        for (QWidget* w : topRow + bottomRow + QList<QWidget*>{Grid_}) {
            if (!(w->focusPolicy() & Qt::TabFocus))
                continue;
            if (previous)
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
    });
    if (predictionsMade_ > predictionsBefore && !running_ && !predictPending_ && !smartShown_)
        loadPrediction_ = CurrentInputs();
}

PredictWindow::PredictInputs PredictWindow::CurrentInputs() const
{
    PredictInputs in;
    in.formula = App().CurrentFormula;
    in.minDiff = EditorValue(1);
    in.maxDiff = EditorValue(2);
    in.seasonToDate = EditorControls().STD;
    in.pool = CheckValue(chkPoolPicks_);
    in.totals = CheckValue(chkOu_);
    in.otherFactors = CheckValue(chkOtherFac_);
    in.lines = cboLines_->currentText().toStdString();
    in.teaser = cboTeaser_->currentText().toStdString();
    return in;
}

void PredictWindow::TakeButtonPictures()
{
    TakeMainPicture({chkPoolPicks_, chkOu_, chkOtherFac_, CmdWeb_, cmdConsensus_, cmdSmartPred_}, PictureOn::ButtonAndWindow);
}

void PredictWindow::AddGridColumns()
{
    const double gridPixels = Grid_->width();
    for (const ColumnSpec& c : PredictColumns) {
        const int width = c.share > 0 ? vb::Whole(gridPixels * c.share) : -1;
        Grid_->AddColumn(c.key, c.header, HdrAlignLeft, -1, width, c.shown, false, QString(), true, c.format);
    }
}

void PredictWindow::SetFileList(QListWidget* list, const std::string& folder, const std::string& pattern)
{
    // The same folder read again keeps the user's selection of the files still there.
    QSet<QString> selected;
    if (list->property("Path").toString() == QString::fromStdString(folder))
        for (const QListWidgetItem* item : list->selectedItems())
            selected.insert(item->text());
    list->setProperty("Path", QString::fromStdString(folder));
    list->setProperty("Pattern", QString::fromStdString(pattern));
    list->clear();
    // Patterns here are "*" and a suffix.
    for (const std::string& name : FilesMatching(folder, pattern.substr(1))) {
        list->addItem(QString::fromStdString(ListedFileName(name)));
        if (selected.contains(list->item(list->count() - 1)->text()))
            list->item(list->count() - 1)->setSelected(true);
    }
}

void PredictWindow::FillLineFiles()
{
    // The season's line files by the names the readers find them by (LineFilePath), so that
    // the file chosen is the file read.
    const int year = Season().SeasonYear;
    const std::vector<std::string> names = ListLineFiles(ProgramFolder(), year);
    formulaFiles_->setProperty("Path", QString::fromStdString(ProgramFolder().string()));
    formulaFiles_->setProperty("Pattern", QString::fromStdString("*" + LineFileName("", year)));
    formulaFiles_->clear();
    QSignalBlocker block(cboLines_);
    cboLines_->clear();
    cboLines_->addItem(DefaultLineFile);
    for (const std::string& name : names) {
        formulaFiles_->addItem(QString::fromStdString(LineFilePath(name, year).filename().string()));
        cboLines_->addItem(QString::fromStdString(name));
    }
    const QString saved = QString::fromStdString(LineFileInUse());
    int chosen = 0;
    for (int i = 0; i < cboLines_->count(); ++i)
        if (cboLines_->itemText(i) == saved)
            chosen = i;
    if (chosen == 0 && LineFileStaysChosen(LineFileInUse(), Season().SeasonYear)) {
        cboLines_->addItem(saved);
        chosen = cboLines_->count() - 1;
    }
    cboLines_->setCurrentIndex(chosen);
    block.unblock();
    SetFileList(formulaFiles_, ProgramFolder().string(), "*.fla");
    // Choosing the item is the list's click: the week's lines are loaded and predicted.
    cboLines_Click();
}

void PredictWindow::Form_Activate()
{
    if (!loaded_)
        return;
    const bool loadPredictionStands = loadPrediction_ && *loadPrediction_ == CurrentInputs();
    loadPrediction_.reset();
    // Smart predictions stay in the grid until a refresh or an option asks for the week again.
    if (!smartShown_ && !loadPredictionStands)
        Predict();
    cPop_.Clear();
    cPop_.SetOwner(this);
    if (Main* main = TheMain())
        cPop_.SetImageList([main](int index) { return main->ButtonImage(index); });
    cPop_.AddItem("View Consensus", 15);
    cPop_.AddItem("Print Consensus", 16);
    cPop_.AddItem("View All Consensus", 15);
    cPop_.AddItem("View Range", 15);
    cPop_.AddItem("Print Range", 16);
    CentreGridAndProgress();
}

void PredictWindow::CentreGridAndProgress()
{
    // The body fills the window below the menu bar; it may not be laid out yet.
    const int inner = width();
    Grid_->move((inner - Grid_->width()) / 2, Grid_->y());
    ProgBar_->move((inner - ProgBar_->width()) / 2, ProgBar_->y());
}

void PredictWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    WatchFrameActivation();
}

void PredictWindow::WatchFrameActivation()
{
    if (!frameWatched_)
        frameWatched_ = OnFrameActivated(this, [this] { Form_Activate(); });
}

void PredictWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (loaded_)
        FitGridToWindow();
}

bool PredictWindow::event(QEvent* event)
{
    // A window of its own (not a view inside the main window) is activated by the system;
    // a view by its frame in the main window.
    if (event->type() == QEvent::WindowActivate && isWindow())
        Form_Activate();
    if (event->type() == QEvent::ParentChange)
        WatchFrameActivation();
    return QWidget::event(event);
}

void PredictWindow::closeEvent(QCloseEvent* event)
{
    // Not while the engine call yields: the run still writes into this window.
    if (running_) {
        event->ignore();
        return;
    }
    AppState& app = App();
    app.CurrentFormula[fsTotalsMode] = 0;
    app.CurrentFormula[fsOtherFactors] = 0;
    SaveSetting(pref::LineFile, vb::Trim(cboLines_->currentText().toStdString()));
    SaveSetting(pref::PredSaveFormulas, mnuSaveFormulas_->isChecked());
    notice_.reset();
    event->accept();
}

// ---------------------------------------------------------------- the week prediction

void PredictWindow::Predict()
{
    if (running_) {
        // An option changed while the engine yields: predict again once it has returned.
        predictPending_ = true;
        return;
    }
    smartShown_ = false;
    BusyScope busy;
    const FlagScope runEnd(running_);
    CMouse mouse;
    mouse.SetPointer(vbHourglass);

    AppState& app = App();
    Formula& formula = app.CurrentFormula;
    bool clean = true;
    const bool pool = chkPoolPicks_->isChecked();
    clean &= ReportStep([&] {
        WeeklyStartGame = 0;
        for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, 8, 13})
            app.SavedFormula[static_cast<std::size_t>(slot)] = formula[static_cast<std::size_t>(slot)];
        app.TestFilters.fill(0);
    }, AppTitle);
    clean &= ReportStep([&] {
        if (!pool) {
            if (const std::optional<float> v = EditorValue(1))
                formula[fsMinDiff] = *v;
            if (const std::optional<float> v = EditorValue(2))
                formula[fsMaxDiff] = *v;
        } else {
            formula[fsMinDiff] = 0;
            formula[fsMaxDiff] = 99;
        }
    }, AppTitle);
    clean &= ReportStep([&] {
        formula[fsTotalsMode] = static_cast<float>(CheckValue(chkOu_));
        if (const std::optional<int> seasonToDate = EditorControls().STD)
            formula[fsSeasonToDate] = static_cast<float>(*seasonToDate);
    }, AppTitle);
    Grid_->SetRedraw(false);
    clean &= ReportStep([&] {
        // One combination cannot be stopped: a stop meant for an earlier run must not end it.
        app.StopTest = false;
        TestRequest request;
        request.Low = formula;
        request.High = formula;
        request.Filters = app.TestFilters;
        engine_.TestFormulas(request);
    }, AppTitle);
    if (pool)
        clean &= ReportStep([&] { CalcPoolPicks(); }, AppTitle);
    Grid_->SetRedraw(true);
    if (pool) {
        clean &= ReportStep([&] {
            if (const std::optional<float> v = EditorValue(1))
                formula[fsMinDiff] = *v;
            if (const std::optional<float> v = EditorValue(2))
                formula[fsMaxDiff] = *v;
        }, AppTitle);
    }
    if (clean)
        ++predictionsMade_;
    if (predictPending_) {
        predictPending_ = false;
        QTimer::singleShot(0, this, [this] { Predict(); });
    }
}

void PredictWindow::ShowPredictionRow(WeeklyTableArray& table)
{
    if (ConsensusMode) {
        for (int i = 0; i < WeeklyRows; ++i) {
            const int pick = static_cast<int>(CellNumber(table[static_cast<std::size_t>(i)][0]));
            std::string name;
            SkipStep([&] { name = TeamAbbrev3(pick, 0, 0); });
            ConsensusPicks[static_cast<std::size_t>(i)] = name;
        }
        return;
    }
    if (RangeMode) {
        const Formula& f = App().CurrentFormula;
        const bool totals = f[fsTotalsMode] != 0;
        for (int i = 0; i < WeeklyRows; ++i) {
            const auto& row = table[static_cast<std::size_t>(i)];
            const RangeItems r = RangeLimitsOf(static_cast<float>(CellNumber(row[2])),
                                               static_cast<float>(CellNumber(row[3])), f[fsMinDiff], f[fsMaxDiff], totals);
            const auto g = static_cast<std::size_t>(i);
            RangeLimits[1][g] = r.item1;
            RangeLimits[2][g] = r.item2;
            RangeLimits[4][g] = r.item4;
            RangeLimits[5][g] = r.item5;
        }
        return;
    }
    ShowGridRows(table);
}

// The rows' stripes and the bar in the theme's colours, whichever theme is chosen now.
void PredictWindow::ShowThemeColors()
{
    Grid_->SetThemeBackColor(App().ThemeBackColor);
    if (ProgBar_)
        ProgBar_->SetBarColor(App().ThemeForeColor);
}

void PredictWindow::ShowGridRows(const WeeklyTableArray& table)
{
    AppState& app = App();
    Grid_->SetThemeBackColor(app.ThemeBackColor);
    // The grid's rows grow with a desktop's larger font, as the text they hold does.
    const int rowHeight = Screen::DesignPixels(Screen::RowHeightPixels());
    if (app.CurrentFormula[fsCurrentWeek] == 0)
        app.CurrentFormula[fsCurrentWeek] = 1;
    const int weekSlot = static_cast<int>(app.CurrentFormula[fsCurrentWeek]) - 1;
    const bool picture = !app.ThemePicture.empty() && FileExists(app.ThemePicture);
    const int flags = DtSingleLine | DtWordEllipsis;

    auto name = [](int code) {
        try {
            return QString::fromStdString(TeamName(code, 0, NameStyleAsShown));
        } catch (const VbError&) {
            return QString();
        }
    };

    poolFigures_.fill(std::nullopt);
    for (int i : WeekGameSlots(weekSlot, WeeklyStartGame)) {
        const ScheduledGame game = *GameAt(weekSlot, i);
        const auto& result = table[static_cast<std::size_t>(i)];
        const int r = i + 1;
        while (Grid_->Rows() < r)
            Grid_->AddRow(-1, 0, true, rowHeight);
        // The row carries its game slot (from 1) through the pool sort.
        Grid_->SetRowKey(r, i + 1);
        poolFigures_[static_cast<std::size_t>(i)] = {game.line, static_cast<float>(CellNumber(result[2])),
                                                     static_cast<float>(CellNumber(result[3]))};
        const int32_t back = picture ? GridNoColor : (r % 2 == 1 ? GridThemeBack : White);

        Grid_->SetCell(r, colPick, name(static_cast<int>(CellNumber(result[0]))), flags, -1, back, Blue);
        Grid_->SetCell(r, colAwayTeam, name(game.awayTeam), flags, -1, back);
        Grid_->SetCell(r, colHomeTeam, name(game.homeTeam), flags, -1, back);
        Grid_->SetCell(r, colHomePoints, static_cast<float>(CellNumber(result[2])), flags, -1, back, Blue);
        Grid_->SetCell(r, colAwayPoints, static_cast<float>(CellNumber(result[3])), flags, -1, back, Blue);
        if (!IsPlayed(game)) {
            Grid_->SetCell(r, colResult, QString(), flags, -1, back);
            Grid_->SetCell(r, colScore, QString(), flags, -1, back);
        } else {
            const std::string outcome = CellText(result[1]);
            Grid_->SetCell(r, colResult, QString::fromStdString(outcome), flags, -1, back, ResultColor(outcome));
            Grid_->SetCell(r, colScore, QString::fromStdString(ScoreText(game.awayScore, game.homeScore)), flags, -1,
                           back);
        }
        Grid_->SetCell(r, colLine, game.line, flags, -1, back);
        Grid_->SetCell(r, colTotal, game.total, flags, -1, back);
    }
    FitGridToWindow();
}

void PredictWindow::FitGridToWindow()
{
    // A prediction made while the window loads comes before the window's layout has given the
    // body a size: the grid is fitted once, when it has one.
    if (!body_->testAttribute(Qt::WA_Resized))
        return;
    const QMainWindow* main = MainWindow();
    const int mainWidth = main ? main->width() : width();
    const int share = vb::Whole(0.7 * mainWidth);
    const int room = std::max(100, body_->width() - 8);
    // A face made smaller for a smaller window comes back as far as the room allows.
    if (Grid_->font() != gridFace_) {
        Grid_->resize(room, Grid_->height());
        Grid_->FitTextToView(gridFace_);
    }
    // The columns take their shares of the grid's width again, then widen to their texts.
    for (int c = 1; c <= Grid_->Cols() && c <= static_cast<int>(std::size(PredictColumns)); ++c) {
        const ColumnSpec& spec = PredictColumns[static_cast<std::size_t>(c - 1)];
        if (spec.share > 0)
            Grid_->SetColumnWidth(c, vb::Whole(share * spec.share));
    }
    Grid_->FitColumnsToText();
    const int columns = 2 * Grid_->frameWidth() + Grid_->verticalHeader()->width() * Grid_->verticalHeader()->isVisible() +
                        Grid_->ShownColumnsWidth();
    // The grid's rows grow with a desktop's larger font, as the text they hold does.
    const int rowHeight = Screen::DesignPixels(Screen::RowHeightPixels());
    const int rows = Screen::TwipsToPixelsY(Grid_->Rows() * rowHeight * 15.0 + 300.0);
    const int below = std::max(rowHeight * 3, body_->height() - Grid_->y() - 8);
    // The rows as the grid draws them (a row holds its face, the heading its own), where they
    // are higher than the design's estimate; the grid scrolls when they are higher than the
    // room it gets.
    const int drawn = Grid_->WholeRowsHeight();
    const int height = std::min(std::max(rows, drawn), below);
    const bool scrolls = drawn > height;
    const int needed = columns + (scrolls ? Grid_->verticalScrollBar()->sizeHint().width() : 0);
    const int width = std::min(room, std::max(share, needed));
    Grid_->resize(width, height);
    // Columns wider than the window (a desktop's larger font in a small window) take a smaller
    // face, as far as the one the window is laid out for allows.
    if (needed > room)
        Grid_->FitTextToView(gridFace_);
    CentreGridAndProgress();
}

void PredictWindow::CalcPoolPicks()
{
    Grid_->SetRedraw(false);
    if (chkPoolPicks_->isChecked()) {
        for (int r = 1; r <= Grid_->Rows(); ++r) {
            const int slot = Grid_->RowKey(r).toInt();
            if (slot < 1 || static_cast<std::size_t>(slot) > poolFigures_.size() ||
                !poolFigures_[static_cast<std::size_t>(slot - 1)])
                continue;   // a row no game of this prediction filled
            const PoolFigures& p = *poolFigures_[static_cast<std::size_t>(slot - 1)];
            const int16_t value = PoolValue(p.line, p.homePoints, p.awayPoints);
            Grid_->SetCellValue(r, colPool, static_cast<int>(value));
        }
        GridSortObject& sort = Grid_->SortObject();
        sort.ClearKeys();
        sort.SetKeyColumn(1, colPool);
        sort.SetKeyOrder(1, SortDescending);
        sort.SetKeyType(1, SortNumeric);
        Grid_->Sort();
    }
    Grid_->SetRedraw(true);
}

// ---------------------------------------------------------------- handlers

bool PredictWindow::DeferWhileRunning(void (PredictWindow::*handler)())
{
    if (!running_)
        return false;
    // The option would change what the engine is reading: apply it once the run has returned.
    QPointer<PredictWindow> self(this);
    RunWhenIdle([self, handler] {
        if (self)
            (self->*handler)();
    });
    return true;
}

void PredictWindow::cmdpred_Click()
{
    if (running_) {
        predictPending_ = true;
        return;
    }
    Grid_->Clear();
    Predict();
}

void PredictWindow::cboLines_Click()
{
    if (DeferWhileRunning(&PredictWindow::cboLines_Click))
        return;
    if (cboLines_->currentIndex() < 0)
        return;
    const std::string chosen = vb::Trim(cboLines_->currentText().toStdString());
    SaveSetting(pref::LineFile, chosen);
    // A season file that cannot give the week's lines is named once, and no line of the choice
    // before stands under this one.
    const auto loadLines = [] { ReportFileStep(WeekLinesSeasonFile(false), [] { LoadWeekLines(false); }); };
    loadLines();
    if (chosen != DefaultLineFile && UseSeasonFileLines()) {
        // A named line file holds lines of the newest season only.
        {
            QSignalBlocker block(cboLines_);
            cboLines_->setCurrentIndex(0);
        }
        SaveSetting(pref::LineFile, DefaultLineFile);
        loadLines();
        if (!notice_)
            notice_ = CreateNotice();
        notice_->SetText(PreviousSeasonText);
        notice_->SetTitle(PreviousSeasonTitle);
        notice_->SetNumber(4);
        notice_->SetOwner(objectName().toStdString());
        notice_->Show();
    }
    Predict();
}

void PredictWindow::cboTeaser_Click()
{
    if (DeferWhileRunning(&PredictWindow::cboTeaser_Click))
        return;
    engine_.SetTeaser(TeaserPoints(cboTeaser_->currentText().toStdString()));
    if (loaded_)
        Predict();
}

void PredictWindow::chkOtherFac_Click()
{
    if (DeferWhileRunning(&PredictWindow::chkOtherFac_Click))
        return;
    App().CurrentFormula[fsOtherFactors] = static_cast<float>(CheckValue(chkOtherFac_));
    Predict();
}

void PredictWindow::chkOu_Click()
{
    if (DeferWhileRunning(&PredictWindow::chkOu_Click))
        return;
    App().CurrentFormula[fsTotalsMode] = static_cast<float>(CheckValue(chkOu_));
    Predict();
    SkipStep([this] {
        const std::filesystem::path folder = ProgramFolder() / (chkOu_->isChecked() ? "ConsensusOU" : "Consensus");
        SetFileList(consensusFiles_, folder.string(), "*.fla");
        SetFileList(formulaFiles_, ProgramFolder().string(), "*.fla");
    });
}

void PredictWindow::chkPoolPicks_Click() { Predict(); }

void PredictWindow::Grid_ColumnClick(int column)
{
    const ColumnSort s = ColumnClickSort(column);
    GridSortObject& sort = Grid_->SortObject();
    sort.ClearKeys();
    sort.SetKeyColumn(1, column);
    sort.SetKeyOrder(1, s.order);
    sort.SetKeyType(1, s.type);
    Grid_->Sort();
}

void PredictWindow::CmdWeb_Click()
{
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    ShellOpen(FaqAddress(), 1);
}

void PredictWindow::CmdClose_Click() { fraFileBox_->hide(); }

void PredictWindow::SUConsensus_Click()
{
    // Formula files written since the lists were read (another window's Save Best) are shown.
    RefreshFileLists();
    fraFileBox_->move(fraFileBox_->x(), Grid_->y());
    fraFileBox_->show();
    fraFileBox_->raise();
}

int PredictWindow::TotalsBox() const { return CheckValue(chkOu_); }
int PredictWindow::OtherFactorsBox() const { return CheckValue(chkOtherFac_); }
int PredictWindow::PoolPicksBox() const { return CheckValue(chkPoolPicks_); }
bool PredictWindow::SaveFormulasChecked() const { return mnuSaveFormulas_->isChecked(); }

std::vector<std::string> PredictWindow::ConsensusFileNames()
{
    SkipStep([this] {
        SetFileList(consensusFiles_, consensusFiles_->property("Path").toString().toStdString(), "*.fla");
    });
    std::vector<std::string> names;
    for (int i = 0; i < consensusFiles_->count(); ++i)
        names.push_back(consensusFiles_->item(i)->text().toStdString());
    return names;
}

void PredictWindow::RefreshFileLists()
{
    SetFileList(consensusFiles_, consensusFiles_->property("Path").toString().toStdString(), "*.fla");
    SetFileList(formulaFiles_, ProgramFolder().string(), "*.fla");
}

std::filesystem::path PredictWindow::ConsensusFolder() const
{
    return ProgramFolder() / (CheckValue(chkOu_) == 1 ? "ConsensusOU" : "Consensus");
}

void PredictWindow::File1_DragDrop(const QString& source)
{
    if (source != QLatin1String("File2"))
        return;
    // A copy that fails leaves the set as it is; the other files are still copied, and each
    // that failed is named once the others are in.
    const std::filesystem::path folder = ConsensusFolder();
    std::string failed;
    for (int i = 0; i < formulaFiles_->count(); ++i) {
        if (!formulaFiles_->item(i)->isSelected())
            continue;
        const std::filesystem::path file = ListedFile(ProgramFolder(), formulaFiles_->item(i)->text().toStdString());
        // The copy is written as every whole file is (a copy there its user made read-only
        // stays, one kept private stays private).
        std::string bytes, problem, reason;
        if (!ReadWholeFile(file, bytes, problem, FileKind::Formula))
            failed += (failed.empty() ? "" : "\r\n") + problem;
        else if (!WriteFileAtomically(folder / file.filename(), bytes, reason))
            failed += (failed.empty() ? "" : "\r\n") + WriteFailure(folder / file.filename(), reason);
    }
    SetFileList(consensusFiles_, consensusFiles_->property("Path").toString().toStdString(), "*.fla");
    if (!failed.empty())
        MsgBox(failed, vbExclamation);
}

void PredictWindow::File2_DragDrop(const QString& source)
{
    if (source != QLatin1String("File1"))
        return;
    // Only the copy in the consensus folder goes; the formula file itself stays. A copy the
    // folder keeps stays in the set, named with the cause.
    const std::filesystem::path folder = ConsensusFolder();
    std::string failed;
    for (int i = 0; i < consensusFiles_->count(); ++i) {
        if (!consensusFiles_->item(i)->isSelected())
            continue;
        const std::filesystem::path copy = ListedFile(folder, consensusFiles_->item(i)->text().toStdString());
        if (std::string reason; !RemoveFile(copy, reason))
            failed += (failed.empty() ? "" : "\r\n") + RemoveFailure(copy, reason);
    }
    SetFileList(consensusFiles_, consensusFiles_->property("Path").toString().toStdString(), "*.fla");
    if (!failed.empty())
        MsgBox(failed, vbExclamation);
}

void PredictWindow::cmdConsensus_Click()
{
    const QPoint below(cmdConsensus_->width() / 2, cmdConsensus_->height());
    switch (cPop_.ShowPopupMenu(cmdConsensus_->mapToGlobal(below))) {
    case 1: ViewConsensusHtml(*this); break;
    case 2: PrintConsensus(*this); break;
    case 3: ViewAllConsensusHtml(*this); break;
    case 4: ViewRangeHtml(*this); break;
    case 5: PrintRange(*this); break;
    default: break;
    }
}

void PredictWindow::mnuExit_Click() { UnloadAllForms(); }

void PredictWindow::mnuHelp_Click() { ShowHelpTopic("Predict.htm"); }

// ---------------------------------------------------------------- output

std::string PredictWindow::WeekText() const
{
    const int week = static_cast<int>(App().CurrentFormula[fsCurrentWeek]);
    const auto& items = Season().WeekItems;
    if (week >= 1 && static_cast<std::size_t>(week) <= items.size())
        return items[static_cast<std::size_t>(week - 1)];
    return std::string();
}

std::string PredictWindow::FormulaName() const
{
    // Smart predictions come from a formula searched for each game, not from the editor's.
    if (smartShown_)
        return SmartFormulasName;
    if (std::optional<std::string> name = EditorFormulaName())
        return *name;
    return App().CurrentFormulaFile;
}

void PredictWindow::mnuPrint_Click()
{
    PrintGrid(*Grid_, "Predictions for " + WeekText() + " using " + FormulaName());
}

void PredictWindow::mnuHTMLPrint_Click()
{
    PrintGridHTML(*Grid_, "Predictions for " + WeekText() + " using " + FormulaName());
}

void PredictWindow::mnuExportHTML_Click()
{
    const std::string title1 = "Vexal Picks for " + WeekText() + " - Printed:" + TodayDateText();
    // The formula's name is text; the heading around it is markup.
    const std::string title2 = "Predictions using " + HtmlEscape(FormulaName());
    const std::string footer =
        "These Picks are being brought to you by: <A HREF=\"" + HtmlEscape(WebSiteAddress()) + "\"> Vexal </A>";
    const std::filesystem::path page = App().UserFolder / "VexalPicks.htm";
    int16_t fontSize = 0;
    if (!GridToHTML(*Grid_, page, title1, title2, footer, fontSize, true, false))
        return;
    HideFormulaEditor();
    ShellOpen(page.string(), 1);
}

} // namespace vexal
