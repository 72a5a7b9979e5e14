#pragma once
// frmRichEdit: the program's document viewer and editor. It opens the document named by
// DocumentPath when it loads, shows rich or plain text, and edits, saves, prints and
// formats it. The editing surface is a QTextEdit; RTF goes through richtext.
#include "RichText.h"

#include "GuardedDialog.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QTextEdit;
class QWidget;

namespace vexal {

class ProgBar;
class ProgramDownload;

class RichEditWindow : public GuardedDialog {
    Q_OBJECT
public:
    explicit RichEditWindow(QWidget* owner = nullptr);
    ~RichEditWindow() override;

    Q_INVOKABLE void Form_Load();

    // Document types of LoadFromFile and SaveToFile.
    enum : int32_t { TypeText = 1, TypeRich = 2 };

    bool OpenDocument(const std::string& path);
    bool GetDocumentType(const std::string& path, int32_t& type);
    bool SaveDocumentAs(const std::string& path);
    bool QuerySave();
    static std::string UndoActionName(int32_t kind);

    // The control's operations the window relies on.
    bool LoadFromFile(const std::string& path, int32_t type);
    bool SaveToFile(const std::string& path, int32_t type);
    bool Modified() const;
    void SetModified(bool on);
    void SetViewMode(int32_t mode);
    int32_t ViewMode() const { return viewMode_; }
    int32_t SelBackColor() const;
    void SetSelBackColor(int32_t bgr);
    int32_t SelColor() const;
    void SetSelColor(int32_t bgr);
    richtext::Document ToDocument() const;
    void FromDocument(const richtext::Document& doc);
    const std::string& CurrentPath() const { return currentPath_; }

    // Swatch colours (BGR) of picHighlight 0-3.
    static const std::array<int32_t, 4> HighlightColors;
    void ClickHighlight(int index);
    void UpdateStatus();

protected:
    bool QueryClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus(QMenu* file, QMenu* edit, QMenu* view, QMenu* format);
    void EditMenuOpening();
    void FormatMenuOpening();
    void ApplyBackground();
    void FollowLink(const std::string& link);
    void DownloadArrived(const std::string& file);
    // Marks the web addresses in the text as links, as the editor detects them on its own.
    void DetectLinks();
    void FontDialog();
    void ToggleBullets();
    void ToggleProtect();
    bool ConfirmProtectedEdit();

    QTextEdit* edtMain_ = nullptr;
    ProgBar* downloadProgress_ = nullptr;
    // The download of a linked program, when the program has the internet services.
    std::unique_ptr<ProgramDownload> download_;
    std::string downloadURL_;
    QWidget* picToolbar_ = nullptr;
    QWidget* picStatus_ = nullptr;
    QComboBox* cboStyle_ = nullptr;
    QCheckBox* chkBackground_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblLoadStatus_ = nullptr;
    QLabel* imgTick_ = nullptr;
    std::array<QLabel*, 4> picHighlight_{};
    std::array<QAction*, 9> mnuEdit_{};
    std::array<QAction*, 4> mnuView_{};
    std::array<QAction*, 4> mnuFormat_{};
    std::string currentPath_;
    int32_t viewMode_ = 0;
    int tickIndex_ = -1;
    // What the next undo and redo take back, as the Edit menu names it (UndoActionName).
    int32_t undoKind_ = 0;
    int32_t redoKind_ = 0;
    bool allowProtectedEdit_ = false;
};

} // namespace vexal
