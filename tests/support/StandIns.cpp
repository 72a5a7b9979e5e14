#include "StandIns.h"

#include "AppMenu.h"
#include "Grid.h"
#include "Windows.h"

#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace vexal {

namespace {

struct ViewStandIn {
    const char* name;
    const char* caption;
    const char* refreshButton;
    const char* pictureControl;   // nullptr: none
    bool richText;                // the picture control is a rich-text box, not a grid
};

constexpr ViewStandIn Views[] = {
    {"FORM1", "Vexal - [Standings]", "cmdUpdate", "grdTeam", false},
    {"lines", "Vexal - [Enter Lines]", "Command1", "Grid1", false},
    {"FORM6", "Vexal - [Statistics]", "Command2", "grdStats", false},
    {"FORM2", "Vexal - [Input Stats]", "Command2", nullptr, false},
    {"PREDICT", "Vexal - [Predictions]", "cmdpred", "Grid", false},
    {"Power", "Vexal - [Power Ratings / Strength of Schedule]", "Command1", "Grid1", false},
    {"INJURIES", "Vexal - [Other Factors]", "Command1", nullptr, false},
    {"frmTest", "Vexal - [Test Formula]", "Command1", "vbaRE", true},
};

QWidget* MakeView(const ViewStandIn& v)
{
    auto* w = new QWidget;
    w->setObjectName(QString::fromLatin1(v.name));
    w->setWindowTitle(QString::fromLatin1(v.caption));
    auto* layout = new QVBoxLayout(w);
    if (QString::fromLatin1(v.name) == "FORM1") {
        // The Standings window carries the application menu.
        auto* bar = new QMenuBar(w);
        QMenu* file = bar->addMenu("&File");
        file->setObjectName("mnuFile");
        AddApplicationItem(file, "mnuToolBarText");
        AddApplicationItem(file, "mnuExit");
        QMenu* help = bar->addMenu("Help");
        help->setObjectName("mnusubHelp");
        for (const char* item : {"mnuHelpOnline", "mnuHelp", "mnuEmail", "mnuWeb", "mnuAbout"})
            AddApplicationItem(help, item);
        layout->setMenuBar(bar);
    }
    if (v.pictureControl) {
        QWidget* control = v.richText ? static_cast<QWidget*>(new QTextEdit(w)) : new Grid(w);
        control->setObjectName(QString::fromLatin1(v.pictureControl));
        SetViewPicture(w, control);
        layout->addWidget(control);
    } else {
        layout->addStretch();
    }
    auto* refresh = new QPushButton("Refresh", w);
    refresh->setObjectName(QString::fromLatin1(v.refreshButton));
    refresh->hide();
    SetViewRefresh(w, [refresh] { refresh->click(); });
    w->setProperty(RefreshCountProperty, 0);
    QObject::connect(refresh, &QPushButton::clicked, w,
                     [w] { w->setProperty(RefreshCountProperty, w->property(RefreshCountProperty).toInt() + 1); });
    w->resize(640, 400);
    return w;
}

QWidget* MakeWindow(const char* name, const char* caption, QWidget* owner, bool dialog)
{
    QWidget* w = dialog ? new QDialog(owner) : new QWidget(owner, Qt::Window);
    w->setObjectName(QString::fromLatin1(name));
    w->setWindowTitle(QString::fromLatin1(caption));
    auto* layout = new QVBoxLayout(w);
    layout->addStretch();
    auto* close = new QPushButton("Close", w);
    close->setObjectName("cmdClose");
    QObject::connect(close, &QPushButton::clicked, w, &QWidget::close);
    layout->addWidget(close);
    return w;
}

} // namespace

void RegisterStandInWindows()
{
    for (const auto& v : Views)
        RegisterWindow(v.name, WindowKind::ChildView, [&v](QWidget*) { return MakeView(v); });
    RegisterWindow("frmFormula", WindowKind::Modeless,
                   [](QWidget* owner) { return MakeWindow("frmFormula", "Formula", owner, false); });
    RegisterWindow("Singleg", WindowKind::Modal,
                   [](QWidget* owner) { return MakeWindow("Singleg", "Single Game Prediction", owner, true); });
    RegisterWindow("frmDownload", WindowKind::Modal,
                   [](QWidget* owner) { return MakeWindow("frmDownload", "Stats Download Client", owner, true); });
    RegisterWindow("frmRichEdit", WindowKind::Modal,
                   [](QWidget* owner) { return MakeWindow("frmRichEdit", "Vexal Editor", owner, true); });
}

} // namespace vexal
