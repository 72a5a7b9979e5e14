#include "RichEditWindow.h"
#include "Steps.h"
#include "VbConvert.h"

#include "AppState.h"
#include "CommonDialog.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "QtPlatform.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "TextDamage.h"
#include "Win1252.h"
#include "RecordFile.h"
#include "VbConvert.h"
#include "VbError.h"
#include "Host.h"
#include "ProgBar.h"
#include "ProgramDownload.h"
#include "ReadableText.h"
#include "WindowNames.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <cctype>

namespace vexal {

namespace {

// The window's own texts.
constexpr const char* DesignCaption = "Vexal Editor";
constexpr const char* EditingCaption = "Editing ";
constexpr const char* NewCaption = "New Document";
constexpr const char* ModifiedMark = " (Modifed) *";
constexpr const char* DocumentFilter =
    "RichText Documents (*.RTF)|*.RTF|Text Documents (*.TXT)|*.TXT|All Files (*.*)|*.*";
constexpr const char* OpenTitle = "Choose File To Open";
constexpr const char* SaveTitle = "Choose File To Save As";
constexpr const char* SaveQuestion = "Do you want to save changes to this document?";
constexpr const char* ProtectQuestion = "Are you sure you want to edit this modified text?";
constexpr const char* PrintJob = "Test";
// Character property that marks protected text in the editor.
constexpr int ProtectProperty = QTextFormat::UserProperty + 1;
// Marks a link found in the text itself, which the saved file does not carry as a link.
constexpr int AutoLinkProperty = QTextFormat::UserProperty + 2;
constexpr int32_t ProtectColor = 153 | (153 << 8) | (102 << 16);

QColor ColorOf(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }
int32_t BgrOf(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

QTextCharFormat FormatOf(const richtext::Run& r)
{
    QTextCharFormat f;
    f.setFontFamilies({Q(r.font)});
    f.setFontPointSize(r.halfPoints / 2.0);
    f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(r.italic);
    f.setFontUnderline(r.underline);
    f.setFontStrikeOut(r.strike);
    if (r.color >= 0)
        f.setForeground(ColorOf(r.color));
    if (r.backColor >= 0)
        f.setBackground(ColorOf(r.backColor));
    if (r.protect)
        f.setProperty(ProtectProperty, true);
    if (!r.link.empty()) {
        f.setAnchor(true);
        f.setAnchorHref(Q(r.link));
    }
    return f;
}

// Text without a font of its own has the document's default font.
richtext::Run RunOf(const QTextCharFormat& f, const QString& text, const QFont& base)
{
    richtext::Run r;
    r.text = S(text);
    const QStringList families = f.fontFamilies().toStringList();
    r.font = S(families.isEmpty() ? base.family() : families.front());
    const double points = f.fontPointSize() > 0 ? f.fontPointSize() : base.pointSizeF();
    if (points > 0)
        r.halfPoints = static_cast<int32_t>(points * 2.0 + 0.5);
    r.bold = f.fontWeight() >= QFont::Bold;
    r.italic = f.fontItalic();
    r.underline = f.fontUnderline();
    r.strike = f.fontStrikeOut();
    r.protect = f.property(ProtectProperty).toBool();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        r.color = BgrOf(f.foreground().color());
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        r.backColor = BgrOf(f.background().color());
    if (f.isAnchor() && !f.property(AutoLinkProperty).toBool())
        r.link = S(f.anchorHref());
    return r;
}

std::string Upper(std::string s)
{
    return vb::UCase(s); // ASCII only, whatever the locale
}

void FileError(const VbError& error)
{
    MsgBox("Error! " + error.Description() + " [" + std::to_string(error.Number()) + "]", vbExclamation);
}

// Reads the document whole, or shows why it could not be, naming the file and the cause once,
// as the window's message for a file error does.
bool ReadDocument(const std::string& path, std::string& bytes)
{
    std::string problem;
    if (ReadWholeFile(path, bytes, problem, FileKind::Document))
        return true;
    FileError(VbError(IsMissingFile(path) ? VbError::FileNotFound : VbError::PathFileAccess, problem));
    return false;
}

} // namespace

const std::array<int32_t, 4> RichEditWindow::HighlightColors = {
    255 | (255 << 8),               // yellow
    128 | (255 << 8) | (128 << 16), // light green
    255 | (128 << 8) | (255 << 16), // pink
    128 | (255 << 8) | (255 << 16), // light cyan
};

RichEditWindow::RichEditWindow(QWidget* owner) : GuardedDialog(owner)
{
    setObjectName(WindowName::DocumentViewer);
    setWindowTitle(DesignCaption);
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    auto* file = bar->addMenu("&File");
    file->setObjectName("mnuFileTOP");
    auto* edit = bar->addMenu("&Edit");
    edit->setObjectName("mnuEditTOP");
    auto* view = bar->addMenu("&View");
    view->setObjectName("mnuViewTOP");
    auto* format = bar->addMenu("&Format");
    format->setObjectName("mnuFormatTOP");

    picToolbar_ = new QWidget(this);
    picToolbar_->setObjectName("picToolbar");
    auto* tools = new QHBoxLayout(picToolbar_);
    tools->setContentsMargins(4, 2, 4, 2);
    cboStyle_ = new QComboBox(picToolbar_);
    cboStyle_->setObjectName("cboStyle");
    chkBackground_ = new QCheckBox("&Background Bitmap", picToolbar_);
    chkBackground_->setObjectName("chkBackground");
    auto* lblHighlight = new QLabel("Highlight Color", picToolbar_);
    lblHighlight->setObjectName("lblHighlight");
    tools->addWidget(cboStyle_);
    tools->addWidget(chkBackground_);
    tools->addSpacing(12);
    tools->addWidget(lblHighlight);
    for (int i = 0; i < 4; ++i) {
        auto* swatch = new QLabel(picToolbar_);
        swatch->setObjectName(QString("picHighlight_%1").arg(i));
        swatch->setFixedSize(18, 18);
        swatch->setAutoFillBackground(true);
        QPalette p = swatch->palette();
        p.setColor(QPalette::Window, ColorOf(HighlightColors[static_cast<std::size_t>(i)]));
        swatch->setPalette(p);
        swatch->installEventFilter(this);
        picHighlight_[static_cast<std::size_t>(i)] = swatch;
        tools->addWidget(swatch);
    }
    tools->addStretch();
    imgTick_ = new QLabel(QString::fromUtf8("\xE2\x9C\x93"), picToolbar_);
    imgTick_->setObjectName("imgTick");
    imgTick_->setAttribute(Qt::WA_TransparentForMouseEvents); // a click acts for its swatch
    imgTick_->hide();
    layout->addWidget(picToolbar_);

    edtMain_ = new QTextEdit(this);
    edtMain_->setObjectName("edtMain");
    edtMain_->setFrameShape(QFrame::NoFrame);
    edtMain_->setAcceptRichText(true);
    QFont base("Courier New");
    base.setPointSizeF(8.25);
    edtMain_->document()->setDefaultFont(base);
    edtMain_->setLineWrapMode(QTextEdit::NoWrap);
    edtMain_->installEventFilter(this);
    edtMain_->viewport()->installEventFilter(this);
    layout->addWidget(edtMain_, 1);

    picStatus_ = new QWidget(this);
    picStatus_->setObjectName("picStatus");
    auto* status = new QHBoxLayout(picStatus_);
    status->setContentsMargins(4, 2, 4, 2);
    lblStatus_ = new QLabel(picStatus_);
    lblStatus_->setObjectName("lblStatus");
    lblLoadStatus_ = new QLabel(picStatus_);
    lblLoadStatus_->setObjectName("lblLoadStatus");
    status->addWidget(lblStatus_, 1);
    status->addWidget(lblLoadStatus_);
    layout->addWidget(picStatus_);

    BuildMenus(file, edit, view, format);

    // The download of a linked program: a progress bar over the document while it arrives.
    downloadProgress_ = new ProgBar(this);
    downloadProgress_->setObjectName("ProgBar1");
    downloadProgress_->resize(240, 24);
    downloadProgress_->hide();
    ProgramDownload::Hooks hooks;
    hooks.progress = [this](const std::string& status, int percent) {
        downloadProgress_->show();
        downloadProgress_->raise();
        downloadProgress_->SetCaption(Q(status));
        if (percent >= 0)
            downloadProgress_->SetValue(percent);
    };
    hooks.arrived = [this](const std::string& file) { DownloadArrived(file); };
    hooks.failed = [this](const std::string& message) {
        downloadProgress_->hide();
        MsgBox(message, vbOKOnly);
    };
    download_ = MakeProgramDownload(this, std::move(hooks));

    connect(cboStyle_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            SetViewMode(i);
    });
    connect(chkBackground_, &QCheckBox::toggled, this, [this] { ApplyBackground(); });
    connect(edtMain_, &QTextEdit::cursorPositionChanged, this, [this] { UpdateStatus(); });
    connect(edtMain_, &QTextEdit::selectionChanged, this, [this] { UpdateStatus(); });
    // Typing moves the caret before the document counts as changed: the edit itself
    // marks the caption.
    connect(edtMain_->document(), &QTextDocument::modificationChanged, this, [this](bool changed) {
        if (changed)
            UpdateStatus();
    });
    resize(640, 480);
}

void RichEditWindow::BuildMenus(QMenu* file, QMenu* edit, QMenu* view, QMenu* format)
{
    auto add = [this](QMenu* menu, const QString& name, int index, const QString& caption, const QKeySequence& key) {
        QAction* a = caption.isEmpty() ? menu->addSeparator() : menu->addAction(caption);
        a->setObjectName(QString("%1_%2").arg(name).arg(index));
        if (!key.isEmpty())
            a->setShortcut(key);
        addAction(a);
        return a;
    };
    add(file, "mnuFile", 0, "&New", QKeySequence("Ctrl+N"));
    add(file, "mnuFile", 1, "&Open...", QKeySequence("Ctrl+O"));
    add(file, "mnuFile", 2, "&Save", QKeySequence("Ctrl+S"));
    add(file, "mnuFile", 3, "Save &As...", {});
    add(file, "mnuFile", 4, {}, {});
    add(file, "mnuFile", 5, "&Print", QKeySequence("Ctrl+P"));
    add(file, "mnuFile", 6, {}, {});
    add(file, "mnuFile", 7, "E&xit", {});
    connect(file, &QMenu::triggered, this, [this](QAction* a) {
        const QString n = a->objectName();
        if (n == "mnuFile_0") {
            if (QuerySave()) {
                edtMain_->clear();
                SetModified(false);
                setWindowTitle(NewCaption);
                // A new document is not the old file: the next Save asks for a name.
                currentPath_.clear();
            }
        } else if (n == "mnuFile_1") {
            if (QuerySave())
                OpenDocument("");
        } else if (n == "mnuFile_2") {
            SaveDocumentAs(currentPath_);
        } else if (n == "mnuFile_3") {
            SaveDocumentAs("");
        } else if (n == "mnuFile_5") {
            lblLoadStatus_->setText("Print: 0");
            QPrinter& printer = CurrentPrinter();
            printer.setDocName(PrintJob);
            edtMain_->document()->print(&printer);
            lblLoadStatus_->setText(QString("Print: %1").arg(edtMain_->document()->pageCount()));
        } else if (n == "mnuFile_7") {
            close();
        }
    });

    const char* editCaptions[] = {"&Undo", "&Redo", nullptr, "Cu&t", "&Copy", "&Paste", "&Clear", nullptr,
                                  "Select &All"};
    const char* editKeys[] = {"Ctrl+Z", "Ctrl+Y", "", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Del", "", ""};
    for (int i = 0; i < 9; ++i)
        mnuEdit_[static_cast<std::size_t>(i)] =
            add(edit, "mnuEdit", i, editCaptions[i] ? QString(editCaptions[i]) : QString(), QKeySequence(editKeys[i]));
    // Shortcuts the editor itself handles stay with it while it has the focus.
    for (QAction* a : mnuEdit_)
        a->setShortcutContext(Qt::WidgetShortcut);
    connect(edit, &QMenu::aboutToShow, this, [this] { EditMenuOpening(); });
    connect(mnuEdit_[0], &QAction::triggered, edtMain_, &QTextEdit::undo);
    connect(mnuEdit_[1], &QAction::triggered, edtMain_, &QTextEdit::redo);
    connect(mnuEdit_[0], &QAction::triggered, this, [this] { redoKind_ = undoKind_; });
    connect(mnuEdit_[3], &QAction::triggered, this, [this] { undoKind_ = 4; });
    connect(mnuEdit_[5], &QAction::triggered, this, [this] { undoKind_ = 5; });
    connect(mnuEdit_[6], &QAction::triggered, this, [this] { undoKind_ = 2; });
    connect(mnuEdit_[3], &QAction::triggered, edtMain_, &QTextEdit::cut);
    connect(mnuEdit_[4], &QAction::triggered, edtMain_, &QTextEdit::copy);
    connect(mnuEdit_[5], &QAction::triggered, edtMain_, &QTextEdit::paste);
    connect(mnuEdit_[6], &QAction::triggered, this, [this] { edtMain_->textCursor().removeSelectedText(); });
    connect(mnuEdit_[8], &QAction::triggered, edtMain_, &QTextEdit::selectAll);

    mnuView_[0] = add(view, "mnuView", 0, "&Toolbar", {});
    mnuView_[1] = add(view, "mnuView", 1, "&Status Bar", {});
    mnuView_[2] = add(view, "mnuView", 2, {}, {});
    mnuView_[3] = add(view, "mnuView", 3, "&Options...", {});
    for (int i = 0; i < 2; ++i) {
        mnuView_[static_cast<std::size_t>(i)]->setCheckable(true);
        mnuView_[static_cast<std::size_t>(i)]->setChecked(true);
    }
    connect(mnuView_[0], &QAction::toggled, picToolbar_, &QWidget::setVisible);
    connect(mnuView_[1], &QAction::toggled, picStatus_, &QWidget::setVisible);

    mnuFormat_[0] = add(format, "mnuFormat", 0, "&Font...", {});
    mnuFormat_[1] = add(format, "mnuFormat", 1, "&Bullets", {});
    mnuFormat_[2] = add(format, "mnuFormat", 2, "&Hyperlink...", {});
    mnuFormat_[3] = add(format, "mnuFormat", 3, "&Protect", {});
    mnuFormat_[1]->setCheckable(true);
    mnuFormat_[3]->setCheckable(true);
    connect(format, &QMenu::aboutToShow, this, [this] { FormatMenuOpening(); });
    connect(mnuFormat_[0], &QAction::triggered, this, [this] { FontDialog(); });
    connect(mnuFormat_[1], &QAction::triggered, this, [this] { ToggleBullets(); });
    connect(mnuFormat_[2], &QAction::triggered, this, [this] {
        QTextCursor c = edtMain_->textCursor();
        if (!c.hasSelection())
            return;
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorHref(c.selectedText());
        f.setFontUnderline(true);
        f.setForeground(QColor(0, 0, 255));
        c.mergeCharFormat(f);
    });
    connect(mnuFormat_[3], &QAction::triggered, this, [this] { ToggleProtect(); });
}

void RichEditWindow::Form_Load()
{
    // A stored value that is no number leaves the default.
    int background = pref::EditorBackground.defaultValue;
    SkipStep([&] { background = GetSetting(pref::EditorBackground); });
    chkBackground_->setChecked(background == 1);
    ApplyBackground();
    // The theme's text colour goes on the page the window sets with it, readable there.
    SetSelColor(BgrOf(SetSurfaceText(edtMain_, TextSurface::Box, ColorOf(App().ThemeForeColor))));
    OpenDocument(App().DocumentPath.string());
    // The caption names the document asked for, loaded or not.
    setWindowTitle(Q(EditingCaption + App().DocumentPath.string()));
    const QSignalBlocker block(cboStyle_);
    cboStyle_->clear();
    cboStyle_->addItems({"Default (no wrap)", "Wrap to Window", "WYSIWYG"});
    cboStyle_->setCurrentIndex(viewMode_);
}

void RichEditWindow::ApplyBackground()
{
    const std::string& picture = App().ThemePicture;
    const bool use = chkBackground_->isChecked() && !picture.empty() && FileExists(picture);
    // The page is the picture or, without it, the plain page the document's colours were
    // chosen on, also on a dark desktop: never the desktop's background under the theme's text.
    const QPixmap page = use ? QPixmap(Q(picture)) : QPixmap();
    SetSurfaceBackground(edtMain_, TextSurface::Box, page.isNull() ? QBrush() : QBrush(page));
}

bool RichEditWindow::GetDocumentType(const std::string& path, int32_t& type)
{
    std::string bytes;
    if (!ReadDocument(path, bytes))
        return false;
    std::string header(10, ' ');
    header.replace(0, std::min<std::size_t>(bytes.size(), 10), bytes, 0, 10);
    type = richtext::IsRichText(header) ? TypeRich : TypeText;
    return true;
}

bool RichEditWindow::OpenDocument(const std::string& given)
{
    std::string path = given;
    if (path.empty()) {
        std::string title, filter = DocumentFilter;
        bool readOnly = false;
        int32_t index = 1, flags = 0;
        if (!ShowOpenDialog(path, title, true, false, readOnly, false, filter, index, "", OpenTitle, "RTF", this,
                            flags))
            return false;
    }
    int32_t type = 0;
    if (!GetDocumentType(path, type))
        return false;
    if (!LoadFromFile(path, type))
        return false;
    setWindowTitle(Q(EditingCaption + path));
    SetModified(false);
    currentPath_ = path;
    return true;
}

bool RichEditWindow::SaveDocumentAs(const std::string& given)
{
    std::string path = given;
    if (path.empty()) {
        std::string title, filter = DocumentFilter;
        int32_t index = 1, flags = 0;
        if (!ShowSaveDialog(path, title, true, filter, index, "", SaveTitle, "RTF", this, flags))
            return false;
    }
    const std::string upper = Upper(path);
    const int32_t type = upper.size() >= 3 && upper.compare(upper.size() - 3, 3, "RTF") == 0 ? TypeRich : TypeText;
    if (!SaveToFile(path, type))
        return false;
    currentPath_ = path;
    setWindowTitle(Q(EditingCaption + path));
    SetModified(false);
    return true;
}

bool RichEditWindow::QuerySave()
{
    if (!Modified())
        return true;
    switch (MsgBox(SaveQuestion, vbYesNoCancel | vbQuestion)) {
    case vbYes:
        return SaveDocumentAs(currentPath_);
    case vbNo:
        return true;
    default:
        return false;
    }
}

std::string RichEditWindow::UndoActionName(int32_t kind)
{
    switch (kind) {
    case 0: return "Last Action";
    case 1: return "Typing";
    case 2: return "Delete";
    case 3: return "Drag Drop";
    case 4: return "Cut";
    case 5: return "Paste";
    default: return {};
    }
}

bool RichEditWindow::LoadFromFile(const std::string& path, int32_t type)
{
    std::string bytes;
    if (!ReadDocument(path, bytes))
        return false;
    lblLoadStatus_->setText(QString("Load: %1 of %2").arg(0).arg(bytes.size()));
    lblLoadStatus_->repaint();
    if (type == TypeRich) {
        FromDocument(richtext::ReadRtf(WithoutUtf8Mark(bytes)));
    } else {
        const QSignalBlocker block(edtMain_);
        edtMain_->setPlainText(Q(TextFileToUtf8(bytes)));
    }
    DetectLinks();
    lblLoadStatus_->setText(QString("Load: %1 of %2").arg(bytes.size()).arg(bytes.size()));
    // The caret moved to the start while the editor's signals were held back.
    UpdateStatus();
    return true;
}

bool RichEditWindow::SaveToFile(const std::string& path, int32_t type)
{
    std::string bytes;
    if (type == TypeRich) {
        bytes = richtext::WriteRtf(ToDocument());
    } else {
        std::string text = win1252::FromUtf8(S(edtMain_->toPlainText()));
        for (char c : text) {
            if (c == '\n')
                bytes += "\r\n";
            else
                bytes += c;
        }
    }
    lblLoadStatus_->setText(QString("Save: %1 of %2").arg(0).arg(bytes.size()));
    lblLoadStatus_->repaint();
    // The old file stays whole; the message names the file and the cause the write met.
    AtomicFileWrite file(path);
    if (!file.Write(bytes) || !file.Commit()) {
        FileError(file.Error());
        return false;
    }
    lblLoadStatus_->setText(QString("Save: %1 of %2").arg(bytes.size()).arg(bytes.size()));
    return true;
}

bool RichEditWindow::Modified() const { return edtMain_->document()->isModified(); }
void RichEditWindow::SetModified(bool on) { edtMain_->document()->setModified(on); }

void RichEditWindow::SetViewMode(int32_t mode)
{
    viewMode_ = mode;
    if (mode == 0) {
        edtMain_->setLineWrapMode(QTextEdit::NoWrap);
    } else if (mode == 1) {
        edtMain_->setLineWrapMode(QTextEdit::WidgetWidth);
    } else {
        // WYSIWYG wraps at the printed page's width.
        const QPrinter& printer = CurrentPrinter();
        const double pageInches = printer.pageLayout().paintRect(QPageLayout::Inch).width();
        edtMain_->setLineWrapMode(QTextEdit::FixedPixelWidth);
        edtMain_->setLineWrapColumnOrWidth(static_cast<int>(pageInches * logicalDpiX()));
    }
    if (cboStyle_->currentIndex() != mode && cboStyle_->count() > mode) {
        const QSignalBlocker block(cboStyle_);
        cboStyle_->setCurrentIndex(mode);
    }
}

int32_t RichEditWindow::SelBackColor() const
{
    const QTextCharFormat f = edtMain_->textCursor().charFormat();
    if (!f.hasProperty(QTextFormat::BackgroundBrush) || f.background().style() == Qt::NoBrush)
        return -1;
    return BgrOf(f.background().color());
}

void RichEditWindow::SetSelBackColor(int32_t bgr)
{
    QTextCursor c = edtMain_->textCursor();
    QTextCharFormat f;
    if (bgr < 0) {
        f = c.charFormat();
        f.clearBackground();
        if (c.hasSelection())
            c.setCharFormat(f);
        edtMain_->setCurrentCharFormat(f);
        return;
    }
    f.setBackground(ColorOf(bgr));
    c.mergeCharFormat(f);
    edtMain_->mergeCurrentCharFormat(f);
}

int32_t RichEditWindow::SelColor() const
{
    const QTextCharFormat f = edtMain_->textCursor().charFormat();
    if (!f.hasProperty(QTextFormat::ForegroundBrush))
        return 0;
    return BgrOf(f.foreground().color());
}

void RichEditWindow::SetSelColor(int32_t bgr)
{
    QTextCharFormat f;
    f.setForeground(ColorOf(bgr));
    edtMain_->mergeCurrentCharFormat(f);
}

richtext::Document RichEditWindow::ToDocument() const
{
    richtext::Document doc;
    for (QTextBlock b = edtMain_->document()->begin(); b.isValid(); b = b.next()) {
        richtext::Paragraph p;
        p.bullet = b.textList() != nullptr;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.isValid())
                p.runs.push_back(RunOf(frag.charFormat(), frag.text(), edtMain_->document()->defaultFont()));
        }
        doc.paragraphs.push_back(std::move(p));
    }
    return doc;
}

void RichEditWindow::FromDocument(const richtext::Document& doc)
{
    const QSignalBlocker block(edtMain_);
    edtMain_->clear();
    QTextCursor c(edtMain_->document());
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        const richtext::Paragraph& p = doc.paragraphs[i];
        if (i > 0)
            c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        if (p.bullet)
            c.createList(QTextListFormat::ListDisc);
        for (const richtext::Run& r : p.runs) {
            QString text = Q(r.text);
            text.replace('\n', QChar::LineSeparator);
            c.insertText(text, FormatOf(r));
        }
    }
    edtMain_->moveCursor(QTextCursor::Start);
}

void RichEditWindow::DetectLinks()
{
    static const QRegularExpression Url(R"(\b(?:(?:https?|ftp)://|www\.)[^\s<>"]+)",
                                        QRegularExpression::CaseInsensitiveOption);
    const QSignalBlocker block(edtMain_);
    QTextDocument* doc = edtMain_->document();
    for (QTextCursor found = doc->find(Url); !found.isNull(); found = doc->find(Url, found)) {
        if (found.charFormat().isAnchor())
            continue;
        QString target = found.selectedText();
        while (target.endsWith('.') || target.endsWith(',') || target.endsWith(')')) {
            target.chop(1);
            found.setPosition(found.selectionStart());
            found.setPosition(found.selectionStart() + static_cast<int>(target.size()), QTextCursor::KeepAnchor);
        }
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(target);
        link.setProperty(AutoLinkProperty, true);
        found.mergeCharFormat(link);
    }
}

void RichEditWindow::UpdateStatus()
{
    const QTextCursor c = edtMain_->textCursor();
    // While the editor replaces its whole text it has no caret; the load describes the
    // caret it ends with.
    if (c.isNull())
        return;
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    QString text = c.hasSelection()
                       ? QString("selection: %1 Chars (%2)").arg(end - start).arg(start)
                       : QString("Char: %1").arg(c.position());
    QTextCursor at(edtMain_->document());
    at.setPosition(start);
    int line = 0;
    for (QTextBlock b = edtMain_->document()->begin(); b.isValid() && b != at.block(); b = b.next())
        line += std::max(1, b.lineCount());
    line += at.block().layout() && at.block().layout()->lineCount() > 0
                ? at.block().layout()->lineForTextPosition(at.positionInBlock()).lineNumber()
                : 0;
    int count = 0;
    for (QTextBlock b = edtMain_->document()->begin(); b.isValid(); b = b.next())
        count += std::max(1, b.lineCount());
    text += QString(" Line %1 of %2").arg(line).arg(count);
    lblStatus_->setText(text);

    const int32_t back = SelBackColor();
    tickIndex_ = -1;
    for (int i = 0; i < 4; ++i) {
        if (HighlightColors[static_cast<std::size_t>(i)] == back) {
            tickIndex_ = i;
            break;
        }
    }
    if (tickIndex_ >= 0) {
        const QLabel* swatch = picHighlight_[static_cast<std::size_t>(tickIndex_)];
        imgTick_->move(swatch->geometry().topLeft());
        imgTick_->raise();
        imgTick_->show();
    } else {
        imgTick_->hide();
    }
    if (!windowTitle().endsWith('*') && Modified())
        setWindowTitle(windowTitle() + ModifiedMark);
}

void RichEditWindow::ClickHighlight(int index)
{
    if (index < 0 || index > 3)
        return;
    const int32_t color = HighlightColors[static_cast<std::size_t>(index)];
    if (tickIndex_ == index && SelBackColor() == color) {
        SetSelBackColor(-1);
        tickIndex_ = -1;
        imgTick_->hide();
        return;
    }
    SetSelBackColor(color);
    UpdateStatus();
    edtMain_->setFocus();
}

void RichEditWindow::EditMenuOpening()
{
    const bool canUndo = edtMain_->document()->isUndoAvailable();
    mnuEdit_[0]->setEnabled(canUndo);
    mnuEdit_[0]->setText(canUndo ? QString("&Undo ") + Q(UndoActionName(undoKind_)) : QString("&Undo"));
    const bool canRedo = edtMain_->document()->isRedoAvailable();
    mnuEdit_[1]->setEnabled(canRedo);
    mnuEdit_[1]->setText(canRedo ? QString("&Redo ") + Q(UndoActionName(redoKind_)) : QString("&Redo"));
    const bool canCopy = edtMain_->textCursor().hasSelection();
    mnuEdit_[3]->setEnabled(!edtMain_->isReadOnly() && canCopy);
    mnuEdit_[4]->setEnabled(canCopy);
    mnuEdit_[5]->setEnabled(edtMain_->canPaste());
    mnuEdit_[6]->setEnabled(mnuEdit_[3]->isEnabled());
}

void RichEditWindow::FormatMenuOpening()
{
    const QTextList* list = edtMain_->textCursor().currentList();
    mnuFormat_[1]->setChecked(list != nullptr);
}

void RichEditWindow::FontDialog()
{
    const QTextCharFormat f = edtMain_->textCursor().charFormat();
    DialogFont font;
    const QFont qf = f.font();
    font.name = S(qf.family());
    font.size = static_cast<float>(qf.pointSizeF() > 0 ? qf.pointSizeF() : 8.25);
    font.bold = qf.bold();
    font.italic = qf.italic();
    font.underline = qf.underline();
    font.strikethrough = qf.strikeOut();
    font.weight = static_cast<int16_t>(qf.bold() ? 700 : 400);
    int32_t color = SelColor();
    int32_t device = -1;
    int32_t flags = 257;
    if (!ShowFontDialog(font, device, this, color, 8, 72, flags))
        return;
    richtext::Run r;
    r.font = font.name;
    r.halfPoints = static_cast<int32_t>(font.size * 2.0f + 0.5f);
    r.bold = font.bold;
    r.italic = font.italic;
    r.underline = font.underline;
    r.strike = font.strikethrough;
    r.color = color;
    QTextCharFormat chosen = FormatOf(r);
    QTextCursor c = edtMain_->textCursor();
    c.mergeCharFormat(chosen);
    edtMain_->mergeCurrentCharFormat(chosen);
}

void RichEditWindow::ToggleBullets()
{
    QTextCursor c = edtMain_->textCursor();
    if (mnuFormat_[1]->isChecked()) {
        if (!c.currentList())
            c.createList(QTextListFormat::ListDisc);
    } else if (QTextList* list = c.currentList()) {
        list->remove(c.block());
        QTextBlockFormat plain = c.blockFormat();
        plain.setIndent(0);
        c.setBlockFormat(plain);
    }
}

RichEditWindow::~RichEditWindow() = default;

void RichEditWindow::ToggleProtect()
{
    const bool on = mnuFormat_[3]->isChecked();
    QTextCursor c = edtMain_->textCursor();
    QTextCharFormat f;
    f.setForeground(ColorOf(ProtectColor));
    f.setProperty(ProtectProperty, on);
    c.mergeCharFormat(f);
    edtMain_->mergeCurrentCharFormat(f);
}

bool RichEditWindow::ConfirmProtectedEdit()
{
    return MsgBox(ProtectQuestion, vbYesNo | vbQuestion) == vbYes;
}

void RichEditWindow::FollowLink(const std::string& link)
{
    // The launcher asks before it starts any program or script and names this document.
    const std::string origin = "a link in " + (currentPath_.empty() ? std::string("this document") : currentPath_);
    const std::string tail = vb::LCase(link.size() >= 3 ? link.substr(link.size() - 3) : link);
    const std::string scheme = vb::LCase(link.substr(0, std::min<std::size_t>(link.size(), 8)));
    const bool remote = scheme.rfind("http://", 0) == 0 || scheme.rfind("https://", 0) == 0 ||
                        scheme.rfind("ftp://", 0) == 0;
    if (tail != "exe" || !remote) {
        LaunchOrigin from(origin);
        ShellOpen(link, 4);
        return;
    }
    if (!download_)
        return;
    if (download_->Pending()) {
        MsgBox("A program is already being downloaded: " + downloadURL_, vbExclamation);
        return;
    }
    downloadProgress_->move(width() / 2 - downloadProgress_->width() / 2, std::max(0, height() / 2 - downloadProgress_->height() / 2));
    try {
        downloadURL_ = link;
        download_->Start(link);
    } catch (const VbError& e) {
        downloadProgress_->hide();
        MsgBox(e.Description(), vbExclamation);
    }
}

void RichEditWindow::DownloadArrived(const std::string& file)
{
    downloadProgress_->hide();
    // The downloaded program starts only once the user has confirmed it, shown where it came from.
    LaunchOrigin from("a download from " + downloadURL_ + " (linked in " +
                      (currentPath_.empty() ? std::string("this document") : currentPath_) + ")");
    const std::filesystem::path path(file);
    const std::string name = vb::LCase(path.filename().string());
    std::error_code ec;
    if (name == "vexalup.exe" && std::filesystem::equivalent(path.parent_path(), ProgramFolder(), ec)) {
        // The updater is started the one way the program starts it.
        if (path.filename() != "vexalup.exe")
            std::filesystem::rename(path, ProgramFolder() / "vexalup.exe", ec);
        StartProgramUpdater();
        return;
    }
    ShellOpen(file, 4);
}

bool RichEditWindow::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 0; i < 4; ++i) {
        if (watched == picHighlight_[static_cast<std::size_t>(i)] && event->type() == QEvent::MouseButtonPress) {
            ClickHighlight(i);
            return true;
        }
    }
    if (watched == edtMain_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            const QString href = edtMain_->anchorAt(me->position().toPoint());
            if (!href.isEmpty()) {
                FollowLink(S(href));
                return true;
            }
        }
    }
    if (watched == edtMain_ && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        // Escape carries a character too, but it closes the window and edits nothing.
        const bool typed = !ke->text().isEmpty() && ke->key() != Qt::Key_Escape;
        const bool edits = typed || ke->key() == Qt::Key_Backspace || ke->key() == Qt::Key_Delete ||
                           ke->matches(QKeySequence::Cut) || ke->matches(QKeySequence::Paste);
        if (edits && !ke->matches(QKeySequence::Copy) && !ke->matches(QKeySequence::SelectAll)) {
            QTextCursor c = edtMain_->textCursor();
            bool touchesProtected = c.charFormat().property(ProtectProperty).toBool();
            if (c.hasSelection()) {
                for (int p = c.selectionStart() + 1; p <= c.selectionEnd() && !touchesProtected; ++p) {
                    QTextCursor probe(edtMain_->document());
                    probe.setPosition(p);
                    touchesProtected = probe.charFormat().property(ProtectProperty).toBool();
                }
            }
            if (touchesProtected && !ConfirmProtectedEdit())
                return true;
            undoKind_ = ke->matches(QKeySequence::Cut)     ? 4
                        : ke->matches(QKeySequence::Paste) ? 5
                        : (ke->key() == Qt::Key_Backspace || ke->key() == Qt::Key_Delete) ? 2
                                                                                            : 1;
        }
    }
    return GuardedDialog::eventFilter(watched, event);
}

bool RichEditWindow::QueryClose()
{
    if (!QuerySave())
        return false;
    SaveSetting(pref::EditorBackground, chkBackground_->isChecked() ? 1 : 0);
    return true;
}

} // namespace vexal
