#include "DownloadWindow.h"
#include "ReadableText.h"

#include "AppState.h"
#include "CommonDialog.h"
#include "FtpClient.h"
#include "Host.h"
#include "InternetSettings.h"
#include "MsgBox.h"
#include "QtPlatform.h"
#include "Screen.h"
#include "StatFiles.h"
#include "StatImport.h"
#include "Steps.h"
#include "VbError.h"
#include "WindowNames.h"
#include "Windows.h"
#include "WrappingLabel.h"
#include "cCommonDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QResizeEvent>

namespace vexal {

namespace {

constexpr const char* Caption = "Stats Download Client";
constexpr const char* DefaultLogonName = "zavozezorodo";
constexpr const char* DefaultLogonPassword = "Dovezezid7";
constexpr const char* ImportHelp =
    "To import a file from the internet click 'Connect'. After the list is received, select the file and "
    "click 'Get/Import'. If you already downloaded, just click 'Get / Import'\"";

std::function<ImportResult(const std::string&)>& ImportHook()
{
    static std::function<ImportResult(const std::string&)> hook;
    return hook;
}

std::string Trim(const QString& text) { return S(text.trimmed()); }

} // namespace

void DownloadWindow::SetImportHook(std::function<ImportResult(const std::string&)> hook) { ImportHook() = std::move(hook); }

DownloadWindow::DownloadWindow(QWidget* owner) : GuardedDialog(owner)
{
    setObjectName(WindowName::StatsDownload);
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto named = [](auto* w, const char* name) {
        w->setObjectName(name);
        return w;
    };
    lblServer = named(new QLabel("Server:", this), "lblServer");
    cmbServer = named(new QComboBox(this), "cmbServer");
    cmbServer->setEditable(true);
    cmbServer->setToolTip("Server Name:");
    txtLogonName = named(new QLineEdit(DefaultLogonName, this), "txtLogonName");
    txtLogonPassword = named(new QLineEdit(DefaultLogonPassword, this), "txtLogonPassword");
    txtDirectory = named(new QLineEdit(this), "txtDirectory");
    cmdConnect = named(new QPushButton("Connect", this), "cmdConnect");
    CmdDisconnect = named(new QPushButton("Disconnect", this), "CmdDisconnect");
    lblFileList = named(new QLabel("File List:", this), "lblFileList");
    serverFiles_ = named(new QListWidget(this), "List1");
    serverFiles_->setToolTip("File List:");
    txtServerFile = named(new QLineEdit(this), "txtServerFile");
    txtServerFile->setToolTip("Server File:");
    txtLocalFile = named(new QLineEdit(this), "txtLocalFile");
    txtLocalFile->setToolTip("Local File:");
    cmdGetFile = named(new QPushButton("Get / Import File", this), "cmdGetFile");
    lblImport = named(new QLabel(ImportHelp, this), "lblImport");
    lblImport->setWordWrap(true);
    // A long message (an error naming a server or a file) wraps within the window's width
    // rather than widening the window past its place.
    lblStatus = named(new WrappingLabel("Idle...", this), "lblStatus");
    lblStatus->setToolTip("Status:");

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblServer, 0, 0);
    grid->addWidget(cmbServer, 0, 1);
    grid->addWidget(txtLogonName, 1, 1);
    grid->addWidget(txtLogonPassword, 2, 1);
    grid->addWidget(txtDirectory, 3, 1);
    grid->addWidget(cmdConnect, 4, 0);
    grid->addWidget(CmdDisconnect, 4, 1);
    grid->addWidget(lblFileList, 5, 0);
    grid->addWidget(serverFiles_, 6, 0, 1, 2);
    grid->addWidget(txtServerFile, 7, 0, 1, 2);
    grid->addWidget(txtLocalFile, 8, 0, 1, 2);
    grid->addWidget(cmdGetFile, 9, 0, 1, 2);
    grid->addWidget(lblImport, 10, 0, 1, 2);
    grid->addWidget(lblStatus, 11, 0, 1, 2);

    // Load: the client, the server list, the theme's text colour.
    ftp_ = new FtpClient(this);
    cmbServer->addItem(Q(StatsServerHost()));
    cmbServer->addItem(Q(StatsServerAlternateHost()));
    cmbServer->setCurrentIndex(0);
    // A server of a long name (a setting the user wrote) scrolls in its box: the box grows with
    // its names only up to a third of the screen, so the window never runs past the screen.
    {
        const int wanted = cmbServer->sizeHint().width();
        cmbServer->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        cmbServer->setMinimumWidth(std::min(wanted, Screen::AvailableArea().width() / 3));
    }
    if (App().ThemeForeColor != 0) {
        // The captions in the theme's colour, on the window's background set with it.
        const auto c = static_cast<uint32_t>(App().ThemeForeColor);
        SetSurfaceText(this, TextSurface::Window, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }

    connect(cmdConnect, &QPushButton::clicked, this, [this] { cmdConnect_Click(); });
    connect(CmdDisconnect, &QPushButton::clicked, this, [this] { CmdDisconnect_Click(); });
    connect(cmdGetFile, &QPushButton::clicked, this, [this] { cmdGetFile_Click(); });
    connect(serverFiles_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { List1_Click(item); });

    connect(ftp_, &FtpClient::Connected, this, [this] {
        cmdConnect->setEnabled(false);
        CmdDisconnect->setEnabled(true);
        Status("Connected!");
    });
    connect(ftp_, &FtpClient::DirItem, this, [this](const QString& e) { OnDirItem(e); });
    connect(ftp_, &FtpClient::Done, this, [this](int code) { OnDone(code); });
    connect(ftp_, &FtpClient::Progress, this, [this](qint64 bytes) {
        Status("Retrieving File. Bytes Received = " + std::to_string(bytes));
    });
    connect(ftp_, &FtpClient::Disconnected, this, [this] {
        cmdConnect->setEnabled(true);
        CmdDisconnect->setEnabled(false);
        Status("Disconnected.");
    });
    connect(ftp_, &FtpClient::Failed, this,
            [this](int number, const QString& text) { ShowError(number, S(text)); });
}

DownloadWindow::~DownloadWindow() = default;

// The instructions and the status wrap within the window's width, into more lines the
// narrower it is (on a small screen its server box may take a third of the screen only): the
// window is as high as its lines need at the width it has, so that none runs under the next.
// Where the screen is too low for that, the file list gives up the room, down to a few lines.
void DownloadWindow::resizeEvent(QResizeEvent* event)
{
    GuardedDialog::resizeEvent(event);
    QLayout* grid = layout();
    if (!grid || !grid->hasHeightForWidth())
        return;
    int needed = grid->totalHeightForWidth(width());
    const int frame = std::max(0, frameGeometry().height() - height());
    const int room = Screen::AvailableArea().height() - frame;
    const int listHint = serverFiles_->sizeHint().height();
    const int least = 4 * serverFiles_->fontMetrics().height() + 2 * serverFiles_->frameWidth();
    if (room > 0 && needed > room && listHint > least) {
        serverFiles_->setMaximumHeight(std::max(least, listHint - (needed - room)));
        grid->invalidate();
        needed = grid->totalHeightForWidth(width());
    }
    if (needed > height())
        resize(width(), needed);
}

void DownloadWindow::Status(const std::string& text) { lblStatus->setText(Q(text)); }

void DownloadWindow::ShowError(int number, const std::string& description)
{
    cmdConnect->setEnabled(false);
    CmdDisconnect->setEnabled(true);
    Status(std::to_string(number) + " - " + description);
}

void DownloadWindow::cmdConnect_Click()
{
    if (Trim(cmbServer->currentText()).empty() || Trim(txtLogonName->text()).empty() ||
        Trim(txtLogonPassword->text()).empty()) {
        MsgBox("Please fill in all of the boxes.", vbOKOnly);
        return;
    }
    // While the logon and the change of directory let the message loop run, the window is
    // not torn down under them: a close (or Disconnect) cancels the step, and the close is
    // carried out once the sequence has returned.
    connecting_ = true;
    cancelled_ = false;
    ConnectSequence();
    connecting_ = false;
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

void DownloadWindow::ConnectSequence()
{
    txtDirectory->setText("\\");
    // The box only says where we connect: the host is the program's stats server.
    ftp_->Host = StatsServerHost();
    ftp_->UserName = Trim(txtLogonName->text());
    ftp_->Password = Trim(txtLogonPassword->text());

    // Each step goes on after a failure, as the later steps report their own outcome; an
    // unreachable host, a refused logon and a cancel end the sequence.
    auto step = [this](const std::function<void()>& action, bool logon) {
        try {
            action();
            return !cancelled_;
        } catch (const VbError& e) {
            if (cancelled_ || e.Number() == TransferCancelled)
                return false;
            if (e.Number() == 10057) {
                cmdConnect->setEnabled(true);
                CmdDisconnect->setEnabled(false);
                const std::string title = std::to_string(e.Number()) + " - " + e.Description();
                Status(title);
                MsgBox("Could not resolve host. Please make sure you are connected to the internet and try again.",
                       vbInformation, title);
                return false;
            }
            if (logon) {
                // Without a connection the next steps cannot work: the user may try again.
                cmdConnect->setEnabled(true);
                CmdDisconnect->setEnabled(false);
                Status(std::to_string(e.Number()) + " - " + e.Description());
                return false;
            }
            ShowError(e.Number(), e.Description());
            return true;
        }
    };
    if (!step([this] {
            cmdConnect->setEnabled(false);
            CmdDisconnect->setEnabled(true);
            Status("Connecting...");
            ftp_->Connect();
        }, true))
        return;
    if (!step([this] {
            Status("Connected.");
            ftp_->Directory = Trim(txtDirectory->text());
            cmdConnect->setEnabled(false);
            CmdDisconnect->setEnabled(true); // a stalled step can always be ended
            Status("Changing Directory...");
            ftp_->ChangeDirectory();
        }, false))
        return;
    step([this] {
        serverFiles_->clear();
        cmdConnect->setEnabled(false);
        CmdDisconnect->setEnabled(true);
        Status("Retrieving Filenames...");
        ftp_->ListDirectory("*.*");
    }, false);
}

void DownloadWindow::OnDirItem(const QString& entry)
{
    const std::string name = CleanListingEntry(S(entry));
    // A name that could leave the program folder is never offered.
    if (IsStatFileEntry(name) && IsSafeRemoteName(name))
        serverFiles_->addItem(Q(name));
}

void DownloadWindow::OnDone(int code)
{
    if (code != 9) {
        cmdConnect->setEnabled(false);
        CmdDisconnect->setEnabled(true);
    } else {
        cmdConnect->setEnabled(true);
    }
    switch (code) {
    case 4:
        serverFiles_->clear();
        Status("The current directory is " + ftp_->Directory);
        break;
    case 9:
        Status("Disconnected.");
        break;
    case 11:
    case 13:
        Status("File list received!");
        if (serverFiles_->count() == 0)
            serverFiles_->addItem("No Files Found");
        break;
    case 12:
        Status("File received successfully!");
        if (MatchesStatPattern(Trim(txtLocalFile->text())))
            ImportStatFile(Trim(txtLocalFile->text()), true);
        break;
    default:
        break;
    }
}

void DownloadWindow::List1_Click(QListWidgetItem* item)
{
    if (!item)
        return;
    const std::string name = S(item->text());
    if (!MatchesStatPattern(name) || !IsSafeRemoteName(name))
        return;
    txtServerFile->setText(Q(name));
    txtLocalFile->setText(Q((ProgramFolder() / name).string()));
    Status("File selected");
}

void DownloadWindow::cmdGetFile_Click()
{
    if (!txtServerFile->text().isEmpty()) {
        try {
            ftp_->RemoteFile = Trim(txtServerFile->text());
            ftp_->LocalFile = Trim(txtLocalFile->text());
            cmdConnect->setEnabled(false);
            CmdDisconnect->setEnabled(true); // ends a stalled or endless download
            Status("Retrieving File. Bytes Received = 0");
            ftp_->GetFile();
        } catch (const VbError& e) {
            ShowError(e.Number(), e.Description());
        }
        return;
    }
    const QString local = txtLocalFile->text();
    if (local.contains('/') || local.contains('\\')) {
        close();
        return;
    }
    cCommonDialog dialog;
    dialog.hwnd = this;
    dialog.DialogTitle = " Import A Stat File ";
    dialog.Filter = StatFilePattern;
    dialog.Filename = StatFilePattern;
    dialog.InitDir = ProgramFolder().string();
    dialog.Flags = OFN_FILEMUSTEXIST;
    dialog.ShowOpen();
    if (!dialog.Filename.empty())
        ImportStatFile(dialog.Filename, false);
}

void DownloadWindow::ImportStatFile(const std::string& path, bool afterDownload)
{
    const ImportResult result = ImportHook() ? ImportHook()(path) : Import(path);
    if (QMainWindow* main = MainWindow())
        setWindowTitle(main->windowTitle());
    RefreshActiveView(true);
    setWindowTitle(Caption);
    // The status line tells how the import went, from a download or a file the user chose
    // alike: an earlier error (a server that could not be reached) is not left standing
    // over a file that went in. Success only when every game of the file went in.
    const std::string counts = ImportCounts(result) + ".";
    if (result.finished && result.failed == 0)
        Status("File imported successfully! " + counts);
    else if (result.finished)
        Status("The import ended with errors: " + counts);
    else
        Status("The import was stopped: " + counts);
    if (afterDownload) {
        raise();
        activateWindow();
    }
}

void DownloadWindow::CmdDisconnect_Click()
{
    Status("Disconnecting...");
    if (connecting_)
        cancelled_ = true;
    SkipStep([&] { ftp_->Disconnect(); });
}

bool DownloadWindow::QueryClose()
{
    if (connecting_) {
        cancelled_ = true;
        closePending_ = true;
        ftp_->Cancel();
        return false;
    }
    Status("Disconnecting...");
    if (ftp_->Busy())
        ftp_->Disconnect();
    return true;
}

} // namespace vexal
