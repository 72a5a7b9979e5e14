#pragma once
// "Stats Download Client": lists the stat files on the stats server by FTP, fetches the one
// chosen and imports it; or imports a stat file the user already has.
#include "StatImport.h"

#include "GuardedDialog.h"

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vexal {

class FtpClient;

class DownloadWindow : public GuardedDialog {
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget* owner = nullptr);
    ~DownloadWindow() override;

    // The stat import (Import of the season database unless a test installs another).
    static void SetImportHook(std::function<ImportResult(const std::string&)> hook);

    FtpClient& Client() { return *ftp_; }

    void cmdConnect_Click();
    void CmdDisconnect_Click();
    void cmdGetFile_Click();
    void List1_Click(QListWidgetItem* item);

protected:
    bool QueryClose() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Status(const std::string& text);
    void ShowError(int number, const std::string& description);
    void ImportStatFile(const std::string& path, bool afterDownload);
    void OnDone(int code);
    void OnDirItem(const QString& entry);

    void ConnectSequence();

    bool connecting_ = false;
    bool cancelled_ = false;
    bool closePending_ = false;
    FtpClient* ftp_ = nullptr;
    QComboBox* cmbServer = nullptr;
    QLineEdit* txtLogonName = nullptr;
    QLineEdit* txtLogonPassword = nullptr;
    QLineEdit* txtDirectory = nullptr;
    QPushButton* cmdConnect = nullptr;
    QPushButton* CmdDisconnect = nullptr;
    QListWidget* serverFiles_ = nullptr;
    QLabel* lblFileList = nullptr;
    QLabel* lblServer = nullptr;
    QLineEdit* txtServerFile = nullptr;
    QLineEdit* txtLocalFile = nullptr;
    QPushButton* cmdGetFile = nullptr;
    QLabel* lblImport = nullptr;
    QLabel* lblStatus = nullptr;
};

} // namespace vexal
