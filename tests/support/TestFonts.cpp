#include "TestFonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <cstdio>

namespace vexal::test {

namespace {

// Every face the program asks for by name, and the generic names Qt falls back on.
const QStringList& NamedFaces()
{
    static const QStringList faces{"Arial", "Tahoma", "MS Sans Serif", "Microsoft Sans Serif", "Times New Roman",
                                   "Courier New", "Sans Serif", "Helvetica"};
    return faces;
}

QString& Family()
{
    static QString family;
    return family;
}

// The application font as the machine gave it, before pinning.
QFont& MachineFont()
{
    static QFont font;
    return font;
}
bool& MachineFontKept()
{
    static bool kept = false;
    return kept;
}

void Substitute(const QString& family)
{
    for (const QString& face : NamedFaces()) {
        QFont::removeSubstitutions(face);
        if (!family.isEmpty())
            QFont::insertSubstitution(face, family);
    }
}

} // namespace

bool PinTestFont()
{
    const QString dir = QString(PinnedFontFile).section('/', 0, -2);
    const int id = QFontDatabase::addApplicationFont(PinnedFontFile);
    if (id < 0) {
        std::fprintf(stderr, "The test font %s could not be loaded.\n", PinnedFontFile);
        return false;
    }
    // The bold face from its own file, so bold headings are measured as they print.
    QFontDatabase::addApplicationFont(dir + "/DejaVuSans-Bold.ttf");
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return false;
    Family() = families.first();
    if (!MachineFontKept()) {
        MachineFont() = QApplication::font();
        MachineFontKept() = true;
    }
    QFont font = MachineFont();
    font.setFamilies({Family()});
    QApplication::setFont(font);
    Substitute(Family());
    return true;
}

QString PinnedFontFamily() { return Family(); }

// Dropping the application fonts also empties Qt's cache of resolved faces, so nothing
// resolved while pinned is reused.
SystemFonts::SystemFonts()
{
    Substitute(QString());
    QFontDatabase::removeAllApplicationFonts();
    QApplication::setFont(MachineFont());
}

SystemFonts::~SystemFonts() { PinTestFont(); }

} // namespace vexal::test
